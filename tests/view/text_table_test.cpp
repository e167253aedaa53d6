// The text table of the shown data: header rows, data rows in the three
// modes, switch columns, times in the compressed tail and before the origin,
// the columns of each scope, the oscilloscope's table, the pieces it comes
// in, and the text file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "MarkDataForTest.h"
#include "platform/GbkText.h"
#include "platform/RecordingCanvas.h"
#include "view/DisplayLayout.h"
#include "view/TextTable.h"
#include "view/WaveformRenderer.h"

namespace {

using namespace quelvar;
using test::MarkData;

// Two DC channels C0, C1 (volts, 4 decimals) and switch inputs S0, S1 over
// `rows` rows at 1000 rows a second: C0 rises 1.25 V a row from 0 V, C1 is
// -2.5 V, S0 is high on even rows and S1 on odd ones.
struct TableData : MarkData {
  explicit TableData(int32_t rows = 6)
      : MarkData({1, 1}, rows, 2, [](int32_t row, int32_t word) -> uint16_t {
          if (word == 0) return static_cast<uint16_t>(2048 + 512 * row);
          if (word == 1) return 1024;
          return row % 2 == 0 ? 0b01 : 0b10;
        }) {
    config.SwitchChannelTable[0].SWName = "S0";
    config.SwitchChannelTable[1].SWName = "S1";
    config.AnalogDisplayOrder[0] = 0;
    config.AnalogDisplayOrder[1] = 1;
    // What a paint of both analog channels and both switch inputs leaves.
    view.DrawnChannels[0] = 0;
    view.DrawnChannels[1] = 1;
    view.DrawnChannels[2] = 2;
    view.DrawnChannels[3] = 3;
    view.DrawnAnalogCount = 2;
    view.DrawnSwitchCount = 2;
  }
  TextTableSource Table() { return {{config, torque, display, layout}, view, oscil}; }
  std::string Text(GridMode mode = GridMode::Engineering, bool oscilloscope = false) {
    TextTableSource source = Table();
    return TextTableText(source, {mode, oscilloscope});
  }
  void Show(int32_t first, int32_t width) {
    view.XPosition = first;
    view.DisplayWidth = width;
  }
};

// Data rows of a table (after the two header rows).
std::vector<std::string> DataRows(const std::string& table) {
  std::vector<std::string> rows;
  size_t at = 0;
  for (;;) {
    const size_t next = table.find("\r\n", at);
    rows.push_back(table.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) break;
    at = next + 2;
  }
  rows.erase(rows.begin(), rows.begin() + std::min<size_t>(2, rows.size()));
  return rows;
}

std::string FirstCell(const std::string& row) { return row.substr(0, row.find('\t')); }

TEST(TextTableOfView, IsTheNamesTheUnitsAndOneRowAShownPointWithoutATrailingBreak) {
  TableData d;
  d.display.DispTriggerPoint = 2;
  d.Show(1, 3);
  EXPECT_EQ(d.Text(),
            "时间\t通道名：\tC0\tC1\tS0\tS1"
            "\r\n(ms)\t点\\单位：\tV\tV\t[开关量]\t[开关量]"
            "\r\n-1.00\t2\t1.2500\t-2.5000\t低电平\t高电平"
            "\r\n0.00\t3\t2.5000\t-2.5000\t高电平\t低电平"
            "\r\n1.00\t4\t3.7500\t-2.5000\t低电平\t高电平");
}

// Raw-code and direct-value modes change the analog units and cells; the
// switch columns read high or low in every mode.
TEST(TextTableOfView, ModesChangeTheAnalogCellsOnly) {
  struct Case {
    GridMode mode;
    const char* units;
    const char* row;
  };
  const Case cases[] = {
      {GridMode::Hex, "\t[原始值]\t[原始值]\t[开关量]\t[开关量]", "0.00\t2\t2560\t1024\t低电平\t高电平"},
      {GridMode::DirectValue, "\t[直接AD]V\t[直接AD]V\t[开关量]\t[开关量]", "0.00\t2\t1.2500\t1024\t低电平\t高电平"},
  };
  TableData d;
  d.config.AnalogChannelTable[1].ChnIDDC = kChannelRawCode;  // direct value is its code
  d.display.DispTriggerPoint = 1;
  d.Show(1, 1);
  for (const Case& c : cases) {
    EXPECT_EQ(d.Text(c.mode), std::string("时间\t通道名：\tC0\tC1\tS0\tS1\r\n(ms)\t点\\单位：") + c.units + "\r\n" + c.row);
  }
  // A 16-bit card's volts carry 5 decimals, as in the grid.
  d.config.ADBit = 16;
  EXPECT_EQ(DataRows(d.Text(GridMode::DirectValue))[0], "0.00\t2\t1.25000\t1024\t低电平\t高电平");
}

TEST(TextTableOfView, AThousandPointViewHasTwoHeaderRowsAndAThousandDataRows) {
  TableData d(1200);
  d.Show(150, 1000);
  const std::vector<std::string> rows = DataRows(d.Text());
  ASSERT_EQ(rows.size(), 1000u);
  EXPECT_EQ(rows.front().substr(0, rows.front().find('\t', 7)), "150.00\t151");
  EXPECT_EQ(rows.back().substr(0, rows.back().find('\t', 8)), "1149.00\t1150");
}

// In the compressed tail each row stands for DispCompressRatio samples and
// its time is the middle of them.
TEST(TextTableOfView, CompressedTailTimesAdvanceByTheRatioFromHalfARatioIn) {
  TableData d(12);
  d.config.NumSamp = 4;
  d.display.DispBlocks = 3;
  d.display.DispCompressed = 1;
  d.display.DispCompressStart = 2;  // point 8
  d.display.DispCompressRatio = 10;
  d.Show(6, 4);
  const std::vector<std::string> rows = DataRows(d.Text());
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(FirstCell(rows[0]), "6.00");
  EXPECT_EQ(FirstCell(rows[1]), "7.00");
  EXPECT_EQ(FirstCell(rows[2]), "13.00");
  EXPECT_EQ(FirstCell(rows[3]), "23.00");
}

// A live ring whose oldest block is 2 and whose trigger lies in block 1: the
// origin is taken modulo the points, and the rows read round the ring.
TEST(TextTableOfView, AnOriginInAnOlderPartOfTheRingGivesNegativeTimesBeforeIt) {
  TableData d(12);
  d.config.NumSamp = 4;
  d.display.DispBlocks = 3;
  d.display.DispFirstBlock = 2;
  d.display.DispTriggerBlock = 1;
  d.display.DispTriggerPoint = 1;  // 1 - 4 points, + 12: point 9
  d.Show(8, 3);
  const std::vector<std::string> rows = DataRows(d.Text(GridMode::Hex));
  ASSERT_EQ(rows.size(), 3u);
  // Point 8 is matrix row 8 + 8 - 12 = 4: code 2048 + 4 x 512.
  EXPECT_EQ(rows[0], "-1.00\t9\t4096\t1024\t高电平\t低电平");
  EXPECT_EQ(FirstCell(rows[1]), "0.00");
  EXPECT_EQ(rows[2], "1.00\t11\t5120\t1024\t高电平\t低电平");
}

// Display points follow at the fastest channel's rate: dividing by the base
// rate made every time MaxMultiFreq times too long.
TEST(TextTableOfView, MendedTimesFollowTheFastestRateWithMultiRateChannels) {
  MarkData d({2, 1}, 4, 0, [](int32_t row, int32_t word) { return static_cast<uint16_t>(100 * row + word); });
  d.config.AnalogDisplayOrder = {0, 1};
  d.view.DrawnChannels[0] = 0;
  d.view.DrawnChannels[1] = 1;
  d.view.DrawnAnalogCount = 2;
  d.view.XPosition = 0;
  d.view.DisplayWidth = 4;
  ASSERT_EQ(d.layout.MaxMultiFreq, 2);
  TextTableSource source{{d.config, d.torque, d.display, d.layout}, d.view, d.oscil};
  // C0's second sample of a row is its extra word; C1 repeats its one sample.
  const int32_t extra = d.layout.ExtraSlotFirst[0];
  EXPECT_EQ(DataRows(TextTableText(source, {GridMode::Hex, false})),
            (std::vector<std::string>{"0.00\t1\t0\t1", "0.50\t2\t" + std::to_string(extra) + "\t1",
                                      "1.00\t3\t100\t101", "1.50\t4\t" + std::to_string(100 + extra) + "\t101"}));
}

// With EnvTemp naming a room-temperature channel each row's thermocouple
// value is compensated with that row's own room temperature.
TEST(TextTableOfView, ThermocoupleColumnsUseTheRowsOwnColdJunction) {
  MarkData d({1, 1}, 3, 0, [](int32_t row, int32_t word) -> uint16_t {
    return word == 0 ? 2048 : static_cast<uint16_t>(3072 + 512 * row);  // 2.5 V, 3.75 V, 5 V
  });
  d.config.AnalogDisplayOrder = {0, 1};
  d.config.AnalogChannelTable[0].ChnIDDC = kChannelKType;  // 0 mV of its own
  d.config.AnalogChannelTable[1].ChnCoeB = 8.0f;           // 20, 30, 40 degC
  d.config.EnvTemp = -101.0f;
  d.view.DrawnChannels[0] = 0;
  d.view.DrawnAnalogCount = 1;
  d.view.XPosition = 0;
  d.view.DisplayWidth = 3;
  TextTableSource source{{d.config, d.torque, d.display, d.layout}, d.view, d.oscil};
  const std::vector<std::string> rows = DataRows(TextTableText(source, {}));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "0.00\t1\t20.0000");
  EXPECT_EQ(rows[1], "1.00\t2\t30.0000");
  EXPECT_EQ(rows[2], "2.00\t3\t40.0000");
  EXPECT_FLOAT_EQ(d.config.ColdJunctionTemp, 40.0f);  // the last row's
}

