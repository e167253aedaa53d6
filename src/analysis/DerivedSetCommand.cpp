#include "analysis/DerivedSetCommand.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/NumberFormat.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

namespace {

int32_t ShownAnalogChannels(const AppState& state) {
  return std::clamp(std::min(state.config.Analog_Num, state.history.AnalogCount), 0, kMaxAnalogChannels);
}

}  // namespace

std::optional<std::string> DerivedCommandRefusal(const AppState& state, bool historyShown) {
  if (!historyShown || state.RunState != kRunIdle || ShownDerivedSpan(state).blocks <= 0) {
    return std::string(kDerivedNoHistory);
  }
  if (state.config.MaxMultiFreq > 1) return std::string(kDerivedMultiRate);
  return std::nullopt;
}

DerivedSpan ShownDerivedSpan(const AppState& state) {
  return ScreenSpan(state.history, state.wave.XPosition, state.wave.DisplayWidth);
}

CodeRange DerivedCodeRange(const LiveConfig& config) {
  return {TruncToInt32(config.VZero), TruncToInt32(config.ADMax)};
}

std::vector<DerivedChannelDef> DefaultDerivedDefs(const AppState& state) {
  const DerivedSpan span = ShownDerivedSpan(state);
  const CodeRange codes = DerivedCodeRange(state.config);
  const int32_t channels = ShownAnalogChannels(state);
  std::vector<DerivedChannelDef> defs;
  defs.reserve(static_cast<size_t>(channels));
  for (int32_t c = 0; c < channels; ++c) {
    defs.push_back(
        DefaultDerivedDef(state.history, span, c, state.config.AnalogChannelTable[static_cast<size_t>(c)], codes));
  }
  return defs;
}

std::optional<std::string> BuildShownDerivedSet(const AppState& state, const std::vector<DerivedChannelDef>& defs,
                                                DerivedSet& out) {
  const int32_t channels = ShownAnalogChannels(state);
  const std::vector<AnalogChannel> sources(state.config.AnalogChannelTable.begin(),
                                           state.config.AnalogChannelTable.begin() + channels);
  try {
    DerivedSet set;
    switch (BuildDerivedSet(state.history, ShownDerivedSpan(state), defs, sources, DerivedCodeRange(state.config),
                            set)) {
      case DerivedBuildResult::NoOutputs:
        return std::string(kDerivedNoOutputs);
      case DerivedBuildResult::TooManyOutputs:
        return std::string(kDerivedTooManyOutputs);
      case DerivedBuildResult::Built:
        break;
    }
    // The one word more the history buffer has always had, taken now so
    // that nothing is allocated once the set starts to replace the record.
    set.samples.push_back(0);
    out = std::move(set);
  } catch (const std::bad_alloc&) {
    return std::string(kDerivedNoMemory);
  } catch (const std::length_error&) {
    return std::string(kDerivedNoMemory);
  }
  return std::nullopt;
}

void PutDerivedSetInForce(AppState& state, DerivedSet&& set, const DerivedSpan& span) {
  LiveConfig& c = state.config;
  const auto m = static_cast<int32_t>(set.channels.size());

  // The machine's own configuration is kept aside before the first foreign one.
  ConfigInForce& f = state.configInForce;
  if (f.TempConfigActive == 0) {
    auto own = std::make_unique<ConfigRecord>();
    BuildConfigRecord(c, BuildExtrasOf(state), *own);
    const auto* bytes = reinterpret_cast<const uint8_t*>(own.get());
    f.OwnConfigRecord.assign(bytes, bytes + sizeof(ConfigRecord));
    f.TempConfigActive = 1;
    f.SysParamCaption = kDerivedConfigCaption;
  }

  // One channel per line and per word of a row, no switch inputs.
  c.NumChn = m;
  c.Analog_Num = m;
  c.NumVChn = m;
  c.SW_Num = 0;
  for (int32_t n = 0; n < m; ++n) {
    AnalogChannel& channel = c.AnalogChannelTable[static_cast<size_t>(n)];
    channel = set.channels[static_cast<size_t>(n)];
    channel.ChnGroupNo = n;
    channel.MultiFreq = 1;  // one word per output in every row
    AnalConfig& line = c.LineTable[static_cast<size_t>(n)];
    line.AName = "Group" + std::to_string(n);
    line.GroupNo = n;
    line.APhaseNum = 1;
    line.AStartID = 0;
    line.GroupTag = {static_cast<uint8_t>(n), 0, 0, 0};
  }
  c.TotalPages = set.pages;
  c.Bus_Num = 0;
  c.Line_Num = m;
  c.Total_Line = m;
  c.CardNameText = std::string(kDerivedCardName);
  // The virtual-card switch stays as it is: every start puts the own
  // configuration back before it drives the card, and putting it back never
  // restores the switch, so turning it on here would leave the machine on
  // the virtual card for good.
  c.MaxBlock = span.blocks;
  state.acq.RingWriteBlock = 0;
  state.acq.BufferLayoutValid = 0;

  HistoryRecord& h = state.history;
  h.Comment = std::string(kDerivedComment);
  h.BlockCount = span.blocks;
  h.NumChn = m;
  h.TriggerBlock = 0;
  // The record describes the set from now on, so a next build or a save
  // reads it as what it is.
  h.AnalogCount = m;
  h.SwitchCount = 0;
  h.LineCount = m;
  h.CompressedBlocks = 0;
  h.Samples = std::move(set.samples);
  // Found trigger points belong to the record shown before.
  state.foundPoints.TriggerPointCount = 0;

  DisplayDescriptor& d = state.display;
  d.DispData = h.Samples.data();
  d.DispBlocks = span.blocks;
  // The set holds the record's rows a block, which the live block length
  // need not match.
  const DisplayExtent extent = DisplayExtentOf(span.blocks, span.numSamp, c.MaxMultiFreq);
  d.DispRows = extent.rows;
  d.DispPoints = extent.points;
  d.DispRowWords = m;
  d.DispCompressed = 0;
  d.DispCompressBlocks = 0;
  d.DispCompressStart = 0;
  d.DispCompressRatio = c.CompressRatio;
  d.DispCompressType = c.CompressType;
  d.DispValid = 1;
  d.DispFirstBlock = 0;
  d.DispTriggerBlock = 0;
  d.DispTriggerPoint = h.TriggerOffset;
  d.DataSourceMode = 0;
  d.SelectFault = 1;
}

}  // namespace quelvar
