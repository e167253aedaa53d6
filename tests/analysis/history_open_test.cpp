#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include "RecordFileForTest.h"
#include "analysis/HistoryOpen.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

class HistoryOpen : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::path(testing::TempDir()) / ("quelvar-history-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
};

// Ten blocks of four rows, the trigger in block 3 row 2, the last three
// blocks compressed.
test::TestRecord TenBlocks() {
  test::TestRecord t;
  t.compressBlocks = 3;
  t.compressRatio = 5;
  return t;
}

struct RangeCase {
  const char* what;
  bool whole;
  int32_t begin, end;
  // Expected
  int32_t openBegin, openEnd, triggerBlock, triggerOffset, compressedBlocks, compressStart;
};

TEST_F(HistoryOpen, RangesOpenTheirBlocksWithTheirOwnOriginAndCompressedTail) {
  const RangeCase cases[] = {
      {"whole file", true, 5, 6, 0, 9, 3, 2, 3, 7},
      {"first blocks", false, 0, 4, 0, 4, 3, 2, 0, 0},
      {"last blocks", false, 6, 9, 6, 9, 0, 0, 3, 1},
      {"one block, the trigger's", false, 3, 3, 3, 3, 0, 2, 0, 0},
      // Mended: a range ending before the trigger block starts its time at 0.
      {"ends before the trigger block", false, 0, 2, 0, 2, 0, 0, 0, 0},
      {"reaches into the tail", false, 2, 8, 2, 8, 1, 2, 2, 5},
      {"inside the tail", false, 8, 9, 8, 9, 0, 0, 2, 0},
      {"past the end", false, 8, 20, 8, 9, 0, 0, 2, 0},
      {"begins past the end", false, 12, 15, 9, 9, 0, 0, 1, 0},
      {"end below begin", false, 5, 2, 5, 5, 0, 0, 0, 0},
      {"negative begin", false, -3, 4, 0, 4, 3, 2, 0, 0},
  };
  const std::string path = test::WriteTestRecord(dir / "F1.DAT", TenBlocks());
  const int32_t numChn = test::BuildTestRecord(TenBlocks()).header.NumChn;
  const int32_t blockWords = 4 * numChn;
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.what);
    OpenedRecordFile opened;
    ASSERT_EQ(ReadRecordForHistory({path, c.whole, c.begin, c.end}, opened), RecordOpenStatus::Ok);
    EXPECT_EQ(opened.range.begin, c.openBegin);
    EXPECT_EQ(opened.range.end, c.openEnd);
    const int32_t count = c.openEnd - c.openBegin + 1;
    const RangePlacement& p = opened.placement;
    EXPECT_EQ(p.blockCount, count);
    EXPECT_EQ(p.triggerBlock, c.triggerBlock);
    EXPECT_EQ(p.triggerOffset, c.triggerOffset);
    EXPECT_EQ(p.compressedBlocks, c.compressedBlocks);
    EXPECT_EQ(p.compressStart, c.compressStart);
    // Exactly the range's words, then the one word more.
    ASSERT_EQ(opened.samples.size(), static_cast<size_t>(count) * blockWords + 1);
    EXPECT_EQ(opened.samples.front(), test::TestWord(c.openBegin, 0, 0));
    EXPECT_EQ(opened.samples[opened.samples.size() - 2], test::TestWord(c.openEnd, 3, numChn - 1));
    EXPECT_EQ(opened.samples.back(), 0);
  }
}

TEST_F(HistoryOpen, AnOpenedRangeBecomesTheHistoryRecordWithItsOwnCompressedPart) {
  const std::string path = test::WriteTestRecord(dir / "F1.DAT", TenBlocks());
  struct Case {
    int32_t begin, end;
    int32_t dispCompressed, dispCompressStart, dispCompressBlocks;
  } cases[] = {
      {0, 9, 1, 7, 3},
      // Mended: a range short of the tail is not compressed at all, and one
      // that reaches it counts only its own compressed blocks.
      {0, 6, 0, -1, -1},
      {4, 7, 1, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.begin);
    OpenedRecordFile opened;
    ASSERT_EQ(ReadRecordForHistory({path, false, c.begin, c.end}, opened), RecordOpenStatus::Ok);
    LiveConfig live;
    live.NumChn = opened.header.NumChn;
    live.NumSamp = 4;
    live.Total_Line = 2;
    live.Analog_Num = 2;
    HistoryRecord h;
    h.Synced = 1;
    DisplayDescriptor d;
    d.DispCompressStart = d.DispCompressBlocks = -1;
    d.DispCompressed = 1;
    SetOpenedRecordCompression(opened, d);
    TakeOpenedRecord(opened, live, h);
    EXPECT_EQ(h.BlockCount, c.end - c.begin + 1);
    EXPECT_EQ(h.CompressedBlocks, c.dispCompressed ? c.dispCompressBlocks : 0);
    EXPECT_EQ(h.CompressRatio, 5);
    EXPECT_EQ(h.FrqSamp, 5000.0f);
    EXPECT_EQ(h.StartTime, 46000.5);
    EXPECT_EQ(h.NumChn, live.NumChn);
    EXPECT_EQ(h.Comment, "试验记录");
    EXPECT_EQ(h.Valid, 1);
    EXPECT_EQ(h.Synced, 0);
    EXPECT_EQ(h.Samples.front(), test::TestWord(c.begin, 0, 0));
    EXPECT_TRUE(opened.samples.empty());
    EXPECT_EQ(d.DispCompressed, c.dispCompressed);
    EXPECT_EQ(d.DispCompressStart, c.dispCompressStart);
    EXPECT_EQ(d.DispCompressBlocks, c.dispCompressBlocks);
    if (c.dispCompressed) {
      EXPECT_EQ(d.DispCompressRatio, 5);
    }
  }
}

