#include "view/PrintSettings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/MemoryRegistry.h"
#include "view/PrintLayout.h"

namespace quelvar {
namespace {

const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\PrintProp";
// A4-like page at 600 dots per inch: 236.22 pixels per centimetre.
constexpr PrintPage kPage{4800, 6000, 600};

// --- Reading the edits ------------------------------------------------------

TEST(PrintSettingsRead, EveryNumericEditIsRewrittenWithItsAcceptedValue) {
  struct Case {
    std::string PrintPropEdits::*field;
    const char* typed;
    const char* shown;
  } cases[] = {
      {&PrintPropEdits::ScaleNum, "2", "5"},
      {&PrintPropEdits::ScaleNum, "x", "8"},
      {&PrintPropEdits::ScaleNum, "3", "3"},
      {&PrintPropEdits::ScaleNum, " 12 ", "12"},
      {&PrintPropEdits::ScaleNum, "1e3", "8"},  // no integer
      {&PrintPropEdits::LineWidth, "0", "1"},
      {&PrintPropEdits::LineWidth, "250", "100"},
      {&PrintPropEdits::LineWidth, "abc", "1"},
      {&PrintPropEdits::LineWidth, "-3", "1"},
      {&PrintPropEdits::LineWidth, "100", "100"},
      // (2400 - 20) / (600 / 2.54) = 10.075...
      {&PrintPropEdits::PageSpaceLeft, "50", "10.08"},
      {&PrintPropEdits::PageSpaceRight, "50", "10.08"},
      {&PrintPropEdits::PageSpaceLeft, "-2", "0.00"},
      {&PrintPropEdits::PageSpaceLeft, "abc", "1.50"},  // the previous value
      {&PrintPropEdits::PageSpaceLeft, " 2.345 ", "2.35"},
      // (3000 - 20) / (600 / 2.54) = 12.615...: against the page height
      {&PrintPropEdits::PageSpaceUp, "50", "12.62"},
      {&PrintPropEdits::PageSpaceBottom, "50", "12.62"},
      {&PrintPropEdits::PageSpaceBottom, "", "1.50"},
      {&PrintPropEdits::LineSpace, "100", "100.00"},  // no upper limit
      {&PrintPropEdits::LineSpace, "-1", "0.00"},
      {&PrintPropEdits::LineSpace, "x", "0.25"},
      {&PrintPropEdits::WavePage, "x", "3"},
      {&PrintPropEdits::WavePage, "0", "1"},
      {&PrintPropEdits::WavePage, "-4", "1"},
      {&PrintPropEdits::WavePage, "7", "7"},
      {&PrintPropEdits::WavePage, "2000000000", "10000"},  // a slip of the keys starts no endless job
      {&PrintPropEdits::PerTime, "-50", "50.00"},
      {&PrintPropEdits::PerTime, "x", "1.00"},
      {&PrintPropEdits::PerTime, "1e39", "1.00"},  // beyond a float
      {&PrintPropEdits::PerTime, "inf", "1.00"},
      {&PrintPropEdits::PerPoint, "0", "1.00"},
      {&PrintPropEdits::PerPoint, "-1", "1.00"},
      {&PrintPropEdits::PerPoint, "nan", "1.00"},
      {&PrintPropEdits::PerPoint, "2.5", "2.50"},
  };
  for (const Case& c : cases) {
    LiveConfig config;
    config.PageSpaceLeftCM = config.PageSpaceRightCM = config.PageSpaceUpCM = config.PageSpaceBottomCM = 1.5f;
    config.LineSpaceCM = 0.25f;
    config.WavePage = 3;
    PrintState print;
    PrintPropEdits edits = PrintPropEditsOf(config, print);
    edits.*c.field = c.typed;
    const PrintPropEdits shown = ReadPrintSettings(edits, kPage, config, print);
    EXPECT_EQ(shown.*c.field, c.shown) << "typed '" << c.typed << "'";
    // What is shown is what is in force: reading it again changes nothing.
    EXPECT_EQ(ReadPrintSettings(shown, kPage, config, print).*c.field, c.shown) << "typed '" << c.typed << "'";
  }
}

TEST(PrintSettingsRead, StoresEveryFieldAndItsLengthsInPrinterPixels) {
  LiveConfig config;
  PrintState print;
  print.IDSpecialCover = 7;
  PrintPropEdits e;
  e.PageHeader = "头";
  e.PageFooter = "尾";
  e.IncludeDate = false;
  e.IncludePageNo = true;
  e.ScaleNum = "10";
  e.PageSpaceLeft = "1";
  e.PageSpaceRight = "2";
  e.PageSpaceUp = "0.5";
  e.PageSpaceBottom = "0";
  e.LineSpace = "0.5";
  e.WavePage = "4";
  e.WaveColor = true;
  e.IncludeInst = true;
  e.FixScale = true;
  e.PerPoint = "0.001";  // below one pixel
  e.PerTime = "20";
  e.LineWidth = "3";
  e.AutoCover = true;
  e.TextFile = "/tmp/cover.txt";
  e.ProgFile = "coverprog";
  e.DataFile = "/tmp/data.txt";
  ReadPrintSettings(e, kPage, config, print);

  EXPECT_EQ(print.PageHeader, "头");
  EXPECT_EQ(print.PageFooter, "尾");
  EXPECT_EQ(config.IDIncludeDate, 0);
  EXPECT_EQ(config.IDIncludePageNo, 1);
  EXPECT_EQ(config.PrintScaleNum, 10);
  EXPECT_FLOAT_EQ(config.PageSpaceRightCM, 2.0f);
  EXPECT_EQ(config.WavePage, 4);
  EXPECT_EQ(config.IDWaveColor, 1);
  EXPECT_EQ(config.IDGraphInst, 1);
  EXPECT_EQ(config.IDFixedScale, 1);
  EXPECT_FLOAT_EQ(config.PerSampTime, 20.0f);
  EXPECT_EQ(print.LineWidth, 3);
  EXPECT_EQ(config.IDAutoCover, 1);
  EXPECT_EQ(print.CoverPageTextFile, "/tmp/cover.txt");
  EXPECT_EQ(print.CoverPageProgFile, "coverprog");
  EXPECT_EQ(print.CoverPageDataFile, "/tmp/data.txt");
  EXPECT_EQ(print.IDSpecialCover, 7);
  // All four margins with the horizontal resolution, truncated.
  EXPECT_EQ(print.PageMarginPixels, (std::array<int32_t, 4>{236, 472, 118, 0}));
  EXPECT_EQ(print.LineSpacePixels, 118);
  EXPECT_EQ(print.PerPointCMPixels, 1);  // never 0: it divides
}

TEST(PrintSettingsRead, APageTooSmallForAnyMarginGivesNoMarginsInsteadOfNegativeOnes) {
  EXPECT_EQ(MarginLimitCM(30, 600), 0.0f);
  EXPECT_EQ(MarginLimitCM(0, 1), 0.0f);
  LiveConfig config;
  PrintState print;
  PrintPropEdits e = PrintPropEditsOf(config, print);
  e.PageSpaceLeft = "1";
  const PrintPropEdits shown = ReadPrintSettings(e, PrintPage{30, 30, 600}, config, print);
  EXPECT_EQ(shown.PageSpaceLeft, "0.00");
  EXPECT_EQ(config.PageSpaceLeftCM, 0.0f);
  EXPECT_EQ(print.PageMarginPixels[0], 0);
}

TEST(PrintSettingsRead, WithoutAPrinterTheMarginsAreNotCutToAnUnmeasuredPage) {
  LiveConfig config;
  PrintState print;
  PrintPropEdits e = PrintPropEditsOf(config, print);
  e.PageSpaceLeft = "50";
  e.PageSpaceUp = "-1";
  const PrintPropEdits shown = ReadPrintSettings(e, std::nullopt, config, print);
  EXPECT_EQ(shown.PageSpaceLeft, "50.00");
  EXPECT_EQ(shown.PageSpaceUp, "0.00");
  EXPECT_EQ(config.PageSpaceLeftCM, 50.0f);
}

// --- Stored settings --------------------------------------------------------

TEST(PrintSettingsStore, MissingOrUnreadableValuesTakeTheirDefaults) {
  platform::MemoryRegistry registry;
  registry.WriteString(kKey, "LineWidth", "7");                                 // other type
  registry.WriteInt32(kKey, "PerPointCM", 3);                                   // not a double
  registry.WriteDouble(kKey, "PerSampTime", std::numeric_limits<double>::quiet_NaN());
  registry.WriteDouble(kKey, "PageSpaceUpCM", 1e300);                           // beyond a float
  LiveConfig config;
  PrintState print;
  config.IDIncludeDate = config.IDIncludePageNo = 0;
  config.PrintScaleNum = config.WavePage = 99;
  config.PageSpaceLeftCM = config.PageSpaceRightCM = config.PageSpaceUpCM = config.PageSpaceBottomCM = 9.0f;
  config.LineSpaceCM = config.PerPointCM = config.PerSampTime = 9.0f;
  config.IDWaveColor = config.IDGraphInst = config.IDFixedScale = config.IDAutoCover = 1;
  print.PageHeader = print.PageFooter = "x";
  print.WavePrintPreviewScale = print.IDSpecialCover = 1;
  print.LineWidth = 5;
  print.CoverPageTextFile = print.CoverPageProgFile = print.CoverPageDataFile = "x";
  LoadPrintSettings(registry, "QuelvarTorque", config, print);

  const LiveConfig d;
  EXPECT_EQ(config.IDIncludeDate, 1);
  EXPECT_EQ(config.IDIncludePageNo, 1);
  EXPECT_EQ(config.PrintScaleNum, 8);
  EXPECT_EQ(config.WavePage, 1);
  EXPECT_EQ(config.PageSpaceLeftCM, 1.0f);
  EXPECT_EQ(config.PageSpaceRightCM, 1.0f);
  EXPECT_EQ(config.PageSpaceUpCM, 1.0f);
  EXPECT_EQ(config.PageSpaceBottomCM, 1.0f);
  EXPECT_EQ(config.LineSpaceCM, 0.0f);
  EXPECT_EQ(config.PerPointCM, 1.0f);
  EXPECT_EQ(config.PerSampTime, 200.0f);
  EXPECT_EQ(config.IDWaveColor, 0);
  EXPECT_EQ(config.IDGraphInst, 0);
  EXPECT_EQ(config.IDFixedScale, 0);
  EXPECT_EQ(config.IDAutoCover, 0);
  EXPECT_EQ(print.PageHeader, "");
  EXPECT_EQ(print.PageFooter, "");
  EXPECT_EQ(print.WavePrintPreviewScale, 0);
  EXPECT_EQ(print.IDSpecialCover, 0);
  EXPECT_EQ(print.LineWidth, 1);
  EXPECT_EQ(print.CoverPageTextFile, "");
  EXPECT_EQ(print.CoverPageProgFile, "");
  EXPECT_EQ(print.CoverPageDataFile, "");
}

TEST(PrintSettingsStore, SavedSettingsComeBackWithTheirStoredTypes) {
  platform::MemoryRegistry registry;
  LiveConfig config;
  PrintState print;
  config.IDIncludeDate = 0;
  config.PrintScaleNum = 12;
  config.PageSpaceLeftCM = 1.25f;
  config.PageSpaceRightCM = 2.5f;
  config.PageSpaceUpCM = 0.75f;
  config.PageSpaceBottomCM = 3.0f;
  config.LineSpaceCM = 0.1f;
  config.PerPointCM = 0.3f;
  config.PerSampTime = 123456792.0f;
  config.WavePage = 6;
  config.IDFixedScale = 1;
  config.IDAutoCover = 1;
  print.PageHeader = "页眉";
  print.PageFooter = "页脚";
  print.WavePrintPreviewScale = 1;
  print.LineWidth = 4;
  print.IDSpecialCover = 3;  // not shown anywhere, but kept
  print.CoverPageTextFile = "/a/封面.txt";
  print.CoverPageProgFile = "/usr/bin/cover";
  print.CoverPageDataFile = "/a/data.doc";
  SavePrintSettings(registry, "QuelvarTorque", config, print);

  EXPECT_EQ(registry.ReadInt32(kKey, "LineWidth"), 4);
  EXPECT_EQ(registry.ReadDouble(kKey, "PageSpaceLeftCM"), 1.25);  // 8-byte binary double
  EXPECT_EQ(registry.ReadString(kKey, "PageHeader"), "页眉");
  EXPECT_EQ(registry.ValueNames(kKey).size(), 23u);

  LiveConfig c2;
  PrintState p2;
  LoadPrintSettings(registry, "QuelvarTorque", c2, p2);
  EXPECT_EQ(c2.IDIncludeDate, 0);
  EXPECT_EQ(c2.PrintScaleNum, 12);
  EXPECT_EQ(c2.PageSpaceLeftCM, 1.25f);
  EXPECT_EQ(c2.PageSpaceRightCM, 2.5f);
  EXPECT_EQ(c2.PageSpaceUpCM, 0.75f);
  EXPECT_EQ(c2.PageSpaceBottomCM, 3.0f);
  EXPECT_EQ(c2.LineSpaceCM, 0.1f);
  EXPECT_EQ(c2.PerPointCM, 0.3f);
  EXPECT_EQ(c2.PerSampTime, 123456792.0f);
  EXPECT_EQ(c2.WavePage, 6);
  EXPECT_EQ(c2.IDFixedScale, 1);
  EXPECT_EQ(c2.IDAutoCover, 1);
  EXPECT_EQ(p2.PageHeader, "页眉");
  EXPECT_EQ(p2.PageFooter, "页脚");
  EXPECT_EQ(p2.WavePrintPreviewScale, 1);
  EXPECT_EQ(p2.LineWidth, 4);
  EXPECT_EQ(p2.IDSpecialCover, 3);
  EXPECT_EQ(p2.CoverPageTextFile, "/a/封面.txt");
  EXPECT_EQ(p2.CoverPageProgFile, "/usr/bin/cover");
  EXPECT_EQ(p2.CoverPageDataFile, "/a/data.doc");
  // A large time is shown with every digit, so reading the edit back keeps it.
  EXPECT_EQ(PrintPropEditsOf(c2, p2).PerTime, "123456792.00");
}

// --- Page model -------------------------------------------------------------

PageModelInput FixedScaleInput() {
  PageModelInput in;
  in.PageSpaceLeft = "1.00";
  in.PageSpaceRight = "1.00";
  in.PerPoint = "1.00";
  in.PerTime = "200.00";
  in.WavePage = "1";
  in.FixedScale = true;
  in.Page = kPage;
  in.ChannelRate = 10000.0;
  in.ScaleOut = false;
  in.PictureLabelWidth = 60;
  in.DisplayWidth = 100000;
  return in;
}

TEST(PrintPageModel, FixedScaleGivesWidthPointsPerPageAndPageCount) {
  LiveConfig config;
  PrintState print;
  const PageModelTexts t = UpdatePageModel(FixedScaleInput(), config, print);
  // 4800 - 236 - 236 - 4 = 4324 pixels = 18.30 cm; 200 ms at 10 kHz = 2000
  // points per 236 pixels: 4324 x 2000 / 236 = 36644 points a page.
  EXPECT_EQ(t.PageWidth, "页波形宽度=18.30cm");
  EXPECT_EQ(t.NumSamp, "每页打印36644采样点");
  EXPECT_EQ(t.ActualPages, "注：需打印3页");
  EXPECT_EQ(t.PerTimeLabelHint, "注：采样频率=10000.00Hz");
  EXPECT_EQ(t.PerTimeEditHint, "等价采样点数=2000");
  EXPECT_EQ(print.PageMarginPixels[0], 236);
  EXPECT_EQ(print.PageMarginPixels[1], 236);
  EXPECT_EQ(print.PerPointCMPixels, 236);
  EXPECT_EQ(print.PerSampTimePoints, 2000);
  EXPECT_EQ(print.PagePoints, 36644);
  EXPECT_EQ(print.PrintPageCount, 3);
}

TEST(PrintPageModel, FasterChannelsCountPagesAsThePrintoutDoes) {
  // Display points follow at twice the base rate: a page of 36644 samples
  // holds 73288 display points, so the same range needs fewer pages.
  LiveConfig config;
  PrintState print;
  PageModelInput in = FixedScaleInput();
  in.MaxMultiFreq = 2;
  UpdatePageModel(in, config, print);
  EXPECT_EQ(print.PagePoints, 36644);
  EXPECT_EQ(print.PrintPageCount, FixedScalePageCount(in.DisplayWidth, 2 * 36644));
  EXPECT_LT(print.PrintPageCount, 3);
}

TEST(PrintPageModel, FollowsTheEditsWithoutChangingTheSettings) {
  struct Case {
    const char* what;
    void (*change)(PageModelInput&);
    const char* pageWidth;
    int32_t pagePoints;
    int32_t pages;
  } cases[] = {
      {"scale outside the plot", [](PageModelInput& in) { in.ScaleOut = true; }, "页波形宽度=18.07cm", 36169, 3},
      {"margins limited", [](PageModelInput& in) { in.PageSpaceLeft = in.PageSpaceRight = "50"; },
       "页波形宽度=0.15cm", 305, 365},  // 4800 - 2 x 2380 - 4 = 36 pixels
      {"margins not numbers keep the settings", [](PageModelInput& in) { in.PageSpaceLeft = "?"; },
       "页波形宽度=18.30cm", 36644, 3},
      {"negative time", [](PageModelInput& in) { in.PerTime = "-100"; }, "页波形宽度=18.30cm", 18322, 6},
      {"time not a number", [](PageModelInput& in) { in.PerTime = "x"; }, "页波形宽度=18.30cm", 183, 608},
      {"zero centimetres", [](PageModelInput& in) { in.PerPoint = "0"; }, "页波形宽度=18.30cm", 36644, 3},
      {"two centimetres", [](PageModelInput& in) { in.PerPoint = "2"; }, "页波形宽度=18.30cm", 18322, 6},
      {"page count layout", [](PageModelInput& in) { in.FixedScale = false, in.WavePage = "4"; },
       "页波形宽度=18.30cm", 36644, 4},
      {"page count not a number", [](PageModelInput& in) { in.FixedScale = false, in.WavePage = "x"; },
       "页波形宽度=18.30cm", 36644, 2},
      {"page count zero", [](PageModelInput& in) { in.FixedScale = false, in.WavePage = "0"; },
       "页波形宽度=18.30cm", 36644, 1},
      {"nothing shown", [](PageModelInput& in) { in.DisplayWidth = 0; }, "页波形宽度=18.30cm", 36644, 1},
  };
  for (const Case& c : cases) {
    LiveConfig config;
    config.WavePage = 2;
    const LiveConfig before = config;
    PrintState print;
    PageModelInput in = FixedScaleInput();
    c.change(in);
    const PageModelTexts t = UpdatePageModel(in, config, print);
    EXPECT_EQ(t.PageWidth, c.pageWidth) << c.what;
    EXPECT_EQ(print.PagePoints, c.pagePoints) << c.what;
    EXPECT_EQ(print.PrintPageCount, c.pages) << c.what;
    EXPECT_EQ(t.ActualPages, "注：需打印" + std::to_string(c.pages) + "页") << c.what;
    EXPECT_EQ(config.WavePage, before.WavePage) << c.what;
    EXPECT_EQ(config.PageSpaceLeftCM, before.PageSpaceLeftCM) << c.what;
    EXPECT_EQ(config.PerSampTime, before.PerSampTime) << c.what;
    EXPECT_EQ(config.PerPointCM, before.PerPointCM) << c.what;
  }
}

TEST(PrintPageModel, PreviewPageIsHeldWithinThePages) {
  struct Case {
    int32_t page, count, clamped;
    const char* hint;
  } cases[] = {{0, 3, 0, "右键选择页数(1/3页)"}, {2, 3, 2, "右键选择页数(3/3页)"}, {3, 3, 2, "右键选择页数(3/3页)"},
               {9, 3, 2, "右键选择页数(3/3页)"}, {-1, 3, 0, "右键选择页数(1/3页)"}, {5, 1, 0, "右键选择页数(1/1页)"}};
  for (const Case& c : cases) {
    PrintState print;
    print.PreviewPage = c.page;
    print.PrintPageCount = c.count;
    EXPECT_EQ(UpdatePreviewHint(print), c.hint) << c.page << "/" << c.count;
    EXPECT_EQ(print.PreviewPage, c.clamped);
  }
  // The page model clamps too: fewer pages pull the preview page back.
  PrintState print;
  print.PreviewPage = 10;
  LiveConfig config;
  UpdatePageModel(FixedScaleInput(), config, print);
  EXPECT_EQ(print.PreviewPage, 2);
}

TEST(PrintPageModel, PrinterLabelNamesTheSelectedPrinterOrTheDefault) {
  EXPECT_EQ(PrinterNameCaption(""), "打印机名称：缺省打印机");
  EXPECT_EQ(PrinterNameCaption("HP"), "打印机名称：HP");
}

}  // namespace
}  // namespace quelvar
