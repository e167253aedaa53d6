#include "auxwin/CompositeValues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "common/NumberFormat.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

// The rows of the block and the row width, or nothing to read.
struct BlockRows {
  const uint16_t* first = nullptr;  // row 0
  int64_t rows = 0;
  int64_t words = 0;
};

BlockRows RowsOf(const CompositeBlockInput& source) {
  BlockRows b;
  if (source.block == nullptr || source.config.NumSamp <= 0 || source.config.NumChn <= 0) return b;
  b.first = source.block + 1;
  b.rows = source.config.NumSamp;
  b.words = source.config.NumChn;
  return b;
}

int32_t AnalogCount(const LiveConfig& config) { return std::clamp(config.Analog_Num, 0, kMaxAnalogChannels); }

// The words of a channel's samples in a row: the base word, then its extra
// sub-sample words first .. last - 1, only those inside the row.
struct ChannelWords {
  bool inRow = false;
  int64_t base = 0;
  int64_t first = 0;
  int64_t last = 0;
  int64_t Count() const { return inRow ? 1 + (last - first) : 0; }
  int64_t Newest() const { return last > first ? last - 1 : base; }
};

ChannelWords WordsOf(const CompositeBlockInput& source, int32_t channel, int64_t rowWords) {
  ChannelWords w;
  if (channel < 0 || channel >= rowWords) return w;
  w.inRow = true;
  w.base = channel;
  const auto c = static_cast<size_t>(channel);
  if (c >= source.layout.MultiFreqTable.size() || source.layout.MultiFreqTable[c] < 2) return w;
  w.first = std::clamp<int64_t>(source.layout.ExtraSlotFirst[c], 0, rowWords);
  w.last = std::clamp<int64_t>(source.layout.ExtraSlotLast[c], w.first, rowWords);
  return w;
}

// Per block and kind: each channel's value once, and the torque-power
// channels on the path being evaluated, so a cycle ends instead of
// recursing without end.
struct ValueMemo {
  std::array<double, kMaxAnalogChannels> value{};
  std::array<uint8_t, kMaxAnalogChannels> state{};  // 0 not yet, 1 on the path, 2 known
};

double RawValue(const CompositeBlockInput& source, const BlockRows& b, int32_t channel, int32_t kind) {
  const ChannelWords w = WordsOf(source, channel, b.words);
  if (w.Count() == 0 || b.rows <= 0) return 0.0;
  const AnalogChannel& chn = source.config.AnalogChannelTable[static_cast<size_t>(channel)];
  double raw = 0.0;
  if (kind == kCompositeAverage) {
    double sum = 0.0;
    for (int64_t r = 0; r < b.rows; ++r) {
      const uint16_t* row = b.first + r * b.words;
      sum += row[w.base];
      for (int64_t s = w.first; s < w.last; ++s) sum += row[s];
    }
    // The samples read: m x NumSamp in a consistent layout.
    raw = sum / (static_cast<double>(b.rows) * static_cast<double>(w.Count()));
  } else if (kind == kCompositeMaximum || kind == kCompositeMinimum) {
    const bool maximum = kind == kCompositeMaximum;
    uint16_t best = b.first[w.base];
    auto take = [&](uint16_t v) { best = maximum ? std::max(best, v) : std::min(best, v); };
    for (int64_t r = 0; r < b.rows; ++r) {
      const uint16_t* row = b.first + r * b.words;
      take(row[w.base]);
      for (int64_t s = w.first; s < w.last; ++s) take(row[s]);
    }
    raw = best;
  } else {
    raw = b.first[(b.rows - 1) * b.words + w.Newest()];
  }
  return RawToEngineering(source.config, source.torque, chn, static_cast<float>(raw));
}

double ValueOf(const CompositeBlockInput& source, const BlockRows& b, int32_t channel, int32_t kind, ValueMemo& memo) {
  const auto c = static_cast<size_t>(channel);
  if (memo.state[c] == 2) return memo.value[c];
  if (memo.state[c] == 1) return 0.0;  // a torque-power cycle
  const AnalogChannel& chn = source.config.AnalogChannelTable[c];
  double v = 0.0;
  if (chn.ChnIDDC == kChannelTorquePower) {
    memo.state[c] = 1;
    const int32_t last = AnalogCount(source.config) - 1;
    // The factors' channel numbers are coefficients from outside (a record,
    // a station, the settings): not a number counts as channel 0.
    const auto factor = [last](float number) {
      return std::isnan(number) ? 0 : static_cast<int32_t>(std::clamp<double>(std::trunc(number), 0.0, last));
    };
    const int32_t a = factor(chn.ChnCoeA);
    const int32_t bb = factor(chn.ChnCoeB);
    const double va = ValueOf(source, b, a, kind, memo);
    v = va * ValueOf(source, b, bb, kind, memo);
    // A cycle makes the whole product 0, wherever the walk entered it.
  } else {
    v = RawValue(source, b, channel, kind);
  }
  memo.value[c] = v;
  memo.state[c] = 2;
  return v;
}

}  // namespace

