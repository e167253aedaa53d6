#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryNode.h"
#include "platform/RegistryStore.h"

namespace quelvar::platform {

// The key and value operations of a store made of application trees, one per
// "\SOFTWARE\<App>". Subclasses decide where a tree comes from and how it is saved.
class TreeRegistry : public RegistryStore {
 public:
  bool CreateKey(std::string_view key) override;
  bool KeyExists(std::string_view key) override;
  bool DeleteKey(std::string_view key) override;
  std::vector<std::string> SubkeyNames(std::string_view key) override;
  std::vector<std::string> ValueNames(std::string_view key) override;
  bool DeleteValue(std::string_view key, std::string_view name) override;
  std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) override;
  bool WriteValue(std::string_view key, std::string_view name, RegistryValue value) override;
  bool Flush() override;

 protected:
  struct AppTree {
    std::string name;  // case of the first write, or of the stored tree
    RegistryNode root;
    bool exists = false;
    bool dirty = false;
  };

  // Called once per tree on its first use; may fill the tree and set `exists` and `name`.
  virtual void LoadTree(AppTree& tree) = 0;
  // Stores the tree (or its absence when !exists); false when that failed.
  virtual bool SaveTree(AppTree& tree) = 0;
  // Names of the trees kept outside memory, so "\SOFTWARE" can list trees not yet loaded.
  virtual std::vector<std::string> StoredTreeNames() = 0;

  std::vector<AppTree*> Trees();

 private:
  struct Route;
  static Route RouteOf(std::string_view key);
  AppTree& TreeNamed(std::string_view name);
  // Walks to the key, nullptr when it does not exist.
  RegistryNode* Find(const Route& route);
  // Walks to the key creating what is missing; `changed` is set when anything was created.
  RegistryNode& Create(const Route& route, bool& changed);
  // Marks the tree changed and, outside a batch, saves it; the result of a write call.
  bool Settle(AppTree& tree, bool changed);

  std::map<std::string, std::unique_ptr<AppTree>> trees_;  // by folded name
};

}  // namespace quelvar::platform
