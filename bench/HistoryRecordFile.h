#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "BenchDir.h"
#include "acquisition/ChannelLayout.h"
#include "common/AppState.h"
#include "shell/ConfigCommands.h"
#include "shell/RecordFile.h"

namespace quelvar::bench {

// A record file of about 100 MB: 16 analog channels on 16 lines, 1000 rows
// a block, 3125 blocks at 10 kHz, a sine per channel; the trigger in block
// 1000. Written once per benchmark program into its own directory.
class HistoryRecordFile {
 public:
  static constexpr int32_t kBlocks = 3125;

  HistoryRecordFile() {
    AppState other;
    LiveConfig& oc = other.config;
    oc.CardNameText = "Bench16";
    oc.Analog_Num = 16;
    oc.Total_Line = 16;
    oc.SW_Num = 0;
    for (auto& line : oc.LineTable) line.APhaseNum = 1;
    oc.NumSamp = 1000;
    oc.FrqSamp = 160000;
    ComputeChannelLayout(oc, other.layout, 0, true, {});
    RecordHeaderValues v;
    v.NumChn = oc.NumChn;
    v.Total_Line = oc.Total_Line;
    v.Analog_Num = oc.Analog_Num;
    v.SW_Num = oc.SW_Num;
    v.NumSamp = oc.NumSamp;
    v.MaxMultiFreq = 1;
    v.ChannelRate = 10000.0f;
    v.ADBit = oc.ADBit;
    v.StartTime = 46000.25;
    v.PreBlocks = 1000;
    v.TriggerPoint = 500;
    v.BlockCount = kBlocks;
    RecordPackage package;
    package.header = *MakeRecordFileHeader(v);
    BuildConfigRecord(oc, BuildExtrasOf(other), package.config);
    const size_t rows = static_cast<size_t>(kBlocks) * oc.NumSamp;
    package.samples.resize(rows * oc.NumChn);
    for (size_t r = 0; r < rows; ++r) {
      for (int32_t c = 0; c < oc.NumChn; ++c) {
        // A triangle per channel: cheap to make, every column spans codes.
        const int32_t period = 200 + 50 * c;
        const int32_t phase = static_cast<int32_t>(r % static_cast<size_t>(period));
        const int32_t tri = phase < period / 2 ? phase : period - phase;
        package.samples[r * oc.NumChn + c] = static_cast<uint16_t>(2048 + tri * 3000 / period);
      }
    }
    package.comment = "benchmark";
    path_ = (dir_.Path() / "F20251211080000.DAT").string();
    const WriteResult written = WriteRecordFileAs(path_, package);
    ok_ = written.ok;
    bytes_ = static_cast<int64_t>(sizeof package.header + sizeof package.config + package.samples.size() * 2 + 4 +
                                  package.comment.size());
  }
  bool Ok() const { return ok_; }
  const std::string& Path() const { return path_; }
  int64_t Bytes() const { return bytes_; }

 private:
  BenchDir dir_;
  std::string path_;
  bool ok_ = false;
  int64_t bytes_ = 0;
};

}  // namespace quelvar::bench
