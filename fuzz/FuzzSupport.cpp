#include "FuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <memory>

#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "common/AppState.h"
#include "net/GrayCode.h"
#include "view/DisplayLayout.h"

namespace quelvar::fuzz {

const GrayTables& Gray() {
  static const GrayTables gray = [] {
    GrayTables tables;
    InitGrayTables(tables);
    return tables;
  }();
  return gray;
}

LiveConfig SeedConfig() {
  LiveConfig live;
  live.CardNameText = "SeedCard";
  live.NumSamp = 24;
  live.FrqSamp = 1200;
  live.ChannelRate = 1200.0f;
  live.Total_Line = 2;
  live.Line_Num = 2;
  live.Analog_Num = 6;
  live.LineTable[0].AName = "线路一";
  live.LineTable[0].APhaseNum = 4;
  live.LineTable[1].AName = "线路二";
  live.LineTable[1].APhaseNum = 2;
  live.LineTable[1].AStartID = 2;
  for (int c = 0; c < live.Analog_Num; ++c) {
    live.AnalogChannelTable[c].ChnName = "Ua" + std::to_string(c);
    live.AnalogChannelTable[c].ChnUnits = "V";
  }
  live.AnalogChannelTable[5].MultiFreq = 2;
  live.SW_Num = 20;
  for (int s = 0; s < live.SW_Num; ++s) live.SwitchChannelTable[s].SWName = "开关" + std::to_string(s);
  live.SwitchChannelTable[3].SWStartID = 1;
  live.MaxBlock = 8;
  live.FaultBlockNum = 2;
  live.Algorithm_Num = 3;
  for (int a = 0; a < live.Algorithm_Num; ++a) SetDefaultAlgorithm(live.AlgorithmTable[a], a);
  live.AlgorithmTable[1].Type = 1;
  live.AlgorithmTable[1].UsedChn = 3;
  live.AlgorithmTable[1].Channel[0] = 0;
  live.AlgorithmTable[1].Channel[1] = 1;
  live.AlgorithmTable[1].Channel[2] = 2;
  live.AlgorithmTable[1].SetPointNum = 2;
  live.AlgorithmTable[1].SetPoint[0] = 1.5f;
  live.AlgorithmTable[1].SetPoint[1] = 0.25f;
  live.NumScheduleSave = 2;
  live.ScheduleTable[0].Type = 1;
  live.ScheduleTable[0].Hour = 6;
  live.ScheduleTable[1].Type = 2;
  live.ScheduleTable[1].DurationSec = 30.0;
  TakeConfig(live);
  return live;
}

SampleLayout TakeConfig(LiveConfig& live) {
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 192, true, {});
  RebuildRateLayout(live, layout);
  RebuildLineTables(live);
  PageTables pages;
  RebuildPageTables(live, UniversalPages{}, pages);
  return layout;
}

void PrepareRuns(const LiveConfig& live) {
  // Words a run may allocate here: 8 MiB of samples.
  constexpr double kMaxWords = 1 << 22;
  const double rows = static_cast<double>(live.NumSamp) * (live.OnlineResamp ? std::max(live.ResampNum, 1) : 1);
  const double cycle = static_cast<double>(live.ChannelRate) / static_cast<double>(live.ACFrq);
  const double words = static_cast<double>(live.NumChn) * (rows + 2 * cycle) * std::max(live.MaxBlock, 1);
  if (!(words >= 0 && words <= kMaxWords) || !(cycle <= kMaxWords)) return;
  const StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                            [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  for (const bool recorder : {true, false}) {
    auto state = std::make_unique<AppState>();
    state->config = live;
    ComputeChannelLayout(state->config, state->layout, 192, true, {});
    PrepareStart(*state, recorder, quiet);
  }
}

ScratchFile::ScratchFile(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  path_ = std::string(dir && *dir ? dir : "/tmp") + "/quelvar-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

ScratchFile::~ScratchFile() { std::remove(path_.c_str()); }

const std::string& ScratchFile::Write(const uint8_t* data, size_t size) {
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) std::abort();
    data += n;
    size -= static_cast<size_t>(n);
  }
  ::close(fd);
  return path_;
}

}  // namespace quelvar::fuzz
