#include "platform/RegFileFormat.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/RegistryNames.h"

namespace quelvar::platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRootKey = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kSoftware = "SOFTWARE";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr char kHexDigits[] = "0123456789abcdef";

// ---- writing ----

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

void AppendHexBytes(std::string& out, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ',';
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0xf];
  }
}

bool HasControlChar(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void AppendValue(std::string& out, const RegistryValue& value) {
  if (const auto* dword = std::get_if<std::uint32_t>(&value)) {
    out += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out += kHexDigits[(*dword >> shift) & 0xf];
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    if (HasControlChar(*text)) {
      // A line break or other control character cannot stand in a quoted line; REGEDIT
      // writes such strings as hex(1), bytes with a terminating NUL.
      out += "hex(1):";
      AppendHexBytes(out, *text);
      out += ",00";  // never empty here: it holds a control character
    } else {
      AppendQuoted(out, *text);
    }
  } else {
    const auto& bytes = std::get<RegistryBytes>(value);
    out += "hex:";
    AppendHexBytes(out, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
}

void AppendKey(std::string& out, std::string& path, const RegistryNode& node) {
  out += '[';
  out += path;
  out += "]\n";
  for (const auto* value : node.Values()) {
    AppendQuoted(out, value->name);
    out += '=';
    AppendValue(out, value->value);
    out += '\n';
  }
  out += '\n';
  const std::size_t length = path.size();
  for (const RegistryNode* child : node.Children()) {
    path += '\\';
    path += child->Name();
    AppendKey(out, path, *child);
    path.resize(length);
  }
}

// ---- reading ----

class Lines {
 public:
  explicit Lines(std::string_view text) : rest_(text) {}

  // The next line without its LF or CRLF; nullopt at the end of the text.
  std::optional<std::string_view> Next() {
    if (done_) return std::nullopt;
    ++number_;
    const auto cut = rest_.find('\n');
    std::string_view line = rest_.substr(0, cut);
    if (cut == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(cut + 1);
      if (rest_.empty()) done_ = true;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

  std::size_t Number() const { return number_; }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
  bool done_ = false;
};

struct Failure {
  std::string what;
};

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text at the start of `line` and removes it from `line`.
std::optional<std::string> TakeQuoted(std::string_view& line, Failure& failure) {
  if (line.empty() || line.front() != '"') {
    failure.what = "expected a quoted name or text";
    return std::nullopt;
  }
  std::string text;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      line.remove_prefix(i + 1);
      return text;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
      failure.what = "control character in quoted text";
      return std::nullopt;
    }
    if (c == '\\') {
      if (++i == line.size() || (line[i] != '\\' && line[i] != '"')) {
        failure.what = "bad escape in quoted text";
        return std::nullopt;
      }
    }
    text += line[i];
  }
  failure.what = "unterminated quoted text";
  return std::nullopt;
}

std::optional<std::uint32_t> ParseDword(std::string_view digits, Failure& failure) {
  std::uint32_t value = 0;
  if (digits.size() != 8) {
    failure.what = "bad dword value";
    return std::nullopt;
  }
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) {
      failure.what = "bad dword value";
      return std::nullopt;
    }
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

std::optional<std::string> ParseHexList(std::string_view list, Failure& failure) {
  std::string bytes;
  if (list.empty()) return bytes;
  for (;;) {
    const auto cut = list.find(',');
    const std::string_view item = list.substr(0, cut);
    const int high = item.size() == 2 ? HexDigit(item[0]) : -1;
    const int low = item.size() == 2 ? HexDigit(item[1]) : -1;
    if (high < 0 || low < 0) {
      failure.what = "bad hex byte";
      return std::nullopt;
    }
    bytes += static_cast<char>((high << 4) | low);
    if (cut == std::string_view::npos) return bytes;
    list.remove_prefix(cut + 1);
  }
}

// The hex list starting on the current line, joined with the lines it continues on.
std::optional<std::string> CollectHexList(std::string_view first, Lines& lines, Failure& failure) {
  std::string list(first);
  while (!list.empty() && list.back() == '\\') {
    list.pop_back();
    const auto next = lines.Next();
    if (!next) {
      failure.what = "hex list continues past the end of the file";
      return std::nullopt;
    }
    const auto start = next->find_first_not_of(" \t");
    if (start != std::string_view::npos) list += next->substr(start);
  }
  return list;
}

std::optional<RegistryValue> ParseData(std::string_view data, Lines& lines, Failure& failure) {
  constexpr std::string_view kDword = "dword:";
  constexpr std::string_view kHex = "hex:";
  constexpr std::string_view kHexString = "hex(1):";
  if (!data.empty() && data.front() == '"') {
    auto text = TakeQuoted(data, failure);
    if (!text) return std::nullopt;
    if (!data.empty()) {
      failure.what = "text after the closing quote";
      return std::nullopt;
    }
    return RegistryValue(std::move(*text));
  }
  if (data.starts_with(kDword)) {
    const auto dword = ParseDword(data.substr(kDword.size()), failure);
    if (!dword) return std::nullopt;
    return RegistryValue(std::in_place_index<0>, *dword);
  }
  const bool isString = data.starts_with(kHexString);
  if (!isString && !data.starts_with(kHex)) {
    failure.what = "unknown value type";
    return std::nullopt;
  }
  const auto list = CollectHexList(data.substr(isString ? kHexString.size() : kHex.size()), lines, failure);
  if (!list) return std::nullopt;
  auto bytes = ParseHexList(*list, failure);
  if (!bytes) return std::nullopt;
  if (isString) {
    if (!bytes->empty() && bytes->back() == '\0') bytes->pop_back();
    return RegistryValue(std::move(*bytes));
  }
  return RegistryValue(RegistryBytes(bytes->begin(), bytes->end()));
}

RegistryNode* ParseSection(std::string_view line, std::string_view treeName, RegistryNode& root, Failure& failure) {
  if (line.size() < 2 || line.back() != ']') {
    failure.what = "bad section line";
    return nullptr;
  }
  const auto names = SplitKeyPath(line.substr(1, line.size() - 2));
  if (!names) {
    failure.what = "bad key name";
    return nullptr;
  }
  if (names->size() < 3 || !EqualsNoCase((*names)[0], kRootKey) || !EqualsNoCase((*names)[1], kSoftware) ||
      !EqualsNoCase((*names)[2], treeName)) {
    failure.what = "section outside this tree";
    return nullptr;
  }
  RegistryNode* node = &root;
  for (std::size_t i = 3; i < names->size(); ++i) {
    bool created = false;
    node = &node->CreateChild((*names)[i], created);
  }
  return node;
}

bool ParseValueLine(std::string_view line, RegistryNode& key, Lines& lines, Failure& failure) {
  auto name = TakeQuoted(line, failure);
  if (!name) return false;
  if (!IsValidValueName(*name)) {
    failure.what = "bad value name";
    return false;
  }
  if (line.empty() || line.front() != '=') {
    failure.what = "expected = after the value name";
    return false;
  }
  line.remove_prefix(1);
  auto value = ParseData(line, lines, failure);
  if (!value) return false;
  key.SetValue(*name, std::move(*value));
  return true;
}

}  // namespace

std::string FormatRegFile(std::string_view treeName, const RegistryNode& root) {
  std::string out(kHeader);
  out += "\n\n";
  std::string path(kRootKey);
  path += '\\';
  path += kSoftware;
  path += '\\';
  path += treeName;
  AppendKey(out, path, root);
  return out;
}

bool ParseRegFile(std::string_view text, std::string_view treeName, RegistryNode& root, std::string& error) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  Lines lines(text);
  Failure failure;
  const auto header = lines.Next();
  if (!header || *header != kHeader) {
    error = "line 1: the first line is not " + std::string(kHeader);
    return false;
  }
  RegistryNode* key = nullptr;
  while (const auto line = lines.Next()) {
    const std::size_t number = lines.Number();
    bool ok = true;
    if (IsBlank(*line)) {
      continue;
    } else if (line->front() == '[') {
      key = ParseSection(*line, treeName, root, failure);
      ok = key != nullptr;
    } else if (line->front() == '"') {
      if (!key) {
        failure.what = "value before any section";
        ok = false;
      } else {
        ok = ParseValueLine(*line, *key, lines, failure);
      }
    } else {
      failure.what = "unexpected line";
      ok = false;
    }
    if (!ok) {
      error = "line " + std::to_string(number) + ": " + failure.what;
      return false;
    }
  }
  return true;
}

}  // namespace quelvar::platform
