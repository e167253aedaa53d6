#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "acquisition/ChannelLayout.h"
#include "common/AppState.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigRecord.h"
#include "shell/RecordFile.h"

namespace quelvar::test {

// A record file of another card ("Recorder7": two analog channels on two
// lines, 50 rows a block, every sample 2100), written into `directory`;
// returns its path.
inline std::string WriteForeignRecord(const std::filesystem::path& directory, int32_t blocks,
                                      int32_t frqSamp = 10000) {
  AppState other;
  LiveConfig& oc = other.config;
  oc.CardNameText = "Recorder7";
  oc.Analog_Num = 2;
  oc.Total_Line = 2;
  for (auto& line : oc.LineTable) line.APhaseNum = 1;
  oc.NumSamp = 50;
  oc.FrqSamp = frqSamp;
  ComputeChannelLayout(oc, other.layout, 0, true, {});
  RecordHeaderValues v;
  v.NumChn = oc.NumChn;
  v.Total_Line = oc.Total_Line;
  v.Analog_Num = oc.Analog_Num;
  v.NumSamp = oc.NumSamp;
  v.MaxMultiFreq = 1;
  v.ChannelRate = oc.ChannelRate;
  v.ADBit = oc.ADBit;
  v.BlockCount = blocks;
  RecordPackage package;
  package.header = *MakeRecordFileHeader(v);
  BuildConfigRecord(oc, BuildExtrasOf(other), package.config);
  package.samples.assign(static_cast<size_t>(blocks) * 50 * 2, 2100);
  const WriteResult written = WriteRecordFile(directory.string(), std::move(package));
  EXPECT_TRUE(written.ok) << written.error;
  return (directory / written.fileName).string();
}

}  // namespace quelvar::test
