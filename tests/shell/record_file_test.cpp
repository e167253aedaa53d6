#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "platform/DayTime.h"
#include "platform/GbkText.h"
#include "record_file_support.h"
#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {
namespace {

using test::MakePackage;
using test::ReadBytes;
using test::RecordDir;
using test::SomeStartTime;

template <typename T>
T At(const std::string& bytes, size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// --- Header ---------------------------------------------------------------

TEST(RecordHeader, HasItsFixedFieldsTheGivenValuesAndZeroReservedBytes) {
  RecordHeaderValues v;
  v.NumChn = 6, v.Total_Line = 2, v.Analog_Num = 5, v.SW_Num = 16, v.NumSamp = 250, v.MaxMultiFreq = 4;
  v.ChannelRate = 1234.5f, v.ADBit = 14, v.StartTime = 45000.25, v.PreBlocks = 3, v.TriggerPoint = 77;
  v.BlockCount = 13, v.CompressRatio = 8, v.CompressType = 2, v.CompressBlocks = 4, v.DataGap = 1;
  v.TriggerKind = 2, v.TriggerChannel = 9, v.TriggerAlgorithm = 11, v.TriggerEdge = 5;
  const auto made = MakeRecordFileHeader(v);
  ASSERT_TRUE(made);
  const RecordFileHeader& h = *made;
  EXPECT_EQ(h.HeaderSize, 104u);
  EXPECT_EQ(h.VersionMajor, 2);
  EXPECT_EQ(h.VersionMinor, 5);
  EXPECT_EQ(std::string(h.Tag, 2), "QV");
  EXPECT_EQ(h.Reserved1[0] | h.Reserved1[1], 0);
  EXPECT_EQ(h.Reserved2[0] | h.Reserved2[1] | h.Reserved2[2] | h.Reserved2[3], 0);
  EXPECT_EQ(h.NumChn, 6);
  EXPECT_EQ(h.Total_Line, 2);
  EXPECT_EQ(h.Analog_Num, 5);
  EXPECT_EQ(h.SW_Num, 16);
  EXPECT_EQ(h.NumSamp, 250);
  EXPECT_EQ(h.MaxMultiFreq, 4);
  EXPECT_EQ(h.ChannelRate, 1234.5f);
  EXPECT_EQ(h.ADBit, 14);
  EXPECT_EQ(h.StartTime, 45000.25);
  EXPECT_EQ(h.PreBlocks, 3);
  EXPECT_EQ(h.TriggerPoint, 77);
  EXPECT_EQ(h.BlockCount, 13);
  EXPECT_EQ(h.DataBytes, 13 * 250 * 6 * 2);
  EXPECT_EQ(h.CompressRatio, 8);
  EXPECT_EQ(h.CompressType, 2);
  EXPECT_EQ(h.CompressBlocks, 4);
  EXPECT_EQ(h.DataGap, 1);
  EXPECT_EQ(h.TriggerKind, 2);
  EXPECT_EQ(h.TriggerChannel, 9);
  EXPECT_EQ(h.TriggerAlgorithm, 11);
  EXPECT_EQ(h.TriggerEdge, 5);
}

TEST(RecordHeader, RefusesASampleCountDataBytesCannotHold) {
  struct Case {
    int32_t blocks, samp, chn;
    bool made;
  };
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const Case cases[] = {
      {0, 300, 4, true},
      {1, 1, kMax / 2, true},          // the largest that fits
      {1, 1, kMax / 2 + 1, false},     // one word more
      {200, 30000, 400, false},        // fits 64 bits, not 32
      {kMax, kMax, kMax, false},       // beyond 64 bits
      {-13, 300, 4, false},
      {13, -300, -4, false},           // a positive product of negative factors
  };
  for (const Case& c : cases) {
    RecordHeaderValues v;
    v.BlockCount = c.blocks, v.NumSamp = c.samp, v.NumChn = c.chn;
    const auto made = MakeRecordFileHeader(v);
    EXPECT_EQ(made.has_value(), c.made) << c.blocks << " x " << c.samp << " x " << c.chn;
    if (made) {
      EXPECT_EQ(made->DataBytes, int64_t{c.blocks} * c.samp * c.chn * 2);
    }
  }
}

// --- Layout ---------------------------------------------------------------

TEST(RecordFileLayout, ThirteenBlocksOfThreeHundredRowsOfFourWordsAreWhereTheyBelong) {
  RecordDir dir;
  const RecordPackage package = MakePackage(3, 3 + 10, 300, 4, SomeStartTime());
  const WriteResult result = WriteRecordFile(dir.Str(), package);
  ASSERT_TRUE(result.ok) << result.error;
  const std::string bytes = ReadBytes(dir.File(result.fileName));

  const int64_t dataBytes = 13 * 300 * 4 * 2;
  ASSERT_EQ(bytes.size(), 40832u + dataBytes + 4);
  EXPECT_TRUE(IsValidRecordFile(dir.File(result.fileName)));
  EXPECT_EQ(At<int32_t>(bytes, 64), 13);  // BlockCount
  EXPECT_EQ(At<int32_t>(bytes, 68), dataBytes);
  EXPECT_EQ(At<int32_t>(bytes, 56), 3);  // PreBlocks
  EXPECT_EQ(std::memcmp(bytes.data(), &package.header, 104), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 104, &package.config, 40728), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 40832, package.samples.data(), dataBytes), 0);
  EXPECT_EQ(At<uint32_t>(bytes, 40832 + dataBytes), 0u);
}

