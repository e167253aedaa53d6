#pragma once

#include <string>

#include "shell/RecordFile.h"
#include "shell/record_file_support.h"

namespace quelvar::test {

// A record whose header agrees with its configuration record in every field
// the manager compares: 3 blocks of 300 rows of 4 words, manual trigger.
inline RecordPackage ManagedPackage(int32_t blocks = 3, std::string comment = "abc") {
  const ConfigRecord config = ValidConfig();
  RecordHeaderValues v;
  v.NumChn = config.NumChn;
  v.NumSamp = config.NumSamp;
  v.Analog_Num = config.Analog_Num;
  v.SW_Num = config.SW_Num;
  v.ADBit = config.ADBit;
  v.Total_Line = 1;
  v.ChannelRate = 1000.5f;
  v.StartTime = SomeStartTime();
  v.PreBlocks = 1;
  v.BlockCount = blocks;
  RecordPackage package;
  package.header = *MakeRecordFileHeader(v);
  package.config = config;
  package.samples.resize(static_cast<size_t>(blocks) * v.NumSamp * v.NumChn);
  for (size_t i = 0; i < package.samples.size(); ++i) package.samples[i] = static_cast<uint16_t>(i * 7 + 3);
  package.comment = std::move(comment);
  return package;
}

inline constexpr const char* kManagedName = "F20240305140709.DAT";
// Where the comment length word of a ManagedPackage(3) file stands.
inline constexpr size_t kManagedCommentAt = 40832 + 3 * 300 * 4 * 2;
inline constexpr size_t kManagedBlockBytes = 300 * 4 * 2;

// Writes the record as `name` in `dir`; its path.
inline std::string WriteManaged(const RecordDir& dir, const RecordPackage& package,
                                const std::string& name = kManagedName) {
  const std::string path = dir.File(name);
  const WriteResult written = WriteRecordFileAs(path, package);
  EXPECT_TRUE(written.ok) << written.error;
  return path;
}

}  // namespace quelvar::test
