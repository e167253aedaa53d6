#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"
#include "view/WaveRows.h"
#include "view/WaveformRenderer.h"

// The recording canvas's default font is size 9: texts are 18 pixels high.
// The canvas of 405 x 303 pixels gives a plot of N = 400 by M = 300 at
// (4, 2) while the scale labels stand inside it.

namespace {

using namespace quelvar;
using namespace quelvar::platform;

constexpr int kTextH = 18;
constexpr int kLeft = 4;
constexpr int kTop = 2;
constexpr int kN = 400;
constexpr int kM = 300;
constexpr int kPoints = 1000;

struct Text {
  int y;
  std::string text;
  friend bool operator==(const Text&, const Text&) = default;
};

std::ostream& operator<<(std::ostream& os, const Text& t) { return os << "{" << t.y << ", \"" << t.text << "\"}"; }

// Twelve analog channels on three lines of four, channel c on line c mod 3,
// so display position p names channel 3 (p mod 4) + p / 4, not p; three
// switch inputs.
class WaveformRenderer : public ::testing::Test {
 protected:
  WaveformRenderer() {
    config.Analog_Num = 12;
    config.SW_Num = 3;
    config.Total_Line = 3;
    config.NumSamp = kPoints;
    config.ColorNum = kMinColorNum;
    RestoreDefaultColors(config.ColorPalette, kMinColorNum);
    // Scale lines in a colour no curve has, to tell them from the traces.
    config.ColorPalette[0][kSlotScale] = 0x123456;
    config.ColorPalette[1][kSlotScale] = 0x654321;
    for (int l = 0; l < 3; ++l) {
      config.LineTable[l].APhaseNum = 4;
      config.LineTable[l].AName = "L" + std::to_string(l);
    }
    for (int c = 0; c < 12; ++c) {
      AnalogChannel& ch = config.AnalogChannelTable[c];
      ch.ChnName = "C" + std::to_string(c);
      ch.ChnUnits = "V";
      ch.ChnGroupNo = c % 3;
      ch.ChnIDDC = 1;
      ch.ChnYWeight = 100;
    }
    for (int s = 0; s < 3; ++s) {
      config.SwitchChannelTable[s].SWName = "S" + std::to_string(s);
      config.SwitchChannelTable[s].SWYWeight = 50;
    }
    RebuildLineTables(config);

    layout.Analog_Num = 12;
    layout.NumVChn = 13;
    layout.NumChn = 13;
    layout.MaxMultiFreq = 1;
    layout.MaxChannelRate = 1000.0f;
    for (int c = 0; c < 13; ++c) layout.MultiFreqTable[c] = 1;

    data.assign(static_cast<size_t>(kPoints) * 13, 2048);
    display.DispData = data.data();
    display.DispBlocks = 1;
    display.DispRows = kPoints;
    display.DispPoints = kPoints;
    display.DispRowWords = 13;
    display.DispTriggerPoint = 500;
    display.DispValid = 1;
    display.DataSourceMode = 1;

    input.Config = &config;
    input.Layout = &layout;
    input.Display = &display;
    input.TextHeight = kTextH;
    input.LabelWidth = 40;
    input.ChannelScrollMax = 11;

    view.XPosition = 0;
    view.DisplayWidth = kPoints;
    view.IDDC = 1;
    view.YZoom = 1;
    ViewOptions& o = view.Options;
    o.Scope = ChannelScope::Channel;
    o.ScaleOut = false;
    o.XScale = false;
    o.XAxialTime = false;
  }

  void Paint() {
    canvas.Clear();
    PaintWaveform(canvas, input, view);
  }

  // Texts written at the left edge: page caption, row names, scale values.
  std::vector<Text> LeftTexts() const {
    std::vector<Text> texts;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
      if (op.from.x == 0) texts.push_back({op.from.y, op.text});
    }
    return texts;
  }
  // Horizontal lines starting at the plot's left edge: centre lines, the
  // horizontal grid and the scale ticks, as (y, end x), in the scale
  // colour; the plot frame's four sides, drawn last, are left out.
  std::vector<std::pair<int, int>> RowLines(int left = kLeft) const {
    std::vector<std::pair<int, int>> lines;
    const auto& ops = canvas.Ops();
    for (size_t i = 0; i + 4 < ops.size(); ++i) {
      const CanvasOp& op = ops[i];
      if (op.kind == CanvasOp::Kind::Line && op.pen.color == Slot(0, kSlotScale) && op.from.x == left &&
          op.from.y == op.to.y && op.to.x > left)
        lines.push_back({op.from.y, op.to.x});
    }
    return lines;
  }
  std::vector<int32_t> Drawn() const {
    return {view.DrawnChannels.begin(), view.DrawnChannels.begin() + view.DrawnAnalogCount + view.DrawnSwitchCount};
  }
  Color Slot(int row, int slot) const { return Color::FromStored(config.ColorPalette[row][slot]); }

  LiveConfig config;
  SampleLayout layout;
  std::vector<uint16_t> data;
  DisplayDescriptor display;
  WaveformPaintInput input;
  WaveViewState view;
  RecordingCanvas canvas{kLeft + kN + 1, kTop + kM + 1};
};

// --- Start ---------------------------------------------------------------------

TEST_F(WaveformRenderer, InvalidDataOnlyResetTheCountsAndLeaveTheCanvasAlone) {
  view.DrawnRows = 7;
  view.DrawnAnalogCount = 5;
  view.DrawnSwitchCount = 2;
  view.XPosition = 5000;
  display.DispValid = 0;
  Paint();
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_EQ(view.DrawnAnalogCount, 0);
  EXPECT_EQ(view.DrawnSwitchCount, 0);
  EXPECT_EQ(view.DrawnRows, 7);
  EXPECT_EQ(view.XPosition, 5000);
}

