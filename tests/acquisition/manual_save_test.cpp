#include "acquisition/ManualSave.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>

#include "platform/DayTime.h"
#include "platform/ScriptedUiHost.h"
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

// A stopped recorder whose ring of three blocks (default layout) holds
// samples, described as a whole-buffer save.
AppState StoppedRingOfThree() {
  AppState s;
  const LiveConfig& c = s.config;
  s.acq.RingBlocks = 3;
  s.acq.RingWriteBlock = 1;
  s.acq.RingWraps = 1;
  s.acq.BufferLayoutValid = 1;
  s.acq.RingBuffer.assign(static_cast<size_t>(3 * c.NumSamp * c.NumChn), 0);
  for (size_t i = 0; i < s.acq.RingBuffer.size(); ++i) s.acq.RingBuffer[i] = static_cast<uint16_t>(i);
  s.acq.BlockTime = SomeStartTime();
  s.layout.MaxChannelRate = 1000.0f;
  DescribeWholeRing(s);
  return s;
}

// Every entry below the directory, as paths relative to it.
std::set<std::string> AllFiles(const RecordDir& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
    names.insert(e.path().lexically_relative(dir.Path()).string());
  }
  return names;
}

// What a user's answer in the name dialog does: a name, or cancel.
AskFileInfoFn Answer(std::optional<std::string> name, int* asked = nullptr) {
  return [name, asked](const std::string&) -> std::optional<FileInfoChoice> {
    if (asked != nullptr) ++*asked;
    if (!name) return std::nullopt;
    return FileInfoChoice{*name, "用户保存当前波形!\r\n"};
  };
}

