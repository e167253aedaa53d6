#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "shell/UniversalPageStore.h"
#include "shell/WindowGeometry.h"

namespace {

using namespace quelvar;

const char* const kFormSize = "\\SOFTWARE\\QuelvarTorque\\FormSize";

TEST(WindowGeometry, ValuesThatCannotBeReadKeepTheDesignedOnes) {
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "FormAbout_Left", -40);
  reg.WriteString(kFormSize, "FormAbout_Width", "wide");  // of another type
  WindowGeometry g{10, 20, 300, 200};
  ReadWindowGeometry(reg, "QuelvarTorque", "FormAbout", g);
  EXPECT_EQ(g.Top, 10);
  EXPECT_EQ(g.Left, -40);
  EXPECT_EQ(g.Width, 300);
  WriteWindowGeometry(reg, "QuelvarTorque", "FormAbout", {1, 2, 3, 4});
  EXPECT_EQ(reg.ReadInt32(kFormSize, "FormAbout_Height"), 4);
}

TEST(WindowGeometry, OneMonitorPullsTheWindowOntoTheScreen) {
  struct Case {
    WindowGeometry in;
    int monitors;
    WindowGeometry out;
  } cases[] = {
      {{0, -40, 300, 200}, 1, {0, 0, 300, 200}},
      {{0, -40, 300, 200}, 2, {0, -40, 300, 200}},           // several monitors: as stored
      {{0, 100, 2000, 200}, 1, {0, 0, 1024, 200}},           // wider than the screen
      {{700, 900, 300, 200}, 1, {568, 724, 300, 200}},       // moved back inside
      {{-5, 0, 300, 900}, 1, {0, 0, 300, 768}},              // taller than the screen
      {{0, 0, 1024, 768}, 1, {0, 0, 1024, 768}},
  };
  for (const Case& c : cases) {
    WindowGeometry g = c.in;
    FitWindowOnScreen(g, 1024, 768, c.monitors);
    EXPECT_EQ(g.Top, c.out.Top);
    EXPECT_EQ(g.Left, c.out.Left);
    EXPECT_EQ(g.Width, c.out.Width);
    EXPECT_EQ(g.Height, c.out.Height);
  }
}

bool Same(const WindowGeometry& a, const WindowGeometry& b) {
  return a.Top == b.Top && a.Left == b.Left && a.Width == b.Width && a.Height == b.Height;
}

std::string Text(const WindowGeometry& g) {
  return "{" + std::to_string(g.Top) + "," + std::to_string(g.Left) + "," + std::to_string(g.Width) + "," +
         std::to_string(g.Height) + "}";
}

// Desktops the tests place windows on.
DesktopScreen Plain(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {{left, top, width, height}, {left, top, width, height}};
}
const std::vector<DesktopScreen> kOneScreen = {Plain(0, 0, 1280, 1024)};
// A panel along the top edge.
const std::vector<DesktopScreen> kOneScreenWithPanel = {{{0, 0, 1280, 1024}, {0, 30, 1280, 994}}};
// The primary screen and a smaller one to its right.
const std::vector<DesktopScreen> kTwoScreens = {Plain(0, 0, 1280, 1024), Plain(1280, 0, 1024, 768)};
// A second screen to the left of the primary one, at negative positions.
const std::vector<DesktopScreen> kScreenOnTheLeft = {Plain(0, 0, 1280, 1024), Plain(-1024, 0, 1024, 768)};
const FrameMargins kUnknownFrame{};
const FrameMargins kOpenboxFrame{1, 20, 1, 5};