TEST_F(WaveformRenderer, OscilloscopeDataGoToTheOscilloscopePicture) {
  display.DataSourceMode = 2;
  Paint();  // no oscilloscope picture given: nothing at all
  EXPECT_TRUE(canvas.Ops().empty());
  int calls = 0;
  input.PaintOscilloscope = [&](Canvas& c) {
    ++calls;
    c.TextOut(1, 1, "osc");
  };
  Paint();
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(canvas.Ops().size(), 1u);
  EXPECT_EQ(canvas.Ops()[0].text, "osc");
  EXPECT_EQ(view.DrawnRows, 0);
}

TEST_F(WaveformRenderer, AViewPastTheEndOfTheDataIsPulledBack) {
  view.XPosition = 900;
  view.DisplayWidth = 200;
  Paint();
  EXPECT_EQ(view.XPosition, 800);
  view.XPosition = 100;
  Paint();
  EXPECT_EQ(view.XPosition, 100);
}

// --- Geometry, background, frame ------------------------------------------------

TEST_F(WaveformRenderer, PlotFrameAndBackgroundFollowTheCanvasAndTheScaleArea) {
  struct Case {
    bool scaleOut;
    int fixedScale;
    int32_t width;
    int64_t perPointPixels;
    int32_t perSampTimePoints, maxMultiFreq;
    Rect plot;  // left, top, right (left + N), bottom (top + M)
  } cases[] = {
      {false, 0, kPoints, 0, 1, 1, {4, 2, 404, 302}},
      // Scale labels outside: the plot starts after the widest label and
      // below one text line.
      {true, 0, kPoints, 0, 1, 1, {40, 18, 404, 302}},
      // Printer's time scale: 1000 points x 3000000 pixels overflows 32
      // bits before the divisions by 1000000 and 2.
      {false, 1, kPoints, 3000000, 1000000, 2, {4, 2, 1504, 302}},
      {false, 1, kPoints, 500, 0, 1, {4, 2, 500004, 302}},
      // Widths beyond any page stop at 2^24 pixels; a negative scale gives none.
      {false, 1, kPoints, std::numeric_limits<int64_t>::max() / 10, 1, 1, {4, 2, 4 + (1 << 24), 302}},
      {false, 1, kPoints, -500, 1, 1, {4, 2, 4, 302}},
  };
  for (const Case& c : cases) {
    view.Options.ScaleOut = c.scaleOut;
    input.FixedScale = c.fixedScale;
    input.PerPointCMPixels = c.perPointPixels;
    input.PerSampTimePoints = c.perSampTimePoints;
    layout.MaxMultiFreq = c.maxMultiFreq;
    Paint();
    const auto& ops = canvas.Ops();
    ASSERT_GE(ops.size(), 5u);
    EXPECT_EQ(ops.front().kind, CanvasOp::Kind::FillRect);
    EXPECT_EQ(ops.front().rect, (Rect{0, 0, c.plot.right + 1, c.plot.bottom + 1}));
    EXPECT_EQ(ops.front().brush.color, kBlack);
    const Point corners[] = {{c.plot.left, c.plot.top},
                             {c.plot.left, c.plot.bottom},
                             {c.plot.right, c.plot.bottom},
                             {c.plot.right, c.plot.top},
                             {c.plot.left, c.plot.top}};
    for (int i = 0; i < 4; ++i) {
      const CanvasOp& line = ops[ops.size() - 4 + i];
      EXPECT_EQ(line.kind, CanvasOp::Kind::Line);
      EXPECT_EQ(line.from, corners[i]) << c.scaleOut << "/" << c.fixedScale << " side " << i;
      EXPECT_EQ(line.to, corners[i + 1]);
      EXPECT_EQ(line.pen.color, Slot(0, kSlotScale));
    }
  }
}

TEST_F(WaveformRenderer, PageScopeWritesThePageCaption) {
  config.TotalPages = 2;
  view.Options.Scope = ChannelScope::Page;
  view.PageLayout.PageChannels.assign(4, 0);
  view.PageLayout.PageFirst.assign(4, 0);
  struct Case {
    int32_t page;
    const char* caption;
  } cases[] = {{0, "P 0"}, {1, "P 1"}, {2, "万能"}, {3, "触发"}};
  for (const Case& c : cases) {
    view.BegDispChannel = c.page;
    Paint();
    const auto texts = LeftTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], (Text{0, c.caption}));
  }
  // The second waveform window's name for the trigger page.
  input.TriggerPageCaption = "故障";
  view.BegDispChannel = 3;
  Paint();
  ASSERT_FALSE(LeftTexts().empty());
  EXPECT_EQ(LeftTexts()[0], (Text{0, "故障"}));
  view.Options.Scope = ChannelScope::Four;
  Paint();
  for (const Text& t : LeftTexts()) EXPECT_NE(t.y, 0) << t.text;
}

// --- Rows by scope ---------------------------------------------------------------

