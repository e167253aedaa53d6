#pragma once

#include <string>

#include "common/RecordFileHeader.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

// File checks done before a record file is opened or replayed. None trusts a
// size it reads: a file is valid only when its length is exactly what its
// header, configuration record and comment length make it; a path that is
// not a regular file (a FIFO, a directory) is refused without blocking.

// A record file of the current format: header, configuration record, the
// samples, and a comment length word with the comment, or nothing after the
// samples at all.
bool IsValidRecordFile(const std::string& path);

// The same check, with the file's configuration record copied into `out` as
// soon as its bytes are read (so also when a later step fails), and its
// header into *header.
bool ReadRecordConfig(const std::string& path, ConfigRecord& out, RecordFileHeader* header = nullptr);

// The two older formats: an 88-byte header ("QV" at offset 0, the i32 sample
// byte count at offset 52), the samples, a configuration block of 29944 bytes
// (first format) or 38088 bytes (second), the comment length and comment.
bool IsValidRecordFileOld1(const std::string& path);
bool IsValidRecordFileOld2(const std::string& path);

inline constexpr uint64_t kOldRecordHeaderBytes = 88;
inline constexpr uint64_t kOldRecordDataBytesOffset = 52;
inline constexpr uint64_t kOld1ConfigBytes = 29944;
inline constexpr uint64_t kOld2ConfigBytes = 38088;

}  // namespace quelvar