TEST(WindowPlace, OpensWithItsTitleBarOnAScreen) {
  struct Case {
    const char* what;
    WindowGeometry stored;  // Top, Left, Width, Height
    const std::vector<DesktopScreen>* screens;
    FrameMargins margins;
    WindowGeometry opens;
  } cases[] = {
      {"first start: the designed place", {0, 0, 800, 600}, &kOneScreen, kUnknownFrame, {0, 0, 800, 600}},
      {"first start under a top panel", {0, 0, 800, 600}, &kOneScreenWithPanel, kUnknownFrame, {30, 0, 800, 600}},
      {"off every screen, one monitor", {-500, 3000, 800, 600}, &kOneScreen, kUnknownFrame, {0, 480, 800, 600}},
      {"one monitor, frame known: its outer height fits", {500, 0, 800, 600}, &kOneScreen, kOpenboxFrame,
       {399, 0, 800, 600}},
      {"off every screen, two monitors: the nearer one", {2000, 5000, 800, 600}, &kTwoScreens, kUnknownFrame,
       {168, 1504, 800, 600}},
      {"across both monitors, title bar on the first", {500, 1000, 800, 600}, &kTwoScreens, kUnknownFrame,
       {500, 1000, 800, 600}},
      {"above the top edge, two monitors", {-10, 100, 800, 600}, &kTwoScreens, kUnknownFrame, {0, 100, 800, 600}},
      {"title bar below the smaller monitor's bottom", {760, 1400, 400, 300}, &kTwoScreens, kUnknownFrame,
       {468, 1400, 400, 300}},
      {"too little of the title bar to grab", {100, 2254, 400, 300}, &kTwoScreens, kUnknownFrame,
       {100, 1904, 400, 300}},
      {"on a monitor at negative positions", {100, -900, 400, 300}, &kScreenOnTheLeft, kUnknownFrame,
       {100, -900, 400, 300}},
      {"larger than any monitor and above them", {-300, 0, 3000, 2000}, &kTwoScreens, kUnknownFrame,
       {0, 0, 3000, 2000}},
      {"extreme stored values", {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX}, &kTwoScreens, kOpenboxFrame,
       {0, 1280, INT32_MAX - 2, INT32_MAX - 25}},
  };
  for (const Case& c : cases) {
    const WindowGeometry g = OpeningPlace(c.stored, *c.screens, c.margins);
    EXPECT_TRUE(Same(g, c.opens)) << c.what << ": " << Text(g);
  }
  const WindowGeometry noScreens = OpeningPlace({-500, -500, 10, 10}, {}, kUnknownFrame);
  EXPECT_TRUE(Same(noScreens, {-500, -500, 10, 10})) << "without monitors the place stands";
}

// Stored places are not trusted: the most extreme ones, on a desktop whose
// primary monitor does not start at 0, still open on a screen (and without
// overflowing on the way: the sanitizer build checks that).
TEST(WindowPlace, ExtremeStoredPlacesOpenOnAScreen) {
  const std::vector<DesktopScreen> primaryOnTheRight = {Plain(1920, 0, 1280, 1024), Plain(0, 0, 1920, 1080)};
  const int32_t extremes[] = {INT32_MIN, -1, 0, INT32_MAX};
  for (const auto* screens : {&kTwoScreens, &primaryOnTheRight}) {
    for (const FrameMargins& margins : {kUnknownFrame, kOpenboxFrame}) {
      const int32_t title = margins.Top > 0 ? margins.Top : kAssumedTitleBarHeight;
      for (int32_t top : extremes) {
        for (int32_t left : extremes) {
          for (int32_t size : {0, 400, INT32_MAX}) {
            const WindowGeometry stored{top, left, size, size};
            const WindowGeometry g = OpeningPlace(stored, *screens, margins);
            // A window of no size has no title bar to show; it is here for the arithmetic.
            if (size > 0) {
              EXPECT_TRUE(TitleBarOnScreen(g, *screens, margins, title)) << Text(stored) << " -> " << Text(g);
            }
          }
        }
      }
    }
  }
}

