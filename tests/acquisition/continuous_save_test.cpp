#include "acquisition/ContinuousSave.h"
#include "acquisition/ContinuousSaving.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/GbkText.h"
#include "shell/RecordFileCheck.h"
#include "shell/record_file_support.h"

namespace quelvar::test {
namespace {

constexpr uint64_t kData = kRecordFileDataOffset;

ContinuousSaveContent Content(const RecordDir& dir, int32_t numChn, int32_t numSamp) {
  ContinuousSaveContent content;
  content.directory = dir.Str();
  content.header.NumChn = numChn;
  content.header.NumSamp = numSamp;
  content.header.Total_Line = 2;
  content.header.Analog_Num = numChn - 1;
  content.header.SW_Num = 16;
  content.header.MaxMultiFreq = 1;
  content.header.ChannelRate = 1000;
  content.header.ADBit = 12;
  // Fields the saver owns must not leak through.
  content.header.PreBlocks = 5;
  content.header.BlockCount = 9;
  content.header.TriggerKind = 2;
  content.config = ValidConfig();
  return content;
}

// Block n with its sequence word first; every word differs from the words of
// other blocks, so a misplaced or doubled block shows.
std::vector<uint16_t> Block(int n, int32_t numChn, int32_t numSamp) {
  std::vector<uint16_t> block(1 + static_cast<size_t>(numChn) * numSamp);
  block[0] = static_cast<uint16_t>(0xE000 + n);
  for (size_t i = 1; i < block.size(); ++i) block[i] = static_cast<uint16_t>(n * 1000 + i);
  return block;
}

// The bytes blocks 0..count-1 leave in a file: without their sequence words.
std::string StoredBlocks(int count, int32_t numChn, int32_t numSamp) {
  std::string bytes;
  for (int n = 0; n < count; ++n) {
    const auto block = Block(n, numChn, numSamp);
    bytes.append(reinterpret_cast<const char*>(block.data() + 1), (block.size() - 1) * 2);
  }
  return bytes;
}

// A valid record file holding exactly blocks 0..blocks-1 and, when given, the trailer.
void ExpectHolds(const std::string& path, int blocks, int32_t numChn, int32_t numSamp, const char* comment) {
  SCOPED_TRACE(path);
  const std::string bytes = ReadBytes(path);
  EXPECT_TRUE(IsValidRecordFile(path));
  const RecordFileHeader header = HeaderOf(bytes);
  EXPECT_EQ(header.BlockCount, blocks);
  EXPECT_EQ(header.DataBytes, blocks * numSamp * numChn * 2);
  const std::string data = StoredBlocks(blocks, numChn, numSamp);
  ASSERT_GE(bytes.size(), kData + data.size());
  EXPECT_TRUE(bytes.compare(kData, data.size(), data) == 0) << "the blocks differ";
  EXPECT_EQ(bytes.substr(kData + data.size()), comment ? Trailer(comment) : "");
}

TEST(ContinuousSaveFile, HoldsEveryAppendedBlockInOrderWithTheRunsHeader) {
  struct Case {
    int32_t numChn, numSamp;
    int blocks;
  };
  for (const Case c : {Case{6, 300, 1}, Case{6, 300, 3}, Case{1, 1, 5}, Case{4, 2, 0}}) {
    SCOPED_TRACE(std::to_string(c.numChn) + "x" + std::to_string(c.numSamp) + " x" + std::to_string(c.blocks));
    RecordDir dir;
    const ContinuousSaveContent content = Content(dir, c.numChn, c.numSamp);
    ContinuousSave saver;
    const double start = SomeStartTime();
    ASSERT_EQ(saver.Open(content, "run.dat", "", 1, start), 1) << saver.Error();
    for (int n = 0; n < c.blocks; ++n) {
      const std::string before = ReadBytes(dir.File("run.dat"));
      EXPECT_EQ(saver.Append(Block(n, c.numChn, c.numSamp), c.numChn, c.numSamp), 1);
      EXPECT_EQ(ReadBytes(dir.File("run.dat")).size(), before.size() + c.numChn * c.numSamp * 2u);
    }
    EXPECT_EQ(saver.BlocksWritten(), c.blocks);
    EXPECT_EQ(saver.Close(), 1) << saver.Error();
    EXPECT_FALSE(saver.IsOpen());

    ExpectHolds(dir.File("run.dat"), c.blocks, c.numChn, c.numSamp, kContinuousSaveComment);
    const std::string bytes = ReadBytes(dir.File("run.dat"));
    const RecordFileHeader h = HeaderOf(bytes);
    EXPECT_EQ(h.HeaderSize, 104u);
    EXPECT_EQ(std::string(h.Tag, 2), "QV");
    EXPECT_EQ(h.NumChn, c.numChn);
    EXPECT_EQ(h.NumSamp, c.numSamp);
    EXPECT_EQ(h.Analog_Num, c.numChn - 1);
    EXPECT_EQ(h.SW_Num, 16);
    EXPECT_EQ(h.ADBit, 12);
    EXPECT_EQ(h.StartTime, start);
    EXPECT_EQ(h.CompressRatio, 1);
    EXPECT_EQ(h.PreBlocks, 0);
    EXPECT_EQ(h.TriggerKind, 0);
    EXPECT_EQ(h.DataGap, 0);
    EXPECT_EQ(bytes.compare(104, sizeof(ConfigRecord),
                            std::string(reinterpret_cast<const char*>(&content.config), sizeof(ConfigRecord))),
              0);
    EXPECT_EQ(dir.Names(), std::set<std::string>{"run.dat"});
  }
}

TEST(ContinuousSaveFile, HeaderTellsOfLostBlocksOnceTheRunHadThem) {
  for (const bool gap : {false, true}) {
    RecordDir dir;
    ContinuousSave saver;
    ASSERT_EQ(saver.Open(Content(dir, 2, 3), "run.dat", "", 1, 0), 1);
    saver.Append(Block(0, 2, 3), 2, 3);
    saver.SetDataGap(gap);
    ASSERT_EQ(saver.Close(), 1);
    EXPECT_EQ(HeaderOf(ReadBytes(dir.File("run.dat"))).DataGap, gap ? 1 : 0);
  }
}

TEST(ContinuousSaveFile, RelativeNamesAreTakenInTheGivenDirectory) {
  RecordDir dir, other;
  std::filesystem::create_directory(dir.Path() / "sub");
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "sub/run.dat", other.File("copy.dat"), 1, 0), 1) << saver.Error();
  EXPECT_EQ(saver.FileName(), dir.File("sub/run.dat"));
  EXPECT_EQ(saver.BackupName(), other.File("copy.dat"));
  ASSERT_EQ(saver.Close(), 1);
  EXPECT_TRUE(IsValidRecordFile(dir.File("sub/run.dat")));
  EXPECT_TRUE(IsValidRecordFile(other.File("copy.dat")));

