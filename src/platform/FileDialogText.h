#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quelvar::platform {

// One entry of the program's file filter "Description|*.a;*.b|...".
struct FileFilterEntry {
  std::string description;
  std::vector<std::string> patterns;
};

// Splits the program's filter text into its entries; a trailing description
// without patterns is dropped.
std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);

// The same filter in the form file dialogs of the toolkit take:
// "Description (*.a *.b);;All (*.*)".
std::string ToolkitFileFilter(std::string_view filter);

// The program's dialogs append the default extension when the chosen name
// has none ("F001" -> "F001.DAT"); a name with an extension stays.
std::string WithDefaultExtension(std::string_view fileName, std::string_view defaultExt);

}  // namespace quelvar::platform
