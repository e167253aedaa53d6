#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "acquisition/BlockIntake.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/VirtualAdFile.h"
#include "common/RecordFileHeader.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

constexpr int32_t kRows = 10;
constexpr int32_t kWords = 2;  // two analog channels
constexpr int32_t kBlocks = 3;

// A record file of three blocks whose word k of block b is 1000 b + k.
std::vector<char> RecordBytes(const char* tag = "QV", int32_t numSamp = kRows, int32_t commentLength = 5) {
  RecordFileHeader h{};
  h.HeaderSize = 104;
  std::memcpy(h.Tag, tag, 2);
  h.NumChn = kWords;
  h.Total_Line = kWords;
  h.Analog_Num = kWords;
  h.NumSamp = numSamp;
  h.MaxMultiFreq = 1;
  h.ADBit = 12;
  h.BlockCount = kBlocks;
  h.DataBytes = kBlocks * kRows * kWords * 2;
  std::vector<char> out(reinterpret_cast<char*>(&h), reinterpret_cast<char*>(&h) + sizeof h);
  out.resize(kRecordFileDataOffset, 0);
  for (int b = 0; b < kBlocks; ++b) {
    for (int k = 0; k < kRows * kWords; ++k) {
      const uint16_t w = static_cast<uint16_t>(1000 * b + k);
      out.push_back(static_cast<char>(w & 0xFF));
      out.push_back(static_cast<char>(w >> 8));
    }
  }
  const uint32_t n = static_cast<uint32_t>(commentLength);
  out.insert(out.end(), reinterpret_cast<const char*>(&n), reinterpret_cast<const char*>(&n) + 4);
  out.insert(out.end(), 5, 'x');
  return out;
}

class VirtualAdFileTest : public ::testing::Test {
 protected:
  AppState s;
  fs::path file = fs::path(testing::TempDir()) / ("replay-" + std::to_string(getpid()) + ".DAT");

