#include "view/DisplayLayout.h"

#include <algorithm>
#include <limits>

#include "acquisition/ChannelLayout.h"
#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

int32_t AnalogCount(const LiveConfig& live) { return std::clamp(live.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& live) { return std::clamp(live.SW_Num, 0, kMaxSwitchInputs); }
int32_t LineCount(const LiveConfig& live) { return std::clamp(live.Total_Line, 0, kMaxLines); }

// Predefined pages: counts from the (repaired) page numbers, first indexes,
// then each page's analog channels in channel order followed by its switch
// inputs.
void FillPredefinedPages(LiveConfig& live, int32_t analog, int32_t switches, PageTables& pages) {
  const int32_t total = live.TotalPages;
  for (int32_t c = 0; c < analog; ++c) {
    int32_t& page = live.AnalogChannelTable[c].ChnPageNo;
    page = std::clamp(page, 0, total - 1);
    ++pages.PageChannels[page];
  }
  for (int32_t s = 0; s < switches; ++s) {
    int32_t& page = live.SwitchChannelTable[s].SWPageNo;
    page = std::clamp(page, 0, total - 1);
    ++pages.PageSwitches[page];
    ++pages.PageChannels[page];
  }
  pages.PageFirst[0] = 0;
  for (int32_t i = 1; i < total; ++i) pages.PageFirst[i] = pages.PageFirst[i - 1] + pages.PageChannels[i - 1];

  // All analog channels go before all switch inputs, so each page's cursor
  // reaches its switch part exactly when the analog channels are placed.
  std::vector<int32_t> next(pages.PageFirst.begin(), pages.PageFirst.begin() + total);
  for (int32_t c = 0; c < analog; ++c) pages.Entries[next[live.AnalogChannelTable[c].ChnPageNo]++] = c;
  for (int32_t s = 0; s < switches; ++s) pages.Entries[next[live.SwitchChannelTable[s].SWPageNo]++] = analog + s;
}

}  // namespace

float ComputeMaxChannelRate(int32_t maxMultiFreq, float channelRate) {
  return static_cast<float>(maxMultiFreq) * channelRate;
}

int32_t ComputeSamplesPerCycle(float channelRate, float acFrq) { return SamplesPerCycleOf(channelRate, acFrq); }

void RebuildRateLayout(LiveConfig& live, SampleLayout& layout) {
  ComputeRateLayout(live, layout);
  layout.MaxChannelRate = ComputeMaxChannelRate(layout.MaxMultiFreq, live.ChannelRate);
  live.SamplesPerCycle = ComputeSamplesPerCycle(live.ChannelRate, live.ACFrq);
}

int32_t RebuildLineTables(LiveConfig& live) {
  const int32_t lines = LineCount(live);
  const int32_t analog = AnalogCount(live);
  live.LineFirstChannel[0] = 0;
  for (int32_t k = 0; k < lines; ++k)
    live.LineFirstChannel[k + 1] = SaturateToInt32(static_cast<int64_t>(live.LineFirstChannel[k]) + live.LineTable[k].APhaseNum);

  int32_t position = 0;
  for (int32_t k = 0; k < lines; ++k)
    for (int32_t j = 0; j < analog; ++j)
      if (live.AnalogChannelTable[j].ChnGroupNo == k) live.AnalogDisplayOrder[position++] = j;
  return position;
}

void RebuildPageTables(LiveConfig& live, const UniversalPages& universal, PageTables& pages) {
  const int32_t analog = AnalogCount(live);
  const int32_t switches = SwitchCount(live);
  live.TotalPages = std::clamp(live.TotalPages, 1, kMaxPredefinedPages);
  const int32_t total = live.TotalPages;
  const auto pageSlots = static_cast<size_t>(total) + 2;
  const auto entrySlots = static_cast<size_t>(analog + switches) * 3;
  pages.PageChannels.assign(pageSlots, 0);
  pages.PageSwitches.assign(pageSlots, 0);
  pages.PageFirst.assign(pageSlots, 0);
  pages.Entries.assign(entrySlots, 0);
  pages.EntryOffset.assign(entrySlots, 0.0f);

  FillPredefinedPages(live, analog, switches, pages);
  FillUniversalPage(universal, live, pages);

  // The trigger page: a placeholder of analog channel 0 until a record's
  // trigger fills it; empty when there is no analog channel.
  const int32_t trigger = total + 1;
  pages.PageFirst[trigger] = 2 * (analog + switches);
  if (analog > 0) {
    pages.PageChannels[trigger] = 1;
    pages.Entries[pages.PageFirst[trigger]] = 0;
  }
}