TEST_F(WaveformRenderer, RowsAndDrawnChannelsFollowTheScope) {
  // Page 0 lists channels 5 and 2 and switch input 1; page 1 is empty.
  config.TotalPages = 2;
  view.PageLayout.PageChannels = {3, 0, 0, 0};
  view.PageLayout.PageSwitches = {1, 0, 0, 0};
  view.PageLayout.PageFirst = {0, 3, 15, 30};
  view.PageLayout.Entries.assign(45, 0);
  view.PageLayout.Entries[0] = 5;
  view.PageLayout.Entries[1] = 2;
  view.PageLayout.Entries[2] = 13;
  view.PageLayout.EntryOffset.assign(45, 0.0f);

  struct Case {
    const char* name;
    ChannelScope scope;
    bool phaseMultiple, viewSwitch;
    int32_t max, beg, line;
    int32_t rows;
    std::vector<int32_t> drawn;
    int32_t analog, switches;
    int32_t begAfter, lineAfter;
    std::vector<std::string> names;
  } cases[] = {
      {"one channel", ChannelScope::Channel, false, false, 11, 5, 0, 1, {5}, 1, 0, 5, 1, {"C4"}},
      {"one line of channels", ChannelScope::Line, false, false, 11, 4, 1, 4, {4, 5, 6, 7}, 4, 0, 4, 1,
       {"C1", "C4", "C7", "C10"}},
      {"one line on one axis", ChannelScope::Line, true, false, 2, 2, 0, 1, {8, 9, 10, 11}, 4, 0, 2, 2, {"L2"}},
      {"four of three channels", ChannelScope::Four, false, false, 2, 0, 0, 3, {0, 1, 2}, 3, 0, 0, 0,
       {"C0", "C3", "C6"}},
      {"four scrolled past the end", ChannelScope::Four, false, false, 10, 9, 0, 4, {7, 8, 9, 10}, 4, 0, 7, 1,
       {"C10", "C2", "C5", "C8"}},
      {"eight lines of four", ChannelScope::Eight, true, false, 2, 0, 0, 3,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12, 0, 0, 0, {"L0", "L1", "L2"}},
      {"all channels", ChannelScope::All, false, false, 11, 6, 2, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12, 0,
       0, 0, {"C0", "C3", "C6", "C9", "C1", "C4", "C7", "C10", "C2", "C5", "C8", "C11"}},
      {"all switch inputs", ChannelScope::All, false, true, 2, 1, 0, 3, {12, 13, 14}, 0, 3, 0, 0,
       {"S0", "S1", "S2"}},
      {"analog and switch, lines", ChannelScope::Overall, true, false, 2, 0, 0, 6,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 12, 3, 1, 1, {"L0", "L1", "L2", "S0", "S1", "S2"}},
      {"analog and switch, channels", ChannelScope::Overall, false, false, 11, 5, 0, 15,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 12, 3, 1, 1,
       {"C0", "C3", "C6", "C9", "C1", "C4", "C7", "C10", "C2", "C5", "C8", "C11", "S0", "S1", "S2"}},
      // Page entries are channel numbers, not display positions.
      {"page", ChannelScope::Page, false, false, 3, 0, 0, 3, {5, 2, 13}, 2, 1, 0, 0, {"C5", "C2", "S1"}},
      {"empty page", ChannelScope::Page, false, false, 3, 1, 0, 0, {}, 0, 0, 1, 0, {}},
      {"page outside the tables", ChannelScope::Page, false, false, 3, 9, 0, 0, {}, 0, 0, 9, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.Options.Scope = c.scope;
    view.Options.PhaseMultiple = c.phaseMultiple;
    view.Options.ViewSwitch = c.viewSwitch;
    input.ChannelScrollMax = c.max;
    view.BegDispChannel = c.beg;
    view.CurrentLine = c.line;
    Paint();
    EXPECT_EQ(view.DrawnRows, c.rows);
    EXPECT_EQ(Drawn(), c.drawn);
    EXPECT_EQ(view.DrawnAnalogCount, c.analog);
    EXPECT_EQ(view.DrawnSwitchCount, c.switches);
    EXPECT_EQ(view.BegDispChannel, c.begAfter);
    EXPECT_EQ(view.CurrentLine, c.lineAfter);
    // Names of several rows are the only texts at the left edge, apart
    // from a page's caption.
    std::vector<std::string> names;
    for (const Text& t : LeftTexts()) {
      if (t.y != 0 && (c.rows > 1 || t.text.front() == 'C' || t.text.front() == 'L' || t.text.front() == 'S'))
        names.push_back(t.text);
    }
    EXPECT_EQ(names, c.names);
  }
}

TEST_F(WaveformRenderer, LineOfChannelIsTheLastLineStartingAtOrBeforeIt) {
  struct Case {
    int32_t position, line;
  } cases[] = {{0, 0}, {3, 0}, {4, 1}, {8, 2}, {11, 2}, {500, 2}, {-1, 0}};
  for (const Case& c : cases) EXPECT_EQ(LineOfChannel(config, c.position), c.line) << c.position;
  config.Total_Line = 0;
  EXPECT_EQ(LineOfChannel(config, 5), 0);
}

// --- Shares and row centres ------------------------------------------------------

TEST_F(WaveformRenderer, RowsShareThePlotByTheirWeights) {
  view.Options.Scope = ChannelScope::Four;
  view.Options.NoGridLines = true;  // centre lines are stubs of 1.5 textH
  view.Options.ScaleOut = true;     // names centred on the row
  input.LabelWidth = kLeft;         // keeps the plot's left edge at 4
  // Positions 0..3 name channels 0, 3, 6 and 9.
  config.AnalogChannelTable[0].ChnYWeight = 100;
  config.AnalogChannelTable[3].ChnYWeight = 50;
  config.AnalogChannelTable[6].ChnYWeight = 50;
  config.AnalogChannelTable[9].ChnYWeight = 200;
  Paint();
  // top = textH = 18, M = 303 - 3 + 2 - 18 = 284.
  ASSERT_EQ(view.DrawnRows, 4);
  EXPECT_EQ((std::vector<int32_t>(view.RowShare.begin(), view.RowShare.begin() + 4)),
            (std::vector<int32_t>{100, 50, 50, 200}));
  EXPECT_EQ((std::vector<int32_t>(view.RowShareStart.begin(), view.RowShareStart.begin() + 4)),
            (std::vector<int32_t>{0, 100, 150, 200}));
  EXPECT_EQ(view.RowShareTotal, 400);
  // Centres 18 + (share / 2 + start) x 284 / 400: 53.5, 106.75, 142.25, 231.
  std::vector<int> centres;
  for (const auto& [y, end] : RowLines()) {
    if (end == kLeft + kTextH * 3 / 2) centres.push_back(y);
  }
  EXPECT_EQ(centres, (std::vector<int>{53, 106, 142, 231}));
  EXPECT_EQ(LeftTexts(), (std::vector<Text>{{44, "C0"}, {97, "C3"}, {133, "C6"}, {222, "C9"}}));
}

TEST_F(WaveformRenderer, WeightsThatComeToNothingShareThePlotEqually) {
  view.Options.Scope = ChannelScope::Four;
  for (const int c : {0, 3, 6, 9}) config.AnalogChannelTable[c].ChnYWeight = 0;
  config.AnalogChannelTable[6].ChnYWeight = -100;  // counts as 0
  Paint();
  ASSERT_EQ(view.DrawnRows, 4);
  EXPECT_EQ(view.RowShareTotal, 4);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(view.RowShare[r], 1);
  // One huge weight is capped so that the total stays a 32-bit sum.
  config.AnalogChannelTable[0].ChnYWeight = std::numeric_limits<int32_t>::max();
  config.AnalogChannelTable[3].ChnYWeight = std::numeric_limits<int32_t>::max();
  Paint();
  EXPECT_GT(view.RowShareTotal, 0);
  EXPECT_EQ(view.RowShare[2], 0);
}

TEST_F(WaveformRenderer, OneAxisPutsEveryRowOverTheWholePlot) {
  view.Options.Scope = ChannelScope::Four;
  view.Options.In1Axial = true;
  view.Options.NoGridLines = true;
  view.Options.YGrid = true;
  Paint();
  // Every row: centre at 2 + 150, grid at +-60 and +-120 (Hr = M).
  const std::vector<std::pair<int, int>> row = {{152, 31}, {92, 22}, {32, 22}, {272, 22}, {212, 22}};
  std::vector<std::pair<int, int>> expected;
  for (int r = 0; r < 4; ++r) expected.insert(expected.end(), row.begin(), row.end());
  EXPECT_EQ(RowLines(), expected);
}

TEST_F(WaveformRenderer, PageRowsMoveByTheirEntryOffset) {
  config.TotalPages = 1;
  view.Options.Scope = ChannelScope::Page;
  view.Options.NoGridLines = true;
  view.PageLayout.PageChannels = {2, 0, 0};
  view.PageLayout.PageFirst = {0, 15, 30};
  view.PageLayout.Entries.assign(45, 0);
  view.PageLayout.Entries[0] = 1;
  view.PageLayout.Entries[1] = 12;  // switch input 0
  view.PageLayout.EntryOffset.assign(45, 0.0f);
  view.PageLayout.EntryOffset[0] = 0.1f;
  view.PageLayout.EntryOffset[1] = std::nanf("");  // a damaged offset leaves the row in place
  for (const bool oneAxis : {false, true}) {
    view.Options.In1Axial = oneAxis;
    Paint();
    std::vector<int> centres;
    for (const auto& [y, end] : RowLines()) {
      if (end == kLeft + kTextH * 3 / 2) centres.push_back(y);
    }
    // Shares 100 and 50 of 300: centres 100 and 250, the first moved by
    // 30; on one axis both at 150.
    EXPECT_EQ(centres, oneAxis ? (std::vector<int>{182, 152}) : (std::vector<int>{132, 252}));
  }
}

// --- Scale values ------------------------------------------------------------------

TEST_F(WaveformRenderer, ScaleValuesOfASingleRow) {
  config.ADMax = 4000.0f;  // code values (v + 5) x 400: round numbers
  config.ChannelRate = 1000.0f;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    int32_t type, dc, yOffset, yZoom;
    float preAmp, coeA, coeB;
    uint16_t ampGain;
    bool lines;
    std::vector<std::string> texts;  // +2, +4, -2, -4 divisions
  } cases[] = {
      {"DC", 1, 1, 0, 1, 1, 0, 1, 1, false, {"2.000V", "4.000V", "-2.000V", "-4.000V"}},
      {"DC with offset and zoom", 1, 1, 1, 2, 1, 0, 1, 1, false, {"2.000V", "3.000V", "0.000V", "-1.000V"}},
      {"DC coefficients", 1, 1, 0, 1, 1, 1, 10, 1, false, {"21.000V", "41.000V", "-19.000V", "-39.000V"}},
      {"AC drops the offset coefficient", 1, 0, 3, 1, 1, 1, 10, 1, false,
       {"Y0+20.000V", "Y0+40.000V", "Y0-20.000V", "Y0-40.000V"}},
      {"zoom 0 counts as 1", 1, 1, 0, 0, 1, 0, 1, 1, false, {"2.000V", "4.000V", "-2.000V", "-4.000V"}},
      {"raw code", 3, 1, 0, 1, 2, 0, 1, 1, false, {"1400V", "1800V", "600V", "200V"}},
      {"raw code in AC reads code spans", 3, 0, 0, 1, 1, 0, 1, 1, false, {"Y0+800V", "Y0+1600V", "Y0-800V", "Y0-1600V"}},
      {"counter by rate and amplifier", 2, 1, 0, 1, 1, 0, 1, 2, false, {"1400000V", "1800000V", "600000V", "200000V"}},
      {"counter without amplifier gain", 2, 1, 0, 1, 1, 0, 1, 0, false, {"2800V", "3600V", "1200V", "400V"}},
      // Centre -5 V, values at -4, -3, -6, -7 V: (v + 5) x 400 codes, over
      // g = 2 / 1000 x 4 = 0.008, times 3; the offset 7 is dropped.
      {"counter in AC reads code spans", 2, 0, 3, 2, 2, 7, 3, 4, false,
       {"Y0+150000V", "Y0+300000V", "Y0-150000V", "Y0-300000V"}},
      // A pre-amplifier gain of 0, below 0 or not finite divides as 1.
      {"raw code, gain 0", 3, 1, 0, 1, 0, 0, 1, 1, false, {"2800V", "3600V", "1200V", "400V"}},
      {"raw code, gain -2", 3, 1, 0, 1, -2, 0, 1, 1, false, {"2800V", "3600V", "1200V", "400V"}},
      {"counter, gain NaN", 2, 1, 0, 1, nan, 0, 1, 0, false, {"2800V", "3600V", "1200V", "400V"}},
      // A row of a line's four channels reads plain volts.
      {"line on one axis", 1, 1, 0, 1, 1, 1, 10, 1, true, {"2.000v", "4.000v", "-2.000v", "-4.000v"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnalogChannel& ch = config.AnalogChannelTable[0];
    ch.ChnIDDC = c.type;
    ch.ChnPreAmp = c.preAmp;
    ch.ChnCoeA = c.coeA;
    ch.ChnCoeB = c.coeB;
    config.AmpGain = c.ampGain;
    view.IDDC = c.dc;
    view.YOffset = c.yOffset;
    view.YZoom = c.yZoom;
    view.Options.Scope = c.lines ? ChannelScope::Line : ChannelScope::Channel;
    view.Options.PhaseMultiple = c.lines;
    input.ChannelScrollMax = c.lines ? 2 : 11;
    view.BegDispChannel = 0;
    Paint();
    // top + M / 2 - textH / 2 = 143, minus or plus H / 5 = 60 and 0.4 H = 120.
    const std::string name = c.lines ? "L0" : "C0";
    EXPECT_EQ(LeftTexts(), (std::vector<Text>{{83, c.texts[0]},
                                              {23, c.texts[1]},
                                              {203, c.texts[2]},
                                              {263, c.texts[3]},
                                              {134, name}}));
  }
}

TEST_F(WaveformRenderer, PageScaleValuesReadTheListedChannelOrSwitch) {
  // Page 0 lists channel 5 (display position 5 is channel 4), page 1
  // switch input 1.
  config.TotalPages = 2;
  view.Options.Scope = ChannelScope::Page;
  view.PageLayout.PageChannels = {1, 1, 0, 0};
  view.PageLayout.PageFirst = {0, 15, 30, 45};
  view.PageLayout.Entries.assign(60, 0);
  view.PageLayout.Entries[0] = 5;
  view.PageLayout.Entries[15] = 13;
  view.PageLayout.EntryOffset.assign(60, 0.0f);
  config.AnalogChannelTable[5].ChnUnits = "A";
  config.AnalogChannelTable[5].ChnCoeA = 1.0f;
  config.AnalogChannelTable[5].ChnCoeB = 10.0f;
  config.AnalogChannelTable[4].ChnUnits = "W";
  config.AnalogChannelTable[4].ChnCoeB = 100.0f;

  view.BegDispChannel = 0;
  Paint();
  EXPECT_EQ(LeftTexts(), (std::vector<Text>{{0, "P 0"},
                                            {83, "21.000A"},
                                            {23, "41.000A"},
                                            {203, "-19.000A"},
                                            {263, "-39.000A"},
                                            {134, "C5"}}));
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
    if (op.text == "C5") {
      EXPECT_EQ(op.font.color, Color::FromStored(ChannelColor(config, 5, 0)));
    }
  }
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{5}));

  view.BegDispChannel = 1;
  ASSERT_FALSE(view.Options.ViewSwitch);  // the analog view
  Paint();
  EXPECT_EQ(LeftTexts(), (std::vector<Text>{{0, "P 1"}, {23, "1"}, {263, "0"}, {134, "S1"}}));
}