  void SetUp() override {
    LiveConfig& c = s.config;
    c.Analog_Num = kWords;
    c.Total_Line = kWords;
    for (auto& line : c.LineTable) line.APhaseNum = 1;
    c.NumSamp = kRows;
    c.ChannelRate = 1000.0f;
    c.SimulateAD = 1;
    c.SimulateType = 1;
    ComputeChannelLayout(c, s.layout, 0, true, {});
  }
  void TearDown() override {
    CloseVirtualAdFile(s.acq.Replay);
    fs::remove(file);
  }
  void Write(const std::vector<char>& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(VirtualAdFileTest, ReplayReproducesTheFilesBlocksAndEndsTheRun) {
  Write(RecordBytes());
  std::string refusal;
  ASSERT_TRUE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << refusal;
  StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                      [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  ASSERT_TRUE(PrepareStart(s, true, quiet));
  s.RunState = kRunRecording;
  s.config.EndBlock = 1;  // ignored while replaying
  s.acq.CurrentBlock()[0] = 0xFFFF;
  std::vector<uint16_t> firstWords;
  int stops = 0;
  IntakeEnv env{[] { return 0.0; }, [&] { firstWords.push_back(s.acq.CurrentBlock()[1]); },
                [&] { ++stops; s.RunState = kRunIdle; }, [] {}, [] { return 0; }};
  for (int call = 0; call < kBlocks; ++call) IntakeBlocks(s, env);
  EXPECT_EQ(firstWords, (std::vector<uint16_t>{0, 1000, 2000}));
  EXPECT_EQ(s.acq.CurrentBlock()[kRows * kWords], 2000 + kRows * kWords - 1);
  EXPECT_EQ(stops, 1);  // after the last block, not at the block limit
  EXPECT_EQ(s.acq.Replay.Fd, -1);
}

// Fault found by fuzzing: the reader went on past the header's block count,
// so a file holding more data than it counts (or none counted, with a
// comment) replayed its spare bytes and its comment as samples.
TEST_F(VirtualAdFileTest, OnlyTheBlocksTheHeaderCountsAreReplayed) {
  for (const int32_t counted : {0, 1, kBlocks - 1}) {
    std::vector<char> bytes = RecordBytes("QV", kRows, 5);
    std::memcpy(bytes.data() + offsetof(RecordFileHeader, BlockCount), &counted, sizeof counted);
    bytes.insert(bytes.end() - 5, kRows * kWords * 2 - 5, 'x');  // a comment long enough for a block
    const uint32_t commentLength = kRows * kWords * 2;
    std::memcpy(bytes.data() + bytes.size() - commentLength - 4, &commentLength, 4);
    Write(bytes);
    std::string refusal;
    ASSERT_TRUE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << counted << refusal;
    StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                        [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ASSERT_TRUE(PrepareStart(s, true, quiet));
    s.RunState = kRunRecording;
    std::vector<uint16_t> firstWords;
    int stops = 0;
    IntakeEnv env{[] { return 0.0; }, [&] { firstWords.push_back(s.acq.CurrentBlock()[1]); },
                  [&] { ++stops; s.RunState = kRunIdle; }, [] {}, [] { return 0; }};
    for (int call = 0; call < kBlocks + 2; ++call) IntakeBlocks(s, env);
    std::vector<uint16_t> expected;
    for (int b = 0; b < counted; ++b) expected.push_back(static_cast<uint16_t>(1000 * b));
    EXPECT_EQ(firstWords, expected) << counted;
    EXPECT_EQ(stops, 1) << counted;
    EXPECT_EQ(s.acq.Replay.Fd, -1) << counted;

    std::vector<uint16_t> rows(kRows * kWords);
    ASSERT_TRUE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << counted << refusal;
    for (int b = 0; b < counted; ++b) EXPECT_TRUE(ReadVirtualAdBlock(s.acq.Replay, rows.data(), rows.size()));
    EXPECT_FALSE(ReadVirtualAdBlock(s.acq.Replay, rows.data(), rows.size())) << counted;
    EXPECT_EQ(s.acq.Replay.Fd, -1) << counted;
  }
}

TEST_F(VirtualAdFileTest, AFileThatFailsMidWayEndsTheReplay) {
  Write(RecordBytes());
  std::string refusal;
  ASSERT_TRUE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << refusal;
  fs::resize_file(file, kRecordFileDataOffset + 10);  // cut off under the reader's feet
  std::vector<uint16_t> rows(kRows * kWords);
  EXPECT_FALSE(ReadVirtualAdBlock(s.acq.Replay, rows.data(), rows.size()));
  EXPECT_EQ(s.acq.Replay.Fd, -1);  // closed: the run ends instead of failing forever
}

TEST_F(VirtualAdFileTest, FilesThatDoNotFitAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    std::vector<char> bytes;
    const char* text;
  } cases[] = {
      {"short header", std::vector<char>(50, 0), "虚拟AD板所需波形文件大小不对!"},
      {"other tag", RecordBytes("QX"), "虚拟AD板所需波形文件格式不对!"},
      {"other layout", RecordBytes("QV", kRows + 1), "虚拟AD板所需波形文件格式不对!"},
      {"comment length wrong", RecordBytes("QV", kRows, 6), "虚拟AD板所需波形文件大小不对!"},
      {"one byte more", [] { auto v = RecordBytes(); v.push_back(0); return v; }(), "虚拟AD板所需波形文件大小不对!"},
  };
  for (const Case& c : cases) {
    Write(c.bytes);
    std::string refusal;
    EXPECT_FALSE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << c.what;
    EXPECT_EQ(refusal, c.text) << c.what;
    EXPECT_EQ(s.acq.Replay.Fd, -1) << c.what;
  }
  std::string refusal;
  EXPECT_FALSE(OpenVirtualAdFile("/nonexistent/F.DAT", s.config, s.acq.Replay, refusal));
  EXPECT_EQ(refusal, "虚拟AD板所需波形文件不存在!");
}

// A header naming `blocks` blocks of `numSamp` x `numChn` words over no data
// at all, and nothing after it.
std::vector<char> HeaderOnly(int32_t numSamp, int32_t numChn, int32_t blocks) {
  RecordFileHeader h{};
  h.HeaderSize = 104;
  std::memcpy(h.Tag, "QV", 2);
  h.NumChn = numChn;
  h.Total_Line = kWords;
  h.Analog_Num = kWords;
  h.NumSamp = numSamp;
  h.MaxMultiFreq = 1;
  h.ADBit = 12;
  h.BlockCount = blocks;
  h.DataBytes = 0;
  std::vector<char> out(reinterpret_cast<char*>(&h), reinterpret_cast<char*>(&h) + sizeof h);
  out.resize(kRecordFileDataOffset, 0);
  return out;
}

// The layout in force must match the file's, so these stand for a lent
// configuration applied without the checks.
TEST_F(VirtualAdFileTest, BlockSizesFromTheHeaderAreCheckedWithoutWrapping) {
  struct Case {
    const char* what;
    int32_t numSamp, numChn, blocks;
  } cases[] = {
      // 8 blocks of 2^61 bytes are 2^64 bytes: 0 once wrapped, "within" no data.
      {"block bytes times blocks pass 2^64", 1 << 30, 1 << 30, 8},
      {"negative rows", -1, kWords, 0},
      {"negative words", kRows, -2, 0},
  };
  for (const Case& c : cases) {
    s.config.NumSamp = c.numSamp;
    s.config.NumChn = c.numChn;
    Write(HeaderOnly(c.numSamp, c.numChn, c.blocks));
    std::string refusal;
    EXPECT_FALSE(OpenVirtualAdFile(file.string(), s.config, s.acq.Replay, refusal)) << c.what;
    EXPECT_EQ(refusal, "虚拟AD板所需波形文件大小不对!") << c.what;
    EXPECT_EQ(s.acq.Replay.Fd, -1) << c.what;
  }
}

}  // namespace