double CompositeBlockValue(const CompositeBlockInput& source, int32_t channel, int32_t kind) {
  if (channel < 0 || channel >= AnalogCount(source.config)) return 0.0;
  const BlockRows b = RowsOf(source);
  ValueMemo memo;
  const double v = ValueOf(source, b, channel, kind, memo);
  return std::isfinite(v) ? v : 0.0;
}

int CompositeSwitchState(const CompositeBlockInput& source, int32_t switchInput, int32_t kind) {
  const BlockRows b = RowsOf(source);
  if (switchInput < 0 || b.rows <= 0) return 0;
  const int64_t word = int64_t{AnalogCount(source.config)} + switchInput / 16;
  if (word >= b.words) return 0;
  const auto bit = static_cast<uint16_t>(1u << (switchInput % 16));
  auto setAt = [&](int64_t r) { return (b.first[r * b.words + word] & bit) != 0; };
  switch (kind) {
    case 1: {
      int64_t sum = 0;
      for (int64_t r = 0; r < b.rows; ++r) sum += setAt(r) ? 1 : -1;
      return sum >= 0 ? 1 : 0;
    }
    case 2:
      for (int64_t r = 0; r < b.rows; ++r) {
        if (setAt(r)) return 1;
      }
      return 0;
    case 3:
      for (int64_t r = 0; r < b.rows; ++r) {
        if (!setAt(r)) return 0;
      }
      return 1;
    default:
      return setAt(b.rows - 1) ? 1 : 0;
  }
}

bool CompositeAlarmHolds(int32_t alarm, double value, double value1, double value2) {
  switch (alarm) {
    case kCompositeBelow: return value <= value1;
    case kCompositeAbove: return value >= value1;
    case kCompositeInside: return value1 <= value && value <= value2;
    case kCompositeOutside: return value <= value1 || value >= value2;
    default: return false;
  }
}

bool CompositeSwitchAlarmHolds(int32_t alarm, int state) {
  return (alarm == kCompositeBelow && state == 0) || (alarm == kCompositeAbove && state == 1);
}

void ComputeCompositeCells(const CompositeDef& def, const CompositeBlockInput& source, std::vector<CompositeCell>& cells) {
  const size_t count = std::min(static_cast<size_t>(std::max(def.Count, 0)), def.Items.size());
  cells.resize(count);
  const int32_t analog = AnalogCount(source.config);
  for (size_t k = 0; k < count; ++k) {
    const CompositeItem& item = def.Items[k];
    CompositeCell& cell = cells[k];
    const int32_t channel = CompositeChannel(item.Channel, source.config);
    if (channel < 0) {
      cell.Text.clear();
      cell.Alarm = false;
    } else if (channel < analog) {
      const double v = CompositeBlockValue(source, channel, item.Kind);
      cell.Text = FormatFixed(v, 10, std::clamp(item.Decimals, 0, kCompositeMaxDecimals));
      cell.Alarm = CompositeAlarmHolds(item.Alarm, v, item.Value1, item.Value2);
    } else {
      const int state = CompositeSwitchState(source, channel - analog, item.Kind);
      cell.Text.assign(1, state != 0 ? '1' : '0');
      cell.Alarm = CompositeSwitchAlarmHolds(item.Alarm, state);
    }
  }
}

platform::Color CompositePaletteColor(int32_t pal, int slot, platform::Color buttonFace) {
  static constexpr uint32_t kPalette[2][8] = {
      {0, 0xFF0000, 0xD0D0D0, 0x606060, 0xFFFFFF, 0x000000, 0, 0x000000},
      {0x000000, 0x00FF00, 0x707070, 0xC0C0C0, 0xD0D0D0, 0xFFFFFF, 0x505050, 0x0000FF}};
  const int row = pal == 1 ? 1 : 0;
  const int s = std::clamp(slot, 0, 7);
  if (row == 0 && (s == 0 || s == 6)) return buttonFace;
  return platform::Color::FromStored(kPalette[row][s]);
}

