#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/BinaryLayouts.h"

namespace quelvar {

// Algorithm files (".alg"): the 4 bytes "ALGO", a little-endian int32 count,
// then that many AlgorithmConfig records as they lie in memory. A valid file
// is exactly count x 168 + 8 bytes long.

inline constexpr int kAlgorithmFileMaxRecords = 60;  // further records are not loaded

enum class AlgorithmFileStatus {
  Ok,            // Records holds the first min(count, 60) records
  CannotOpen,    // missing, unreadable or not a regular file; the caller says nothing
  SizeTooSmall,  // 7 bytes or less
  BadMagic,      // does not start with "ALGO"
  SizeMismatch,  // size is not count x 168 + 8
  Empty,         // count 0 or less with the right size: nothing to load, nothing to say
};

struct AlgorithmFileResult {
  AlgorithmFileStatus Status = AlgorithmFileStatus::CannotOpen;
  std::vector<AlgorithmConfig> Records;
};

// Checks the size before reading any record, so a damaged count never makes
// it allocate or read more than the file holds. The records come back
// sanitised (SanitizeAlgorithm).
AlgorithmFileResult ReadAlgorithmFile(const std::string& path);

// The message the program shows for a status, or nullptr for those it passes over.
const char* AlgorithmFileMessage(AlgorithmFileStatus status);

// Writes the file whole or not at all: a fresh temporary file beside the
// target is written, fsynced and renamed over it. On failure the temporary
// file is gone, an existing target is untouched and `error` says what failed.
// The one failure after the rename, a directory that cannot be synced, is
// reported too, with the new file in place.
bool WriteAlgorithmFile(const std::string& path, std::span<const AlgorithmConfig> records, std::string& error);

}  // namespace quelvar