TEST_F(HistoryOpen, TheCommentIsTheFilesOrTheStandInWhenItHasNoLengthWord) {
  struct Case {
    std::optional<std::string> comment;
    std::string expected;
  } cases[] = {
      {std::string("第一次 试验"), "第一次 试验"},
      {std::string(), ""},
      {std::nullopt, kNoRecordComment},
  };
  for (const Case& c : cases) {
    test::TestRecord t;
    t.comment = c.comment;
    const std::string path = test::WriteTestRecord(dir / "F1.DAT", t);
    OpenedRecordFile opened;
    ASSERT_EQ(ReadRecordForHistory({path, true, 0, 0}, opened), RecordOpenStatus::Ok) << c.expected;
    HistoryRecord h;
    TakeOpenedRecord(opened, LiveConfig{}, h);
    EXPECT_EQ(h.Comment, c.expected);
  }
}

// The damage, applied to the bytes of a good file.
struct DamageCase {
  const char* what;
  void (*damage)(std::vector<uint8_t>& bytes);
};

template <typename T>
void Put(std::vector<uint8_t>& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

TEST_F(HistoryOpen, DamagedOrForeignFilesAreRefusedWithoutTouchingTheResult) {
  const DamageCase cases[] = {
      {"cut in the samples", [](std::vector<uint8_t>& b) { b.resize(b.size() - 30); }},
      {"cut in the header", [](std::vector<uint8_t>& b) { b.resize(60); }},
      {"cut in the configuration", [](std::vector<uint8_t>& b) { b.resize(20000); }},
      {"empty", [](std::vector<uint8_t>& b) { b.clear(); }},
      {"bytes after the comment", [](std::vector<uint8_t>& b) { b.push_back(0); }},
      {"wrong tag", [](std::vector<uint8_t>& b) { b[8] = 'X'; }},
      {"wrong header size", [](std::vector<uint8_t>& b) { Put<uint32_t>(b, 0, 88); }},
      {"data size not the blocks'", [](std::vector<uint8_t>& b) { Put<int32_t>(b, 68, 16); }},
      {"no blocks", [](std::vector<uint8_t>& b) {
         Put<int32_t>(b, 64, 0);
         Put<int32_t>(b, 68, 0);
       }},
      // The product overflows 64 bits when taken in one go.
      {"huge counts", [](std::vector<uint8_t>& b) {
         Put<int32_t>(b, 64, INT32_MAX);
         Put<int32_t>(b, 28, INT32_MAX);
         Put<int32_t>(b, 12, INT32_MAX);
       }},
      {"header and configuration disagree", [](std::vector<uint8_t>& b) {
         Put<int32_t>(b, 20, 1);  // header Analog_Num
       }},
      {"invalid configuration", [](std::vector<uint8_t>& b) { Put<uint32_t>(b, 104, 40000); }},
      {"comment longer than the file", [](std::vector<uint8_t>& b) {
         // The length word stands before the comment's 8 GBK bytes.
         Put<uint32_t>(b, b.size() - 12, 0xFFFFFFF0u);
       }},
      {"a text file", [](std::vector<uint8_t>& b) {
         const std::string text = "QV, but only a note\n";
         b.assign(text.begin(), text.end());
       }},
  };
  const test::TestRecordBytes good = test::BuildTestRecord(test::TestRecord{});
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = good.bytes;
    c.damage(bytes);
    const std::string path = test::WriteBytes(dir / "F1.DAT", bytes);
    OpenedRecordFile opened;
    EXPECT_EQ(ReadRecordForHistory({path, true, 0, 0}, opened), RecordOpenStatus::NotARecord);
    EXPECT_EQ(opened.config, nullptr);
    EXPECT_TRUE(opened.samples.empty());
    EXPECT_FALSE(opened.comment.has_value());
  }
}