  // Without an absolute directory a relative name has no place.
  for (const std::string directory : {"", "relative/dir"}) {
    ContinuousSaveContent content = Content(dir, 2, 3);
    content.directory = directory;
    ContinuousSave refused;
    EXPECT_EQ(refused.Open(content, "run2.dat", "", 1, 0), 0);
    EXPECT_FALSE(std::filesystem::exists("run2.dat"));
    EXPECT_EQ(refused.Open(content, dir.File("run2.dat"), "copy2.dat", 1, 0), 0);
    EXPECT_FALSE(std::filesystem::exists("copy2.dat"));
  }
}

TEST(ContinuousSaveBackup, IsBroughtUpToDateEveryIntervalAndAtTheClose) {
  struct Case {
    int32_t interval;
    int appended;
    int copiedBeforeClose;
  };
  constexpr int32_t chn = 6, samp = 300;
  for (const Case c : {Case{3, 7, 6}, Case{0, 3, 3}, Case{-2, 2, 2}, Case{1, 2, 2}, Case{5, 4, 0}}) {
    SCOPED_TRACE("interval " + std::to_string(c.interval) + ", " + std::to_string(c.appended) + " blocks");
    RecordDir dir;
    ContinuousSave saver;
    ASSERT_EQ(saver.Open(Content(dir, chn, samp), "run.dat", "run.bak", c.interval, 0), 1) << saver.Error();
    ExpectHolds(dir.File("run.bak"), 0, chn, samp, kContinuousBackupComment);
    for (int n = 0; n < c.appended; ++n) ASSERT_EQ(saver.Append(Block(n, chn, samp), chn, samp), 1);
    EXPECT_EQ(saver.BlocksCopied(), c.copiedBeforeClose);
    ExpectHolds(dir.File("run.bak"), c.copiedBeforeClose, chn, samp, kContinuousBackupComment);
    // Between copies the record file still counts the blocks of the last copy.
    EXPECT_EQ(HeaderOf(ReadBytes(dir.File("run.dat"))).BlockCount, c.copiedBeforeClose);

    ASSERT_EQ(saver.Close(), 1) << saver.Error();
    ExpectHolds(dir.File("run.dat"), c.appended, chn, samp, kContinuousSaveComment);
    ExpectHolds(dir.File("run.bak"), c.appended, chn, samp, kContinuousBackupComment);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"run.bak", "run.dat"}));
  }
}

