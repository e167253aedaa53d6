#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "record_file_support.h"
#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {
namespace {

using test::MakePackage;
using test::ReadBytes;
using test::RecordDir;
using test::WriteBytes;

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

constexpr size_t kDataBytes = 3 * 40 * 4 * 2;
constexpr size_t kCommentAt = 40832 + kDataBytes;

// A valid file of the current format, with the comment "abc".
std::string CurrentFile() {
  RecordDir dir;
  const WriteResult written = WriteRecordFile(dir.Str(), MakePackage(1, 3, 40, 4, test::SomeStartTime(), "abc"));
  EXPECT_TRUE(written.ok) << written.error;
  return ReadBytes(dir.File(written.fileName));
}

struct Mutation {
  const char* name;
  std::function<void(std::string&)> change;
};

TEST(RecordFileCheck, RefusesAFileWhoseLengthOrContentDisagreesWithItself) {
  const Mutation cases[] = {
      {"one byte short", [](std::string& b) { b.pop_back(); }},
      {"one byte long", [](std::string& b) { b.push_back('\0'); }},
      {"cut inside the comment length", [](std::string& b) { b.resize(kCommentAt + 2); }},
      {"cut inside the samples", [](std::string& b) { b.resize(kCommentAt - 1000); }},
      {"cut inside the configuration", [](std::string& b) { b.resize(104 + 1000); }},
      {"cut inside the header", [](std::string& b) { b.resize(50); }},
      {"empty", [](std::string& b) { b.clear(); }},
      {"HeaderSize 103", [](std::string& b) { Put<uint32_t>(b, 0, 103); }},
      {"tag QX", [](std::string& b) { b[9] = 'X'; }},
      {"configuration of another size", [](std::string& b) { Put<uint32_t>(b, 104, 40727); }},
      {"configuration rejected (ADBit 7)", [](std::string& b) { Put<int32_t>(b, 104 + 84, 7); }},
      {"DataBytes one word more", [](std::string& b) { Put<int32_t>(b, 68, kDataBytes + 2); }},
      {"DataBytes negative", [](std::string& b) { Put<int32_t>(b, 68, -4); }},
      {"DataBytes huge", [](std::string& b) { Put<int32_t>(b, 68, INT_MAX); }},
      {"comment length huge", [](std::string& b) { Put<uint32_t>(b, kCommentAt, UINT_MAX); }},
  };
  const std::string valid = CurrentFile();
  RecordDir dir;
  const std::string path = dir.File("F20240305140709.DAT");
  for (const Mutation& m : cases) {
    std::string bytes = valid;
    m.change(bytes);
    WriteBytes(path, bytes);
    EXPECT_FALSE(IsValidRecordFile(path)) << m.name;
    ConfigRecord config;
    EXPECT_FALSE(ReadRecordConfig(path, config)) << m.name;
    EXPECT_FALSE(IsValidRecordFileOld1(path)) << m.name;
    EXPECT_FALSE(IsValidRecordFileOld2(path)) << m.name;
  }
}

TEST(RecordFileCheck, AcceptsAFileWithOrWithoutItsComment) {
  const Mutation cases[] = {
      {"as written", [](std::string&) {}},
      {"ending right after the samples", [](std::string& b) { b.resize(kCommentAt); }},
      {"empty comment", [](std::string& b) { b.resize(kCommentAt + 4), Put<uint32_t>(b, kCommentAt, 0); }},
  };
  const std::string valid = CurrentFile();
  RecordDir dir;
  const std::string path = dir.File("F20240305140709.DAT");
  for (const Mutation& m : cases) {
    std::string bytes = valid;
    m.change(bytes);
    WriteBytes(path, bytes);
    EXPECT_TRUE(IsValidRecordFile(path)) << m.name;
    EXPECT_FALSE(IsValidRecordFileOld1(path)) << m.name;
    EXPECT_FALSE(IsValidRecordFileOld2(path)) << m.name;
  }
}

TEST(RecordFileCheck, RefusesWhatIsNotARegularFileWithoutWaitingOnIt) {
  RecordDir dir;
  const std::string fifo = dir.File("F20240305140709.DAT");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string directory = dir.File("F20240305140710.DAT");
  ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
  for (const std::string& path : {fifo, directory, dir.File("missing.DAT")}) {
    EXPECT_FALSE(IsValidRecordFile(path)) << path;
    EXPECT_FALSE(IsValidRecordFileOld1(path)) << path;
    EXPECT_FALSE(IsValidRecordFileOld2(path)) << path;
  }
}

TEST(RecordFileCheck, ReadRecordConfigHandsOverTheConfigurationEvenWhenALaterStepFails) {
  const RecordPackage package = MakePackage(1, 3, 40, 4, test::SomeStartTime(), "abc");
  RecordDir dir;
  const WriteResult written = WriteRecordFile(dir.Str(), package);
  ASSERT_TRUE(written.ok) << written.error;
  const std::string path = dir.File(written.fileName);

  for (const bool spoilLength : {false, true}) {
    if (spoilLength) WriteBytes(path, ReadBytes(path) + "x");
    ConfigRecord config{};
    RecordFileHeader header{};
    EXPECT_EQ(ReadRecordConfig(path, config, &header), !spoilLength);
    EXPECT_EQ(std::memcmp(&config, &package.config, sizeof config), 0) << spoilLength;
    EXPECT_EQ(std::memcmp(&header, &package.header, sizeof header), 0) << spoilLength;
  }
}

// --- Older formats --------------------------------------------------------

// A file of an older format with a configuration block of `blockBytes`.
std::string OldFile(size_t blockBytes, int32_t dataBytes = 600, const std::string& comment = "old") {
  std::string bytes(88, '\0');
  bytes[0] = 'Q';
  bytes[1] = 'V';
  Put<int32_t>(bytes, 52, dataBytes);
  for (int32_t i = 0; i < dataBytes; ++i) bytes.push_back(static_cast<char>(i * 13));
  const ConfigRecord config = test::ValidConfig();
  bytes.append(reinterpret_cast<const char*>(&config), blockBytes);
  const uint32_t n = static_cast<uint32_t>(comment.size());
  bytes.append(reinterpret_cast<const char*>(&n), 4);
  return bytes + comment;
}

TEST(RecordFileCheck, TellsTheTwoOlderFormatsApart) {
  struct Case {
    const char* name;
    size_t block;
    std::function<void(std::string&)> change;
    bool old1, old2;
  };
  const size_t old1Config = 88 + 600;
  const Case cases[] = {
      {"first format", kOld1ConfigBytes, [](std::string&) {}, true, false},
      {"second format", kOld2ConfigBytes, [](std::string&) {}, false, true},
      {"first format, no comment length", kOld1ConfigBytes,
       [](std::string& b) { b.resize(b.size() - 4 - 3); }, true, false},
      {"second format, no comment length", kOld2ConfigBytes,
       [](std::string& b) { b.resize(b.size() - 4 - 3); }, false, true},
      {"first format, one byte long", kOld1ConfigBytes, [](std::string& b) { b.push_back('x'); }, false, false},
      {"first format, one byte short", kOld1ConfigBytes, [](std::string& b) { b.pop_back(); }, false, false},
      {"second format, one byte long", kOld2ConfigBytes, [](std::string& b) { b.push_back('x'); }, false, false},
      {"second format, one byte short", kOld2ConfigBytes, [](std::string& b) { b.pop_back(); }, false, false},
      {"tag QX", kOld1ConfigBytes, [](std::string& b) { b[1] = 'X'; }, false, false},
      {"configuration of another size", kOld1ConfigBytes,
       [&](std::string& b) { Put<uint32_t>(b, old1Config, 29944); }, false, false},
      {"configuration rejected (ADBit 17)", kOld2ConfigBytes,
       [&](std::string& b) { Put<int32_t>(b, old1Config + 84, 17); }, false, false},
      {"configuration rejected (AC frequency 1e-30)", kOld1ConfigBytes,
       [&](std::string& b) { Put<float>(b, old1Config + 1560, 1.0e-30f); }, false, false},
      {"configuration rejected (channel 0 multiplier near 2^31)", kOld2ConfigBytes,
       [&](std::string& b) { Put<int32_t>(b, old1Config + 21036 + 88, INT_MAX); }, false, false},
      {"DataBytes negative", kOld1ConfigBytes, [](std::string& b) { Put<int32_t>(b, 52, -600); }, false, false},
      {"DataBytes huge", kOld1ConfigBytes, [](std::string& b) { Put<int32_t>(b, 52, INT_MAX); }, false, false},
      {"cut inside the header", kOld1ConfigBytes, [](std::string& b) { b.resize(60); }, false, false},
  };
  RecordDir dir;
  const std::string path = dir.File("F20240305140709.DAT");
  for (const Case& c : cases) {
    std::string bytes = OldFile(c.block);
    c.change(bytes);
    WriteBytes(path, bytes);
    EXPECT_EQ(IsValidRecordFileOld1(path), c.old1) << c.name;
    EXPECT_EQ(IsValidRecordFileOld2(path), c.old2) << c.name;
    EXPECT_FALSE(IsValidRecordFile(path)) << c.name;
  }
}

}  // namespace
}  // namespace quelvar