TEST_F(WaveformRenderer, SwitchRowsAreScaledOneAndZero) {
  view.Options.ViewSwitch = true;
  input.ChannelScrollMax = 2;
  Paint();
  EXPECT_EQ(LeftTexts(), (std::vector<Text>{{23, "1"}, {263, "0"}, {134, "S0"}}));
  // Several rows show their values only when asked to, each in its row.
  view.Options.Scope = ChannelScope::All;
  Paint();
  EXPECT_EQ(LeftTexts().size(), 3u);
  view.Options.ScaleAlways = true;
  Paint();
  // Rows of 100 pixels: centres 52, 152, 252; 0.4 Hr = 40.
  EXPECT_EQ(LeftTexts(), (std::vector<Text>{{34, "S0"},
                                            {3, "1"},
                                            {83, "0"},
                                            {134, "S1"},
                                            {103, "1"},
                                            {183, "0"},
                                            {234, "S2"},
                                            {203, "1"},
                                            {283, "0"}}));
}

TEST_F(WaveformRenderer, ScaleValuesInEveryRowTakeTheRowsColour) {
  view.Options.Scope = ChannelScope::Four;
  view.Options.ScaleAlways = true;
  Paint();
  // Each row writes its name and its four values; row r's key is r.
  int coloured = 0;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
    if (op.from.x != 0) continue;
    const int key = coloured++ / 5;
    EXPECT_EQ(op.font.color, Color::FromStored(ChannelColor(config, key, 0))) << op.text;
  }
  EXPECT_EQ(coloured, 4 * 5);
  EXPECT_EQ(canvas.GetFont().color, Slot(0, kSlotText));
}