TEST(ContinuousSaveBackup, ALongIntervalIsCopiedAFewBlocksPerAppendWithAValidFileThroughout) {
  constexpr int32_t chn = 6, samp = 300;
  RecordDir dir;
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, chn, samp), "run.dat", "run.bak", 10, 0), 1) << saver.Error();
  for (int n = 0; n < 25; ++n) {
    ASSERT_EQ(saver.Append(Block(n, chn, samp), chn, samp), 1) << n;
    const int written = n + 1;
    // Ten blocks copied over the three appends after the tenth, twenty over
    // those after the twentieth.
    const int expectedCopied = written < 12 ? 0 : written < 22 ? 10 : 20;
    EXPECT_EQ(saver.BlocksCopied(), expectedCopied) << written;
    const bool backupValid = IsValidRecordFile(dir.File("run.bak"));
    const bool recordValid = IsValidRecordFile(dir.File("run.dat"));
    EXPECT_TRUE(backupValid || recordValid) << "no valid file after block " << written;
    if (written >= 10 && !backupValid) {
      // The copy is running: the record file holds every block.
      EXPECT_EQ(HeaderOf(ReadBytes(dir.File("run.dat"))).BlockCount, written);
    }
  }
  ASSERT_EQ(saver.Close(), 1);
  ExpectHolds(dir.File("run.dat"), 25, chn, samp, kContinuousSaveComment);
  ExpectHolds(dir.File("run.bak"), 25, chn, samp, kContinuousBackupComment);
}

TEST(ContinuousSaveLifecycle, ASecondOpenIsRefusedAndLeavesTheOpenFileAlone) {
  RecordDir dir;
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "run.dat", "", 1, 0), 1);
  ASSERT_EQ(saver.Append(Block(0, 2, 3), 2, 3), 1);
  EXPECT_EQ(saver.Open(Content(dir, 2, 3), "other.dat", "other.bak", 1, 0), 0);
  EXPECT_EQ(saver.FileName(), dir.File("run.dat"));
  ASSERT_EQ(saver.Append(Block(1, 2, 3), 2, 3), 1);
  ASSERT_EQ(saver.Close(), 1);
  ExpectHolds(dir.File("run.dat"), 2, 2, 3, kContinuousSaveComment);
  EXPECT_EQ(dir.Names(), std::set<std::string>{"run.dat"});
}

TEST(ContinuousSaveLifecycle, ClosingWhatIsNotOpenDoesNothing) {
  RecordDir dir;
  ContinuousSave never;
  EXPECT_EQ(never.Close(), 0);
  EXPECT_EQ(never.Append(Block(0, 2, 3), 2, 3), 0);
  EXPECT_EQ(never.BlocksWritten(), 0);

  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "run.dat", "run.bak", 1, 0), 1);
  saver.Append(Block(0, 2, 3), 2, 3);
  ASSERT_EQ(saver.Close(), 1);
  const std::string file = ReadBytes(dir.File("run.dat")), backup = ReadBytes(dir.File("run.bak"));
  EXPECT_EQ(saver.Close(), 0);
  EXPECT_EQ(saver.Append(Block(1, 2, 3), 2, 3), 0);
  EXPECT_EQ(ReadBytes(dir.File("run.dat")), file);
  EXPECT_EQ(ReadBytes(dir.File("run.bak")), backup);

  // A closed saver opens again for the next run.
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "next.dat", "", 1, 0), 1);
  EXPECT_EQ(saver.BlocksWritten(), 0);
  EXPECT_EQ(saver.Close(), 1);
  ExpectHolds(dir.File("next.dat"), 0, 2, 3, kContinuousSaveComment);
}

