#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "record_file_support.h"
#include "shell/RecordFile.h"
#include "shell/RecordFilePrune.h"

namespace quelvar {
namespace {

using test::RecordDir;
using test::WriteBytes;

// What pruning reads of a record: its header. The rest of the file is not
// looked at.
std::string HeaderBytes(double startTime, int32_t blocks = 2) {
  RecordHeaderValues v;
  v.NumSamp = 30, v.NumChn = 4, v.BlockCount = blocks, v.StartTime = startTime;
  const RecordFileHeader header = *MakeRecordFileHeader(v);
  return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

std::string Name(int i) {
  std::string digits = std::to_string(20240000000000LL + i);
  return "F" + digits + ".DAT";
}

// `count` records named Name(0).. in order, with start times that do not
// follow the names: 100 + (i * 13) % count days.
std::vector<std::string> WriteRecords(const RecordDir& dir, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    names.push_back(Name(i));
    WriteBytes(dir.File(names.back()), HeaderBytes(100 + (i * 13) % count));
  }
  return names;
}

std::set<std::string> Without(std::vector<std::string> names, const std::set<std::string>& gone) {
  std::set<std::string> rest(names.begin(), names.end());
  for (const std::string& name : gone) rest.erase(name);
  return rest;
}

TEST(RecordPruning, DeletesTheOldestCandidateWhereverItStandsInTheListing) {
  for (const int oldestAt : {0, 9, 20}) {
    RecordDir dir;
    const std::vector<std::string> names = WriteRecords(dir, 21);
    WriteBytes(dir.File(names[oldestAt]), HeaderBytes(50));
    EXPECT_EQ(PruneRecordFiles(dir.Str(), 20, ""), 1) << oldestAt;
    EXPECT_EQ(dir.Names(), Without(names, {names[oldestAt]})) << oldestAt;
  }
}

TEST(RecordPruning, DeletesOnlyFilesWhoseHeaderItCanTrust) {
  struct Case {
    const char* name;
    std::string bytes;  // of every file but the one candidate
  };
  std::string wrongTag = HeaderBytes(1);
  wrongTag[8] = 'X';
  std::string wrongSize = HeaderBytes(1);
  wrongSize[68] ^= 2;  // DataBytes no longer the product
  const Case cases[] = {
      {"garbage of a header's length", std::string(104, '\x5a')},
      {"too short for a header", HeaderBytes(1).substr(0, 103)},
      {"another tag", wrongTag},
      {"DataBytes not the product", wrongSize},
  };
  for (const Case& c : cases) {
    RecordDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 22; ++i) {
      names.push_back(Name(i));
      WriteBytes(dir.File(names.back()), i == 11 ? HeaderBytes(900) : c.bytes);
    }
    EXPECT_EQ(PruneRecordFiles(dir.Str(), 20, ""), 1) << c.name;
    EXPECT_EQ(dir.Names(), Without(names, {names[11]})) << c.name;
  }
}

TEST(RecordPruning, KeepsTheFileJustWrittenEvenWhenItIsTheOldest) {
  RecordDir dir;
  const std::vector<std::string> names = WriteRecords(dir, 22);
  WriteBytes(dir.File(names[5]), HeaderBytes(1));   // just written, oldest
  WriteBytes(dir.File(names[17]), HeaderBytes(2));  // then these two
  WriteBytes(dir.File(names[3]), HeaderBytes(3));
  EXPECT_EQ(PruneRecordFiles(dir.Str(), 20, names[5]), 2);
  EXPECT_EQ(dir.Names(), Without(names, {names[17], names[3]}));
}

TEST(RecordPruning, TakesTheFirstInNameOrderOnEqualStartTimes) {
  RecordDir dir;
  const std::vector<std::string> names = WriteRecords(dir, 21);
  WriteBytes(dir.File(names[14]), HeaderBytes(7));
  WriteBytes(dir.File(names[6]), HeaderBytes(7));
  EXPECT_EQ(PruneRecordFiles(dir.Str(), 20, ""), 1);
  EXPECT_EQ(dir.Names(), Without(names, {names[6]}));
}

TEST(RecordPruning, IgnoresFilesNotNamedLikeRecordsAndKeepsAtLeastTwenty) {
  const std::vector<std::string> strangers = {
      "F2024.DAT",           "F202400000000000.DAT", "f20240000000000.DAT", "F20240000000000.dat",
      "G20240000000000.DAT", "F20240000000000.DAT.tmp-1-0",
  };
  struct Case {
    int records;
    int32_t fileNum;
    int deleted;
  };
  const Case cases[] = {{20, 20, 0}, {21, 20, 1}, {21, 5, 1}, {24, -1, 4}, {24, 22, 2}};
  for (const Case& c : cases) {
    RecordDir dir;
    const std::vector<std::string> names = WriteRecords(dir, c.records);
    for (const std::string& stranger : strangers) WriteBytes(dir.File(stranger), HeaderBytes(0));
    // A directory and a link named like records, both with the oldest of headers behind them.
    ASSERT_EQ(::mkdir(dir.File(Name(90)).c_str(), 0700), 0);
    WriteBytes(dir.File("target"), HeaderBytes(0));
    std::filesystem::create_symlink(dir.File("target"), dir.File(Name(91)));

    EXPECT_EQ(PruneRecordFiles(dir.Str(), c.fileNum, ""), c.deleted) << c.records << " " << c.fileNum;
    const std::set<std::string> after = dir.Names();
    for (const std::string& stranger : strangers) EXPECT_TRUE(after.count(stranger)) << stranger;
    EXPECT_TRUE(after.count(Name(90)) && after.count(Name(91)) && after.count("target"));
    EXPECT_EQ(after.size(), static_cast<size_t>(c.records - c.deleted) + strangers.size() + 3);
  }
}

}  // namespace
}  // namespace quelvar
