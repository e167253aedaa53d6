#include "shell/WindowGeometry.h"

#include <algorithm>
#include <limits>

#include "common/NumberFormat.h"
#include "platform/CellGrid.h"
#include "platform/RegistryKey.h"

namespace quelvar {

std::string FormSizeKeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\FormSize"; }

void ReadWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                        WindowGeometry& g) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  g.Top = key.ReadInteger(prefix + "_Top").value_or(g.Top);
  g.Left = key.ReadInteger(prefix + "_Left").value_or(g.Left);
  g.Width = key.ReadInteger(prefix + "_Width").value_or(g.Width);
  g.Height = key.ReadInteger(prefix + "_Height").value_or(g.Height);
}

void WriteWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                         const WindowGeometry& g) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  key.WriteInteger(prefix + "_Top", g.Top);
  key.WriteInteger(prefix + "_Left", g.Left);
  key.WriteInteger(prefix + "_Width", g.Width);
  key.WriteInteger(prefix + "_Height", g.Height);
}

void ReadGridColumnWidths(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                          const std::vector<int>& columns, platform::CellGrid& grid) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  for (int col : columns) {
    const std::optional<int32_t> width = key.ReadInteger(prefix + std::to_string(col));
    if (width && *width >= 1 && *width <= 10000) grid.SetColWidth(col, *width);
  }
}

void WriteGridColumnWidths(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                           const std::vector<int>& columns, const platform::CellGrid& grid) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  for (int col : columns) key.WriteInteger(prefix + std::to_string(col), grid.ColWidth(col));
}

void FitWindowOnScreen(WindowGeometry& g, int32_t screenWidth, int32_t screenHeight, int monitorCount) {
  if (monitorCount != 1) return;
  // 64-bit sums: stored values are not trusted.
  if (int64_t{g.Top} + g.Height > screenHeight) g.Top = screenHeight - g.Height;
  if (int64_t{g.Left} + g.Width > screenWidth) g.Left = screenWidth - g.Width;
  if (g.Top < 0) g.Top = 0;
  if (g.Left < 0) g.Left = 0;
  if (int64_t{g.Top} + g.Height > screenHeight) g.Height = screenHeight - g.Top;
  if (int64_t{g.Left} + g.Width > screenWidth) g.Width = screenWidth - g.Left;
}

namespace {

// Stored values are not trusted: sums are formed in 64 bits and brought back
// into range (SaturateToInt32).
int64_t Right(const DesktopRect& r) { return int64_t{r.Left} + r.Width; }
int64_t Bottom(const DesktopRect& r) { return int64_t{r.Top} + r.Height; }

int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) { return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0)); }

// Squared distance between two rectangles (0 when they touch or overlap).
int64_t GapSquared(const DesktopRect& a, const DesktopRect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t{b.Left} - Right(a), int64_t{a.Left} - Right(b)});
  const int64_t dy = std::max<int64_t>({0, int64_t{b.Top} - Bottom(a), int64_t{a.Top} - Bottom(b)});
  // Capped so the square stays in range; such gaps never tie in practice.
  const int64_t cap = (int64_t{1} << 31) - 1;
  const int64_t cx = std::min(dx, cap), cy = std::min(dy, cap);
  return cx * cx + cy * cy;
}

// Moves `start` (a frame's edge) so that [start, start + size) lies in
// [lo, lo + room); a frame larger than the room starts at lo.
int64_t Within(int64_t start, int64_t size, int64_t lo, int64_t room) {
  if (size >= room) return lo;
  return std::clamp(start, lo, lo + room - size);
}

}  // namespace

DesktopRect FrameRectOf(const WindowGeometry& place, const FrameMargins& m) {
  return {place.Left, place.Top, SaturateToInt32(int64_t{place.Width} + m.Left + m.Right),
          SaturateToInt32(int64_t{place.Height} + m.Top + m.Bottom)};
}

DesktopRect ClientRectOf(const WindowGeometry& place, const FrameMargins& m) {
  return {SaturateToInt32(int64_t{place.Left} + m.Left), SaturateToInt32(int64_t{place.Top} + m.Top), place.Width, place.Height};
}

WindowGeometry PlaceOfClientRect(const DesktopRect& client, const FrameMargins& m) {
  return {SaturateToInt32(int64_t{client.Top} - m.Top), SaturateToInt32(int64_t{client.Left} - m.Left), client.Width, client.Height};
}

bool TitleBarOnScreen(const WindowGeometry& place, const std::vector<DesktopScreen>& screens, const FrameMargins& margins,
                      int32_t titleBarHeight) {
  const DesktopRect frame = FrameRectOf(place, margins);
  const int64_t grip = std::min<int64_t>(kTitleBarGrip, std::max(frame.Width, 1));
  for (const DesktopScreen& screen : screens) {
    const DesktopRect& s = screen.Available;
    if (frame.Top < s.Top || int64_t{frame.Top} + titleBarHeight > Bottom(s)) continue;
    if (Overlap(frame.Left, Right(frame), s.Left, Right(s)) >= grip) return true;
  }
  return false;
}

WindowGeometry OpeningPlace(WindowGeometry place, const std::vector<DesktopScreen>& screens,
                            const FrameMargins& margins) {
  if (screens.empty()) return place;
  // The one-monitor fit, on the frame's outer size.
  const int32_t extraWidth = SaturateToInt32(int64_t{margins.Left} + margins.Right);
  const int32_t extraHeight = SaturateToInt32(int64_t{margins.Top} + margins.Bottom);
  WindowGeometry outer{place.Top, place.Left, SaturateToInt32(int64_t{place.Width} + extraWidth),
                       SaturateToInt32(int64_t{place.Height} + extraHeight)};
  const DesktopRect& primary = screens.front().Whole;
  outer.Top = SaturateToInt32(int64_t{outer.Top} - primary.Top);
  outer.Left = SaturateToInt32(int64_t{outer.Left} - primary.Left);
  FitWindowOnScreen(outer, primary.Width, primary.Height, static_cast<int>(screens.size()));
  place = {SaturateToInt32(int64_t{outer.Top} + primary.Top), SaturateToInt32(int64_t{outer.Left} + primary.Left),
           SaturateToInt32(int64_t{outer.Width} - extraWidth), SaturateToInt32(int64_t{outer.Height} - extraHeight)};

  const int32_t titleBarHeight = margins.Top > 0 ? margins.Top : kAssumedTitleBarHeight;
  if (TitleBarOnScreen(place, screens, margins, titleBarHeight)) return place;
  const DesktopRect frame = FrameRectOf(place, margins);
  const DesktopScreen* best = &screens.front();
  int64_t bestArea = -1, bestGap = std::numeric_limits<int64_t>::max();
  for (const DesktopScreen& screen : screens) {
    const DesktopRect& s = screen.Available;
    const int64_t area = Overlap(frame.Left, Right(frame), s.Left, Right(s)) * Overlap(frame.Top, Bottom(frame), s.Top, Bottom(s));
    const int64_t gap = GapSquared(frame, s);
    if (area > bestArea || (area == bestArea && gap < bestGap)) {
      best = &screen;
      bestArea = area;
      bestGap = gap;
    }
  }
  const DesktopRect& s = best->Available;
  place.Left = SaturateToInt32(Within(frame.Left, frame.Width, s.Left, s.Width));
  place.Top = SaturateToInt32(Within(frame.Top, frame.Height, s.Top, s.Height));
  return place;
}

}  // namespace quelvar