TEST_F(WaveformRenderer, ScaleValuesOfASingleRowAreInTheTextColour) {
  // A single row's values are written before the rows, in the plot's text
  // colour; only its name takes the row's colour.
  struct Case {
    const char* name;
    bool viewSwitch;
    int32_t colour, whiteBG;
    int32_t key;
  } cases[] = {
      {"analog, black scheme", false, 1, 0, 0},
      {"analog, white scheme", false, 1, 1, 0},
      {"switch", true, 1, 0, 12},
      {"black and white", false, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view.Options.ViewSwitch = c.viewSwitch;
    input.ChannelScrollMax = c.viewSwitch ? 2 : 11;
    input.Colour = c.colour;
    input.WhiteBG = c.whiteBG;
    Paint();
    const Color text = c.colour == 1 ? Slot(c.whiteBG, kSlotText) : kBlack;
    const Color row = c.colour == 1 ? Color::FromStored(ChannelColor(config, c.key, c.whiteBG)) : kBlack;
    std::vector<CanvasOp> left;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Text)) {
      if (op.from.x == 0) left.push_back(op);
    }
    ASSERT_EQ(left.size(), c.viewSwitch ? 3u : 5u);
    for (size_t i = 0; i + 1 < left.size(); ++i) EXPECT_EQ(left[i].font.color, text) << left[i].text;
    EXPECT_EQ(left.back().font.color, row) << left.back().text;
  }
}

