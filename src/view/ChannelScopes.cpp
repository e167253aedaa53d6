#include "view/ChannelScopes.h"

#include <algorithm>

#include "view/WaveRows.h"

namespace quelvar {

ChannelScrollStart ScrolledChannelStart(const LiveConfig& config, const ViewOptions& options, int32_t position,
                                        int32_t maximum) {
  int64_t p = position;
  switch (options.Scope) {
    case ChannelScope::Line:
      if (!options.PhaseMultiple) {
        const int32_t line = LineOfChannel(config, position);
        p = config.LineFirstChannel[static_cast<size_t>(std::clamp(line, 0, kMaxLines))];
      }
      break;
    case ChannelScope::Four: p = std::min<int64_t>(p, int64_t{maximum} - 3); break;
    case ChannelScope::Eight: p = std::min<int64_t>(p, int64_t{maximum} - 7); break;
    case ChannelScope::Sixteen: p = std::min<int64_t>(p, int64_t{maximum} - 15); break;
    case ChannelScope::All: p = 0; break;
    case ChannelScope::Channel:
    case ChannelScope::Overall:
    case ChannelScope::Page:
      break;
  }
  ChannelScrollStart start;
  start.BegDispChannel = static_cast<int32_t>(std::max<int64_t>(p, 0));
  start.CurrentLine = options.PhaseMultiple ? start.BegDispChannel : LineOfChannel(config, start.BegDispChannel);
  return start;
}

void SwitchUniversalPageSlot(UniversalPages& pages, int32_t oldSlot, int32_t newSlot) {
  const auto slot = [](int32_t s) { return static_cast<size_t>(std::clamp(s, 0, kStoredUniversalPages - 1)); };
  const size_t from = slot(oldSlot), to = slot(newSlot);
  pages.VPAnalogPages[from] = pages.VPAnalog;
  pages.VPBinPages[from] = pages.VPBin;
  pages.VPPages[from] = pages.VP;
  pages.VPAnalog = pages.VPAnalogPages[to];
  pages.VPBin = pages.VPBinPages[to];
  pages.VP = pages.VPPages[to];
}

void CopyUniversalPageToScratch(const UniversalPages& pages, UniversalPageRecord& scratch) {
  scratch.AnalogCount = pages.VPAnalog;
  scratch.SwitchCount = pages.VPBin;
  scratch.Channels = pages.VP;
}

void TakeUniversalPageFromScratch(const UniversalPageRecord& scratch, UniversalPages& pages) {
  const int32_t analog = std::clamp(scratch.AnalogCount, 0, kMaxDisplayPositions);
  const int32_t switches = std::clamp(scratch.SwitchCount, 0, kMaxDisplayPositions - analog);
  pages.VPAnalog = analog;
  pages.VPBin = switches;
  std::copy_n(scratch.Channels.begin(), analog + switches, pages.VP.begin());
}

}  // namespace quelvar
