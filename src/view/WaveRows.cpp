#include "view/WaveRows.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace quelvar {

namespace {

// Weights are capped so that the shares of a full table still sum within 32
// bits (RowShareTotal is a 32-bit field that the marks divide by).
constexpr int32_t kMaxRowShare = INT32_MAX / kMaxDisplayPositions;

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& c) { return std::clamp(c.SW_Num, 0, kMaxSwitchInputs); }
int32_t LineCount(const LiveConfig& c) { return std::clamp(c.Total_Line, 0, kMaxLines); }

bool InRange(int64_t value, int64_t count) { return value >= 0 && value < count; }

int32_t PhasesOfLine(const LiveConfig& config, int32_t line) {
  if (!InRange(line, LineCount(config))) return 0;
  return config.LineTable[static_cast<size_t>(line)].APhaseNum;
}

// Display-order position `position` as its own row.
std::optional<WaveRow> PositionRow(const LiveConfig& config, int64_t position) {
  const int32_t analog = AnalogCount(config);
  if (!InRange(position, analog)) return std::nullopt;
  const int32_t channel = config.AnalogDisplayOrder[static_cast<size_t>(position)];
  if (!InRange(channel, analog)) return std::nullopt;
  const AnalogChannel& c = config.AnalogChannelTable[static_cast<size_t>(channel)];
  WaveRow row;
  row.Key = static_cast<int32_t>(position);
  row.Channel = channel;
  row.Name = c.ChnName;
  row.Share = c.ChnYWeight;
  return row;
}

// A line's channels in one row, labelled by its first channel.
std::optional<WaveRow> LineRow(const LiveConfig& config, int64_t line) {
  if (!InRange(line, LineCount(config))) return std::nullopt;
  const int32_t first = config.LineFirstChannel[static_cast<size_t>(line)];
  std::optional<WaveRow> row = PositionRow(config, first);
  if (!row) return std::nullopt;
  const AnalConfig& l = config.LineTable[static_cast<size_t>(line)];
  row->Count = std::clamp(l.APhaseNum, 0, AnalogCount(config) - first);
  if (row->Count == 0) return std::nullopt;
  row->Name = l.AName;
  return row;
}

std::optional<WaveRow> SwitchRow(const LiveConfig& config, int64_t input) {
  if (!InRange(input, SwitchCount(config))) return std::nullopt;
  const SwitchChannel& s = config.SwitchChannelTable[static_cast<size_t>(input)];
  WaveRow row;
  row.Key = AnalogCount(config) + static_cast<int32_t>(input);
  row.IsSwitch = true;
  row.Name = s.SWName;
  row.Share = s.SWYWeight;
  return row;
}

// Page entry `index`: an analog channel by its number or a switch input.
std::optional<WaveRow> EntryRow(const LiveConfig& config, const PageTables& pages, int64_t index) {
  if (!InRange(index, static_cast<int64_t>(pages.Entries.size()))) return std::nullopt;
  const int32_t key = pages.Entries[static_cast<size_t>(index)];
  const int32_t analog = AnalogCount(config);
  std::optional<WaveRow> row;
  if (InRange(key, analog)) {
    const AnalogChannel& c = config.AnalogChannelTable[static_cast<size_t>(key)];
    row.emplace();
    row->Key = key;
    row->Channel = key;
    row->Name = c.ChnName;
    row->Share = c.ChnYWeight;
  } else {
    row = SwitchRow(config, int64_t{key} - analog);
  }
  if (row) row->Entry = static_cast<int32_t>(index);
  return row;
}

int64_t PageValue(const std::vector<int32_t>& table, int64_t page) {
  return InRange(page, static_cast<int64_t>(table.size())) ? table[static_cast<size_t>(page)] : 0;
}

// Rows the scope asks for, with the all-channel and analog-plus-switch
// scopes starting from the top.
int64_t RowsOfScope(const LiveConfig& config, int32_t scrollMax, WaveViewState& view) {
  const ViewOptions& o = view.Options;
  const auto group = [&](int64_t n) { return scrollMax < n - 1 ? int64_t{scrollMax} + 1 : n; };
  switch (o.Scope) {
    case ChannelScope::Line:
      return o.PhaseMultiple || o.ViewSwitch ? 1 : PhasesOfLine(config, view.CurrentLine);
    case ChannelScope::Four:
      return group(4);
    case ChannelScope::Eight:
      return group(8);
    case ChannelScope::Sixteen:
      return group(16);
    case ChannelScope::All:
      view.CurrentLine = 1;
      view.BegDispChannel = 1;
      return int64_t{scrollMax} + 1;
    case ChannelScope::Overall:
      view.CurrentLine = 1;
      view.BegDispChannel = 1;
      return int64_t{o.PhaseMultiple ? LineCount(config) : AnalogCount(config)} + SwitchCount(config);
    case ChannelScope::Page:
      return PageValue(view.PageLayout.PageChannels, view.BegDispChannel);
    case ChannelScope::Channel:
    default:
      return 1;
  }
}

}  // namespace