// --- Centre lines and grid -----------------------------------------------------------

TEST_F(WaveformRenderer, CentreLineAndGridFollowTheGridMode) {
  // One row: centre 152, grid at -60, -120, +120, +60.
  const int centre = kTop + kM / 2;
  const int rowYs[] = {centre, centre - 60, centre - 120, centre + 120, centre + 60};
  struct Case {
    bool noGridLines, dotted;
    int centreEnd, gridEnd;
    size_t dotsPerLine;  // dotted: from stub + 10 every 10 pixels within N
  } cases[] = {
      {false, false, kLeft + kN, kLeft + kN, 0},
      {false, true, kLeft + 27, kLeft + 18, 0},
      {true, false, kLeft + 27, kLeft + 18, 0},
      {true, true, kLeft + 27, kLeft + 18, 0},
  };
  for (const Case& c : cases) {
    view.Options.NoGridLines = c.noGridLines;
    view.Options.GridDotted = c.dotted;
    Paint();
    const auto lines = RowLines();
    ASSERT_EQ(lines.size(), 5u) << c.noGridLines << c.dotted;
    for (size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(lines[i], (std::pair<int, int>{rowYs[i], i == 0 ? c.centreEnd : c.gridEnd}));
    }
    size_t dots = 0;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Pixel)) {
      for (size_t i = 0; i < 5; ++i) {
        if (op.from.y != rowYs[i]) continue;
        const int first = kLeft + (i == 0 ? 27 : 18) + 10;
        EXPECT_EQ((op.from.x - first) % 10, 0);
        EXPECT_LE(op.from.x, kLeft + kN);
        EXPECT_EQ(op.color, Slot(0, kSlotScale));
        ++dots;
      }
    }
    // (400 - 37) / 10 + 1 dots on the centre line, (400 - 28) / 10 + 1 on each grid line.
    EXPECT_EQ(dots, !c.noGridLines && c.dotted ? 37u + 4u * 38u : 0u);
  }
}

TEST_F(WaveformRenderer, SeveralRowsGetGridOrScaleTicksAsAsked) {
  view.Options.Scope = ChannelScope::Overall;  // 12 channels, then 3 switch inputs
  view.Options.PhaseMultiple = true;           // 3 line rows of 100, 3 switch rows of 50 (total 450)
  view.Options.NoGridLines = true;
  Paint();
  EXPECT_EQ(RowLines().size(), 6u);  // centre lines only

  view.Options.XScale = true;
  Paint();
  auto lines = RowLines();
  ASSERT_EQ(lines.size(), 6u + 3u * 4u + 3u * 2u);
  // First line row: Hr = 100 x 300 / 450 = 66, centre 2 + 33.33.
  EXPECT_EQ((std::vector<std::pair<int, int>>(lines.begin(), lines.begin() + 5)),
            (std::vector<std::pair<int, int>>{{35, 31}, {48, 13}, {61, 22}, {22, 13}, {8, 22}}));
  // Last switch row: Hr = 33, centre 2 + 283.33; ticks at +-13.2.
  EXPECT_EQ((std::vector<std::pair<int, int>>(lines.end() - 3, lines.end())),
            (std::vector<std::pair<int, int>>{{285, 31}, {298, 22}, {272, 22}}));

  view.Options.YGrid = true;
  Paint();
  lines = RowLines();
  ASSERT_EQ(lines.size(), 6u + 3u * 4u + 3u * 2u);
  EXPECT_EQ((std::vector<std::pair<int, int>>(lines.begin(), lines.begin() + 5)),
            (std::vector<std::pair<int, int>>{{35, 31}, {22, 22}, {9, 22}, {61, 22}, {48, 22}}));
  EXPECT_EQ((std::vector<std::pair<int, int>>(lines.end() - 3, lines.end())),
            (std::vector<std::pair<int, int>>{{285, 31}, {272, 22}, {298, 22}}));
}

// --- Colours ----------------------------------------------------------------------

TEST_F(WaveformRenderer, ColourZeroIsBlackOnWhiteInEveryScheme) {
  view.Options.Scope = ChannelScope::Overall;
  view.Options.GridDotted = true;
  display.DispTriggerPoint = 500;
  for (const int32_t scheme : {0, 1}) {
    input.Colour = 0;
    input.WhiteBG = scheme;
    Paint();
    ASSERT_EQ(canvas.Ops().front().kind, CanvasOp::Kind::FillRect);
    EXPECT_EQ(canvas.Ops().front().brush.color, kWhite);
    for (const CanvasOp& op : canvas.Ops()) {
      if (op.kind == CanvasOp::Kind::FillRect) continue;
      const Color used = op.kind == CanvasOp::Kind::Text    ? op.font.color
                         : op.kind == CanvasOp::Kind::Pixel ? op.color
                                                            : op.pen.color;
      EXPECT_EQ(used, kBlack) << op.ToString();
    }
  }
}

