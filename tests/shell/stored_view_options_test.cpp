#include <gtest/gtest.h>

#include "shell/StoredViewOptions.h"

namespace {

using namespace quelvar;

// Each stored switch reaches its own option only, and comes back as stored.
struct FlagCase {
  int32_t MainViewSettings::*stored;
  bool ViewOptions::*option;
};

TEST(StoredViewOptions, EachStoredSwitchIsItsOwnOption) {
  const FlagCase cases[] = {
      {&MainViewSettings::IDTrace, &ViewOptions::Trace},
      {&MainViewSettings::IDTraceTrans, &ViewOptions::BGTrans},
      {&MainViewSettings::XAxialTime, &ViewOptions::XAxialTime},
      {&MainViewSettings::AbsoluteTime, &ViewOptions::AbsoluteTime},
      {&MainViewSettings::IDMonitor, &ViewOptions::Monitor},
      {&MainViewSettings::IDViewXScale, &ViewOptions::XScale},
      {&MainViewSettings::IDViewGridLine, &ViewOptions::NoGridLines},
      {&MainViewSettings::IDViewGridPoint, &ViewOptions::GridDotted},
      {&MainViewSettings::IDViewYGrid, &ViewOptions::YGrid},
      {&MainViewSettings::IDViewScaleAlways, &ViewOptions::ScaleAlways},
  };
  for (const FlagCase& c : cases) {
    for (int32_t value : {0, 1}) {
      MainViewSettings stored;
      stored.*c.stored = value;
      ViewOptions options;
      ApplyStoredViewOptions(stored, options);
      EXPECT_EQ(options.*c.option, value == 1);
      MainViewSettings back;
      back.*c.stored = 7;  // overwritten
      StoreViewOptions(options, back);
      EXPECT_EQ(back.*c.stored, value);
    }
  }
}

TEST(StoredViewOptions, OtherStoredValuesCountAsUnchecked) {
  MainViewSettings stored;
  stored.IDMonitor = 2;
  stored.IDTrace = -1;
  ViewOptions options;
  ApplyStoredViewOptions(stored, options);
  EXPECT_FALSE(options.Monitor);
  EXPECT_FALSE(options.Trace);
}

TEST(StoredViewOptions, ScopesBeyondTheNamedOnesAreThePages) {
  const std::pair<int32_t, ChannelScope> cases[] = {
      {0, ChannelScope::Channel}, {4, ChannelScope::Sixteen}, {6, ChannelScope::Overall},
      {7, ChannelScope::Page},    {9, ChannelScope::Page},    {-1, ChannelScope::Page}};
  for (const auto& [stored, scope] : cases) {
    MainViewSettings v;
    v.IDScope = stored;
    ViewOptions options;
    ApplyStoredViewOptions(v, options);
    EXPECT_EQ(options.Scope, scope) << stored;
  }
  ViewOptions options;
  options.Scope = ChannelScope::Eight;
  options.PhaseMultiple = true;
  MainViewSettings v;
  StoreViewOptions(options, v);
  EXPECT_EQ(v.IDScope, 3);
  EXPECT_EQ(v.IDPhase, 1);
}

}  // namespace
