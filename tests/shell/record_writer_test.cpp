#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "record_file_support.h"
#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"
#include "shell/RecordFilePrune.h"
#include "shell/RecordWriter.h"

namespace quelvar {
namespace {

using test::MakePackage;
using test::RecordDir;
using test::SomeStartTime;

// What the writer threads report, collected under a lock.
class Results {
 public:
  RecordWriter::Done Collector() {
    return [this](WriteResult result) {
      std::lock_guard lock(mutex_);
      results_.push_back(std::move(result));
    };
  }
  std::vector<WriteResult> Taken() {
    std::lock_guard lock(mutex_);
    return results_;
  }

 private:
  std::mutex mutex_;
  std::vector<WriteResult> results_;
};

TEST(RecordWriter, WritesEveryRecordStartedAtOnceAndReportsEachOnce) {
  constexpr int kRecords = 8;
  RecordDir dir;
  Results results;
  RecordWriter writer;
  // Records of one second, and one a second later, all completing together:
  // their threads compete for the names.
  for (int i = 0; i < kRecords; ++i) {
    const double start = SomeStartTime() + (i == 0 ? 1.0 / 86400 : 0.0);
    writer.Start(dir.Str(), MakePackage(1, 2 + i, 50, 4, start, "record " + std::to_string(i)), 400,
                 results.Collector());
  }
  writer.JoinAll();
  EXPECT_EQ(writer.Running(), 0u);

  const std::vector<WriteResult> taken = results.Taken();
  ASSERT_EQ(taken.size(), static_cast<size_t>(kRecords));
  std::set<std::string> written;
  std::set<int32_t> blockCounts;
  for (const WriteResult& result : taken) {
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.writtenSynchronously);
    written.insert(result.fileName);
    ConfigRecord config;
    RecordFileHeader header;
    EXPECT_TRUE(ReadRecordConfig(dir.File(result.fileName), config, &header)) << result.fileName;
    blockCounts.insert(header.BlockCount);
  }
  EXPECT_EQ(written, dir.Names());
  EXPECT_EQ(written.size(), static_cast<size_t>(kRecords));
  EXPECT_EQ(blockCounts.size(), static_cast<size_t>(kRecords));  // every record, none twice
}

TEST(RecordWriter, PrunesAfterWritingAndKeepsTheNewRecord) {
  RecordDir dir;
  // Twenty records older than the new one, and one that is older still but
  // was written later: pruning goes by start time.
  for (int i = 0; i < 20; ++i) {
    const WriteResult old = WriteRecordFile(dir.Str(), MakePackage(0, 1, 10, 2, SomeStartTime() - 1 - i * 0.01));
    ASSERT_TRUE(old.ok) << old.error;
  }
  const std::set<std::string> before = dir.Names();
  const std::string oldest = RecordFileName(SomeStartTime() - 1 - 19 * 0.01);
  ASSERT_TRUE(before.count(oldest));

  Results results;
  {
    RecordWriter writer;
    writer.Start(dir.Str(), MakePackage(0, 1, 10, 2, SomeStartTime()), 20, results.Collector());
  }  // the destructor waits for the thread
  const std::vector<WriteResult> taken = results.Taken();
  ASSERT_EQ(taken.size(), 1u);
  ASSERT_TRUE(taken[0].ok) << taken[0].error;

  std::set<std::string> expected = before;
  expected.erase(oldest);
  expected.insert(taken[0].fileName);
  EXPECT_EQ(dir.Names(), expected);
}

TEST(RecordWriter, ReportsAFailedWriteAndPrunesNothing) {
  RecordDir dir;
  for (int i = 0; i < 25; ++i) {
    ASSERT_TRUE(WriteRecordFile(dir.Str(), MakePackage(0, 1, 10, 2, SomeStartTime() - i)).ok);
  }
  const std::set<std::string> before = dir.Names();
  RecordPackage broken = MakePackage(0, 2, 10, 2, SomeStartTime());
  broken.samples.resize(3);

  Results results;
  RecordWriter writer;
  writer.Start(dir.Str(), std::move(broken), 20, results.Collector());
  writer.JoinAll();
  const std::vector<WriteResult> taken = results.Taken();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_FALSE(taken[0].ok);
  EXPECT_FALSE(taken[0].error.empty());
  EXPECT_EQ(dir.Names(), before);
}

TEST(RecordWriter, StartsAgainAfterJoiningAndReapsWhatFinished) {
  RecordDir dir;
  Results results;
  RecordWriter writer;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 4; ++i) {
      writer.Start(dir.Str(), MakePackage(0, 1, 10, 2, SomeStartTime() + round), 400, results.Collector());
    }
    if (round != 1) writer.JoinAll();  // round 1's threads are reaped by round 2's starts or joined later
  }
  writer.JoinAll();
  EXPECT_EQ(writer.Running(), 0u);
  EXPECT_EQ(results.Taken().size(), 12u);
  EXPECT_EQ(dir.Names().size(), 12u);
}

}  // namespace
}  // namespace quelvar
