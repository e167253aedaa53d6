#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvar::platform {
class CellGrid;
class RegistryStore;
}

namespace quelvar {

struct WindowGeometry {
  int32_t Top = 0;
  int32_t Left = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Every window keeps its place under the application key's "\FormSize" as
// four integers named after it ("FormMain_Top", ...). A value that cannot be
// read keeps the designed one.
std::string FormSizeKeyPath(const std::string& appKeyName);
void ReadWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                        WindowGeometry& geometry);
void WriteWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                         const WindowGeometry& geometry);

// Column widths of a window's grid under "\FormSize", one integer per column
// named `prefix` + the column's number ("FormBin_GridColWidth3"). A stored
// width that is missing or not a usable width (1 to 10000 pixels) leaves
// the grid's width as it is.
void ReadGridColumnWidths(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                          const std::vector<int>& columns, platform::CellGrid& grid);
void WriteGridColumnWidths(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                           const std::vector<int>& columns, const platform::CellGrid& grid);

// With exactly one monitor a window is moved, then shrunk, to lie inside the
// screen; with several the stored values stand.
void FitWindowOnScreen(WindowGeometry& geometry, int32_t screenWidth, int32_t screenHeight, int monitorCount);

// A place is kept in the window frame's terms for its position (Top, Left:
// the frame's outer corner, what the window system is asked to move) and in
// the client area's for its size (Width, Height: what a window is resized
// to; its frame is unknown until it is first shown). Saved and restored in
// the same terms, a place comes back exactly.

// A rectangle on the desktop, in desktop pixels.
struct DesktopRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// How far a window's frame reaches beyond its client area on each side
// (all 0 while the frame is unknown).
struct FrameMargins {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

// A monitor: all of it, and the part left for windows (without panels).
struct DesktopScreen {
  DesktopRect Whole;
  DesktopRect Available;
};

// The frame's outer rectangle and the client area of a place, and the place
// whose client area is `client`.
DesktopRect FrameRectOf(const WindowGeometry& place, const FrameMargins& margins);
DesktopRect ClientRectOf(const WindowGeometry& place, const FrameMargins& margins);
WindowGeometry PlaceOfClientRect(const DesktopRect& client, const FrameMargins& margins);

// Title-bar height taken while a window's frame is still unknown.
inline constexpr int32_t kAssumedTitleBarHeight = 24;
// How much of a title bar must lie on a screen to grab and drag the window.
inline constexpr int32_t kTitleBarGrip = 100;

// Whether the top `titleBarHeight` rows of the frame lie on one available
// area, with at least kTitleBarGrip of their width (or all of it) there.
bool TitleBarOnScreen(const WindowGeometry& place, const std::vector<DesktopScreen>& screens,
                      const FrameMargins& margins, int32_t titleBarHeight);

// The place a window opens at, from its stored (or designed) place: with one
// monitor fitted inside it as FitWindowOnScreen says (on the frame's outer
// size); then, with any number of monitors, a window whose title bar lies on
// none of them is moved, size kept, into the available area of the monitor it
// overlaps most (or lies nearest to), so that its title bar can be reached.
// A place whose title bar is on a screen stands, so a saved place comes back
// unchanged. Without monitors the place stands.
WindowGeometry OpeningPlace(WindowGeometry place, const std::vector<DesktopScreen>& screens,
                            const FrameMargins& margins);

}  // namespace quelvar
