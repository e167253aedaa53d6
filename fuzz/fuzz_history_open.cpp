// A record file opened as the history record, whole or a range of blocks
// chosen from the input's length; every word of an opened record is read,
// so a view that reaches past the file would fault here.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "analysis/HistoryOpen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("history.DAT");
  const std::string& path = file.Write(data, size);
  RecordOpenChoice choice;
  choice.path = path;
  choice.wholeRange = size % 3 == 0;
  choice.begin = static_cast<int32_t>(size % 5) - 1;
  choice.end = choice.begin + static_cast<int32_t>(size % 7) - 2;
  OpenedRecordFile opened;
  if (ReadRecordForHistory(choice, opened) != RecordOpenStatus::Ok) return 0;
  const RecordFileHeader& h = opened.header;
  const BlockRange& r = opened.range;
  if (r.begin < 0 || r.end < r.begin || r.end >= h.BlockCount) std::abort();
  const uint64_t words = uint64_t{static_cast<uint32_t>(r.Count())} * static_cast<uint32_t>(h.NumSamp) *
                         static_cast<uint32_t>(h.NumChn);
  if (opened.samples.size() != words + 1 || opened.samples.back() != 0) std::abort();
  const RangePlacement& p = opened.placement;
  if (p.triggerBlock < 0 || p.triggerBlock >= p.blockCount) std::abort();
  if (p.compressedBlocks < 0 || p.compressedBlocks > p.blockCount) std::abort();
  if (p.compressedBlocks > 0 && p.compressStart + p.compressedBlocks != p.blockCount) std::abort();
  uint64_t sum = 0;
  for (uint16_t w : opened.samples) sum += w;
  HistoryRecord history;
  TakeOpenedRecord(opened, LiveConfig{}, history);
  history.Samples[0] = static_cast<uint16_t>(sum);
  return 0;
}
