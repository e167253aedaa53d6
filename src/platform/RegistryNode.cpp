#include "platform/RegistryNode.h"

#include <algorithm>

#include "platform/RegistryNames.h"

namespace quelvar::platform {

RegistryNode* RegistryNode::Child(std::string_view name) {
  const auto it = children_.find(FoldCase(name));
  return it == children_.end() ? nullptr : it->second.get();
}

const RegistryNode* RegistryNode::Child(std::string_view name) const {
  return const_cast<RegistryNode*>(this)->Child(name);
}

RegistryNode& RegistryNode::CreateChild(std::string_view name, bool& created) {
  auto [it, inserted] = children_.try_emplace(FoldCase(name));
  if (inserted) it->second = std::make_unique<RegistryNode>(std::string(name));
  created = inserted;
  return *it->second;
}

bool RegistryNode::RemoveChild(std::string_view name) { return children_.erase(FoldCase(name)) > 0; }

std::vector<const RegistryNode*> RegistryNode::Children() const {
  std::vector<const RegistryNode*> out;
  out.reserve(children_.size());
  for (const auto& [folded, child] : children_) out.push_back(child.get());
  return out;
}

const RegistryValue* RegistryNode::Value(std::string_view name) const {
  const auto it = values_.find(FoldCase(name));
  return it == values_.end() ? nullptr : &it->second.value;
}

bool RegistryNode::SetValue(std::string_view name, RegistryValue value) {
  auto [it, inserted] = values_.try_emplace(FoldCase(name));
  NamedValue& entry = it->second;
  if (inserted) {
    entry.name = std::string(name);
    entry.order = nextOrder_++;
  } else if (entry.value == value) {
    return false;
  }
  entry.value = std::move(value);
  return true;
}

bool RegistryNode::RemoveValue(std::string_view name) { return values_.erase(FoldCase(name)) > 0; }

std::vector<const RegistryNode::NamedValue*> RegistryNode::Values() const {
  std::vector<const NamedValue*> out;
  out.reserve(values_.size());
  for (const auto& [folded, entry] : values_) out.push_back(&entry);
  std::sort(out.begin(), out.end(), [](const NamedValue* a, const NamedValue* b) { return a->order < b->order; });
  return out;
}

void RegistryNode::Clear() {
  children_.clear();
  values_.clear();
  nextOrder_ = 0;
}

}  // namespace quelvar::platform
