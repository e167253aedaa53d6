#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GbkText.h"
#include "platform/registry_test_support.h"
#include "setup/AlgorithmFile.h"

namespace quelvar {
namespace {

namespace fs = std::filesystem;
using platform::test::ReadText;
using platform::test::RunningAsRoot;
using platform::test::TempDir;
using platform::test::WriteText;

constexpr size_t kRecord = sizeof(AlgorithmConfig);

// A record with every field set to something its neighbours do not hold.
AlgorithmConfig Sample(int i, std::string_view name) {
  AlgorithmConfig r{};
  r.Type = i % 23;
  platform::WriteGbkField(name, r.Name, sizeof r.Name);
  r.UsedChn = 1 + i % 8;
  for (int k = 0; k < kAlgorithmChannels; ++k) r.Channel[k] = 100 * i + k;
  r.SetPointNum = 1 + i % 13;
  for (int k = 0; k < kAlgorithmSetPoints; ++k) r.SetPoint[k] = 0.1f * static_cast<float>(k) - static_cast<float>(i);
  r.PreRecordTime = 120 + i;
  r.RecordTime = 5200 + i;
  r.CompressRecordTime = 600000 + i;
  r.AssAnalogChnNum = i % 5;
  for (int k = 0; k < kAlgorithmAssociated; ++k) r.AssAnalogChn[k] = -k - i;
  r.AssSWChnNum = 4 - i % 5;
  for (int k = 0; k < kAlgorithmAssociated; ++k) r.AssSWChn[k] = 1000 + k + i;
  r.Spare = -1 - i;
  return r;
}

std::vector<AlgorithmConfig> Samples(int count) {
  std::vector<AlgorithmConfig> records;
  for (int i = 0; i < count; ++i) records.push_back(Sample(i, "算法" + std::to_string(i)));
  return records;
}

// A file image built by hand: magic, count, then the records' bytes, cut or
// padded to `recordBytes`.
std::string Image(std::string_view magic, int32_t count, std::span<const AlgorithmConfig> records,
                  size_t recordBytes) {
  std::string bytes(magic);
  bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
  std::string body(reinterpret_cast<const char*>(records.data()), records.size_bytes());
  body.resize(recordBytes, '\x5a');
  return bytes + body;
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

bool SameBytes(std::span<const AlgorithmConfig> a, std::span<const AlgorithmConfig> b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
}

TEST(AlgorithmFile, WrittenRecordsReadBackByteForByte) {
  TempDir dir;
  const std::string path = (dir.Path() / "发电机.alg").string();
  const std::vector<AlgorithmConfig> records = {Sample(13, "定子接地"), Sample(17, "低励及失磁"),
                                                Sample(22, "负序增量方向")};
  std::string error;
  ASSERT_TRUE(WriteAlgorithmFile(path, records, error)) << error;

  // The layout on disk, checked without the reader.
  EXPECT_EQ(ReadText(path), Image("ALGO", 3, records, records.size() * kRecord));

  const AlgorithmFileResult read = ReadAlgorithmFile(path);
  ASSERT_EQ(read.Status, AlgorithmFileStatus::Ok);
  EXPECT_TRUE(SameBytes(read.Records, records));
  EXPECT_EQ(platform::ReadGbkField(read.Records[2].Name, sizeof read.Records[2].Name), "负序增量方向");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"发电机.alg"});
}

TEST(AlgorithmFile, RewritingReplacesTheWholeFile) {
  TempDir dir;
  const std::string path = (dir.Path() / "a.alg").string();
  std::string error;
  ASSERT_TRUE(WriteAlgorithmFile(path, Samples(5), error)) << error;
  const std::vector<AlgorithmConfig> fewer = {Sample(9, "过电压")};
  ASSERT_TRUE(WriteAlgorithmFile(path, fewer, error)) << error;

  EXPECT_EQ(fs::file_size(path), 8 + kRecord);
  const AlgorithmFileResult read = ReadAlgorithmFile(path);
  ASSERT_EQ(read.Status, AlgorithmFileStatus::Ok);
  EXPECT_TRUE(SameBytes(read.Records, fewer));
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"a.alg"});
}