TEST(TextTableOfView, TorquePowerIsTheProductOfItsClampedFactors) {
  TableData d;
  d.config.AnalogChannelTable[1].ChnIDDC = kChannelTorquePower;
  d.config.AnalogChannelTable[1].ChnCoeA = -3.0f;  // channel 0
  d.config.AnalogChannelTable[1].ChnCoeB = 500.0f;  // the last channel: itself, so refused
  d.Show(2, 1);
  EXPECT_EQ(DataRows(d.Text())[0], "2.00\t3\t2.5000\t0.0000\t高电平\t低电平");
  d.config.AnalogChannelTable[1].ChnCoeB = 0.0f;  // C0 squared
  EXPECT_EQ(DataRows(d.Text())[0], "2.00\t3\t2.5000\t6.2500\t高电平\t低电平");
}

// Only shown points that lie in the data have rows; no view, no table.
TEST(TextTableOfView, RowsOutsideTheDataAndAbsentDataGiveNoRows) {
  TableData d;
  d.Show(-2, 4);
  std::vector<std::string> rows = DataRows(d.Text());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].substr(0, 6), "0.00\t1");
  d.Show(4, 100);
  EXPECT_EQ(DataRows(d.Text()).size(), 2u);
  d.Show(0, 0);
  EXPECT_EQ(d.Text(), "时间\t通道名：\tC0\tC1\tS0\tS1\r\n(ms)\t点\\单位：\tV\tV\t[开关量]\t[开关量]");
  d.display.DispValid = 0;
  d.Show(0, 6);
  EXPECT_EQ(d.Text(), "");
  EXPECT_EQ(d.Text(GridMode::Engineering, true), "");
}