TEST_F(WaveformRenderer, ColourOneTakesTheSchemesRow) {
  view.Options.Scope = ChannelScope::Four;
  struct Case {
    int32_t whiteBG;
    int row;
    Color background;
  } cases[] = {{0, 0, kBlack}, {1, 1, kWhite}, {7, 0, kBlack}};
  for (const Case& c : cases) {
    input.WhiteBG = c.whiteBG;
    Paint();
    EXPECT_EQ(canvas.Ops().front().brush.color, c.background);
    const auto texts = canvas.OpsOf(CanvasOp::Kind::Text);
    for (const CanvasOp& op : texts) {
      if (op.from.x == 0) {
        const int key = op.text == "C0" ? 0 : op.text == "C3" ? 1 : op.text == "C6" ? 2 : 3;
        EXPECT_EQ(op.font.color, Color::FromStored(ChannelColor(config, key, c.row))) << op.text;
      }
    }
    const CanvasOp& frame = canvas.Ops().back();
    EXPECT_EQ(frame.pen.color, Slot(c.row, kSlotScale));
  }
}

// --- Traces ---------------------------------------------------------------------------

class WaveformRendererTraces : public WaveformRenderer {
 protected:
  void SetWord(int row, int word, uint16_t value) { data[static_cast<size_t>(row) * 13 + word] = value; }
  // The lines drawn in the colour of channel key `key`, as (from, to).
  std::vector<std::pair<Point, Point>> TraceLines(int key, int row = 0) const {
    std::vector<std::pair<Point, Point>> lines;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.color == Color::FromStored(ChannelColor(config, key, row))) lines.push_back({op.from, op.to});
    }
    return lines;
  }
};

TEST_F(WaveformRendererTraces, AnalogTraceFollowsTheXAndYRules) {
  // 401 points on 400 pixels: one point a pixel, joined by lines.
  view.DisplayWidth = 401;
  SetWord(1, 0, 4095);  // +5 V
  SetWord(2, 0, 1);     // -5 V
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float preAmp;
    int yHigh, yLow;  // with gain g the row's half height spans 5 / g volts
  } cases[] = {{1.0f, 2, 302}, {2.0f, -148, 452}, {0.0f, 2, 302}, {-3.0f, 2, 302}, {nan, 2, 302}};
  for (const Case& c : cases) {
    config.AnalogChannelTable[0].ChnPreAmp = c.preAmp;
    Paint();
    const auto lines = TraceLines(0);
    ASSERT_GE(lines.size(), 3u) << c.preAmp;
    EXPECT_EQ(lines[0], (std::pair<Point, Point>{{4, 152}, {5, c.yHigh}})) << c.preAmp;
    EXPECT_EQ(lines[1], (std::pair<Point, Point>{{5, c.yHigh}, {6, c.yLow}})) << c.preAmp;
    EXPECT_EQ(lines[2], (std::pair<Point, Point>{{6, c.yLow}, {7, 152}})) << c.preAmp;
    EXPECT_EQ(lines.back().second, (Point{404, 152}));
  }
}

TEST_F(WaveformRendererTraces, EachRowDrawsItsOwnChannelInItsOwnStrip) {
  // Row 1 of four shows display position 1, which is channel 3 (word 3).
  view.Options.Scope = ChannelScope::Four;
  view.DisplayWidth = 401;
  SetWord(1, 3, 4095);
  SetWord(1, 1, 1);  // channel 1 is not on screen
  Paint();
  ASSERT_EQ(view.DrawnRows, 4);
  // Rows of 75 pixels: centre 2 + 112.5, half height 37.
  const auto lines = TraceLines(1);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], (std::pair<Point, Point>{{4, 114}, {5, 77}}));
  EXPECT_EQ(lines[1], (std::pair<Point, Point>{{5, 77}, {6, 114}}));
}

TEST_F(WaveformRendererTraces, AFasterChannelTakesTheRateOfItsChannelNotOfItsPosition) {
  // Two blocks of 500 rows at two points a row. Display position 1 is
  // channel 3, which runs at twice the rate with its extra sub-sample in
  // word 13; channel 1, the one position 1 would name by itself, at the
  // base rate.
  config.NumSamp = 500;
  layout.MaxMultiFreq = 2;
  layout.NumChn = 14;
  layout.MultiFreqTable[3] = 2;
  layout.ExtraSlotFirst[3] = 13;
  layout.ExtraSlotLast[3] = 14;
  ASSERT_EQ(layout.MultiFreqTable[1], 1);
  data.assign(static_cast<size_t>(kPoints) * 14, 2048);
  display.DispData = data.data();
  display.DispRowWords = 14;
  display.DispBlocks = 2;
  display.DispPoints = 2 * kPoints;
  // Origin: point 51 of block 1, 51 + 500 x 2 = 1051 display points.
  display.DispTriggerBlock = 1;
  display.DispTriggerPoint = 51;
  view.BegDispChannel = 1;
  view.XPosition = 1000;
  view.DisplayWidth = 401;
  // Sub-sample s of channel 3 is row s / 2, word 3 when even, else word 13.
  data[525 * 14 + 13] = 4095;  // sub-sample 1051: +5 V
  data[526 * 14 + 3] = 1;      // sub-sample 1052: -5 V
  Paint();
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{1}));
  // Sub-samples 1000 .. 1400 one a pixel from x = 4: sub-sample s at s - 996.
  const auto lines = TraceLines(1);
  ASSERT_EQ(lines.size(), 400u);
  EXPECT_EQ(lines.front().first, (Point{4, 152}));
  EXPECT_EQ(lines[50], (std::pair<Point, Point>{{54, 152}, {55, 2}}));
  EXPECT_EQ(lines[51], (std::pair<Point, Point>{{55, 2}, {56, 302}}));
  EXPECT_EQ(lines[52], (std::pair<Point, Point>{{56, 302}, {57, 152}}));
  EXPECT_EQ(lines.back().second, (Point{404, 152}));
  // The origin mark points at the trace's sample of the trigger.
  std::vector<CanvasOp> triangle;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.pen.color == Color{255, 0, 0}) triangle.push_back(op);
  }
  ASSERT_FALSE(triangle.empty());
  EXPECT_EQ(triangle[0].from, (Point{45, kTop}));
  EXPECT_EQ(triangle[0].to, (Point{65, kTop}));
}

