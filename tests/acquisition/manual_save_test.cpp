#include "acquisition/ManualSave.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"
#include "shell/record_file_support.h"

namespace quelvar::test {
namespace {

// A ring of 10 blocks of 100 rows at 1000 Hz.
AppState RingOfTen(int32_t writeBlock) {
  AppState s;
  s.config.NumSamp = 100;
  s.config.ChannelRate = 1000.0f;
  s.layout.MaxChannelRate = 1000.0f;
  s.acq.RingBlocks = 10;
  s.acq.RingWriteBlock = writeBlock;
  s.acq.BlockTime = 45000.5;
  s.display.DispPoints = 1000;
  return s;
}

TEST(WholeBufferSave, DescribesTheRingFromItsOldestBlock) {
  struct Case {
    const char* what;
    int32_t writeBlock, compressing, compressStart;
    int32_t first, last, blocks, compressed;
  } cases[] = {
      {"mid-ring", 4, 0, 0, 4, 3, 10, 0},
      {"write position at the start", 0, 0, 0, 0, 9, 10, 0},
      {"compressed tail from block 8", 4, 1, 8, 4, 3, 10, 5},  // blocks 9, 0, 1, 2, 3 after block 8
      {"compressed part starting just behind the write position", 4, 1, 2, 4, 3, 10, 1},  // only block 3 follows it
  };
  for (const Case& c : cases) {
    AppState s = RingOfTen(c.writeBlock);
    s.acq.RingCompressing = c.compressing;
    s.acq.RingCompressStart = c.compressStart;
    s.acq.DataGapFlag = 1;
    DescribeWholeRing(s);
    EXPECT_EQ(s.record.TriggerBlock, c.first) << c.what;
    EXPECT_EQ(s.record.LastBlock, c.last) << c.what;
    EXPECT_EQ(s.record.BlocksDone, c.blocks) << c.what;
    EXPECT_EQ(s.record.PreBlocks, 0) << c.what;
    EXPECT_EQ(s.record.TriggerKind, 0) << c.what;
    EXPECT_EQ(s.record.DataGap, 1) << c.what;
    EXPECT_EQ(s.record.CompressBlocks, c.compressed) << c.what;
  }
}

TEST(WholeBufferSave, StartsAtTheTimeOriginShownAndTakesOneBlockOfTheOscilloscope) {
  AppState s = RingOfTen(4);
  // The origin shown lies 250 points after the oldest block's start.
  s.display.DispFirstBlock = 4;
  s.display.DispTriggerBlock = 6;
  s.display.DispTriggerPoint = 50;
  DescribeWholeRing(s);
  EXPECT_NEAR((45000.5 - s.record.StartTime) * 86400.0, 0.25, 1e-6);
  // An origin before the oldest block wraps round the ring.
  s.display.DispTriggerBlock = 2;
  DescribeWholeRing(s);
  EXPECT_NEAR((45000.5 - s.record.StartTime) * 86400.0, (-200 + 50 + 1000) / 1000.0, 1e-6);

  s.display.DataSourceMode = 2;
  DescribeWholeRing(s);
  EXPECT_EQ(s.record.TriggerBlock, 0);
  EXPECT_EQ(s.record.LastBlock, 0);
  EXPECT_EQ(s.record.BlocksDone, 1);
}

TEST(WholeBufferSave, ANamedFileReplacesAnOldOneWhole) {
  RecordDir dir;
  RecordHeaderValues v;
  v.NumChn = 2, v.NumSamp = 3, v.BlockCount = 1, v.StartTime = 45000.5;
  RecordPackage package;
  package.header = *MakeRecordFileHeader(v);
  package.config = ValidConfig();
  package.samples = {1, 2, 3, 4, 5, 6};
  package.comment = "手动保存信息!\r\n";
  WriteBytes(dir.File("mine.dat"), "old contents");
  const WriteResult result = WriteRecordFileAs(dir.File("mine.dat"), package);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.fileName, "mine.dat");
  EXPECT_TRUE(IsValidRecordFile(dir.File("mine.dat")));
  EXPECT_EQ(dir.Names(), std::set<std::string>{"mine.dat"});

