#pragma once

#include <cstdint>
#include <string>

namespace quelvar {

// Fewer record files than this are never kept, whatever the setting says.
inline constexpr int32_t kMinRecordFilesKept = 20;

// True for "F" + 14 characters + ".DAT".
bool IsRecordFileName(const std::string& name);

// Keeps at most fileNum (at least kMinRecordFilesKept) record files in
// `directory`: when more regular files are named like records, the surplus is
// deleted oldest StartTime first. Only files whose header has the tag and a
// DataBytes matching its block count are deleted; other files named like
// records are counted but kept, as is `justWritten` (a name in the
// directory). Files are taken in name order, which breaks ties of StartTime.
// Returns the number of files deleted.
int PruneRecordFiles(const std::string& directory, int32_t fileNum, const std::string& justWritten);

}  // namespace quelvar