TEST_F(WaveformRendererTraces, ConstantSignalInACLiesOnTheCentreLine) {
  view.IDDC = 0;
  for (int row = 0; row < kPoints; ++row) SetWord(row, 0, 3000);
  Paint();
  const auto lines = TraceLines(0);
  ASSERT_FALSE(lines.empty());
  for (const auto& [from, to] : lines) {
    EXPECT_EQ(from.y, kTop + kM / 2);
    EXPECT_EQ(to.y, kTop + kM / 2);
  }
}

TEST_F(WaveformRendererTraces, SwitchTraceSitsOnItsLevels) {
  view.Options.ViewSwitch = true;
  input.ChannelScrollMax = 2;
  view.BegDispChannel = 1;
  view.DisplayWidth = 401;
  SetWord(1, 12, 0x0002);  // switch input 1 high at point 1 only
  Paint();
  const auto lines = TraceLines(13);
  ASSERT_GE(lines.size(), 2u);
  // 0.4 x 300 = 120 above and below the centre 152.
  EXPECT_EQ(lines[0], (std::pair<Point, Point>{{4, 272}, {5, 32}}));
  EXPECT_EQ(lines[1], (std::pair<Point, Point>{{5, 32}, {6, 272}}));
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{13}));
}

TEST_F(WaveformRendererTraces, PictureTracesTakeTheLineWidthAndTheRestTheCanvasWidth) {
  view.Options.Scope = ChannelScope::Overall;  // analog and switch rows
  canvas.SetPenWidth(2);
  input.ToPicture = 1;
  input.LineWidth = 3;
  Paint();
  size_t traces = 0, scale = 0;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.pen.color == Slot(0, kSlotScale)) {
      EXPECT_EQ(op.pen.width, 2) << op.ToString();
      ++scale;
    } else if (op.pen.width == 3) {
      ++traces;
    } else {
      EXPECT_EQ(op.pen.width, 2) << op.ToString();  // the X axis's own colours
    }
  }
  EXPECT_GT(traces, 15u);
  EXPECT_GT(scale, 15u);
  EXPECT_EQ(canvas.GetPen().width, 2);
  // On the screen every line keeps the canvas's width.
  input.ToPicture = 0;
  Paint();
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) EXPECT_EQ(op.pen.width, 2);
}

TEST_F(WaveformRendererTraces, XAxisMarksSitInThePlotAndOnTheTrace) {
  view.Options.ScaleOut = true;  // plot from x = 40, y = 18, N = 364
  display.SelectFault = 1;
  const FoundTriggerPoint found[] = {{2, 1, 999}};
  input.TriggerPoints = found;
  Paint();
  const Color red{255, 0, 0}, yellow{255, 255, 0};
  std::vector<CanvasOp> triangle, lozenge;
  for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
    if (op.pen.color == red) triangle.push_back(op);
    if (op.pen.color == yellow) lozenge.push_back(op);
  }
  // The origin, point 500, at 40 + 364 x 500 / 999 = 222.
  ASSERT_FALSE(triangle.empty());
  EXPECT_EQ(triangle[0].from, (Point{212, 18}));
  EXPECT_EQ(triangle[0].to, (Point{232, 18}));
  // The found point 999 is the view's last: on the right edge, where the
  // trace's last sample is.
  ASSERT_FALSE(lozenge.empty());
  EXPECT_EQ(lozenge[0].from, (Point{404, 18}));
  EXPECT_EQ(lozenge[0].to, (Point{404, 38}));
  const auto trace = TraceLines(0);
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.back().second.x, 404);
}

// --- Hostile settings ---------------------------------------------------------------

TEST_F(WaveformRenderer, SettingsOutsideTheTablesDrawOnlyWhatExists) {
  struct Case {
    const char* name;
    ChannelScope scope;
    bool phaseMultiple, viewSwitch;
    int32_t analog, switches, lines, max, beg, line;
    int32_t maxRows;
  } cases[] = {
      {"huge scroll range", ChannelScope::All, false, false, 12, 3, 3, 100000, 0, 0, 12},
      {"counts beyond the tables", ChannelScope::Overall, false, false, 5000, 5000, 5000, 5, 0, 0, 292},
      {"negative counts", ChannelScope::Overall, true, false, -5, -5, -5, 5, 0, 0, 0},
      {"negative first row", ChannelScope::Channel, false, false, 12, 3, 3, 11, -4, 0, 0},
      {"switch rows beyond the inputs", ChannelScope::Sixteen, false, true, 12, 3, 3, 40, 30, 0, 3},
      {"line beyond the lines", ChannelScope::Line, true, false, 12, 3, 3, 50, 40, 60, 0},
      {"negative scroll range", ChannelScope::Four, false, false, 12, 3, 3, -1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    config.Analog_Num = c.analog;
    config.SW_Num = c.switches;
    config.Total_Line = c.lines;
    view.Options.Scope = c.scope;
    view.Options.PhaseMultiple = c.phaseMultiple;
    view.Options.ViewSwitch = c.viewSwitch;
    input.ChannelScrollMax = c.max;
    view.BegDispChannel = c.beg;
    view.CurrentLine = c.line;
    Paint();
    EXPECT_LE(view.DrawnRows, c.maxRows);
    EXPECT_LE(view.DrawnAnalogCount + view.DrawnSwitchCount, kMaxDisplayPositions);
    EXPECT_EQ(canvas.Ops().back().kind, CanvasOp::Kind::Line);  // the frame closes every paint
  }
}

}  // namespace
