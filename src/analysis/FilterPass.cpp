#include "analysis/FilterPass.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

std::optional<FirDesign> PassFirDesign(const FilterSetting& s, double rate) {
  return DesignFirLowPass(s.LowPassOrder, DesignCutoff(s.LowPassFrq, rate), rate,
                          static_cast<FirWindowType>(s.LowPassWindowType));
}

}  // namespace

std::optional<std::string> FilterCommandRefusal(const AppState& state) {
  if (state.RunState != kRunIdle || state.display.DispValid == 0) return std::string(kFilterNoData);
  if (state.config.MaxMultiFreq > 1) return std::string(kFilterMultiRate);
  return std::nullopt;
}

std::vector<int32_t> CollectDisplayedChannels(const LiveConfig& config, const WaveViewState& view) {
  std::vector<int32_t> channels;
  const int32_t analog = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  const bool pageScope = view.Options.Scope == ChannelScope::Page;
  const int32_t drawn = std::clamp(view.DrawnAnalogCount, 0, kMaxDisplayPositions);
  for (int32_t k = 0; k < drawn; ++k) {
    const int32_t key = view.DrawnChannels[static_cast<size_t>(k)];
    if (key < 0 || key >= analog) continue;  // switch inputs come after the analog channels
    const int32_t channel = pageScope ? key : config.AnalogDisplayOrder[static_cast<size_t>(key)];
    if (channel >= 0 && channel < analog) channels.push_back(channel);
  }
  return channels;
}

FilterRange CollectFilterChannelsAndRows(const AppState& state, const FilterSetting& s, int32_t oneChannel) {
  const LiveConfig& c = state.config;
  const WaveViewState& v = state.wave;
  const int32_t analog = std::clamp(c.Analog_Num, 0, kMaxAnalogChannels);
  FilterRange range;
  switch (s.FilterChnType) {
    case kFilterOneChannel:
      range.channels = {std::clamp(oneChannel, 0, std::max(analog - 1, 0))};
      break;
    case kFilterDrawnChannels:
      if (state.display.DataSourceMode > 1) {
        const OscilToolSettings& o = state.oscilTool;
        if (o.UseChn1 != 0 && o.ChnAd1 >= 0 && o.ChnAd1 < analog) range.channels.push_back(o.ChnAd1);
        if (o.UseChn2 != 0 && o.ChnAD2 >= 0 && o.ChnAD2 < analog) range.channels.push_back(o.ChnAD2);
      } else {
        range.channels = CollectDisplayedChannels(c, v);
      }
      break;
    default:
      for (int32_t ch = 0; ch < analog; ++ch) range.channels.push_back(ch);
      break;
  }
  // Points are rows here: multi-rate data are refused before a pass.
  switch (s.FilterTimeType) {
    case kFilterScreenRows:
      range.firstRow = v.XPosition;
      range.lastRow = SaturateToInt32(int64_t{v.XPosition} + v.DisplayWidth - 1);
      break;
    case kFilterMarkRows: {
      const int32_t m1 = SaturateToInt32(int64_t{v.XPosition} + v.Mark1X - 1);
      const int32_t m2 = SaturateToInt32(int64_t{v.XPosition} + v.Mark2X - 1);
      range.firstRow = std::min(m1, m2);
      range.lastRow = std::max(m1, m2);
      break;
    }
    default:
      range.firstRow = 0;
      range.lastRow = state.display.DispRows - 1;
      break;
  }
  return range;
}

std::optional<FilterData> ShownFilterData(AppState& state) {
  const DisplayDescriptor& d = state.display;
  if (d.DispData == nullptr || d.DispValid == 0 || d.DispRows <= 0 || d.DispRowWords <= 0) return std::nullopt;
  uint16_t* words = nullptr;
  size_t size = 0;
  if (d.DispData == state.history.Samples.data()) {
    words = state.history.Samples.data();
    size = state.history.Samples.size();
  } else if (d.DispData == state.acq.RingBuffer.data()) {
    words = state.acq.RingBuffer.data();
    size = state.acq.RingBuffer.size();
  }
  if (words == nullptr || static_cast<uint64_t>(d.DispRows) * static_cast<uint64_t>(d.DispRowWords) > size) {
    return std::nullopt;
  }
  FilterData data;
  data.data = words;
  data.rows = d.DispRows;
  data.rowWords = d.DispRowWords;
  data.firstBlock = d.DispFirstBlock;
  data.numSamp = state.config.NumSamp;
  return data;
}

std::optional<std::string> FilterDesignRefusal(const FilterSetting& s, double rate) {
  if (s.FilterType != kFilterLowPass || s.LowPassType == kLowPassIir) return std::nullopt;
  if (PassFirDesign(s, rate)) return std::nullopt;
  return std::string(kFilterBadDesign);
}

bool RunFilterPass(const FilterData& data, const FilterRange& range, const FilterSetting& s, bool fixedPoint,
                   double rate, int32_t analogNum, int32_t adMax) {
  if (s.FilterType == kFilterMedian) {
    ApplyMedianFilter(data, range, analogNum);
    return true;
  }
  if (s.FilterType != kFilterLowPass) return false;
  if (s.LowPassType == kLowPassIir) return ApplyIirLowPass(data, range, analogNum, fixedPoint, s.IIRCoeA);
  const std::optional<FirDesign> design = PassFirDesign(s, rate);
  if (!design) return false;
  ApplyFirLowPass(data, range, analogNum, design->coefficients, adMax);
  return true;
}

}  // namespace quelvar