TEST(ContinuousSaveFailure, OpenFailsWhenAFileCannotBeCreated) {
  struct Case {
    const char* name;
    const char* file;
    const char* backup;
  };
  for (const Case c : {Case{"file's directory is a file", "plain/run.dat", ""},
                       Case{"backup's directory is a file", "run.dat", "plain/run.bak"},
                       Case{"file is a directory", "sub", ""}, Case{"no file name", "", "run.bak"}}) {
    SCOPED_TRACE(c.name);
    RecordDir dir;
    WriteBytes(dir.File("plain"), "x");
    std::filesystem::create_directory(dir.Path() / "sub");
    ContinuousSave saver;
    EXPECT_EQ(saver.Open(Content(dir, 2, 3), c.file, c.backup, 1, 0), 0);
    EXPECT_FALSE(saver.IsOpen());
    EXPECT_FALSE(saver.Error().empty());
    EXPECT_EQ(saver.Append(Block(0, 2, 3), 2, 3), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("run.bak")));
    // The refusal does not stick.
    EXPECT_EQ(saver.Open(Content(dir, 2, 3), "good.dat", "good.bak", 1, 0), 1) << saver.Error();
    EXPECT_EQ(saver.Close(), 1);
  }
}

TEST(ContinuousSaveFailure, ABlockOfAnotherLayoutClosesTheSaverUnwrittenAndItOpensAgain) {
  RecordDir dir;
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "run.dat", "", 1, 0), 1);
  ASSERT_EQ(saver.Append(Block(0, 2, 3), 2, 3), 1);
  EXPECT_EQ(saver.Append(Block(1, 3, 2), 3, 2), 0);
  EXPECT_EQ(saver.Append(Block(1, 2, 3), 2, 3), 0);
  EXPECT_TRUE(saver.Failed());
  EXPECT_EQ(saver.Close(), 0);
  EXPECT_FALSE(saver.IsOpen());
  ExpectHolds(dir.File("run.dat"), 1, 2, 3, nullptr);
  // One failure does not end saving for good: the saver opens again.
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "next.dat", "", 1, 0), 1) << saver.Error();
  EXPECT_FALSE(saver.Failed());
  ASSERT_EQ(saver.Append(Block(0, 2, 3), 2, 3), 1);
  ASSERT_EQ(saver.Close(), 1);
  ExpectHolds(dir.File("next.dat"), 1, 2, 3, kContinuousSaveComment);
}

TEST(ContinuousSaving, AFailedAppendIsLoggedOnceAndTheStopReportsWhereItFailed) {
  RecordDir dir;
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 2, 3), "run.dat", "", 1, 0), 1);
  AppState state;
  state.config.NumChn = 2;
  state.config.NumSamp = 3;
  state.acq.BlockWithPrefix = Block(0, 2, 3);
  std::vector<std::string> log;
  auto runLog = [&](const std::string& line) { log.push_back(line); };
  AppendContinuousBlock(state, saver, runLog);
  EXPECT_TRUE(log.empty());
  state.config.NumChn = 3;  // a block the file cannot take
  state.config.NumSamp = 2;
  for (int n = 0; n < 3; ++n) AppendContinuousBlock(state, saver, runLog);
  EXPECT_EQ(log, std::vector<std::string>{"\r\n连续记录到 1 块时失败！"});
  EXPECT_EQ(CloseContinuousSaving(saver), "连续存盘失败于块1");
  ExpectHolds(dir.File("run.dat"), 1, 2, 3, nullptr);
}

// A write that fails part-way: the process may not grow a file past
// `fileLimit` bytes, which holds for root too. Runs in a child so the limit
// stays there; the exit code has bit n set when call n reported 1 (appends of
// blocks 0..3, then the close).
struct LimitCase {
  const char* name;
  bool backup;
  uint64_t fileLimit;
  int results;
  int recordBlocks;
  int backupBlocks;
};

