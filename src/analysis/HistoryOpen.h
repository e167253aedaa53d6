#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "common/RecordFileHeader.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

// Opening a stored record file as the history record. The file is read
// into buffers of its own; the history record and the display change only
// once everything has been read, so a refused or failed open leaves the
// record on show, the configuration and the settings as they were.

// The comment of a record whose file carries none.
inline constexpr const char* kNoRecordComment = "历史数据文件!\r\n";

// What the user chose: a record file, whole or blocks begin..end.
struct RecordOpenChoice {
  std::string path;
  bool wholeRange = true;
  int32_t begin = 0;
  int32_t end = 0;
};

// The blocks actually opened: begin and end each within 0 .. blockCount - 1
// and end not below begin, as the record-file manager keeps its edits.
struct BlockRange {
  int32_t begin = 0;
  int32_t end = 0;
  int32_t Count() const { return end - begin + 1; }
};
BlockRange ClampBlockRange(const RecordOpenChoice& choice, int32_t blockCount);

// Where the time origin and the compressed tail of the file fall inside the
// opened blocks. A trigger block outside the range (the range begins after
// it or ends before it) puts the origin at the range's first row. Only the
// range's own compressed blocks count: none when it ends before the tail,
// and the tail starts at the range's first block when it begins inside it.
struct RangePlacement {
  int32_t blockCount = 0;
  int32_t triggerBlock = 0;
  int32_t triggerOffset = 0;
  int32_t compressedBlocks = 0;
  int32_t compressStart = 0;  // first compressed block, counted in the range
};
RangePlacement PlaceBlockRange(const RecordFileHeader& header, BlockRange range);

enum class RecordOpenStatus {
  Ok,
  CannotOpen,   // missing, unreadable or not a regular file
  NotARecord,   // header, configuration or length not those of a record file
  OutOfMemory,  // the samples' buffer could not be had
};

// A record file read whole into memory of its own.
struct OpenedRecordFile {
  RecordFileHeader header{};
  std::unique_ptr<ConfigRecord> config;
  BlockRange range;
  RangePlacement placement;
  // The range's words, then one word more (0): a private view of the file
  // where one can be made, else read into memory.
  SampleBuffer samples;
  // The comment as UTF-8; empty when the file has no readable length word.
  std::optional<std::string> comment;
};

// Opens, checks and reads the file at choice.path. The file must be a
// record of the current format in every respect the record-file manager
// checks: tag and header size, BlockCount, NumSamp and NumChn at least 1
// with BlockCount x NumSamp x NumChn x 2 = DataBytes (in 64 bits), a
// configuration that passes ValidateConfigRecord and agrees with the header,
// and a file length of exactly header, configuration, samples and comment
// part. Every read is checked; the comment's length is bounded by the bytes
// left in the file before anything is allocated for it.
RecordOpenStatus ReadRecordForHistory(const RecordOpenChoice& choice, OpenedRecordFile& out);

// Moves the opened samples and the header's values into `history` (the
// geometry from the live configuration now in force); Valid 1, Synced 0.
void TakeOpenedRecord(OpenedRecordFile& opened, const LiveConfig& live, HistoryRecord& history);

// The compressed part of the display descriptor for an opened record.
void SetOpenedRecordCompression(const OpenedRecordFile& opened, DisplayDescriptor& display);

// The run-log entry of an opened record: "\r\n选中历史数据:" + the start time
// text + "\r\n 触发类型为: " + the trigger's description.
std::string OpenedRecordLogText(const RecordFileHeader& header, const std::string& startTimeText);

// The first display point of the screen after a record is shown: two points
// before the trigger row, the row counted at MaxMultiFreq points; never
// below 0, and at most INT32_MAX.
int32_t HistoryScrollPoint(const HistoryRecord& history, int32_t numSamp, int32_t maxMultiFreq);

}  // namespace quelvar
