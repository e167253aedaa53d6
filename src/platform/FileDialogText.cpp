#include "platform/FileDialogText.h"

namespace quelvar::platform {

namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(sep, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter) {
  std::vector<FileFilterEntry> out;
  if (filter.empty()) return out;
  const auto parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilterEntry entry{std::string(parts[i]), {}};
    for (std::string_view p : Split(parts[i + 1], ';')) {
      if (!p.empty()) entry.patterns.emplace_back(p);
    }
    out.push_back(std::move(entry));
  }
  return out;
}

std::string ToolkitFileFilter(std::string_view filter) {
  std::string out;
  for (const FileFilterEntry& e : ParseFileFilter(filter)) {
    if (!out.empty()) out += ";;";
    out += e.description + " (";
    for (size_t i = 0; i < e.patterns.size(); ++i) {
      if (i > 0) out += ' ';
      out += e.patterns[i];
    }
    out += ')';
  }
  return out;
}

std::string WithDefaultExtension(std::string_view fileName, std::string_view defaultExt) {
  std::string name(fileName);
  if (name.empty() || defaultExt.empty()) return name;
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (!hasExt) name += "." + std::string(defaultExt);
  return name;
}

}  // namespace quelvar::platform
