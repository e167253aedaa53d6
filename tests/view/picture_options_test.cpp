// The picture options dialog's reading rules and the chosen picture size.
#include <gtest/gtest.h>

#include <string>

#include "common/LiveConfig.h"
#include "view/PictureOptions.h"

namespace {

using namespace quelvar;

struct NumberCase {
  std::string typed;
  int32_t value;
  std::string shown;  // the edit after reading
};

// Above the bounds a scale of millions of divisions or a pen a million
// pixels wide stalled the preview, the clipboard and printing.
TEST(PictureOptions, ScaleDivisionsFallBackToEightAndAreHeldWithinFourToAThousand) {
  const NumberCase cases[] = {{"2", 4, "4"},   {"x", 8, "8"},     {"", 8, "8"},     {"4", 4, "4"},
                              {"12", 12, "12"}, {" 6 ", 6, "6"},  {"-7", 4, "4"},   {"3.5", 8, "8"},
                              {"99999999999", 8, "8"}, {"1000", 1000, "1000"}, {"1001", 1000, "1000"},
                              {"2000000", 1000, "1000"}};
  for (const NumberCase& c : cases) {
    LiveConfig config;
    PictureOptionFields fields;
    fields.ScaleNum = c.typed;
    PictureSize size;
    ReadPictureOptions(fields, config, size);
    EXPECT_EQ(config.WMFScaleNum, c.value) << c.typed;
    EXPECT_EQ(fields.ScaleNum, c.shown) << c.typed;
  }
}

TEST(PictureOptions, TraceWidthFallsBackToOneAndIsHeldWithinOneToAHundred) {
  const NumberCase cases[] = {{"0", 1, "1"},       {"-3", 1, "1"},      {"x", 1, "1"},
                              {"1", 1, "1"},       {"5", 5, "5"},       {"100", 100, "100"},
                              {"101", 100, "100"}, {"1000000", 100, "100"}};
  for (const NumberCase& c : cases) {
    LiveConfig config;
    PictureOptionFields fields;
    fields.LineWidth = c.typed;
    PictureSize size;
    ReadPictureOptions(fields, config, size);
    EXPECT_EQ(config.WMFLineWidth, c.value) << c.typed;
    EXPECT_EQ(fields.LineWidth, c.shown) << c.typed;
  }
}

TEST(PictureOptions, AUserSizeThatIsNoWholeNumberIsOneHundredAndTheEditKeepsItsText) {
  LiveConfig config;
  PictureOptionFields fields;
  fields.Width = "abc";
  fields.Height = "640";
  PictureSize size{1, 1};
  ReadPictureOptions(fields, config, size);
  EXPECT_EQ(size, (PictureSize{100, 640}));
  EXPECT_EQ(fields.Width, "abc");
  fields.Width = "800";
  fields.Height = "6x";
  ReadPictureOptions(fields, config, size);
  EXPECT_EQ(size, (PictureSize{800, 100}));
  EXPECT_EQ(fields.Height, "6x");
}

TEST(PictureOptions, TheButtonsAndBoxesBecomeTheOptions) {
  struct Case {
    bool metafile, screen, page, colour, white, inst;
    int32_t graphMetafile, sizeScreen, isColor, bgWhite, includeInst;
  };
  const Case cases[] = {{true, true, false, true, false, true, 1, 0, 1, 0, 1},
                        {false, false, true, false, true, false, 0, 1, 0, 1, 0},
                        {true, false, false, true, true, true, 1, 2, 1, 1, 1}};
  for (const Case& c : cases) {
    LiveConfig config;
    PictureOptionFields f;
    f.Metafile = c.metafile;
    f.ScreenSize = c.screen;
    f.PrinterPage = c.page;
    f.Colour = c.colour;
    f.WhiteBG = c.white;
    f.IncludeInst = c.inst;
    PictureSize size;
    ReadPictureOptions(f, config, size);
    EXPECT_EQ(config.GraphMetafile, c.graphMetafile);
    EXPECT_EQ(config.SizeScreen, c.sizeScreen);
    EXPECT_EQ(config.IsColor, c.isColor);
    EXPECT_EQ(config.IDBGWhite, c.bgWhite);
    EXPECT_EQ(config.IDIncludeInst, c.includeInst);
  }
}

TEST(PictureOptions, FillingShowsTheOptionsAndLeavesTheUserSizeAlone) {
  LiveConfig config;
  config.GraphMetafile = 0;
  config.SizeScreen = 7;  // any other value: the user size
  config.IsColor = 0;
  config.WMFScaleNum = 10;
  config.WMFLineWidth = 3;
  config.IDBGWhite = 1;
  config.IDIncludeInst = 0;
  PictureOptionFields f;
  f.Width = "321";
  FillPictureOptionFields(config, f);
  EXPECT_FALSE(f.Metafile);
  EXPECT_FALSE(f.ScreenSize);
  EXPECT_FALSE(f.PrinterPage);
  EXPECT_FALSE(f.Colour);
  EXPECT_EQ(f.ScaleNum, "10");
  EXPECT_EQ(f.LineWidth, "3");
  EXPECT_TRUE(f.WhiteBG);
  EXPECT_FALSE(f.IncludeInst);
  EXPECT_EQ(f.Width, "321");
}

TEST(PictureOptions, TheSizeOptionChoosesTheSizeHeldWithinSaneSides) {
  const PictureSize screen{700, 500}, page{4960, 7016};
  struct Case {
    int32_t sizeScreen;
    PictureSize user;
    PictureSize expected;
  };
  const Case cases[] = {
      {0, {1, 1}, {700, 500}},
      {1, {1, 1}, {4960, 7016}},
      {2, {640, 480}, {640, 480}},
      {5, {640, 480}, {640, 480}},
      // A typed size of nothing or of millions would make no picture or
      // exhaust memory.
      {2, {0, -5}, {kMinPictureSide, kMinPictureSide}},
      {2, {2000000, 100}, {kMaxPictureSide, 100}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChoosePictureSize(c.sizeScreen, screen, page, c.user), c.expected) << c.sizeScreen;
  }
  EXPECT_EQ(ChoosePictureSize(0, {3, 30000}, page, {}), (PictureSize{kMinPictureSide, kMaxPictureSide}));
}

}  // namespace
