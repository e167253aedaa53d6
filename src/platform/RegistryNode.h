#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryValue.h"

namespace quelvar::platform {

// One key in memory: its subkeys and values, found without regard to ASCII case and
// keeping the case of their first write.
class RegistryNode {
 public:
  struct NamedValue {
    std::string name;
    RegistryValue value;
    std::uint64_t order = 0;  // values list in the order they were first written
  };

  RegistryNode() = default;
  explicit RegistryNode(std::string name) : name_(std::move(name)) {}
  RegistryNode(const RegistryNode&) = delete;
  RegistryNode& operator=(const RegistryNode&) = delete;

  const std::string& Name() const { return name_; }

  RegistryNode* Child(std::string_view name);
  const RegistryNode* Child(std::string_view name) const;
  // Returns the child, creating it when missing; `created` tells which happened.
  RegistryNode& CreateChild(std::string_view name, bool& created);
  bool RemoveChild(std::string_view name);
  // Subkeys in case-folded order.
  std::vector<const RegistryNode*> Children() const;

  const RegistryValue* Value(std::string_view name) const;
  // Returns false when the value was already exactly this.
  bool SetValue(std::string_view name, RegistryValue value);
  bool RemoveValue(std::string_view name);
  // Values in the order of their first write.
  std::vector<const NamedValue*> Values() const;

  bool Empty() const { return children_.empty() && values_.empty(); }
  void Clear();

 private:
  std::string name_;
  std::map<std::string, std::unique_ptr<RegistryNode>> children_;  // by folded name
  std::map<std::string, NamedValue> values_;                       // by folded name
  std::uint64_t nextOrder_ = 0;
};

}  // namespace quelvar::platform
