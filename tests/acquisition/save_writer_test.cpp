#include "acquisition/SaveWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "acquisition/BlockProcessing.h"
#include "acquisition/ContinuousSaving.h"
#include "acquisition/ScheduleSave.h"
#include "platform/GbkText.h"
#include "shell/RecordFileCheck.h"
#include "shell/record_file_support.h"

namespace quelvar::test {
namespace {

constexpr int32_t kChn = 6, kSamp = 300;

// A fresh directory in memory where the machine has one: the failure sweep
// runs a hundred short runs, each waiting for the disk some thirty times.
class ScratchDir {
 public:
  ScratchDir() {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0
            ? shm
            : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quelvar-save-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Str() const { return path_.string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.insert(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

template <class Dir>
std::shared_ptr<const ContinuousSaveContent> Content(const Dir& dir) {
  auto content = std::make_shared<ContinuousSaveContent>();
  content->directory = dir.Str();
  content->header.NumChn = kChn;
  content->header.NumSamp = kSamp;
  content->header.Total_Line = 1;
  content->header.Analog_Num = kChn;
  content->header.MaxMultiFreq = 1;
  content->header.ChannelRate = 1000;
  content->header.ADBit = 12;
  content->config = ValidConfig();
  return content;
}

// Block n with its sequence word first; its words differ from every other block's.
void FillBlock(std::vector<uint16_t>& block, int n) {
  block.resize(1 + static_cast<size_t>(kChn) * kSamp);
  block[0] = static_cast<uint16_t>(0xE000 + n);
  for (size_t i = 1; i < block.size(); ++i) block[i] = static_cast<uint16_t>(n * 1000 + i);
}

// The bytes blocks first..first+count-1 leave in a file: without their sequence words.
std::string StoredBlocks(int count, int first = 0) {
  std::string bytes;
  std::vector<uint16_t> block;
  for (int n = first; n < first + count; ++n) {
    FillBlock(block, n);
    bytes.append(reinterpret_cast<const char*>(block.data() + 1), (block.size() - 1) * 2);
  }
  return bytes;
}

// A valid record file holding exactly the blocks its header counts, in
// order from the block `first` its writer was opened at.
bool HoldsCountedBlocksInOrder(const std::string& path, int first) {
  if (!IsValidRecordFile(path)) return false;
  const std::string bytes = ReadBytes(path);
  const std::string data = StoredBlocks(HeaderOf(bytes).BlockCount, first);
  return bytes.size() >= kRecordFileDataOffset + data.size() &&
         bytes.compare(kRecordFileDataOffset, data.size(), data) == 0;
}

struct Outcome {
  std::vector<SaveReport> reports;
  std::map<std::string, std::string> files;  // name -> bytes
};

constexpr uint64_t kRunTag = 1, kScheduleTag = 7;

// A run as the program gives it: a continuous file of five blocks with a
// backup every two blocks, reporting its failures, the data gap set from the
// fourth block; a scheduled file of two blocks with its backup, opened at the
// second block; the block buffer reused for every block, as CurrentBlock is.
constexpr int kRunBlocks = 5, kScheduleFirst = 1, kScheduleBlocks = 2;

Outcome RunThrough(SaveWriter::Mode mode, uint64_t maxPendingBytes = SaveWriter::kMaxPendingBytes) {
  ScratchDir dir;
  Outcome out;
  {
    ContinuousSave run, scheduled;
    SaveWriter writer(
        mode, [&](const SaveReport& r) { out.reports.push_back(r); }, {}, maxPendingBytes);
    const auto content = Content(dir);
    writer.Open(run, content, "run.dat", "run.bak", 2, SomeStartTime(), kRunTag);
    std::vector<uint16_t> current;
    for (int n = 0; n < kRunBlocks; ++n) {
      FillBlock(current, n);
      PendingBlock block(writer, current);
      writer.Append(run, block, kChn, kSamp, n >= 3, true);
      if (n == kScheduleFirst) writer.Open(scheduled, content, "s.dat", "s-BAK.dat", 2, SomeStartTime(), kScheduleTag);
      if (n >= kScheduleFirst && n < kScheduleFirst + kScheduleBlocks) {
        writer.Append(scheduled, block, kChn, kSamp, std::nullopt, false);
      }
      if (n == kScheduleFirst + kScheduleBlocks - 1) writer.Close(scheduled);
    }
    writer.Close(run);
    writer.Drain();
  }
  for (const std::string& name : dir.Names()) out.files[name] = ReadBytes(dir.File(name));
  return out;
}

TEST(SaveWriterOrder, WritesTheFilesByteForByteAsTheyWereWrittenInline) {
  const Outcome inlined = RunThrough(SaveWriter::Mode::Inline);
  ASSERT_TRUE(inlined.reports.empty());
  ASSERT_EQ(inlined.files.size(), 4u);
  const std::string run = inlined.files.at("run.dat");
  EXPECT_EQ(HeaderOf(run).BlockCount, kRunBlocks);
  EXPECT_EQ(HeaderOf(run).DataGap, 1);
  EXPECT_EQ(run.substr(kRecordFileDataOffset), StoredBlocks(kRunBlocks) + Trailer(kContinuousSaveComment));
  EXPECT_EQ(inlined.files.at("s-BAK.dat").substr(kRecordFileDataOffset),
            StoredBlocks(kScheduleBlocks, kScheduleFirst) + Trailer(kContinuousBackupComment));

  // However few blocks may wait, however often the caller has to wait.
  for (const uint64_t bound : {SaveWriter::kMaxPendingBytes, uint64_t{1}}) {
    SCOPED_TRACE(bound);
    const Outcome threaded = RunThrough(SaveWriter::Mode::Threaded, bound);
    EXPECT_EQ(threaded.reports, inlined.reports);
    EXPECT_EQ(threaded.files, inlined.files);
  }
}

TEST(SaveWriterFailure, AFailureAtEachFileOperationIsReportedAsInlineAndLeavesAValidFile) {
  int steps = 0;
  for (int64_t n = 1;; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n) + " fails");
    SetWriteFaultForTesting(n);
    const Outcome inlined = RunThrough(SaveWriter::Mode::Inline);
    if (WriteFaultCountdownForTesting() != 0) break;  // the run has fewer operations
    SetWriteFaultForTesting(n);
    const Outcome threaded = RunThrough(SaveWriter::Mode::Threaded);
    ASSERT_EQ(WriteFaultCountdownForTesting(), 0);
    ++steps;

    EXPECT_EQ(threaded.reports, inlined.reports);
    EXPECT_EQ(threaded.files, inlined.files);
    // One report at most for the failing file; the scheduled file's append
    // failures are not asked for.
    EXPECT_LE(threaded.reports.size(), 1u);

    // Every file opened keeps a valid record file with the run's first blocks.
    const auto opened = [&](uint64_t tag) {
      for (const SaveReport& r : threaded.reports) {
        if (r.kind == SaveReport::Kind::OpenFailed && r.tag == tag) return false;
      }
      return true;
    };
    for (const auto& [tag, file, backup, first] : {std::tuple{kRunTag, "run.dat", "run.bak", 0},
                                                   std::tuple{kScheduleTag, "s.dat", "s-BAK.dat", kScheduleFirst}}) {
      if (!opened(tag)) continue;
      ScratchDir dir;
      bool anyValid = false;
      for (const char* name : {file, backup}) {
        const auto it = threaded.files.find(name);
        if (it == threaded.files.end()) continue;
        WriteBytes(dir.File(name), it->second);
        if (IsValidRecordFile(dir.File(name))) {
          anyValid = true;
          EXPECT_TRUE(HoldsCountedBlocksInOrder(dir.File(name), first)) << name;
        }
      }
      EXPECT_TRUE(anyValid) << file;
    }
  }
  SetWriteFaultForTesting(0);
  EXPECT_GT(steps, 30);  // the whole run was gone through
}

TEST(SaveWriterReports, ComeBackInTheOrderOfTheFailingCommandsOnlyWhenDelivered) {
  RecordDir dir;
  ContinuousSave a, b;
  std::vector<SaveReport> delivered;
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  SaveWriter writer(
      SaveWriter::Mode::Threaded, [&](const SaveReport& r) { delivered.push_back(r); },
      [&] {
        std::lock_guard lock(mutex);
        ++wakes;
        woken.notify_all();
      });
  ASSERT_TRUE(writer.Threaded());
  const auto content = Content(dir);
  auto elsewhere = std::make_shared<ContinuousSaveContent>(*content);
  elsewhere->directory = dir.File("missing");
  writer.Open(a, content, "a.dat", "", 1, 0, 1);
  writer.Open(b, content, "b.dat", "", 1, 0, 2);
  std::vector<uint16_t> good, other(1 + 3 * kSamp);
  FillBlock(good, 0);
  {
    PendingBlock block(writer, good);
    writer.Append(a, block, kChn, kSamp, std::nullopt, true);
  }
  {
    PendingBlock block(writer, other);  // a block of another layout fails the saver
    writer.Append(b, block, 3, kSamp, std::nullopt, true);
    writer.Append(a, block, 3, kSamp, std::nullopt, true);
    writer.Append(a, block, 3, kSamp, std::nullopt, true);  // not offered: said once
  }
  ContinuousSave c;
  writer.Open(c, elsewhere, "c.dat", "", 1, 0, 9);

  {
    std::unique_lock lock(mutex);
    woken.wait(lock, [&] { return wakes == 3; });
  }
  EXPECT_TRUE(delivered.empty()) << "reports are handed over only by DeliverReports";
  writer.DeliverReports();
  const std::vector<SaveReport> expected{{SaveReport::Kind::AppendFailed, 0, 0},
                                         {SaveReport::Kind::AppendFailed, 0, 1},
                                         {SaveReport::Kind::OpenFailed, 9, 0}};
  EXPECT_EQ(delivered, expected);
  writer.Drain();
  EXPECT_EQ(delivered, expected);
  EXPECT_EQ(wakes, 3);
}

TEST(SaveWriterDrain, TheFilesAreCompleteOnceDrainedOrOnceTheWriterIsGone) {
  for (const bool drain : {true, false}) {
    SCOPED_TRACE(drain ? "drained" : "destroyed");
    RecordDir dir;
    ContinuousSave saver;
    {
      SaveWriter writer(SaveWriter::Mode::Threaded, {});
      writer.Open(saver, Content(dir), "run.dat", "run.bak", 3, 0, 1);
      std::vector<uint16_t> current;
      for (int n = 0; n < 5; ++n) {
        FillBlock(current, n);
        PendingBlock block(writer, current);
        writer.Append(saver, block, kChn, kSamp, false, true);
      }
      if (drain) {
        writer.Drain();
        // Drained, the saver is the caller's again: the stop closes it itself.
        EXPECT_EQ(saver.BlocksWritten(), 5);
        EXPECT_EQ(CloseContinuousSaving(saver), "连续存盘成功完成！");
      } else {
        writer.Close(saver);
      }
    }
    for (const auto& [name, comment] : {std::pair{"run.dat", kContinuousSaveComment},
                                        std::pair{"run.bak", kContinuousBackupComment}}) {
      const std::string bytes = ReadBytes(dir.File(name));
      EXPECT_EQ(HeaderOf(bytes).BlockCount, 5) << name;
      EXPECT_EQ(bytes.substr(kRecordFileDataOffset), StoredBlocks(5) + Trailer(comment)) << name;
    }
  }
}

TEST(ScheduledSavingThroughTheWriter, AFileThatCannotBeCreatedFreesItsSlotWhenItsReportArrives) {
  RecordDir dir;
  AppState state;
  state.config.NumChn = kChn;
  state.config.NumSamp = kSamp;
  state.config.ChannelRate = 1000;
  state.config.NumScheduleSave = 1;
  ScheduleEntry& e = state.config.ScheduleTable[0];
  e.Type = 2;  // periodic, every second
  e.Hour = 0;
  e.Minute = 0;
  e.Second = 1;
  state.acq.Schedules.States[0].BlockLimit = 100;
  state.acq.Schedules.States[0].BackupBlocks = 2;
  ScheduleSaveObj schedules;
  SaveWriter writer(SaveWriter::Mode::Threaded, [&](const SaveReport& r) { HandleSaveReport(r, {}, &schedules); });
  const double t0 = SomeStartTime(), second = 1.0 / 86400;
  schedules.CheckSchedules(state, t0, dir.File("missing"), writer);  // starts the period
  schedules.CheckSchedules(state, t0 + 1.5 * second, dir.File("missing"), writer);
  EXPECT_EQ(schedules.Slot(0).Active, 1);  // taken until the writer says otherwise
  writer.Drain();
  EXPECT_EQ(schedules.Slot(0).Active, 0);

  // A report that comes after its slot was closed and taken again leaves the new file alone.
  schedules.CheckSchedules(state, t0 + 2.5 * second, dir.Str(), writer);
  ASSERT_EQ(schedules.Slot(0).Active, 1);
  const uint64_t tag = schedules.Slot(0).OpenTag;
  writer.Drain();
  ASSERT_EQ(schedules.Slot(0).Active, 1);
  schedules.OpenRefused(tag - 1);
  EXPECT_EQ(schedules.Slot(0).Active, 1);
  schedules.CloseAll(writer);
  writer.Drain();
  EXPECT_EQ(dir.Names().size(), 1u);
}

}  // namespace
}  // namespace quelvar::test
