#pragma once

#include "platform/TreeRegistry.h"

namespace quelvar::platform {

// A registry that lives only as long as the object, for tests. Keys and values behave
// exactly as in FileRegistry.
class MemoryRegistry final : public TreeRegistry {
 protected:
  void LoadTree(AppTree&) override {}
  bool SaveTree(AppTree&) override { return true; }
  std::vector<std::string> StoredTreeNames() override { return {}; }
};

}  // namespace quelvar::platform