TEST(AlgorithmFile, NoRecordsMakeAnEmptyFile) {
  TempDir dir;
  const std::string written = (dir.Path() / "written.alg").string();
  std::string error;
  ASSERT_TRUE(WriteAlgorithmFile(written, {}, error)) << error;
  EXPECT_EQ(ReadText(written), std::string("ALGO\0\0\0\0", 8));

  const std::string byHand = (dir.Path() / "by-hand.alg").string();
  WriteText(byHand, Image("ALGO", 0, {}, 0));
  for (const std::string& path : {written, byHand}) {
    const AlgorithmFileResult read = ReadAlgorithmFile(path);
    EXPECT_EQ(read.Status, AlgorithmFileStatus::Empty) << path;
    EXPECT_TRUE(read.Records.empty()) << path;
  }
}

TEST(AlgorithmFile, OnlyTheFirstSixtyRecordsAreLoaded) {
  TempDir dir;
  const std::string path = (dir.Path() / "many.alg").string();
  const std::vector<AlgorithmConfig> records = Samples(61);
  WriteText(path, Image("ALGO", 61, records, 61 * kRecord));

  const AlgorithmFileResult read = ReadAlgorithmFile(path);
  ASSERT_EQ(read.Status, AlgorithmFileStatus::Ok);
  ASSERT_EQ(read.Records.size(), 60u);
  EXPECT_TRUE(SameBytes(read.Records, std::span(records).first(60)));
}

TEST(AlgorithmFile, RecordsFromAFileAreSanitised) {
  TempDir dir;
  const std::string path = (dir.Path() / "damaged.alg").string();
  std::vector<AlgorithmConfig> records = Samples(2);
  records[0].Type = 99;
  records[0].UsedChn = 40;
  records[0].SetPointNum = -2;
  records[1].AssAnalogChnNum = 9;
  std::memcpy(records[1].Name, "0123456789ABCDEF", 16);
  WriteText(path, Image("ALGO", 2, records, 2 * kRecord));

  const AlgorithmFileResult read = ReadAlgorithmFile(path);
  ASSERT_EQ(read.Status, AlgorithmFileStatus::Ok);
  ASSERT_EQ(read.Records.size(), 2u);
  EXPECT_EQ(read.Records[0].Type, 0);
  EXPECT_EQ(read.Records[0].UsedChn, 8);
  EXPECT_EQ(read.Records[0].SetPointNum, 0);
  EXPECT_EQ(read.Records[0].Channel[7], records[0].Channel[7]);  // values stay
  EXPECT_EQ(read.Records[1].Type, records[1].Type);
  EXPECT_EQ(read.Records[1].AssAnalogChnNum, 4);
  EXPECT_EQ(platform::ReadGbkField(read.Records[1].Name, 16), "0123456789ABCDE");
}

struct BadFileCase {
  const char* what;
  std::string bytes;
  AlgorithmFileStatus status;
};

TEST(AlgorithmFile, DamagedFilesAreRefusedWithTheirMessage) {
  const std::vector<AlgorithmConfig> two = Samples(2);
  std::vector<BadFileCase> cases;
  const std::string header("ALGO\x01\0\0\0", 8);
  for (size_t n = 0; n <= 7; ++n) {
    cases.push_back({"short", header.substr(0, n), AlgorithmFileStatus::SizeTooSmall});
  }
  const std::vector<BadFileCase> more = {
      {"other magic", Image("ALGX", 2, two, 2 * kRecord), AlgorithmFileStatus::BadMagic},
      {"lower-case magic", Image("algo", 2, two, 2 * kRecord), AlgorithmFileStatus::BadMagic},
      {"magic before size", Image("ALGX", 5, {}, 0), AlgorithmFileStatus::BadMagic},
      {"one byte short", Image("ALGO", 2, two, 2 * kRecord - 1), AlgorithmFileStatus::SizeMismatch},
      {"one byte over", Image("ALGO", 2, two, 2 * kRecord + 1), AlgorithmFileStatus::SizeMismatch},
      {"count 0, one byte over", Image("ALGO", 0, {}, 1), AlgorithmFileStatus::SizeMismatch},
      {"count -1", Image("ALGO", -1, {}, 0), AlgorithmFileStatus::SizeMismatch},
      {"count -1, one record", Image("ALGO", -1, two, kRecord), AlgorithmFileStatus::SizeMismatch},
      {"lowest count", Image("ALGO", INT32_MIN, {}, 0), AlgorithmFileStatus::SizeMismatch},
      {"huge count", Image("ALGO", 0x7fffffff, two, kRecord), AlgorithmFileStatus::SizeMismatch},
      // 536870913 x 168 + 8 is 176 in 32-bit arithmetic: the size of this file.
      {"count wrapping to the size", Image("ALGO", 536870913, two, kRecord), AlgorithmFileStatus::SizeMismatch},
  };
  cases.insert(cases.end(), more.begin(), more.end());

  TempDir dir;
  const std::string path = (dir.Path() / "bad.alg").string();
  for (const BadFileCase& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.bytes.size()) + " bytes");
    WriteText(path, c.bytes);
    ASSERT_EQ(fs::file_size(path), c.bytes.size());
    const AlgorithmFileResult read = ReadAlgorithmFile(path);
    EXPECT_EQ(read.Status, c.status);
    EXPECT_TRUE(read.Records.empty());
    EXPECT_NE(AlgorithmFileMessage(read.Status), nullptr);
  }
}

