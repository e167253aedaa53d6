#pragma once

#include <memory>

#include "platform/FileRegistry.h"
#include "platform/MemoryRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {

// Both stores must behave the same; typed tests run against each through these.
struct MemoryStoreMaker {
  std::unique_ptr<RegistryStore> Make(const TempDir&) { return std::make_unique<MemoryRegistry>(); }
};

struct FileStoreMaker {
  std::unique_ptr<RegistryStore> Make(const TempDir& dir) { return std::make_unique<FileRegistry>(dir.Path()); }
};

template <typename Maker>
class EveryStore : public ::testing::Test {
 protected:
  TempDir dir_;
  std::unique_ptr<RegistryStore> store_ = Maker().Make(dir_);
  RegistryStore& store() { return *store_; }
};

using StoreMakers = ::testing::Types<MemoryStoreMaker, FileStoreMaker>;

}  // namespace quelvar::platform::test