// Drawn channels that name nothing (a channel or input beyond those in use,
// a display index whose channel is out of range) give no column.
TEST(TextTableOfView, DrawnEntriesThatNameNoChannelGiveNoColumn) {
  TableData d;
  d.view.DrawnChannels[1] = 9;   // beyond the two switch inputs
  d.view.DrawnChannels[2] = -1;
  d.config.AnalogDisplayOrder[1] = 70;
  d.view.DrawnChannels[3] = 1;   // display index 1: channel 70
  d.Show(0, 1);
  EXPECT_EQ(d.Text().substr(0, d.Text().find("\r\n")), "时间\t通道名：\tC0");
}

// The columns are the channels the renderer drew, in its order, whatever the
// scope: here 2 lines of 4 channels and 3 switch inputs.
TEST(TextTableOfView, ColumnsAreTheChannelsTheLastPaintDrewInEachScope) {
  struct Case {
    ChannelScope scope;
    bool multiPhase;
    bool viewSwitch;
    int32_t begin;
    const char* names;
  };
  const Case cases[] = {
      {ChannelScope::Overall, true, false, 0, "\tC0\tC1\tC2\tC3\tC4\tC5\tC6\tC7\tS0\tS1\tS2"},
      {ChannelScope::Four, false, false, 2, "\tC2\tC3\tC4\tC5"},
      {ChannelScope::Line, true, false, 1, "\tC4\tC5\tC6\tC7"},
      {ChannelScope::Four, false, true, 1, "\tS1\tS2"},
  };
  for (const Case& c : cases) {
    MarkData d({1, 1, 1, 1, 1, 1, 1, 1}, 20, 3, [](int32_t, int32_t) -> uint16_t { return 2048; });
    d.config.Total_Line = 2;
    for (int32_t l = 0; l < 2; ++l) d.config.LineTable[l].APhaseNum = 4;
    for (int32_t ch = 0; ch < 8; ++ch) d.config.AnalogChannelTable[ch].ChnGroupNo = ch / 4;
    for (int32_t s = 0; s < 3; ++s) d.config.SwitchChannelTable[s].SWName = "S" + std::to_string(s);
    RebuildLineTables(d.config);
    d.view.Options.Scope = c.scope;
    d.view.Options.PhaseMultiple = c.multiPhase;
    d.view.Options.ViewSwitch = c.viewSwitch;
    d.view.BegDispChannel = c.begin;
    d.view.CurrentLine = 1;
    d.view.XPosition = 0;
    d.view.DisplayWidth = 20;
    WaveformPaintInput input;
    input.Config = &d.config;
    input.Torque = &d.torque;
    input.Layout = &d.layout;
    input.Display = &d.display;
    input.TextHeight = 12;
    input.LabelWidth = 40;
    input.ChannelScrollMax = 8;
    platform::RecordingCanvas canvas{400, 300};
    PaintWaveform(canvas, input, d.view);
    TextTableSource source{{d.config, d.torque, d.display, d.layout}, d.view, d.oscil};
    const std::string table = TextTableText(source, {});
    EXPECT_EQ(table.substr(0, table.find("\r\n")), std::string("时间\t通道名：") + c.names)
        << static_cast<int>(c.scope) << " " << c.viewSwitch;
  }
}