void NormalizeDisplayOrder(std::span<int16_t> order, int32_t count) {
  // Entries are 16-bit: at most 32768 distinct positions.
  const int64_t limit = std::min<int64_t>(static_cast<int64_t>(order.size()), 32768);
  count = static_cast<int32_t>(std::clamp<int64_t>(count, 0, limit));
  if (count == 0) return;
  for (int32_t i = 0; i < count; ++i)
    order[i] = static_cast<int16_t>(std::clamp<int32_t>(order[i], 0, count - 1));
  std::vector<bool> taken(static_cast<size_t>(count), false);
  taken[order[0]] = true;
  for (int32_t i = 1; i < count; ++i) {
    int32_t value = order[i];
    while (taken[value]) value = value == 0 ? count - 1 : value - 1;
    order[i] = static_cast<int16_t>(value);
    taken[value] = true;
  }
}

void FitPointsPerScreen(WaveViewState& view, int32_t dispPoints, bool arbitraryWidth) {
  constexpr int32_t kMinPointsPerScreen = 10;
  if (!arbitraryWidth) view.DisplayWidth = dispPoints / std::max(view.XZoom, 1);
  view.DisplayWidth = std::max(std::min(view.DisplayWidth, dispPoints), kMinPointsPerScreen);
  view.XPosition = SaturateToInt32(static_cast<int64_t>(dispPoints) - view.DisplayWidth);
}

void FillUniversalPage(const UniversalPages& universal, const LiveConfig& live, PageTables& pages) {
  const int32_t analog = AnalogCount(live);
  const int32_t switches = SwitchCount(live);
  const int32_t first = analog + switches;
  // Tables of another configuration (or none yet) are left to the next
  // rebuild, which fills the page from the same record.
  if (pages.PageChannels.size() < 2 || pages.PageSwitches.size() != pages.PageChannels.size() ||
      pages.PageFirst.size() != pages.PageChannels.size() || pages.Entries.size() != static_cast<size_t>(first) * 3 ||
      pages.EntryOffset.size() != pages.Entries.size()) {
    return;
  }
  const size_t page = pages.PageChannels.size() - 2;
  const UniversalPageRecord valid =
      ValidUniversalPage(universal.VPAnalog, universal.VPBin, universal.VP, analog, switches);
  const int32_t count = valid.AnalogCount + valid.SwitchCount;  // at most analog + switches: the page's room
  pages.PageFirst[page] = first;
  pages.PageChannels[page] = count;
  pages.PageSwitches[page] = valid.SwitchCount;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t channel = valid.Channels[static_cast<size_t>(i)];
    pages.Entries[static_cast<size_t>(first + i)] = i < valid.AnalogCount ? channel : analog + channel;
    pages.EntryOffset[static_cast<size_t>(first + i)] = 0.0f;
  }
}

int32_t ChannelScrollMaximum(const LiveConfig& live, const ChannelScrollMenus& menus) {
  if (menus.viewSwitch) return SaturateToInt32(static_cast<int64_t>(live.SW_Num) - 1);
  if (menus.scopePage) return SaturateToInt32(static_cast<int64_t>(live.TotalPages) + 1);
  if (menus.phaseSingle) return SaturateToInt32(static_cast<int64_t>(live.Analog_Num) - 1);
  return SaturateToInt32(static_cast<int64_t>(live.Total_Line) - 1);
}

std::vector<std::string> ScaleLabelTexts(const LiveConfig& live, int32_t presentationMode) {
  static const char* const kPhaseSuffix[] = {" A", " B", " C"};
  constexpr const char* kFurtherPhaseSuffix = " O";
  std::vector<std::string> texts;
  const int32_t lines = LineCount(live);
  for (int32_t k = 0; k < lines; ++k) {
    const std::string& name = live.LineTable[k].AName;
    if (presentationMode != 0) {
      texts.push_back(name);
      continue;
    }
    const int32_t phases = std::clamp(live.LineTable[k].APhaseNum, 0, kMaxAnalogChannels);
    for (int32_t i = 0; i < phases; ++i) texts.push_back(name + (i < 3 ? kPhaseSuffix[i] : kFurtherPhaseSuffix));
  }
  for (int32_t c = 0; c < AnalogCount(live); ++c) texts.push_back(live.AnalogChannelTable[c].ChnName);
  for (int32_t s = 0; s < SwitchCount(live); ++s) texts.push_back(live.SwitchChannelTable[s].SWName);
  return texts;
}

int32_t WidestLabel(const std::vector<std::string>& texts,
                    const std::function<int32_t(const std::string&)>& textWidth) {
  int32_t widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, textWidth(text));
  return widest;
}

}  // namespace quelvar
