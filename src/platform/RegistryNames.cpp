#include "platform/RegistryNames.h"

#include <algorithm>

namespace quelvar::platform {

namespace {

char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasControlChar(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::string FoldCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldChar(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldChar(x) == FoldChar(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldChar(x)) < static_cast<unsigned char>(FoldChar(y));
  });
}

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength && name.find('\\') == std::string_view::npos &&
         !HasControlChar(name);
}

bool IsValidValueName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxValueNameLength && !HasControlChar(name);
}

bool IsValidTreeName(std::string_view name) {
  return IsValidKeyName(name) && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return std::nullopt;
  std::vector<std::string> names;
  for (;;) {
    const auto cut = path.find('\\');
    const std::string_view name = path.substr(0, cut);
    if (!IsValidKeyName(name) || names.size() == kMaxKeyDepth) return std::nullopt;
    names.emplace_back(name);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return names;
}

}  // namespace quelvar::platform