// The oscilloscope's columns are its traces in use, trace 1 first; a trace
// on a switch input is a switch column.
TEST(TextTableOfOscilloscope, TracesInUseAreTheColumns) {
  TableData d;
  d.display.DataSourceMode = 2;
  d.oscil.UseChn1 = 1;
  d.oscil.ChnAd1 = 1;
  d.oscil.UseChn2 = 1;
  d.oscil.ChnAD2 = 3;  // switch input 1
  d.Show(0, 2);
  EXPECT_EQ(d.Text(GridMode::Engineering, true),
            "时间\t通道名：\tC1\tS1"
            "\r\n(ms)\t点\\单位：\tV\t[开关量]"
            "\r\n0.00\t1\t-2.5000\t低电平"
            "\r\n1.00\t2\t-2.5000\t高电平");
  d.oscil.ChnAD2 = 0;
  EXPECT_EQ(DataRows(d.Text(GridMode::Hex, true))[1], "1.00\t2\t1024\t2560");
  d.oscil.UseChn1 = 0;
  d.oscil.ChnAD2 = 7;  // beyond every channel and input
  EXPECT_EQ(d.Text(GridMode::DirectValue, true), "时间\t通道名：\r\n(ms)\t点\\单位：\r\n0.00\t1\r\n1.00\t2");
}

