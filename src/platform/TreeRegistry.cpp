#include "platform/TreeRegistry.h"

#include <algorithm>

#include "platform/RegistryNames.h"

namespace quelvar::platform {

namespace {

constexpr std::string_view kSoftware = "SOFTWARE";

}  // namespace

struct TreeRegistry::Route {
  enum class Kind { Invalid, Software, InTree };
  Kind kind = Kind::Invalid;
  std::string tree;
  std::vector<std::string> keys;  // below the tree's root
};

TreeRegistry::Route TreeRegistry::RouteOf(std::string_view key) {
  Route route;
  auto names = SplitKeyPath(key);
  if (!names || !EqualsNoCase(names->front(), kSoftware)) return route;
  if (names->size() == 1) {
    route.kind = Route::Kind::Software;
    return route;
  }
  if (!IsValidTreeName((*names)[1])) return route;
  route.kind = Route::Kind::InTree;
  route.tree = std::move((*names)[1]);
  route.keys.assign(std::make_move_iterator(names->begin() + 2), std::make_move_iterator(names->end()));
  return route;
}

TreeRegistry::AppTree& TreeRegistry::TreeNamed(std::string_view name) {
  auto [it, inserted] = trees_.try_emplace(FoldCase(name));
  if (inserted) {
    it->second = std::make_unique<AppTree>();
    it->second->name = std::string(name);
    LoadTree(*it->second);
  }
  return *it->second;
}

std::vector<TreeRegistry::AppTree*> TreeRegistry::Trees() {
  std::vector<AppTree*> out;
  for (auto& [folded, tree] : trees_) out.push_back(tree.get());
  return out;
}

RegistryNode* TreeRegistry::Find(const Route& route) {
  AppTree& tree = TreeNamed(route.tree);
  if (!tree.exists) return nullptr;
  RegistryNode* node = &tree.root;
  for (const auto& name : route.keys) {
    node = node->Child(name);
    if (!node) return nullptr;
  }
  return node;
}

RegistryNode& TreeRegistry::Create(const Route& route, bool& changed) {
  AppTree& tree = TreeNamed(route.tree);
  changed = false;
  if (!tree.exists) {
    tree.exists = true;
    tree.name = route.tree;
    changed = true;
  }
  RegistryNode* node = &tree.root;
  for (const auto& name : route.keys) {
    bool created = false;
    node = &node->CreateChild(name, created);
    changed = changed || created;
  }
  return *node;
}

bool TreeRegistry::Settle(AppTree& tree, bool changed) {
  tree.dirty = tree.dirty || changed;
  // An earlier failed save is retried by the next write to the tree, even one that changes nothing.
  if (!tree.dirty || InBatch()) return true;
  if (!SaveTree(tree)) return false;
  tree.dirty = false;
  return true;
}

bool TreeRegistry::CreateKey(std::string_view key) {
  const Route route = RouteOf(key);
  if (route.kind == Route::Kind::Software) return true;
  if (route.kind != Route::Kind::InTree) return false;
  bool changed = false;
  Create(route, changed);
  return Settle(TreeNamed(route.tree), changed);
}

bool TreeRegistry::KeyExists(std::string_view key) {
  const Route route = RouteOf(key);
  if (route.kind == Route::Kind::Software) return true;
  return route.kind == Route::Kind::InTree && Find(route) != nullptr;
}

bool TreeRegistry::DeleteKey(std::string_view key) {
  Route route = RouteOf(key);
  if (route.kind != Route::Kind::InTree) return false;
  AppTree& tree = TreeNamed(route.tree);
  if (route.keys.empty()) {
    if (!tree.exists) return false;
    tree.root.Clear();
    tree.exists = false;
    return Settle(tree, true);
  }
  const std::string last = std::move(route.keys.back());
  route.keys.pop_back();
  RegistryNode* parent = Find(route);
  if (!parent || !parent->RemoveChild(last)) return false;
  return Settle(tree, true);
}

std::vector<std::string> TreeRegistry::SubkeyNames(std::string_view key) {
  std::vector<std::string> names;
  const Route route = RouteOf(key);
  if (route.kind == Route::Kind::Software) {
    for (const auto& stored : StoredTreeNames()) TreeNamed(stored);
    for (const auto& [folded, tree] : trees_) {
      if (tree->exists) names.push_back(tree->name);
    }
  } else if (route.kind == Route::Kind::InTree) {
    if (const RegistryNode* node = Find(route)) {
      for (const RegistryNode* child : node->Children()) names.push_back(child->Name());
    }
  }
  return names;
}

std::vector<std::string> TreeRegistry::ValueNames(std::string_view key) {
  std::vector<std::string> names;
  const Route route = RouteOf(key);
  if (route.kind != Route::Kind::InTree) return names;
  if (const RegistryNode* node = Find(route)) {
    for (const auto* value : node->Values()) names.push_back(value->name);
  }
  return names;
}

bool TreeRegistry::DeleteValue(std::string_view key, std::string_view name) {
  const Route route = RouteOf(key);
  if (route.kind != Route::Kind::InTree) return false;
  RegistryNode* node = Find(route);
  if (!node || !node->RemoveValue(name)) return false;
  return Settle(TreeNamed(route.tree), true);
}

std::optional<RegistryValue> TreeRegistry::ReadValue(std::string_view key, std::string_view name) {
  const Route route = RouteOf(key);
  if (route.kind != Route::Kind::InTree) return std::nullopt;
  const RegistryNode* node = Find(route);
  if (!node) return std::nullopt;
  const RegistryValue* value = node->Value(name);
  if (!value) return std::nullopt;
  return *value;
}

bool TreeRegistry::WriteValue(std::string_view key, std::string_view name, RegistryValue value) {
  const Route route = RouteOf(key);
  if (route.kind != Route::Kind::InTree || !IsValidValueName(name)) return false;
  bool changed = false;
  RegistryNode& node = Create(route, changed);
  changed = node.SetValue(name, std::move(value)) || changed;
  return Settle(TreeNamed(route.tree), changed);
}

bool TreeRegistry::Flush() {
  bool ok = true;
  for (auto& [folded, tree] : trees_) {
    if (!tree->dirty) continue;
    if (SaveTree(*tree)) {
      tree->dirty = false;
    } else {
      ok = false;
    }
  }
  return ok;
}

}  // namespace quelvar::platform
