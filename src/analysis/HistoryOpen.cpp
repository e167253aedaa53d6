#include "analysis/HistoryOpen.h"

#include <algorithm>
#include <climits>
#include <new>

#include "acquisition/RecordCompletion.h"
#include "analysis/RecordFileManager.h"
#include "platform/GbkText.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

namespace {

// The header and configuration agree with each other and describe samples
// the file can hold; sizes in 64 bits.
bool HeaderDescribesRecord(const RecordFileHeader& h, const ConfigRecord& config) {
  if (h.HeaderSize != kRecordFileHeaderBytes || h.Tag[0] != 'Q' || h.Tag[1] != 'V') return false;
  return DataSizeMatches(h) && ConfigAgrees(config, h);
}

}  // namespace

BlockRange ClampBlockRange(const RecordOpenChoice& choice, int32_t blockCount) {
  const int32_t last = std::max(blockCount - 1, 0);
  if (choice.wholeRange) return {0, last};
  const int32_t begin = std::clamp(choice.begin, 0, last);
  const int32_t end = std::clamp(choice.end, begin, last);
  return {begin, end};
}

RangePlacement PlaceBlockRange(const RecordFileHeader& header, BlockRange range) {
  RangePlacement p;
  p.blockCount = range.Count();
  const int64_t trigger = int64_t{header.PreBlocks} - range.begin;
  if (trigger >= 0 && trigger < p.blockCount) {
    p.triggerBlock = static_cast<int32_t>(trigger);
    p.triggerOffset = header.TriggerPoint;
  }
  // The compressed tail is the file's last CompressBlocks blocks.
  const int32_t tail = std::clamp(header.CompressBlocks, 0, std::max(header.BlockCount, 0));
  const int64_t tailStart = int64_t{header.BlockCount} - tail;
  const int64_t first = std::max<int64_t>(tailStart, range.begin);
  if (tail > 0 && first <= range.end) {
    p.compressedBlocks = static_cast<int32_t>(range.end - first + 1);
    p.compressStart = static_cast<int32_t>(first - range.begin);
  }
  return p;
}

RecordOpenStatus ReadRecordForHistory(const RecordOpenChoice& choice, OpenedRecordFile& out) {
  platform::ReadOnlyFile file;
  if (!file.Open(choice.path)) return RecordOpenStatus::CannotOpen;
  RecordFileHeader header;
  if (!file.ReadAt(0, &header, sizeof header)) return RecordOpenStatus::NotARecord;
  auto config = std::make_unique<ConfigRecord>();
  if (!file.ReadAt(kRecordFileHeaderBytes, config.get(), sizeof(ConfigRecord))) return RecordOpenStatus::NotARecord;
  if (!HeaderDescribesRecord(header, *config)) return RecordOpenStatus::NotARecord;

  // The length: the samples, then a comment length word and the comment,
  // or nothing at all after the samples.
  const uint64_t commentAt = kRecordFileDataOffset + static_cast<uint64_t>(header.DataBytes);
  if (file.Size() < commentAt) return RecordOpenStatus::NotARecord;
  std::optional<uint32_t> commentBytes;
  uint32_t word = 0;
  if (file.ReadAt(commentAt, &word, sizeof word)) commentBytes = word;
  const uint64_t left = file.Size() - commentAt;
  const uint64_t expected = commentBytes ? sizeof word + uint64_t{*commentBytes} : 0;
  if (left != expected) return RecordOpenStatus::NotARecord;

  const BlockRange range = ClampBlockRange(choice, header.BlockCount);
  const uint64_t blockWords = static_cast<uint64_t>(header.NumSamp) * static_cast<uint64_t>(header.NumChn);
  const uint64_t words = blockWords * static_cast<uint64_t>(range.Count());
  const uint64_t from = kRecordFileDataOffset + blockWords * 2 * static_cast<uint64_t>(range.begin);
  // The words are read where they are looked at: opening a long record does
  // not wait for all of it. Where no view can be made they are read now.
  SampleBuffer samples(file.MapPrivate(from, words * 2, sizeof(uint16_t)));
  if (!samples.IsFileView()) {
    std::vector<uint16_t> read;
    try {
      // One word more than the samples, as every history buffer has.
      read.resize(words + 1);
    } catch (const std::bad_alloc&) {
      return RecordOpenStatus::OutOfMemory;
    } catch (const std::length_error&) {
      return RecordOpenStatus::OutOfMemory;
    }
    if (!file.ReadAt(from, read.data(), words * 2)) return RecordOpenStatus::NotARecord;
    samples = std::move(read);
  }

  std::optional<std::string> comment;
  if (commentBytes) {
    // The length is that of the bytes that follow (checked above); taken
    // again from what is left, so a file changed meanwhile cannot make it
    // larger.
    const uint64_t bytes = std::min<uint64_t>(*commentBytes, left - sizeof word);
    std::string gbk(static_cast<size_t>(bytes), '\0');
    if (!file.ReadAt(commentAt + sizeof word, gbk.data(), gbk.size())) return RecordOpenStatus::NotARecord;
    comment = platform::GbkToUtf8(gbk);
  }

  out.header = header;
  out.config = std::move(config);
  out.range = range;
  out.placement = PlaceBlockRange(header, range);
  out.samples = std::move(samples);
  out.comment = std::move(comment);
  return RecordOpenStatus::Ok;
}