TEST(RecordFileLayout, TheCommentFollowsAsLengthAndGbkBytes) {
  RecordDir dir;
  const std::string comment = "线路2 A相接地\r\nline 2";
  const RecordPackage package = MakePackage(0, 2, 10, 3, SomeStartTime(), comment);
  const WriteResult result = WriteRecordFile(dir.Str(), package);
  ASSERT_TRUE(result.ok) << result.error;
  const std::string bytes = ReadBytes(dir.File(result.fileName));

  const std::string gbk = platform::Utf8ToGbk(comment);
  ASSERT_NE(gbk, comment);  // the text is stored converted, not as UTF-8
  const size_t at = 40832 + 2 * 10 * 3 * 2;
  ASSERT_EQ(bytes.size(), at + 4 + gbk.size());
  EXPECT_EQ(At<uint32_t>(bytes, at), gbk.size());
  EXPECT_EQ(bytes.substr(at + 4), gbk);
  EXPECT_TRUE(IsValidRecordFile(dir.File(result.fileName)));
}

// --- Ring order -----------------------------------------------------------

TEST(RecordRingCopy, TakesTheBlocksInFileOrderAcrossTheRingEnd) {
  constexpr int32_t kBlocks = 12;
  constexpr int32_t kBlockWords = 5;
  std::vector<uint16_t> ring(kBlocks * kBlockWords);
  // Every word names its block.
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<uint16_t>(i / kBlockWords);

  struct Case {
    int32_t first, last;
    std::vector<int> blocks;
  };
  const Case cases[] = {
      {kBlocks - 2, 3, {kBlocks - 2, kBlocks - 1, 0, 1, 2, 3}},
      {2, 5, {2, 3, 4, 5}},
      {7, 7, {7}},
      {kBlocks - 1, 0, {kBlocks - 1, 0}},
      {4, 3, {4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2, 3}},  // the whole ring, oldest first
      {0, kBlocks - 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
  };
  for (const Case& c : cases) {
    std::vector<uint16_t> out;
    ASSERT_TRUE(CopyRingBlocks(ring.data(), ring.size(), kBlocks, kBlockWords, c.first, c.last, out));
    std::vector<uint16_t> expected;
    for (int block : c.blocks) expected.insert(expected.end(), kBlockWords, static_cast<uint16_t>(block));
    EXPECT_EQ(out, expected) << c.first << ".." << c.last;
  }
}

TEST(RecordRingCopy, RefusesPositionsAndSizesOutsideTheRing) {
  std::vector<uint16_t> ring(10 * 4);
  struct Case {
    size_t words;
    int32_t blocks, blockWords, first, last;
  };
  const Case cases[] = {
      {40, 10, 4, 10, 3}, {40, 10, 4, 2, 10}, {40, 10, 4, -1, 3}, {40, 10, 4, 2, -1},
      {39, 10, 4, 0, 1},  // the ring is shorter than its blocks
      {40, 0, 4, 0, 0},   {40, 10, 0, 0, 0}, {40, 10, -4, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint16_t> out{1, 2, 3};
    EXPECT_FALSE(CopyRingBlocks(ring.data(), c.words, c.blocks, c.blockWords, c.first, c.last, out))
        << c.words << " " << c.blocks << " " << c.blockWords << " " << c.first << " " << c.last;
    EXPECT_TRUE(out.empty());
  }
}

// --- Names ----------------------------------------------------------------

TEST(RecordFileNames, AreTheStartTimeToTheSecond) {
  EXPECT_EQ(RecordFileName(SomeStartTime()), "F20240305140709.DAT");
  EXPECT_EQ(RecordFileName(platform::EncodeDayCount({2024, 3, 5, 14, 7, 9, 999})), "F20240305140709.DAT");
  EXPECT_EQ(RecordFileName(platform::EncodeDayCount({1999, 12, 31, 23, 59, 59, 0})).size(), 19u);
}

TEST(RecordFileNames, ARecordOfATakenSecondGetsTheNextFreeSecondAndKeepsItsStartTime) {
  struct Case {
    platform::CivilDateTime start;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {{2024, 3, 5, 14, 7, 9, 0}, {"F20240305140709.DAT", "F20240305140710.DAT", "F20240305140711.DAT"}},
      {{2024, 12, 31, 23, 59, 59, 500}, {"F20241231235959.DAT", "F20250101000000.DAT", "F20250101000001.DAT"}},
  };
  for (const Case& c : cases) {
    RecordDir dir;
    const double start = platform::EncodeDayCount(c.start);
    std::string firstBytes;
    for (size_t i = 0; i < c.names.size(); ++i) {
      const WriteResult result = WriteRecordFile(dir.Str(), MakePackage(1, 2, 20, 2, start, std::to_string(i)));
      ASSERT_TRUE(result.ok) << result.error;
      EXPECT_EQ(result.fileName, c.names[i]);
      RecordFileHeader header;
      ConfigRecord config;
      ASSERT_TRUE(ReadRecordConfig(dir.File(result.fileName), config, &header));
      EXPECT_EQ(header.StartTime, start);
      if (i == 0) firstBytes = ReadBytes(dir.File(result.fileName));
    }
    EXPECT_TRUE(ReadBytes(dir.File(c.names[0])) == firstBytes) << "the first file was changed";
    EXPECT_EQ(dir.Names().size(), c.names.size());  // no temporary file left
  }
}

// --- Failure --------------------------------------------------------------

TEST(RecordFileWriteFailure, LeavesNoFileAndSaysWhy) {
  RecordDir dir;
  const std::string plainFile = dir.File("plain");
  test::WriteBytes(plainFile, "x");
  const std::string locked = dir.File("locked");
  ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
  const bool root = ::geteuid() == 0;

  struct Case {
    const char* what;
    std::string directory;
    RecordPackage package;
    const char* cause;  // in the error text
  };
  RecordPackage shortSamples = MakePackage(0, 2, 10, 2, SomeStartTime());
  shortSamples.samples.pop_back();
  std::vector<Case> cases;
  const RecordPackage good = MakePackage(0, 2, 10, 2, SomeStartTime());
  cases.push_back({"the directory is a regular file", plainFile, good, "Not a directory"});
  cases.push_back({"the directory does not exist", dir.File("missing"), good, "No such file"});
  cases.push_back({"the directory is relative", "records", good, "absolute"});
  cases.push_back({"the samples do not match the header", dir.Str(), shortSamples, "do not match"});
  if (!root) cases.push_back({"the directory is not writable", locked, good, "Permission denied"});

  for (Case& c : cases) {
    const WriteResult result = WriteRecordFile(c.directory, std::move(c.package));
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_NE(result.error.find(c.cause), std::string::npos) << c.what << ": " << result.error;
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"plain", "locked"})) << c.what;
    EXPECT_TRUE(std::filesystem::is_empty(locked)) << c.what;
  }
}

}  // namespace
}  // namespace quelvar