TEST(ManualSaveOutcome, MendedTextsNameTheFileWrittenOrSayWhyNothingWas) {
  const bool root = ::geteuid() == 0;
  const AppState state = StoppedRingOfThree();
  const std::string when = platform::PageStampText(state.record.StartTime);
  struct Case {
    const char* what;
    std::optional<std::string> name;         // the dialog's answer; nothing = Cancel
    std::optional<platform::MsgResult> replace;  // the answer to "replace?", when asked
    ManualSaveResult result;
    const char* status;   // "%" stands for the absolute path of the name
    const char* runLog;   // the start of the run-log line; "" for none
    const char* target;   // what the name then stands for: "record", "old", "dir" or "none"
    bool needsNonRoot = false;
  } cases[] = {
      {"cancelled", std::nullopt, std::nullopt, ManualSaveResult::Cancelled, "提示：存盘已取消，波形未保存", "",
       "none"},
      {"a directory that is a regular file", "plain.txt/ring.dat", std::nullopt, ManualSaveResult::Failed,
       "错误：波形文件%保存失败!", "\r\n错误：记录文件写入失败：", "none"},
      {"a missing directory", "missing/ring.dat", std::nullopt, ManualSaveResult::Failed, "错误：波形文件%保存失败!",
       "\r\n错误：记录文件写入失败：", "none"},
      {"a read-only directory", "locked/ring.dat", std::nullopt, ManualSaveResult::Failed,
       "错误：波形文件%保存失败!", "\r\n错误：记录文件写入失败：", "none", true},
      {"no name given", "", std::nullopt, ManualSaveResult::Failed, "错误：未给出文件名，波形未保存!", "", "none"},
      {"the name of a directory", "other", std::nullopt, ManualSaveResult::Failed, "错误：波形文件other保存失败!",
       "\r\n错误：记录文件写入失败：", "dir"},
      {"an existing file, not replaced", "old.dat", platform::MsgResult::No, ManualSaveResult::Declined,
       "提示：未替换已有文件old.dat，波形未保存", "", "old"},
      {"an existing file, replaced", "old.dat", platform::MsgResult::Yes, ManualSaveResult::Written,
       "保存的波形文件名为: old.dat", "\r\n当前缓冲区波形存盘于:", "record"},
      {"a new name", "ring.dat", std::nullopt, ManualSaveResult::Written, "保存的波形文件名为: ring.dat",
       "\r\n当前缓冲区波形存盘于:", "record"},
      {"a name in another directory", "sub/../other/ring.dat", std::nullopt, ManualSaveResult::Written,
       "保存的波形文件名为: %", "\r\n当前缓冲区波形存盘于:", "record"},
  };
  for (const Case& c : cases) {
    if (c.needsNonRoot && root) {
      std::cout << "skipped \"" << c.what << "\": root writes into any directory\n";
      continue;
    }
    RecordDir dir;
    WriteBytes(dir.File("plain.txt"), "text");
    WriteBytes(dir.File("old.dat"), "old");
    std::filesystem::create_directory(dir.Path() / "locked");
    std::filesystem::create_directory(dir.Path() / "other");
    std::filesystem::permissions(dir.Path() / "locked", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::remove);
    std::filesystem::permissions(dir.Path() / "locked", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    const std::set<std::string> before = AllFiles(dir);
    platform::ScriptedUiHost ui;
    if (c.replace) ui.messageAnswers.push_back(*c.replace);

    const ManualSaveOutcome out =
        SaveManualRecord(state, ManualSaveKind::WholeBuffer, dir.Str(), SomeStartTime(), ui, Answer(c.name));
    std::filesystem::permissions(dir.Path() / "locked", std::filesystem::perms::owner_all);

    const bool named = c.name && !c.name->empty();
    const std::string path = named ? (dir.Path() / *c.name).lexically_normal().string() : std::string();
    std::string status = c.status;
    if (const size_t at = status.find('%'); at != std::string::npos) status.replace(at, 1, path);
    EXPECT_EQ(out.result, c.result) << c.what;
    EXPECT_EQ(out.statusText, status) << c.what;
    EXPECT_EQ(out.runLogLine.rfind(c.runLog, 0), 0u) << c.what << ": " << out.runLogLine;
    EXPECT_EQ(out.runLogLine.empty(), std::string(c.runLog).empty()) << c.what;
    if (c.result == ManualSaveResult::Written) {
      // The line gives the record's time and the file.
      EXPECT_EQ(out.runLogLine, c.runLog + when + "  文件名:" + path) << c.what;
      EXPECT_EQ(out.path, path) << c.what;
    } else if (!out.runLogLine.empty()) {
      EXPECT_NE(out.runLogLine.find(path), std::string::npos) << c.what << ": " << out.runLogLine;
    }
    // The replace question comes exactly when the name is taken.
    const auto asked = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
    ASSERT_EQ(asked.size(), c.replace ? 1u : 0u) << c.what;
    if (c.replace) {
      EXPECT_EQ(asked[0].text, "文件old.dat已存在。\r\n要替换它吗?");
      EXPECT_EQ(asked[0].caption, "保存采样结果");
      EXPECT_EQ(asked[0].buttons, platform::MsgButtons::YesNo);
    }

    // On disk: the record, the old file untouched, or nothing at all; never
    // a temporary file left behind.
    const std::string target = named ? path : dir.File("ring.dat");
    if (std::string(c.target) == "record") {
      EXPECT_TRUE(IsValidRecordFile(target)) << c.what;  // its comment: 19 bytes in GBK
      EXPECT_EQ(std::filesystem::file_size(target), 40832u + 3u * 300u * 4u * 2u + 4u + 19u) << c.what;
    } else if (std::string(c.target) == "old") {
      EXPECT_EQ(ReadBytes(target), "old") << c.what;
    } else if (std::string(c.target) == "dir") {
      EXPECT_TRUE(std::filesystem::is_directory(target)) << c.what;
    } else {
      EXPECT_FALSE(std::filesystem::exists(target)) << c.what;
    }
    std::set<std::string> expected = before;
    if (std::string(c.target) == "record") {
      expected.insert(std::filesystem::path(target).lexically_relative(dir.Path()).string());
    }
    EXPECT_EQ(AllFiles(dir), expected) << c.what;
  }
}

TEST(ManualSaveOutcome, MendedARecordItsDataCannotFillIsRefusedBeforeTheDialog) {
  AppState state = StoppedRingOfThree();
  state.acq.RingBuffer.resize(100);  // smaller than the record described
  RecordDir dir;
  platform::ScriptedUiHost ui;
  int asked = 0;
  const ManualSaveOutcome out = SaveManualRecord(state, ManualSaveKind::WholeBuffer, dir.Str(), SomeStartTime(), ui,
                                                 Answer(std::string("ring.dat"), &asked));
  EXPECT_EQ(out.result, ManualSaveResult::Refused);
  EXPECT_EQ(out.statusText, "错误：记录数据不完整，波形未保存!");
  EXPECT_EQ(out.runLogLine, "\r\n错误：记录数据不完整，未能保存记录文件!");
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(dir.Names().empty());

  // The current view without data on display is refused the same way.
  state = StoppedRingOfThree();
  const ManualSaveOutcome view = SaveManualRecord(state, ManualSaveKind::CurrentView, dir.Str(), SomeStartTime(), ui,
                                                  Answer(std::string("view.dat"), &asked));
  EXPECT_EQ(view.result, ManualSaveResult::Refused);
  EXPECT_EQ(asked, 0);
}

TEST(ManualSaveOutcome, TheProposedNameCarriesTheTimeOfTheSave) {
  const AppState state = StoppedRingOfThree();
  RecordDir dir;
  platform::ScriptedUiHost ui;
  std::string proposed;
  SaveManualRecord(state, ManualSaveKind::WholeBuffer, dir.Str(), SomeStartTime(), ui,
                   [&](const std::string& name) -> std::optional<FileInfoChoice> {
                     proposed = name;
                     return std::nullopt;
                   });
  EXPECT_EQ(proposed, "F20240305140709.DAT");
}

TEST(ManualSaveOutcome, MendedARingThatTookNoBlockHoldsNothingToSave) {
  AppState s;
  s.acq.BufferLayoutValid = 1;  // prepared by a start that then failed
  EXPECT_TRUE(RingHoldsNothing(s));
  s.acq.RingWriteBlock = 1;
  EXPECT_FALSE(RingHoldsNothing(s));
  s.acq.RingWriteBlock = 0;
  s.acq.RingWraps = 1;  // full round, write position back at 0
  EXPECT_FALSE(RingHoldsNothing(s));
  s.acq.RingWraps = 0;
  s.display.DataSourceMode = 2;  // the oscilloscope rewrites block 0
  EXPECT_FALSE(RingHoldsNothing(s));
}

}  // namespace
}  // namespace quelvar::test