void TakeOpenedRecord(OpenedRecordFile& opened, const LiveConfig& live, HistoryRecord& h) {
  const RecordFileHeader& f = opened.header;
  const RangePlacement& p = opened.placement;
  h.Samples.swap(opened.samples);
  opened.samples.clear();
  h.FrqSamp = f.ChannelRate;
  h.StartTime = f.StartTime;
  h.BlockCount = p.blockCount;
  h.TriggerBlock = p.triggerBlock;
  h.TriggerOffset = p.triggerOffset;
  h.CompressedBlocks = p.compressedBlocks;
  h.CompressRatio = f.CompressRatio;
  h.CompressType = f.CompressType;
  h.NumChn = live.NumChn;
  h.NumSamp = live.NumSamp;
  h.LineCount = live.Total_Line;
  h.AnalogCount = live.Analog_Num;
  h.SwitchCount = live.SW_Num;
  h.TriggerType = f.TriggerKind;
  h.TriggerChannel = f.TriggerChannel;
  h.TriggerAlgorithm = f.TriggerAlgorithm;
  h.Comment = opened.comment ? *opened.comment : std::string(kNoRecordComment);
  h.Valid = 1;
  h.Synced = 0;
}

void SetOpenedRecordCompression(const OpenedRecordFile& opened, DisplayDescriptor& d) {
  const RangePlacement& p = opened.placement;
  if (p.compressedBlocks > 0) {
    d.DispCompressed = 1;
    d.DispCompressRatio = opened.header.CompressRatio;
    d.DispCompressType = opened.header.CompressType;
    d.DispCompressStart = p.compressStart;
    d.DispCompressBlocks = p.compressedBlocks;
  } else {
    d.DispCompressed = 0;
  }
}

std::string OpenedRecordLogText(const RecordFileHeader& h, const std::string& startTimeText) {
  std::string text = "\r\n选中历史数据:" + startTimeText + "\r\n 触发类型为: ";
  switch (h.TriggerKind) {
    case 0:
      text += "手动";
      break;
    case 1:
      text += "开关量通道第 " + std::to_string(h.TriggerChannel) + " 号" + "\r\n 触发类型: " +
              SwitchTriggerKindName(h.TriggerEdge);
      break;
    case 2:
      text += "模拟量通道第 " + std::to_string(h.TriggerChannel) + " 号" + "\r\n 算法编号第" +
              std::to_string(h.TriggerAlgorithm) + "号" + "\r\n 算法类型: " + AlgorithmTypeName(h.TriggerEdge);
      break;
    default:
      break;
  }
  return text;
}

int32_t HistoryScrollPoint(const HistoryRecord& h, int32_t numSamp, int32_t maxMultiFreq) {
  // Rows beyond INT32_MAX points are held there before the rate scales them.
  const int64_t row = std::clamp<int64_t>(int64_t{h.TriggerBlock} * numSamp + h.TriggerOffset, 0, INT32_MAX);
  const int64_t point = row * std::clamp(maxMultiFreq, 1, INT32_MAX) - 2;
  return static_cast<int32_t>(std::clamp<int64_t>(point, 0, INT32_MAX));
}

}  // namespace quelvar
