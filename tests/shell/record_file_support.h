#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "common/LiveConfig.h"
#include "platform/DayTime.h"
#include "platform/GbkText.h"
#include "shell/ConfigRecord.h"
#include "shell/RecordFile.h"

namespace quelvar::test {

// A fresh directory for one test, removed with everything in it afterwards.
class RecordDir {
 public:
  RecordDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quelvar-records-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~RecordDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  RecordDir(const RecordDir&) = delete;
  RecordDir& operator=(const RecordDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
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

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A record file's header as the bytes of a file hold it (zeros when too short).
inline RecordFileHeader HeaderOf(const std::string& bytes) {
  RecordFileHeader header{};
  if (bytes.size() >= sizeof header) std::memcpy(&header, bytes.data(), sizeof header);
  return header;
}

// A file's comment trailer: its GBK length, then the GBK text.
inline std::string Trailer(const char* utf8) {
  const std::string gbk = platform::Utf8ToGbk(utf8);
  const uint32_t length = static_cast<uint32_t>(gbk.size());
  return std::string(reinterpret_cast<const char*>(&length), 4) + gbk;
}

// 2024-03-05 14:07:09.
inline double SomeStartTime() { return platform::EncodeDayCount({2024, 3, 5, 14, 7, 9, 0}); }

// A configuration record that passes ValidateConfigRecord.
inline ConfigRecord ValidConfig() {
  LiveConfig live;
  live.NumChn = 4;
  ConfigRecord record;
  BuildConfigRecord(live, ConfigBuildExtras{}, record);
  return record;
}

// A record of `blocks` blocks whose sample words all differ from their
// neighbours, so a misplaced block shows.
inline RecordPackage MakePackage(int32_t preBlocks, int32_t blocks, int32_t numSamp, int32_t numChn,
                                 double startTime, std::string comment = {}) {
  RecordHeaderValues values;
  values.NumChn = numChn;
  values.NumSamp = numSamp;
  values.PreBlocks = preBlocks;
  values.BlockCount = blocks;
  values.StartTime = startTime;
  RecordPackage package;
  package.header = *MakeRecordFileHeader(values);
  package.config = ValidConfig();
  package.samples.resize(static_cast<size_t>(blocks) * numSamp * numChn);
  for (size_t i = 0; i < package.samples.size(); ++i) package.samples[i] = static_cast<uint16_t>(i * 7 + 3);
  package.comment = std::move(comment);
  return package;
}

}  // namespace quelvar::test
