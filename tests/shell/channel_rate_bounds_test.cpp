// The channels' rate multipliers and the AC frequency at and past their
// bounds, through every carrier of a configuration record: the check itself,
// configuration files, record files and the virtual card's replay file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "common/ConfigBounds.h"
#include "platform/ScriptedUiHost.h"
#include "record_file_support.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigFile.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {
namespace {

namespace fs = std::filesystem;
using platform::ScriptedUiHost;

struct BoundCase {
  const char* name;
  void (*change)(ConfigRecord&);
  bool accepted;
};

// One analog channel and no switch inputs: that channel alone fills a row.
void OneChannel(ConfigRecord& r, int32_t multiFreq) {
  r.Analog_Num = 1;
  r.Total_Line = 1;
  r.SW_Num = 0;
  r.Channels[0].MultiFreq = multiFreq;
}

// Four channels and 17 switch inputs (2 switch words); channel 3 takes the
// rest of a row of `rowWords` words.
void WideRow(ConfigRecord& r, int32_t rowWords) {
  r.Analog_Num = 4;
  r.SW_Num = 17;
  for (int i = 0; i < 3; ++i) r.Channels[i].MultiFreq = 1;
  r.Channels[3].MultiFreq = rowWords - 3 - 2;
}

const float kTinyACFrq = 1.0e-30f;

const BoundCase kCases[] = {
    {"Unchanged", [](ConfigRecord&) {}, true},
    // Rate multipliers.
    {"MultiFreqAtBound", [](ConfigRecord& r) { OneChannel(r, kMaxMultiFreq), r.MaxMultiFreq = kMaxMultiFreq; }, true},
    {"MultiFreqPastBound", [](ConfigRecord& r) { OneChannel(r, kMaxMultiFreq + 1); }, false},
    {"MultiFreqNear2To31", [](ConfigRecord& r) { r.Channels[0].MultiFreq = INT32_MAX; }, false},
    {"MaxMultiFreqPastBound", [](ConfigRecord& r) { r.MaxMultiFreq = kMaxMultiFreq + 1; }, false},
    {"MaxMultiFreqNear2To31", [](ConfigRecord& r) { r.MaxMultiFreq = INT32_MAX - 1; }, false},
    {"RowOfMostWords", [](ConfigRecord& r) { WideRow(r, kMaxRowWords); }, true},
    {"RowOneWordTooWide", [](ConfigRecord& r) { WideRow(r, kMaxRowWords + 1); }, false},
    {"EveryChannelAtBound",
     [](ConfigRecord& r) {
       r.Analog_Num = kMaxAnalogChannels;
       for (ConfigChannelEntry& c : r.Channels) c.MultiFreq = kMaxMultiFreq;
     },
     false},
    // Entries beyond Analog_Num travel as they are; the layout bounds them when used.
    {"UnusedChannelMultiFreqNear2To31", [](ConfigRecord& r) { r.Channels[kMaxAnalogChannels - 1].MultiFreq = INT32_MAX; },
     true},
    // The AC frequency.
    {"ACFrqAtLowerBound", [](ConfigRecord& r) { r.ACFrq = kMinACFrq; }, true},
    {"ACFrqJustBelowLowerBound", [](ConfigRecord& r) { r.ACFrq = std::nextafter(kMinACFrq, 0.0f); }, false},
    {"ACFrqTiny", [](ConfigRecord& r) { r.ACFrq = kTinyACFrq; }, false},
    {"ACFrqZero", [](ConfigRecord& r) { r.ACFrq = 0.0f; }, false},
    {"ACFrqNegative", [](ConfigRecord& r) { r.ACFrq = -50.0f; }, false},
    {"ACFrqNaN", [](ConfigRecord& r) { r.ACFrq = std::numeric_limits<float>::quiet_NaN(); }, false},
    {"ACFrqInfinite", [](ConfigRecord& r) { r.ACFrq = std::numeric_limits<float>::infinity(); }, false},
    {"ACFrqRailway", [](ConfigRecord& r) { r.ACFrq = 16.7f; }, true},
    {"ACFrqAircraft", [](ConfigRecord& r) { r.ACFrq = 400.0f; }, true},
    {"ACFrqAtUpperBound", [](ConfigRecord& r) { r.ACFrq = kMaxACFrq; }, true},
    {"ACFrqJustAboveUpperBound", [](ConfigRecord& r) { r.ACFrq = std::nextafter(kMaxACFrq, INFINITY); }, false},
    // Both faults at once.
    {"MultiFreqNear2To31AndTinyACFrq",
     [](ConfigRecord& r) { r.Channels[0].MultiFreq = INT32_MAX, r.ACFrq = kTinyACFrq; }, false},
};

ConfigRecord CaseRecord(const BoundCase& c) {
  ConfigRecord record = test::ValidConfig();
  c.change(record);
  return record;
}

TEST(ChannelRateBounds, TheCheckTakesExactlyTheRecordsWithinTheBounds) {
  for (const BoundCase& c : kCases) {
    const auto record = std::make_unique<ConfigRecord>(CaseRecord(c));
    EXPECT_EQ(ValidateConfigRecord(*record), c.accepted ? 1 : 0) << c.name;
    LiveConfig live;
    EXPECT_EQ(ApplyConfigRecord(*record, live), c.accepted ? 1 : 0) << c.name;
  }
}

TEST(ChannelRateBounds, ConfigurationFilesOutsideTheBoundsAreRefusedAndChangeNothing) {
  const fs::path dir = fs::path(testing::TempDir()) / ("quelvar-rate-bounds-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const BoundCase& c : kCases) {
    AppState state;
    state.config.CardNameText = "ADCard";  // the file's card: applied as the own configuration
    ScriptedUiHost ui;
    ConfigCommandEnv env{state, ui, {}, {}, {}};
    ConfigRecord before;
    BuildConfigRecord(state.config, BuildExtrasOf(state), before);

    const std::string path = (dir / (std::string(c.name) + ".QCG")).string();
    std::string error;
    ASSERT_TRUE(WriteConfigFile(path, CaseRecord(c), error)) << error;
    ui.fileAnswers.push_back(path);
    LoadConfigFromFileCommand(env);

    const auto messages = ui.PromptsOf(ScriptedUiHost::Kind::Message);
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_EQ(messages[0].text, c.accepted ? "新配置已生效!" : "配置信息非法!") << c.name;
    ConfigRecord after;
    BuildConfigRecord(state.config, BuildExtrasOf(state), after);
    if (!c.accepted) {
      EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << c.name;
    }
  }
  fs::remove_all(dir);
}

TEST(ChannelRateBounds, RecordAndReplayFilesOutsideTheBoundsAreRefused) {
  test::RecordDir dir;
  for (const BoundCase& c : kCases) {
    RecordPackage package = test::MakePackage(1, 3, 40, 4, test::SomeStartTime());
    package.config = CaseRecord(c);
    const WriteResult written = WriteRecordFile(dir.Str(), package);
    ASSERT_TRUE(written.ok) << written.error;
    const std::string path = dir.File(written.fileName);
    EXPECT_EQ(IsValidRecordFile(path), c.accepted) << c.name;
    // The virtual card's replay lends the file's configuration through this.
    ConfigRecord lent;
    EXPECT_EQ(ReadRecordConfig(path, lent), c.accepted) << c.name;
    fs::remove(path);
  }
}

}  // namespace
}  // namespace quelvar
