#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelvar::platform {

// Limits as the Windows registry has them; they also bound what a file may ask of us.
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Registry names compare like the Windows registry: ASCII letters without regard to case,
// every other byte exactly.
std::string FoldCase(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Orders names the way key listings come out (case-folded byte order).
bool LessNoCase(std::string_view a, std::string_view b);

// A key name: not empty, at most kMaxKeyNameLength bytes, no backslash, no control character.
bool IsValidKeyName(std::string_view name);
// A value name: not empty, at most kMaxValueNameLength bytes, no control character.
bool IsValidValueName(std::string_view name);
// An application tree name also becomes a file name.
bool IsValidTreeName(std::string_view name);

// Splits "\SOFTWARE\App\Key" into its names. The leading backslash is optional and a
// trailing one is ignored; an empty path, an empty name or a bad name gives nullopt.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

}  // namespace quelvar::platform