CompositeCellSize CompositeCellSizeOf(const CompositeDef& def, platform::Canvas& canvas) {
  canvas.SetFontSize(std::clamp(def.FontSize, 1, kCompositeMaxFontSize));
  CompositeCellSize size;
  size.Width = int64_t{canvas.TextWidth("0")} * std::clamp(def.Chars, 1, kCompositeMaxChars) + 2;
  size.Height = int64_t{canvas.TextHeight("2")} * 3 / 2;
  const int64_t columns = std::max(def.Columns, 1);
  size.Rows = (int64_t{std::max(def.Count, 0)} + columns - 1) / columns;
  return size;
}

namespace {

// Cells and lines past the canvas are not drawn: a damaged definition's
// millions of columns cost nothing.
int Pixel(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1000000, 1000000)); }

}  // namespace

void DrawCompositePanel(platform::Canvas& canvas, const CompositeDef& def, const std::vector<CompositeCell>& cells,
                        int32_t pal, platform::Color buttonFace) {
  using platform::Color;
  auto color = [&](int slot) { return CompositePaletteColor(pal, slot, buttonFace); };
  canvas.SetBrush({color(0), platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  canvas.SetFontName("Arial");
  canvas.SetFontColor(color(1));
  const CompositeCellSize cell = CompositeCellSizeOf(def, canvas);
  const int64_t W = std::max<int64_t>(cell.Width, 1);
  const int64_t H = std::max<int64_t>(cell.Height, 1);
  const int64_t C = std::max(def.Columns, 1);
  const int64_t R = cell.Rows;
  const int64_t visibleC = std::min(C, canvas.Width() / W + 2);
  const int64_t visibleR = std::min(R, canvas.Height() / H + 2);
  const int64_t top = H / 8;
  const int64_t right = W * C + 2;
  const int64_t bottom = top + R * H;

  auto horizontal = [&](int64_t y) {
    canvas.MoveTo(2, Pixel(y));
    canvas.LineTo(Pixel(right), Pixel(y));
  };
  auto vertical = [&](int64_t x) {
    canvas.MoveTo(Pixel(x), Pixel(top));
    canvas.LineTo(Pixel(x), Pixel(bottom));
  };
  // The bevel: (slot, horizontal offset, first row, vertical offset, first column).
  struct Line {
    int slot;
    int64_t dy;
    int64_t firstRow;
    int64_t lastRowFromR;  // 0: up to R - 1, 1: up to R
    int64_t dx;
    int64_t firstCol;
    int64_t lastColFromC;
  };
  static constexpr Line kLines[] = {{2, 2, 0, 0, 4, 0, 0},  {3, -2, 1, 1, 0, 1, 1}, {4, 1, 0, 0, 3, 0, 0},
                                    {5, -1, 1, 1, 1, 1, 1}, {6, 0, 0, 1, 2, 0, 1}};
  for (const Line& line : kLines) {
    canvas.SetPen({color(line.slot), 1, platform::PenStyle::Solid});
    const int64_t lastRow = std::min(R - 1 + line.lastRowFromR, visibleR);
    for (int64_t i = line.firstRow; i <= lastRow; ++i) horizontal(i * H + top + line.dy);
    const int64_t lastCol = std::min(C - 1 + line.lastColFromC, visibleC);
    for (int64_t i = line.firstCol; i <= lastCol; ++i) vertical(i * W + line.dx);
  }

  const size_t count = std::min(cells.size(), def.Items.size());
  auto visible = [&](size_t k) {
    return static_cast<int64_t>(k) / C <= visibleR && static_cast<int64_t>(k) % C <= visibleC;
  };
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  for (size_t k = 0; k < count; ++k) {
    if (!visible(k) || cells[k].Text.empty()) continue;
    const int64_t row = static_cast<int64_t>(k) / C;
    const int64_t col = static_cast<int64_t>(k) % C;
    canvas.SetFontColor(cells[k].Alarm ? kCompositeAlarmColor : color(1));
    canvas.TextOut(Pixel(col * W + 5), Pixel(H / 3 + row * H), cells[k].Text);
  }
  canvas.SetFontSize(std::max(std::clamp(def.FontSize, 1, kCompositeMaxFontSize) / 2, 1));
  canvas.SetFontColor(color(7));
  for (size_t k = 0; k < count; ++k) {
    if (!visible(k)) continue;
    const int64_t row = static_cast<int64_t>(k) / C;
    const int64_t col = static_cast<int64_t>(k) % C;
    canvas.TextOut(Pixel(col * W + 8), Pixel(row * H), CompositeItemName(def.Items[k]));
  }
}

int32_t NormalizeCompositeInterval(int32_t ms) {
  if (ms == 0) return 0;
  return ms < kCompositeMinInterval ? kCompositeMinInterval : ms;
}

}  // namespace quelvar