// A trace on a switch input is a switch column in every grid mode: the
// input's name, "[开关量]" and high or low, whichever trace it is.
TEST(TextTableOfOscilloscope, ASwitchTraceReadsHighOrLowInEveryMode) {
  TableData d;
  d.display.DataSourceMode = 2;
  d.oscil.UseChn1 = 1;
  d.oscil.ChnAd1 = 2;  // switch input 0
  d.oscil.UseChn2 = 0;
  d.Show(2, 2);
  for (const GridMode mode : {GridMode::Engineering, GridMode::Hex, GridMode::DirectValue}) {
    EXPECT_EQ(d.Text(mode, true),
              "时间\t通道名：\tS0"
              "\r\n(ms)\t点\\单位：\t[开关量]"
              "\r\n2.00\t3\t高电平"
              "\r\n3.00\t4\t低电平")
        << static_cast<int>(mode);
  }
  // Beside an analog trace, in the traces' order.
  d.oscil.UseChn2 = 1;
  d.oscil.ChnAD2 = 0;
  EXPECT_EQ(DataRows(d.Text(GridMode::Hex, true)), (std::vector<std::string>{"2.00\t3\t高电平\t3072",
                                                                               "3.00\t4\t低电平\t3584"}));
}

// The size bound lets the clipboard copy refuse a table before building it:
// it must never fall below the table, whatever the values, and must not
// refuse an ordinary long view.
TEST(TextTableSizeBound, IsNeverBelowTheTableAndReadsNoData) {
  struct Case {
    uint16_t code;
    int32_t decimals;
    float coeB;
  };
  // Codes giving the widest texts: huge values in scientific notation,
  // tiny ones with many decimals, negative ones.
  const Case cases[] = {{0, 4, 1.0f},       {65535, 0, 1.0e30f}, {1, 18, -1.0e-7f},
                        {4095, 18, -3.0e6f}, {2047, 7, -1.0e38f}, {65535, 2, 1.0f}};
  for (const Case& c : cases) {
    const uint16_t code = c.code;
    TableData d(3);
    for (uint16_t& word : d.words) word = code;
    for (int32_t ch = 0; ch < 2; ++ch) {
      d.config.AnalogChannelTable[ch].ChnDigiPoint = c.decimals;
      d.config.AnalogChannelTable[ch].ChnCoeB = c.coeB;
    }
    d.config.ADBit = 16;
    d.display.DispTriggerPoint = 20'000'000;  // times far before the origin
    d.Show(0, 3);
    for (const GridMode mode : {GridMode::Engineering, GridMode::Hex, GridMode::DirectValue}) {
      for (const bool oscilloscope : {false, true}) {
        d.oscil.UseChn1 = 1;
        d.oscil.ChnAd1 = 1;
        d.oscil.UseChn2 = 1;
        d.oscil.ChnAD2 = 3;
        TextTableSource source = d.Table();
        const std::string text = d.Text(mode, oscilloscope);
        EXPECT_GE(TextTableSizeBound(source, {mode, oscilloscope}), static_cast<int64_t>(text.size()))
            << c.code << " " << c.decimals << " " << static_cast<int>(mode) << " " << text;
      }
    }
  }
  // Rows beyond the data count: the descriptor alone gives the bound, so a
  // view of ten million points is measured without being read.
  TableData d(3);
  TextTableSource source = d.Table();
  d.Show(0, 0);
  const int64_t header = TextTableSizeBound(source, {});
  EXPECT_EQ(header, static_cast<int64_t>(d.Text().size()));
  d.display.DispRows = d.display.DispPoints = 10'000'000;
  d.Show(0, 10'000'000);
  EXPECT_GT(TextTableSizeBound(source, {}), kTextTableClipboardLimit);
  // A million points of eight columns, six of them at 4 decimals, still fit.
  for (int32_t k = 4; k < 8; ++k) d.view.DrawnChannels[static_cast<size_t>(k)] = k % 2;
  d.view.DrawnAnalogCount = 6;
  d.Show(0, 1'000'000);
  EXPECT_LT(TextTableSizeBound(source, {}), kTextTableClipboardLimit);
  d.display.DispValid = 0;
  EXPECT_EQ(TextTableSizeBound(source, {}), 0);
}

