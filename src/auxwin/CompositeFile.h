#pragma once

#include <string>

#include "auxwin/CompositeDef.h"

namespace quelvar {

// Composite definition files (".cpd"): the 4 bytes "CPDF", the int32 count,
// columns, font size and characters, then `count` CompositeItems as they
// lie in memory, all little-endian. A file is taken when it is at least
// 20 + 48 x count bytes long; bytes after the items are not read.

// True when the file was taken: it opens, starts with "CPDF", has a count
// above 0 and holds that many items (sizes in 64-bit arithmetic, so no count
// makes it read or allocate more than the file holds). Columns below 1 become
// 1, a font size below 6 becomes 6 (above 400: 400), characters below 1
// become 7 (above 200: 200), and every item is sanitised
// (SanitizeCompositeItem). False leaves `def` unchanged.
bool ReadCompositeDef(CompositeDef& def, const std::string& path);

// The file's bytes for a definition (Count items; Items must hold them).
std::string CompositeDefBytes(const CompositeDef& def);

// Writes the file whole or not at all (a fresh temporary file renamed over
// the target); false with `error` set when that failed, an existing file
// then untouched.
bool WriteCompositeDef(const CompositeDef& def, const std::string& path, std::string& error);

}  // namespace quelvar