  const WriteResult nowhere = WriteRecordFileAs(dir.File("missing/mine.dat"), package);
  EXPECT_FALSE(nowhere.ok);
  EXPECT_FALSE(nowhere.error.empty());
  package.samples.pop_back();  // a package that disagrees with its header is refused
  EXPECT_FALSE(WriteRecordFileAs(dir.File("mine.dat"), package).ok);
  EXPECT_TRUE(IsValidRecordFile(dir.File("mine.dat")));
}

TEST(CurrentViewSave, TakesTheWholeBlocksThatHoldTheShownRange) {
  struct Case {
    const char* what;
    int32_t firstBlock, xPosition, width;
    int32_t first, last, blocks;
  } cases[] = {
      {"inside one block", 0, 120, 50, 1, 1, 1},
      {"across two blocks", 0, 150, 100, 1, 2, 2},
      {"wrapping round the ring's end", 7, 250, 200, 9, 1, 3},  // display blocks 2..4 = ring 9, 0, 1
      {"the whole data", 4, 0, 1000, 4, 3, 10},
      // Mended: a screen wider than the data (DisplayWidth 10 of 5 points
      // leaves XPosition at -5) saves the data, not a block before it.
      {"a view starting before the data", 3, -5, 10, 3, 3, 1},
      {"a view reaching past the data", 0, 950, 100, 9, 9, 1},
  };
  for (const Case& c : cases) {
    AppState s = RingOfTen(0);
    s.display.DispBlocks = 10;
    s.display.DispFirstBlock = c.firstBlock;
    s.wave.XPosition = c.xPosition;
    s.wave.DisplayWidth = c.width;
    s.acq.DataGapFlag = 1;
    DescribeCurrentView(s);
    EXPECT_EQ(s.record.TriggerBlock, c.first) << c.what;
    EXPECT_EQ(s.record.LastBlock, c.last) << c.what;
    EXPECT_EQ(s.record.BlocksDone, c.blocks) << c.what;
    EXPECT_EQ(s.record.PreBlocks, 0) << c.what;
    EXPECT_EQ(s.record.TriggerPoint, 0) << c.what;
    EXPECT_EQ(s.record.TriggerKind, 0) << c.what;
    EXPECT_EQ(s.record.DataGap, 1) << c.what;
  }
}

TEST(CurrentViewSave, CountsTheCompressedBlocksAndStartsAtItsFirstBlock) {
  AppState s = RingOfTen(0);
  s.display.DispBlocks = 10;
  s.display.DispFirstBlock = 2;
  s.acq.RingCompressing = 1;
  s.acq.RingCompressStart = 6;
  s.wave.XPosition = 300;  // display block 3 = ring block 5
  s.wave.DisplayWidth = 100;
  s.display.DispTriggerBlock = 8;
  s.display.DispTriggerPoint = 20;
  DescribeCurrentView(s);
  EXPECT_EQ(s.record.TriggerBlock, 5);
  // Mended: the ring's count (2 - 6 + 10 = 6) is cut to the one block saved,
  // so the file never claims more compressed blocks than it holds.
  EXPECT_EQ(s.record.CompressBlocks, 1);
  s.wave.DisplayWidth = 900;  // cut to display blocks 3..9 (ring 5..9, 0, 1): 7 blocks
  DescribeCurrentView(s);
  EXPECT_EQ(s.record.CompressBlocks, 6);
  s.wave.DisplayWidth = 100;
  DescribeCurrentView(s);
  // The origin lies 3 blocks and 20 rows after the first block saved.
  EXPECT_NEAR((45000.5 - s.record.StartTime) * 86400.0, 0.32, 1e-6);

  s.display.DataSourceMode = 2;
  DescribeCurrentView(s);
  EXPECT_EQ(s.record.TriggerBlock, 0);
  EXPECT_EQ(s.record.LastBlock, 0);
  EXPECT_EQ(s.record.BlocksDone, 1);
}

}  // namespace
}  // namespace quelvar::test