int RunUnderFileLimit(const RecordDir& dir, const LimitCase& c) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{c.fileLimit, c.fileLimit};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(255);
    ContinuousSave saver;
    if (saver.Open(Content(dir, 6, 300), "run.dat", c.backup ? "run.bak" : "", 1, 0) != 1) ::_exit(254);
    int results = 0;
    for (int n = 0; n < 4; ++n) results |= saver.Append(Block(n, 6, 300), 6, 300) << n;
    results |= saver.Close() << 4;
    ::_exit(results);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(ContinuousSaveFailure, AFailedWriteStopsTheSaverAndLeavesOnlyWholeCountedBlocks) {
  constexpr uint64_t block = 6 * 300 * 2;
  const uint64_t recordTrailer = Trailer(kContinuousSaveComment).size();
  const uint64_t backupTrailer = Trailer(kContinuousBackupComment).size();
  for (const LimitCase c : {
           // The third block is torn; the file keeps two, the backup the same two.
           LimitCase{"record file full mid-block", false, kData + 2 * block + block / 2, 0b00011, 2, -1},
           LimitCase{"record file full mid-block, with backup", true, kData + 2 * block + block / 2, 0b00011, 2, 2},
           // The second block and its trailer fit, its backup copy does not.
           LimitCase{"backup copy does not fit", true, kData + 2 * block + recordTrailer, 0b00001, 2, 1},
           // Everything fits but the close's trailer.
           LimitCase{"trailer does not fit", false, kData + 4 * block + 1, 0b01111, 4, -1},
       }) {
    SCOPED_TRACE(c.name);
    ASSERT_LT(recordTrailer, backupTrailer);
    RecordDir dir;
    EXPECT_EQ(RunUnderFileLimit(dir, c), c.results);
    ExpectHolds(dir.File("run.dat"), c.recordBlocks, 6, 300, nullptr);
    if (c.backup) {
      ExpectHolds(dir.File("run.bak"), c.backupBlocks, 6, 300, kContinuousBackupComment);
      EXPECT_EQ(dir.Names(), (std::set<std::string>{"run.bak", "run.dat"})) << "a temporary file was left";
    } else {
      EXPECT_EQ(dir.Names(), std::set<std::string>{"run.dat"});
    }
  }
}

// Child-side: the backup copy at which the writing process dies.
BackupCopyStep g_dieAt{};
int g_copies = 0;

void DieAt(BackupCopyStep step) {
  if (step == g_dieAt && ++g_copies == 1) ::_exit(0);
}

TEST(ContinuousSaveFailure, ACrashDuringABackupCopyLeavesAValidFileWithEveryBlockOfTheLastFinish) {
  for (const BackupCopyStep step :
       {BackupCopyStep::BlocksCopied, BackupCopyStep::TrailerWritten, BackupCopyStep::HeaderWritten}) {
    SCOPED_TRACE(static_cast<int>(step));
    RecordDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ContinuousSave saver;
      if (saver.Open(Content(dir, 6, 300), "run.dat", "run.bak", 2, 0) != 1) ::_exit(2);
      for (int n = 0; n < 2; ++n) saver.Append(Block(n, 6, 300), 6, 300);
      g_dieAt = step;
      SetBackupCopyHookForTesting(&DieAt);
      for (int n = 2; n < 4; ++n) saver.Append(Block(n, 6, 300), 6, 300);
      ::_exit(3);  // the copy never reached the step
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    // The record file was completed before the copy began.
    ExpectHolds(dir.File("run.dat"), 4, 6, 300, kContinuousSaveComment);
    if (step == BackupCopyStep::HeaderWritten) ExpectHolds(dir.File("run.bak"), 4, 6, 300, kContinuousBackupComment);
  }
}

TEST(ContinuousSaveBackup, BetweenCopiesTheBackupIsAValidFileOfTheLastCopy) {
  // After the record file's comment has been overwritten by new blocks, the
  // backup is the file that holds: valid, with the blocks of the last copy.
  RecordDir dir;
  ContinuousSave saver;
  ASSERT_EQ(saver.Open(Content(dir, 6, 300), "run.dat", "run.bak", 3, 0), 1);
  for (int n = 0; n < 5; ++n) ASSERT_EQ(saver.Append(Block(n, 6, 300), 6, 300), 1);
  ExpectHolds(dir.File("run.bak"), 3, 6, 300, kContinuousBackupComment);
  EXPECT_FALSE(IsValidRecordFile(dir.File("run.dat")) &&
               HeaderOf(ReadBytes(dir.File("run.dat"))).BlockCount == 5);
  ASSERT_EQ(saver.Close(), 1);
}

}  // namespace
}  // namespace quelvar::test
