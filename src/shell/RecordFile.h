#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/RecordFileHeader.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

// Everything one record file holds, gathered and copied on the GUI thread when
// the record completes. A writer thread owns its package and reads nothing
// shared: the acquisition goes on and may change the configuration or
// overwrite the ring meanwhile.
struct RecordPackage {
  RecordFileHeader header{};
  ConfigRecord config{};
  std::vector<uint16_t> samples;  // header.BlockCount blocks, oldest first
  std::string comment;            // UTF-8; stored as GBK
};

// The header values that describe one record.
struct RecordHeaderValues {
  int32_t NumChn = 0;
  int32_t Total_Line = 0;
  int32_t Analog_Num = 0;
  int32_t SW_Num = 0;
  int32_t NumSamp = 0;
  int32_t MaxMultiFreq = 0;
  float ChannelRate = 0;
  int32_t ADBit = 0;
  double StartTime = 0;
  int32_t PreBlocks = 0;
  int32_t TriggerPoint = 0;
  int32_t BlockCount = 0;
  int32_t CompressRatio = 0;
  int32_t CompressType = 0;
  int32_t CompressBlocks = 0;
  int32_t DataGap = 0;
  int32_t TriggerKind = 0;
  int32_t TriggerChannel = 0;
  int32_t TriggerAlgorithm = 0;
  int32_t TriggerEdge = 0;
};

// The header with its fixed fields, the reserved bytes zero and DataBytes =
// BlockCount x NumSamp x NumChn x 2. Empty when a factor is negative or the
// product does not fit DataBytes.
std::optional<RecordFileHeader> MakeRecordFileHeader(const RecordHeaderValues& values);

// The blocks first..last of the ring (ringBlocks blocks of blockWords words)
// in file order, wrapping past the ring's end when first > last. False, with
// `out` empty, when a position or the ring's size is out of range.
bool CopyRingBlocks(const uint16_t* ring, size_t ringWords, int32_t ringBlocks, int32_t blockWords, int32_t first,
                    int32_t last, std::vector<uint16_t>& out);

// "F" + the start time as "yyyymmddhhnnss" + ".DAT".
std::string RecordFileName(double startTime);

struct WriteResult {
  bool ok = false;
  std::string fileName;  // the name written, without the directory
  std::string error;     // why nothing was written
  bool writtenSynchronously = false;  // set by RecordWriter when no thread could be started
};

// Names tried after the start time's own, one second later each: records
// completing within the same second get consecutive names.
inline constexpr int kRecordFileNameTries = 3600;

// Writes the record into `directory`, an absolute path fixed when the record
// completed. The file appears whole or not at all and never replaces another:
// when the start time's name is taken, the next free second names it, while
// the header keeps the true start time.
WriteResult WriteRecordFile(const std::string& directory, RecordPackage package);

// Writes the record as the file `path` the user chose (a manual save): it
// replaces a file of that name, atomically, so the target is the old file
// whole or the new one whole.
WriteResult WriteRecordFileAs(const std::string& path, const RecordPackage& package);

}  // namespace quelvar
