#include "shell/StoredViewOptions.h"

#include <cstdint>

namespace quelvar {

namespace {

struct StoredFlag {
  int32_t MainViewSettings::*stored;
  bool ViewOptions::*option;
};

constexpr StoredFlag kStoredFlags[] = {
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

// Stored scopes 0..6 name the first seven; every other value the pages.
constexpr int32_t kLastNamedScope = static_cast<int32_t>(ChannelScope::Overall);

}  // namespace

void ApplyStoredViewOptions(const MainViewSettings& stored, ViewOptions& options) {
  for (const StoredFlag& f : kStoredFlags) options.*f.option = stored.*f.stored == 1;
  options.PhaseMultiple = stored.IDPhase != 0;
  options.Scope = stored.IDScope >= 0 && stored.IDScope <= kLastNamedScope ? static_cast<ChannelScope>(stored.IDScope)
                                                                           : ChannelScope::Page;
}

void StoreViewOptions(const ViewOptions& options, MainViewSettings& stored) {
  for (const StoredFlag& f : kStoredFlags) stored.*f.stored = options.*f.option ? 1 : 0;
  stored.IDPhase = options.PhaseMultiple ? 1 : 0;
  stored.IDScope = static_cast<int32_t>(options.Scope);
}

}  // namespace quelvar