TEST_F(HistoryOpen, WhatIsNoRegularFileCannotBeOpened) {
  OpenedRecordFile opened;
  EXPECT_EQ(ReadRecordForHistory({(dir / "none.DAT").string(), true, 0, 0}, opened), RecordOpenStatus::CannotOpen);
  EXPECT_EQ(ReadRecordForHistory({dir.string(), true, 0, 0}, opened), RecordOpenStatus::CannotOpen);
}

TEST_F(HistoryOpen, TheScreenStartsTwoPointsBeforeTheTriggerRowAtTheFastestRate) {
  struct Case {
    int32_t triggerBlock, triggerOffset, numSamp, maxMultiFreq, expected;
  } cases[] = {
      {2, 5, 100, 1, 203},
      // Mended: the row, not only the block, counts at MaxMultiFreq points.
      {2, 5, 100, 4, 818},
      {0, 1, 100, 1, 0},  // the trigger in the first two points
      {0, 0, 100, 3, 0},
      {INT32_MAX, 0, INT32_MAX, 8, INT32_MAX},
  };
  for (const Case& c : cases) {
    HistoryRecord h;
    h.TriggerBlock = c.triggerBlock;
    h.TriggerOffset = c.triggerOffset;
    EXPECT_EQ(HistoryScrollPoint(h, c.numSamp, c.maxMultiFreq), c.expected) << c.triggerBlock << " " << c.maxMultiFreq;
  }
}

TEST_F(HistoryOpen, TheRunLogNamesTheTrigger) {
  struct Case {
    int32_t kind, channel, algorithm, edge;
    std::string expected;
  } cases[] = {
      {0, 4, 5, 6, "手动"},
      {1, 7, 0, 3, "开关量通道第 7 号\r\n 触发类型: 上升沿"},
      {2, 12, 3, 1, "模拟量通道第 12 号\r\n 算法编号第3号\r\n 算法类型: 超过峰值"},
      {9, 1, 1, 1, ""},
  };
  for (const Case& c : cases) {
    RecordFileHeader h{};
    h.TriggerKind = c.kind;
    h.TriggerChannel = c.channel;
    h.TriggerAlgorithm = c.algorithm;
    h.TriggerEdge = c.edge;
    EXPECT_EQ(OpenedRecordLogText(h, "2025-12-11 08:00:00"),
              "\r\n选中历史数据:2025-12-11 08:00:00\r\n 触发类型为: " + c.expected);
  }
}

}  // namespace

namespace {

TEST_F(HistoryOpen, TheOpenedWordsAreTheProcesssOwnAndTheFileStaysAsItWas) {
  const std::string path = test::WriteTestRecord(dir / "F1.DAT", TenBlocks());
  const std::vector<uint8_t> before = test::BuildTestRecord(TenBlocks()).bytes;
  OpenedRecordFile opened;
  ASSERT_EQ(ReadRecordForHistory({path, false, 2, 4}, opened), RecordOpenStatus::Ok);
  HistoryRecord h;
  TakeOpenedRecord(opened, LiveConfig{}, h);
  // Changed in place (as the skew correction does) and grown (as the
  // derived data do): the file keeps its bytes.
  h.Samples[0] = 0xBEEF;
  h.Samples.back() = 0xBEEF;
  EXPECT_EQ(h.Samples[0], 0xBEEF);
  h.Samples.push_back(7);
  EXPECT_EQ(h.Samples[0], 0xBEEF);
  EXPECT_EQ(h.Samples[1], test::TestWord(2, 0, 1));
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> after((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(after, before);
}

TEST_F(HistoryOpen, TheWordAfterTheSamplesIsZeroAlsoWhereTheFileEndsOnAPageBoundary) {
  // No comment, and the samples end exactly at a 4096-byte boundary.
  test::TestRecord t;
  t.comment = std::nullopt;
  t.blocks = 1;
  t.preBlocks = 0;
  const int32_t numChn = test::BuildTestRecord(t).header.NumChn;
  t.numSamp = 0;
  for (int32_t n = 1; n < 100000 && t.numSamp == 0; ++n) {
    if ((kRecordFileDataOffset + uint64_t{static_cast<uint32_t>(n * numChn)} * 2) % 4096 == 0) t.numSamp = n;
  }
  ASSERT_GT(t.numSamp, 0);
  const std::string path = test::WriteTestRecord(dir / "F1.DAT", t);
  ASSERT_EQ(fs::file_size(path) % 4096, 0u);
  OpenedRecordFile opened;
  ASSERT_EQ(ReadRecordForHistory({path, true, 0, 0}, opened), RecordOpenStatus::Ok);
  ASSERT_EQ(opened.samples.size(), static_cast<size_t>(t.numSamp) * numChn + 1);
  EXPECT_EQ(opened.samples[opened.samples.size() - 2], test::TestWord(0, t.numSamp - 1, numChn - 1));
  EXPECT_EQ(opened.samples.back(), 0);
}

}  // namespace
