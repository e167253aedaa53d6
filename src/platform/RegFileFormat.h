#pragma once

#include <string>
#include <string_view>

#include "platform/RegistryNode.h"

namespace quelvar::platform {

// One application tree as REGEDIT4 text: UTF-8, LF line ends, one section per key with
// parents before children, "HKEY_LOCAL_MACHINE\SOFTWARE\<treeName>" as the sections' root.
std::string FormatRegFile(std::string_view treeName, const RegistryNode& root);

// Reads text written by FormatRegFile or by REGEDIT (continued hex lines, CRLF, a UTF-8
// BOM) into `root`, which should be empty. Sections outside the tree, types other than
// dword, string, hex and hex(1), and anything malformed fail with `error` set to a
// message like "line 7: bad dword value"; `root` is then left partly filled.
bool ParseRegFile(std::string_view text, std::string_view treeName, RegistryNode& root, std::string& error);

}  // namespace quelvar::platform