TEST(AlgorithmFile, MessagesOfTheStatuses) {
  const struct {
    AlgorithmFileStatus status;
    const char* message;
  } cases[] = {
      {AlgorithmFileStatus::Ok, nullptr},
      {AlgorithmFileStatus::CannotOpen, nullptr},
      {AlgorithmFileStatus::Empty, nullptr},
      {AlgorithmFileStatus::SizeTooSmall, "文件大小不对!"},
      {AlgorithmFileStatus::SizeMismatch, "文件大小不对!"},
      {AlgorithmFileStatus::BadMagic, "文件头标志错误!"},
  };
  for (const auto& c : cases) {
    const char* message = AlgorithmFileMessage(c.status);
    if (c.message == nullptr) {
      EXPECT_EQ(message, nullptr) << static_cast<int>(c.status);
    } else {
      ASSERT_NE(message, nullptr) << static_cast<int>(c.status);
      EXPECT_STREQ(message, c.message);
    }
  }
}

TEST(AlgorithmFile, WhatCannotBeOpenedIsPassedOver) {
  TempDir dir;
  const fs::path fifo = dir.Path() / "fifo.alg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir.Path() / "folder.alg");
  for (const fs::path& path : {dir.Path() / "missing.alg", dir.Path() / "folder.alg", fifo}) {
    const AlgorithmFileResult read = ReadAlgorithmFile(path.string());
    EXPECT_EQ(read.Status, AlgorithmFileStatus::CannotOpen) << path;
    EXPECT_TRUE(read.Records.empty()) << path;
  }
}

TEST(AlgorithmFile, UnreadableFileIsPassedOver) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads any file";
  TempDir dir;
  const fs::path path = dir.Path() / "locked.alg";
  WriteText(path, Image("ALGO", 1, Samples(1), kRecord));
  fs::permissions(path, fs::perms::none);
  EXPECT_EQ(ReadAlgorithmFile(path.string()).Status, AlgorithmFileStatus::CannotOpen);
}

TEST(AlgorithmFile, FailedWriteLeavesTheTargetAndNoTemporaryFile) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into any directory";
  TempDir dir;
  const fs::path path = dir.Path() / "keep.alg";
  std::string error;
  ASSERT_TRUE(WriteAlgorithmFile(path.string(), Samples(3), error)) << error;
  const std::string before = ReadText(path);
  fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);

  EXPECT_FALSE(WriteAlgorithmFile(path.string(), Samples(1), error));
  fs::permissions(dir.Path(), fs::perms::owner_all);
  EXPECT_NE(error.find(path.string()), std::string::npos) << error;
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"keep.alg"});
}

TEST(AlgorithmFile, TargetsThatCannotBeFilesChangeNothing) {
  TempDir dir;
  const fs::path folder = dir.Path() / "folder.alg";
  fs::create_directory(folder);
  WriteText(folder / "inside", "x");
  for (const fs::path& path : {folder, dir.Path() / "no-such-folder" / "a.alg"}) {
    std::string error;
    EXPECT_FALSE(WriteAlgorithmFile(path.string(), Samples(2), error)) << path;
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"folder.alg"}) << path;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Names(folder), std::set<std::string>{"inside"});
  }
}

}  // namespace
}  // namespace quelvar