TEST(TextTableOfView, ComesInPiecesOfTwelveRowsWithProgressEveryFewThousandRows) {
  TableData d(10000);
  d.Show(0, 10000);
  TextTableSource source = d.Table();
  std::vector<std::string> pieces;
  std::vector<std::pair<int64_t, int64_t>> progress;
  const int64_t rows = TextTableOfView(
      source, {}, [&](std::string_view piece) { pieces.emplace_back(piece); },
      [&](int64_t done, int64_t total) { progress.emplace_back(done, total); });
  EXPECT_EQ(rows, 10000);
  ASSERT_EQ(pieces.size(), 834u);  // 833 of 12 rows and one of 4
  EXPECT_EQ(pieces[1].substr(0, 2), "\r\n");
  EXPECT_EQ(std::count(pieces[1].begin(), pieces[1].end(), '\n'), 12);
  EXPECT_EQ(std::count(pieces[0].begin(), pieces[0].end(), '\n'), 13);  // the header's break too
  EXPECT_EQ(std::count(pieces.back().begin(), pieces.back().end(), '\n'), 4);
  EXPECT_EQ(progress, (std::vector<std::pair<int64_t, int64_t>>{
                          {0, 10000}, {4096, 10000}, {8192, 10000}, {10000, 10000}}));
}

class TextTableFile : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-text-table-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  size_t Entries() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
  }
};

TEST_F(TextTableFile, HoldsTheCommentCrCrLfAndTheTableInGbk) {
  TableData d;
  d.Show(0, 2);
  TextTableSource source = d.Table();
  ASSERT_EQ(WriteTextTableFile(dir / "a.txt", source, {}, 0, "试验"), 1);
  const std::string bytes = Read(dir / "a.txt");
  // "试验" CR CR LF "时间" TAB in GBK.
  EXPECT_EQ(bytes.substr(0, 12), "\xCA\xD4\xD1\xE9\r\r\n\xCA\xB1\xBC\xE4\t");
  EXPECT_EQ(bytes, platform::Utf8ToGbk("试验\r\r\n" + d.Text()));
  EXPECT_EQ(bytes.substr(bytes.size() - 7), "\t\xB8\xDF\xB5\xE7\xC6\xBD");  // last cell "高电平", no break
  // A spreadsheet name gets the same text; nothing else is left beside them.
  ASSERT_EQ(WriteTextTableFile(dir / "a.xls", source, {}, 0, "试验"), 1);
  EXPECT_EQ(Read(dir / "a.xls"), bytes);
  EXPECT_EQ(Entries(), 2u);
}

TEST_F(TextTableFile, IsRefusedWhileAcquiringOrWithoutDataAndLeavesAnEarlierFile) {
  TableData d;
  d.Show(0, 2);
  TextTableSource source = d.Table();
  std::ofstream(dir / "old.txt") << "old";
  EXPECT_EQ(WriteTextTableFile(dir / "old.txt", source, {}, 1, "x"), 0);
  EXPECT_EQ(WriteTextTableFile(dir / "new.txt", source, {}, 2, "x"), 0);
  d.display.DispValid = 0;
  EXPECT_EQ(WriteTextTableFile(dir / "old.txt", source, {}, 0, "x"), 0);
  EXPECT_EQ(Read(dir / "old.txt"), "old");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(TextTableFile, AFileThatCannotBeMadeFailsAndLeavesNothing) {
  TableData d;
  d.Show(0, 2);
  TextTableSource source = d.Table();
  EXPECT_EQ(WriteTextTableFile(dir / "missing" / "a.txt", source, {}, 0, "x"), 0);
  EXPECT_EQ(Entries(), 0u);
}

}  // namespace