TEST(WindowPlace, EveryOpeningPlaceHasItsTitleBarOnAScreen) {
  for (const auto* screens : {&kOneScreen, &kOneScreenWithPanel, &kTwoScreens, &kScreenOnTheLeft}) {
    for (const FrameMargins& margins : {kUnknownFrame, kOpenboxFrame}) {
      const int32_t title = margins.Top > 0 ? margins.Top : kAssumedTitleBarHeight;
      for (int32_t top = -3000; top <= 3000; top += 250) {
        for (int32_t left = -4000; left <= 4000; left += 250) {
          for (const auto& [width, height] : {std::pair{50, 40}, std::pair{800, 600}, std::pair{2600, 1500}}) {
            const WindowGeometry g = OpeningPlace({top, left, width, height}, *screens, margins);
            EXPECT_TRUE(TitleBarOnScreen(g, *screens, margins, title)) << Text({top, left, width, height});
            EXPECT_TRUE(Same(OpeningPlace(g, *screens, margins), g)) << "opening twice moves it again";
          }
        }
      }
    }
  }
}

TEST(WindowPlace, SavedPlacesComeBackExactly) {
  // A place as a window reports it is saved, read back at the next start,
  // opened, and saved again: nothing creeps.
  struct Case {
    WindowGeometry shown;
    const std::vector<DesktopScreen>* screens;
  } cases[] = {
      {{0, 0, 800, 600}, &kOneScreen},         {{200, 300, 800, 600}, &kOneScreen},
      {{30, 0, 640, 480}, &kOneScreenWithPanel}, {{100, 1500, 700, 500}, &kTwoScreens},
      {{500, 1000, 800, 600}, &kTwoScreens},  {{100, -900, 400, 300}, &kScreenOnTheLeft},
  };
  for (const Case& c : cases) {
    for (const FrameMargins& margins : {kUnknownFrame, kOpenboxFrame}) {
      platform::MemoryRegistry reg;
      WindowGeometry place = c.shown;
      for (int start = 0; start < 3; ++start) {
        WriteWindowGeometry(reg, "QuelvarTorque", "FormMain", place);
        WindowGeometry read{1, 2, 3, 4};
        ReadWindowGeometry(reg, "QuelvarTorque", "FormMain", read);
        place = OpeningPlace(read, *c.screens, margins);
      }
      EXPECT_TRUE(Same(place, c.shown)) << Text(c.shown) << " came back as " << Text(place);
    }
  }
}

TEST(WindowPlace, FrameAndClientTermsConvertBothWays) {
  const WindowGeometry place{200, 300, 800, 600};
  const DesktopRect client = ClientRectOf(place, kOpenboxFrame);
  EXPECT_EQ(client.Left, 301);
  EXPECT_EQ(client.Top, 220);
  EXPECT_EQ(client.Width, 800);
  EXPECT_EQ(client.Height, 600);
  const DesktopRect frame = FrameRectOf(place, kOpenboxFrame);
  EXPECT_EQ(frame.Left, 300);
  EXPECT_EQ(frame.Top, 200);
  EXPECT_EQ(frame.Width, 802);
  EXPECT_EQ(frame.Height, 625);
  EXPECT_TRUE(Same(PlaceOfClientRect(client, kOpenboxFrame), place));
  // Restored in one frame of reference and saved in the other, a place would
  // move by the frame at every start.
  EXPECT_FALSE(Same(PlaceOfClientRect({place.Left, place.Top, 800, 600}, kOpenboxFrame), place));
}

void WriteList(platform::MemoryRegistry& reg, const char* name, std::vector<int32_t> values) {
  std::vector<uint8_t> bytes(values.size() * 4);
  std::memcpy(bytes.data(), values.data(), bytes.size());
  reg.WriteBinary(kFormSize, name, bytes);
}

UniversalPages Read(platform::MemoryRegistry& reg, int32_t analogNum, int32_t switchNum) {
  UniversalPages p;
  ReadUniversalPages(reg, "QuelvarTorque", analogNum, switchNum, p);
  return p;
}

