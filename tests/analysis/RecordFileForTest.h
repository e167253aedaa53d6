#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "common/AppState.h"
#include "platform/GbkText.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigRecord.h"
#include "shell/RecordFile.h"

namespace quelvar::test {

// A record file written byte by byte, so that tests can also damage it.
struct TestRecord {
  std::string card = "Recorder7";
  int32_t analog = 2;  // one analog channel a line
  int32_t numSamp = 4;
  int32_t blocks = 10;
  int32_t preBlocks = 3;
  int32_t triggerPoint = 2;
  int32_t compressBlocks = 0;
  int32_t compressRatio = 1;
  int32_t triggerKind = 0;
  int32_t triggerChannel = 0;
  int32_t triggerAlgorithm = 0;
  int32_t triggerEdge = 0;
  float channelRate = 5000.0f;
  double startTime = 46000.5;
  // Nothing: the file ends right after the samples.
  std::optional<std::string> comment = std::string("试验记录");
};

// Word w of row r of block b: b x 1000 + r x 10 + w, so every word says
// where it came from.
inline uint16_t TestWord(int32_t block, int32_t row, int32_t word) {
  return static_cast<uint16_t>(block * 1000 + row * 10 + word);
}

struct TestRecordBytes {
  RecordFileHeader header{};
  std::vector<uint8_t> bytes;
};

inline TestRecordBytes BuildTestRecord(const TestRecord& t) {
  AppState other;
  LiveConfig& oc = other.config;
  oc.CardNameText = t.card;
  oc.Analog_Num = t.analog;
  oc.Total_Line = t.analog;
  for (auto& line : oc.LineTable) line.APhaseNum = 1;
  oc.NumSamp = t.numSamp;
  oc.FrqSamp = 10000;
  ComputeChannelLayout(oc, other.layout, 0, true, {});
  RecordHeaderValues v;
  v.NumChn = oc.NumChn;
  v.Total_Line = oc.Total_Line;
  v.Analog_Num = oc.Analog_Num;
  v.SW_Num = oc.SW_Num;
  v.NumSamp = oc.NumSamp;
  v.MaxMultiFreq = 1;
  v.ChannelRate = t.channelRate;
  v.ADBit = oc.ADBit;
  v.StartTime = t.startTime;
  v.PreBlocks = t.preBlocks;
  v.TriggerPoint = t.triggerPoint;
  v.BlockCount = t.blocks;
  v.CompressRatio = t.compressRatio;
  v.CompressBlocks = t.compressBlocks;
  v.TriggerKind = t.triggerKind;
  v.TriggerChannel = t.triggerChannel;
  v.TriggerAlgorithm = t.triggerAlgorithm;
  v.TriggerEdge = t.triggerEdge;
  TestRecordBytes out;
  out.header = *MakeRecordFileHeader(v);
  auto config = std::make_unique<ConfigRecord>();
  BuildConfigRecord(oc, BuildExtrasOf(other), *config);
  auto append = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.bytes.insert(out.bytes.end(), b, b + n);
  };
  append(&out.header, sizeof out.header);
  append(config.get(), sizeof(ConfigRecord));
  for (int32_t b = 0; b < t.blocks; ++b) {
    for (int32_t r = 0; r < t.numSamp; ++r) {
      for (int32_t w = 0; w < oc.NumChn; ++w) {
        const uint16_t word = TestWord(b, r, w);
        append(&word, 2);
      }
    }
  }
  if (t.comment) {
    const std::string gbk = platform::Utf8ToGbk(*t.comment);
    const uint32_t length = static_cast<uint32_t>(gbk.size());
    append(&length, 4);
    append(gbk.data(), gbk.size());
  }
  return out;
}

inline std::string WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(f.good()) << path;
  return path.string();
}

inline std::string WriteTestRecord(const std::filesystem::path& path, const TestRecord& t) {
  return WriteBytes(path, BuildTestRecord(t).bytes);
}

}  // namespace quelvar::test
