#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "acquisition/BlockIntake.h"
#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/RecordCompletion.h"
#include "acquisition/VirtualAdFile.h"
#include "common/RecordFileHeader.h"
#include "shell/RecordFile.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

constexpr int32_t kRows = 240;     // 1200 Hz: ten 50-Hz cycles a block
constexpr int32_t kChannels = 2;
constexpr int32_t kBlocks = 12;
constexpr int64_t kStepRow = 1000;  // channel 0 steps from 0 to 2 units here

uint16_t StepCode(int32_t channel, int64_t row) {
  if (channel != 0) return 2048;
  return row < kStepRow ? 2048 : static_cast<uint16_t>(2048 + 2 * 2047 / 5);
}

// A record file of the run's layout holding the DC step.
void WriteStepFile(const fs::path& path, const LiveConfig& c) {
  RecordFileHeader h{};
  h.HeaderSize = static_cast<int32_t>(kRecordFileHeaderBytes);
  std::memcpy(h.Tag, "QV", 2);
  h.NumChn = c.NumChn;
  h.Total_Line = c.Total_Line;
  h.Analog_Num = c.Analog_Num;
  h.SW_Num = c.SW_Num;
  h.NumSamp = c.NumSamp;
  h.MaxMultiFreq = c.MaxMultiFreq;
  h.ADBit = c.ADBit;
  h.BlockCount = kBlocks;
  h.DataBytes = kBlocks * kRows * kChannels * 2;
  std::vector<char> out(reinterpret_cast<char*>(&h), reinterpret_cast<char*>(&h) + sizeof h);
  out.resize(kRecordFileDataOffset, 0);
  for (int64_t row = 0; row < int64_t{kBlocks} * kRows; ++row) {
    for (int32_t ch = 0; ch < kChannels; ++ch) {
      const uint16_t w = StepCode(ch, row);
      out.push_back(static_cast<char>(w & 0xFF));
      out.push_back(static_cast<char>(w >> 8));
    }
  }
  const uint32_t none = 0;
  out.insert(out.end(), reinterpret_cast<const char*>(&none), reinterpret_cast<const char*>(&none) + 4);
  std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

TEST(AlgorithmReplay, ADcStepReplayedByTheVirtualCardFiresTheDcAlgorithmAndRecordsAroundIt) {
  AppState s;
  LiveConfig& c = s.config;
  c.Analog_Num = kChannels;
  c.Total_Line = 1;
  c.LineTable[0].APhaseNum = kChannels;
  c.SW_Num = 0;
  c.NumChn = kChannels;
  c.NumVChn = kChannels;
  c.NumSamp = kRows;
  c.ChannelRate = 1200.0f;
  c.ACFrq = 50.0f;
  c.MaxBlock = 40;
  c.CompressRatio = 1;
  c.IDStartBin = 0;
  c.IDStartAnalog = 1;
  c.IDPreventSameAlgorithm = 1;  // the step stays up: one record, not one after another
  c.ConfirmTriggerNum = 2;
  c.TriggerUpNum = 0;
  c.SimulateAD = 1;
  c.SimulateType = 1;
  c.AnalogChannelTable[0].ChnName = "Ifd";
  c.AnalogChannelTable[0].ChnCoeA = 0.0f;
  c.AnalogChannelTable[0].ChnCoeB = 1.0f;
  c.Algorithm_Num = 1;
  AlgorithmConfig& a = c.AlgorithmTable[0];
  a = AlgorithmConfig{};
  a.Type = 3;  // DC too large
  a.UsedChn = 1;
  a.Channel[0] = 0;
  a.SetPointNum = 1;
  a.SetPoint[0] = 1.0f;
  a.PreRecordTime = 120;
  a.RecordTime = 200;

  const fs::path file = fs::path(testing::TempDir()) / ("dc-step-" + std::to_string(getpid()) + ".DAT");
  WriteStepFile(file, c);
  ComputeChannelLayout(c, s.layout, 0, true, {});
  const StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                            [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  ASSERT_TRUE(PrepareStart(s, true, quiet));
  ASSERT_EQ(s.acq.AnalogTriggerActive, 1);
  std::string refusal;
  ASSERT_TRUE(OpenVirtualAdFile(file.string(), c, s.acq.Replay, refusal)) << refusal;
  s.acq.CurrentBlock()[0] = 0xFFFF;
  s.RunState = kRunRecording;

  std::vector<RecordPackage> written;
  std::vector<std::string> log;
  const BlockReporter reporter{[&](const std::string& l) { log.push_back(l); }, [] { return size_t{0}; }, [] {},
                               [](const std::string&) {}, [](int, const std::string&) {},
                               [&] {
                                 RecordPackage p;
                                 ASSERT_TRUE(BuildRecordPackage(s, p));
                                 written.push_back(std::move(p));
                               }};
  bool stopped = false;
  const IntakeEnv env{[] { return 45000.5; }, [&] { ProcessBlock(s, 45000.5, reporter); },
                      [&] { stopped = true; }, [] {}, [] { return 0; }};
  for (int call = 0; call < kBlocks + 1 && !stopped; ++call) IntakeBlocks(s, env);
  fs::remove(file);
  EXPECT_TRUE(stopped);  // the replay ends the run after the file's last block

  ASSERT_EQ(written.size(), 1u);
  const RecordPackage& p = written[0];
  // Points every 12 rows; the first whose four-row mean is above the step's
  // half is row 1008 (block 4, row 48) and the confirmation completes at the
  // next, row 1020. The trigger point moves back by the half cycle the
  // confirmation took: row 48 of block 4.
  EXPECT_EQ(p.header.TriggerKind, 2);
  EXPECT_EQ(p.header.TriggerEdge, 3);
  EXPECT_EQ(p.header.TriggerPoint, 48);
  // 120 ms + 10 ms of confirmation = 156 rows, 60 of them in the trigger
  // block: one block before it; 240 + 60 rows after the firing row: two
  // blocks from the trigger block on.
  EXPECT_EQ(p.header.PreBlocks, 1);
  EXPECT_EQ(p.header.BlockCount, 3);
  ASSERT_EQ(p.samples.size(), size_t{3} * kRows * kChannels);
  for (int32_t b = 0; b < 3; ++b) {
    for (int32_t r = 0; r < kRows; ++r) {
      const int64_t row = int64_t{3 + b} * kRows + r;
      ASSERT_EQ(p.samples[static_cast<size_t>((b * kRows + r) * kChannels)], StepCode(0, row)) << "block " << b << " row " << r;
    }
  }
  EXPECT_NE(p.comment.find("模拟量通道:0(Ifd),第0算法:直流信号过大 触发记录"), std::string::npos) << p.comment;
}

}  // namespace