TEST(UniversalPageStore, CountsAreClampedToTheConfiguredChannels) {
  struct Case {
    int32_t stored;
    int32_t analogNum;
    int32_t expected;
  } cases[] = {{0, 8, 1}, {50, 8, 8}, {5, 0, 0}, {8, 8, 8}};
  for (const Case& c : cases) {
    platform::MemoryRegistry reg;
    reg.WriteInt32(kFormSize, "VPAnalog", c.stored);
    EXPECT_EQ(Read(reg, c.analogNum, 0).VPAnalog, c.expected) << c.stored;
  }
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "VPageNum", 7);
  EXPECT_EQ(Read(reg, 4, 0).VPageNum, 4);
  reg.WriteInt32(kFormSize, "VPageNum", -3);
  EXPECT_EQ(Read(reg, 4, 0).VPageNum, 0);
}

TEST(UniversalPageStore, FullPagesComeBackAndWrongEntriesAreClamped) {
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "VPAnalog", 4);
  reg.WriteInt32(kFormSize, "VPBin", 2);
  WriteList(reg, "VP", {3, 9, -1, 0, 1, 5});  // every analog channel and every switch input
  reg.WriteInt32(kFormSize, "VPAnalog2", 2);
  reg.WriteInt32(kFormSize, "VPBin2", 0);
  WriteList(reg, "VP2", {1, 2});
  reg.WriteInt32(kFormSize, "VPAnalog3", 9);  // out of range: page 3 stays a copy
  const UniversalPages p = Read(reg, 4, 2);
  EXPECT_EQ(p.VPAnalog, 4);
  EXPECT_EQ(p.VPBin, 2);
  const std::vector<int32_t> current(p.VP.begin(), p.VP.begin() + 6);
  EXPECT_EQ(current, (std::vector<int32_t>{3, 3, 0, 0, 1, 1}));
  EXPECT_EQ(p.VPAnalogPages[2], 2);
  EXPECT_EQ(p.VPBinPages[2], 0);
  EXPECT_EQ(p.VPPages[2][0], 1);
  EXPECT_EQ(p.VPPages[2][1], 2);
  EXPECT_EQ(p.VPAnalogPages[3], 4);
  EXPECT_EQ(p.VPPages[3], p.VP);
}

TEST(UniversalPageStore, APageOfSwitchInputsAloneComesBackAsOne) {
  // Not turned into an analog channel followed by the wrong switch inputs.
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "VPAnalog", 0);
  reg.WriteInt32(kFormSize, "VPBin", 2);
  WriteList(reg, "VP", {1, 0});
  reg.WriteInt32(kFormSize, "VPAnalog1", 0);
  reg.WriteInt32(kFormSize, "VPBin1", 1);
  WriteList(reg, "VP1", {1});
  const UniversalPages p = Read(reg, 4, 2);
  EXPECT_EQ(p.VPAnalog, 0);
  EXPECT_EQ(p.VPBin, 2);
  EXPECT_EQ(p.VP[0], 1);
  EXPECT_EQ(p.VP[1], 0);
  EXPECT_EQ(p.VPAnalogPages[1], 0);
  EXPECT_EQ(p.VPBinPages[1], 1);
  EXPECT_EQ(p.VPPages[1][0], 1);
}

TEST(UniversalPageStore, WrittenPagesReadBackUnchanged) {
  platform::MemoryRegistry reg;
  UniversalPages p;
  p.VPAnalog = 2;
  p.VPBin = 1;
  p.VP[0] = 1;
  p.VP[1] = 0;
  p.VP[2] = 2;
  p.VPAnalogPages[4] = 1;
  p.VPBinPages[4] = 0;
  p.VPPages[4][0] = 1;
  p.VPageNum = 4;
  WriteUniversalPages(reg, "QuelvarTorque", p);
  const UniversalPages back = Read(reg, 2, 3);
  EXPECT_EQ(back.VP, p.VP);
  EXPECT_EQ(back.VPPages[4][0], 1);
  EXPECT_EQ(back.VPAnalogPages[4], 1);
  EXPECT_EQ(back.VPageNum, 4);
}

}  // namespace