int32_t LineOfChannel(const LiveConfig& config, int32_t position) {
  for (int32_t i = LineCount(config) - 1; i >= 0; --i) {
    if (position >= config.LineFirstChannel[static_cast<size_t>(i)]) return i;
  }
  return 0;
}

std::vector<WaveRow> BuildWaveRows(const LiveConfig& config, int32_t scrollMax, WaveViewState& view) {
  const ViewOptions& o = view.Options;
  int64_t rows = std::clamp<int64_t>(RowsOfScope(config, scrollMax, view), 0, kMaxDisplayPositions);

  // Scrolled scopes keep their rows within the scroll range.
  if (o.Scope != ChannelScope::Overall && o.Scope != ChannelScope::Page) {
    const int64_t max = scrollMax;
    if (int64_t{view.BegDispChannel} + rows - 1 > max) {
      view.BegDispChannel = static_cast<int32_t>(std::max<int64_t>(max - rows + 1, 0));
      rows = std::max<int64_t>(std::min(rows, max + 1 - view.BegDispChannel), 0);
    }
    view.CurrentLine =
        !o.PhaseMultiple && !o.ViewSwitch ? LineOfChannel(config, view.BegDispChannel) : view.BegDispChannel;
  }

  const int64_t begin = view.BegDispChannel;
  const int32_t overallAnalog = o.PhaseMultiple ? LineCount(config) : AnalogCount(config);
  const int64_t pageFirst = PageValue(view.PageLayout.PageFirst, begin);
  std::vector<WaveRow> result;
  result.reserve(static_cast<size_t>(rows));
  for (int64_t r = 0; r < rows; ++r) {
    std::optional<WaveRow> row;
    if (o.ViewSwitch) {
      row = SwitchRow(config, begin + r);
    } else if (o.Scope == ChannelScope::Overall) {
      if (r < overallAnalog) {
        row = o.PhaseMultiple ? LineRow(config, r) : PositionRow(config, r);
      } else {
        row = SwitchRow(config, r - overallAnalog);
      }
    } else if (o.Scope == ChannelScope::Page) {
      row = EntryRow(config, view.PageLayout, pageFirst + r);
    } else if (o.PhaseMultiple) {
      row = LineRow(config, int64_t{view.CurrentLine} + r);
    } else {
      row = PositionRow(config, begin + r);
    }
    if (row) result.push_back(std::move(*row));
  }
  return result;
}

std::vector<RowPlace> PlaceRows(const std::vector<WaveRow>& rows, int M, bool in1Axial, WaveViewState& view) {
  const size_t count = std::min(rows.size(), static_cast<size_t>(kMaxDisplayPositions));
  bool anyWeight = false;
  for (size_t r = 0; r < count; ++r) anyWeight = anyWeight || rows[r].Share > 0;
  int32_t start = 0;
  for (size_t r = 0; r < count; ++r) {
    const int32_t share = anyWeight ? std::clamp(rows[r].Share, 0, kMaxRowShare) : 1;
    view.RowShare[r] = share;
    view.RowShareStart[r] = start;
    start += share;
  }
  view.RowShareTotal = start;
  view.DrawnRows = static_cast<int32_t>(count);

  std::vector<RowPlace> places(count);
  const std::vector<float>& offsets = view.PageLayout.EntryOffset;
  for (size_t r = 0; r < count; ++r) {
    RowPlace& p = places[r];
    if (in1Axial) {
      p.Centre = M * 0.5;
      p.Height = M;
    } else {
      const double total = start;  // above 0 whenever there are rows
      p.Centre = (view.RowShare[r] * 0.5 + view.RowShareStart[r]) * M / total;
      p.Height = static_cast<int>(int64_t{view.RowShare[r]} * M / start);
    }
    const int32_t entry = rows[r].Entry;
    if (InRange(entry, static_cast<int64_t>(offsets.size())) && std::isfinite(offsets[static_cast<size_t>(entry)])) {
      p.Centre += M * static_cast<double>(offsets[static_cast<size_t>(entry)]);
    }
  }
  return places;
}

}  // namespace quelvar
