#include "view/MarkMoves.h"

#include <algorithm>
#include <cstdlib>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr int32_t kOscilloscopeSource = 2;

// The page layout's entry index of page `page`'s entry `d`, or -1 when the
// page tables do not hold it (tables of another configuration).
struct PageEntries {
  int32_t count = 0;     // entries of the page
  int32_t switches = 0;  // of which switch inputs
  int32_t first = 0;     // index of its first entry
  bool valid = false;
};

PageEntries EntriesOfPage(const PageTables& tables, int32_t page) {
  PageEntries e;
  if (page < 0 || static_cast<size_t>(page) >= tables.PageChannels.size() ||
      static_cast<size_t>(page) >= tables.PageSwitches.size() || static_cast<size_t>(page) >= tables.PageFirst.size()) {
    return e;
  }
  e.count = tables.PageChannels[static_cast<size_t>(page)];
  e.switches = tables.PageSwitches[static_cast<size_t>(page)];
  e.first = tables.PageFirst[static_cast<size_t>(page)];
  e.valid = e.first >= 0 && e.count >= 0;
  return e;
}

bool HoldsEntry(const PageTables& tables, int64_t entry) {
  return entry >= 0 && entry < static_cast<int64_t>(tables.EntryOffset.size());
}

}  // namespace

void PickNearerMarks(WaveViewState& view, int32_t p, int y) {
  view.NearerMarkX = std::llabs(int64_t{p} - view.Mark1X) > std::llabs(int64_t{p} - view.Mark2X) ? 1 : 0;
  view.NearerMarkY = std::llabs(int64_t{y} - view.Mark1Y) > std::llabs(int64_t{y} - view.Mark2Y) ? 1 : 0;
}

void PressPageChannel(WaveViewState& view, const MarkPlot& plot, int32_t screenTextHeight, MarkButton button,
                      int y) {
  PageTables& tables = view.PageLayout;
  const PageEntries page = EntriesOfPage(tables, view.BegDispChannel);
  if (!page.valid || page.count < 2 || view.RowShareTotal == 0) return;
  const int h = screenTextHeight / 2;
  const int32_t rows = std::min<int32_t>(page.count, kMaxDisplayPositions);
  for (int32_t d = 0; d < rows; ++d) {
    const int64_t entry = int64_t{page.first} + d;
    if (!HoldsEntry(tables, entry)) return;
    const double share = view.RowShare[static_cast<size_t>(d)] * 0.5 + view.RowShareStart[static_cast<size_t>(d)];
    const int32_t centre = TruncToInt32(share * plot.H / view.RowShareTotal);
    float& offset = tables.EntryOffset[static_cast<size_t>(entry)];
    const int32_t trace = TruncToInt32(centre + static_cast<double>(plot.H) * offset + plot.T);
    if (int64_t{y} < int64_t{trace} - h || int64_t{y} > int64_t{trace} + h) continue;
    view.DragChannel = static_cast<int32_t>(entry);
    if (button == MarkButton::Right) {
      if (offset != 0.0f) {
        offset = 0.0f;
        view.RepaintRequested = 1;
      }
    } else if (button == MarkButton::Left) {
      view.DragMode = 2;
      DragPageChannel(view, plot, y);
    }
    return;
  }
}

void DragPageChannel(WaveViewState& view, const MarkPlot& plot, int y) {
  PageTables& tables = view.PageLayout;
  const PageEntries page = EntriesOfPage(tables, view.BegDispChannel);
  if (!page.valid || plot.H <= 0 || !HoldsEntry(tables, view.DragChannel)) return;
  const int64_t row = std::min<int64_t>(std::max<int64_t>(int64_t{y} - plot.T, 0), plot.H);
  const int64_t analog = int64_t{page.count} - page.switches;
  const int64_t weights = page.switches + 2 * analog;
  if (weights <= 0) return;
  const int64_t k = int64_t{view.DragChannel} - page.first;
  const double base = k < analog ? TruncToInt64((k + 0.5) * 2.0 * plot.H / static_cast<double>(weights))
                                 : TruncToInt64((k - analog + 0.5 + 2.0 * analog) * plot.H /
                                                static_cast<double>(weights));
  tables.EntryOffset[static_cast<size_t>(view.DragChannel)] =
      static_cast<float>((static_cast<double>(row) - base) / plot.H);
  view.RepaintRequested = 1;
}

bool PressWaveform(WaveViewState& view, const DisplayDescriptor& display, const MarkPlot& plot,
                   int32_t screenTextHeight, MarkButton button, int x, int y) {
  if (display.DispValid == 0) return false;
  x = std::max(x, plot.L);
  y = std::max(y, plot.T);
  if (display.DataSourceMode != kOscilloscopeSource && view.Options.Scope == ChannelScope::Page && x == plot.L) {
    PressPageChannel(view, plot, screenTextHeight, button, y);
    return false;
  }
  // The right button belongs to the waveform's pop-up menu.
  if (button == MarkButton::Right) return false;
  view.DragMode = 1;
  PickNearerMarks(view, PixelToPoint(plot, view.DisplayWidth, x), y);
  return true;
}

MarkMoveResult MoveMarkState(WaveViewState& view, const DisplayDescriptor& display, const OscilToolSettings& oscil,
                             const MarkPlot& plot, int timeMark, int levelMark, int x, int y) {
  if (display.DispValid == 0) return MarkMoveResult::Nothing;
  x = std::max(x, plot.L);
  y = std::max(y, plot.T);
  const int32_t p = PixelToPoint(plot, view.DisplayWidth, x);
  const bool oscilloscope = display.DataSourceMode == kOscilloscopeSource;
  if (!oscilloscope || oscil.MeasTime != 0) (timeMark == 0 ? view.Mark1X : view.Mark2X) = p;
  if (!oscilloscope || oscil.MeasVolt != 0) (levelMark == 0 ? view.Mark1Y : view.Mark2Y) = y;
  if (oscilloscope && oscil.LocalZoom != 0) {
    // The magnified picture depends on the marks: the next tick redraws it.
    view.RepaintRequested = 1;
    return MarkMoveResult::RepaintRequested;
  }
  return MarkMoveResult::RedrawMarks;
}

void StepMarkFromLabel(WaveViewState& view, int mark, MarkButton button) {
  int32_t& x = mark == 2 ? view.Mark2X : view.Mark1X;
  int32_t& y = mark == 2 ? view.Mark2Y : view.Mark1Y;
  if (button == MarkButton::Left) {
    x = SaturateToInt32(int64_t{x} - 1);
    y = SaturateToInt32(int64_t{y} - 1);
  }
  x = std::min(std::max(x, 1), view.DisplayWidth);
}

}  // namespace quelvar
