#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/IdleScreen.h"

// The recording canvas's metrics: a character of size s is s pixels wide and
// the line height is 2 x s, so at size 15 "lg" is 30 high and at 35 it is 70.

namespace {

using quelvar::IdleScreenInput;
using quelvar::PaintIdleScreen;
using namespace quelvar::platform;

class IdleScreen : public ::testing::Test {
 protected:
  IdleScreen() {
    input.ScreenFontName = "宋体";
    input.ScreenFontStyle = kFontStyleBold;
    input.ScreenFontSize = 9;
    input.Logo = &logo;
    input.AboutPicture = &about;
    input.AboutBoxReady = 1;
  }

  // Whatever the branch, the canvas is left with the screen font at its own
  // size and black text on a transparent background.
  static void ExpectStateLeft(const Canvas& canvas) {
    EXPECT_EQ(canvas.GetFont(), (Font{"宋体", 9, kFontStyleBold, kBlack}));
    EXPECT_EQ(canvas.GetBrush().style, BrushStyle::Clear);
  }

  const RecordedPicture logo{"logo", 120, 40};
  const RecordedPicture about{"about", 360, 150};
  IdleScreenInput input;
};

TEST_F(IdleScreen, BrandingFillsWhiteStretchesLogoAndWritesBothTexts) {
  input.OemDefLoaded = 1;
  input.OemSmallText = "ABC";
  input.OemLargeText = "Quelvar";
  input.WhiteBG = 0;  // the branding is on white whatever the scheme
  RecordingCanvas canvas(640, 480);
  PaintIdleScreen(canvas, input);
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{
                              "fillrect (0,0)-(640,480) brush #FFFFFF",
                              "stretch \"logo\" (0,0)-(640,480)",
                              // right edge 5 from the right, bottom ("lg" high) 5 above the bottom
                              "text (590,445) \"ABC\" font \"宋体\" 15 bold #000000 transparent",
                              // centred: (640 - 7 x 35) / 2, (480 - 70) / 2
                              "text (197,205) \"Quelvar\" font \"宋体\" 35 bold #000000 transparent",
                          }));
  ExpectStateLeft(canvas);
}

struct Placement {
  int width;
  int height;
  std::string small;
  std::string large;
  Point smallAt;
  Point largeAt;
};

class IdleScreenPlacement : public IdleScreen, public ::testing::WithParamInterface<Placement> {};

TEST_P(IdleScreenPlacement, TextsStandWhereTheirWidthsAndTheLineHeightPutThem) {
  const Placement& p = GetParam();
  input.OemDefLoaded = 1;
  input.OemSmallText = p.small;
  input.OemLargeText = p.large;
  RecordingCanvas canvas(p.width, p.height);
  PaintIdleScreen(canvas, input);
  const std::vector<CanvasOp> texts = canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, p.small);
  EXPECT_EQ(texts[0].font.size, 15);
  EXPECT_EQ(texts[0].from, p.smallAt);
  EXPECT_EQ(texts[1].text, p.large);
  EXPECT_EQ(texts[1].font.size, 35);
  EXPECT_EQ(texts[1].from, p.largeAt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IdleScreenPlacement,
    ::testing::Values(
        // Odd space left: the half is rounded down.
        Placement{641, 481, "测试公司", "记录仪", {641 - 60 - 5, 481 - 30 - 5}, {(641 - 105) / 2, (481 - 70) / 2}},
        // Texts larger than the image: the negative half truncates toward zero.
        Placement{100, 60, "", "ABC", {95, 25}, {-2, -5}}));

TEST_F(IdleScreen, BrandingWithoutLogoStillWritesTheTexts) {
  input.OemDefLoaded = 1;
  input.Logo = nullptr;
  input.OemSmallText = "s";
  input.OemLargeText = "L";
  RecordingCanvas canvas(200, 100);
  PaintIdleScreen(canvas, input);
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{
                              "fillrect (0,0)-(200,100) brush #FFFFFF",
                              "text (180,65) \"s\" font \"宋体\" 15 bold #000000 transparent",
                              "text (82,15) \"L\" font \"宋体\" 35 bold #000000 transparent",
                          }));
}

struct NoBrandingCase {
  int whiteBG;
  int aboutBoxReady;
  bool hasAboutPicture;
  std::vector<std::string> log;
};

class IdleScreenNoBranding : public IdleScreen, public ::testing::WithParamInterface<NoBrandingCase> {};

TEST_P(IdleScreenNoBranding, SchemeBackgroundUnderTheAboutPictureWhileTheBoxExists) {
  const NoBrandingCase& c = GetParam();
  input.OemDefLoaded = 0;
  input.OemSmallText = "never";
  input.OemLargeText = "shown";
  input.WhiteBG = c.whiteBG;
  input.AboutBoxReady = c.aboutBoxReady;
  if (!c.hasAboutPicture) input.AboutPicture = nullptr;
  RecordingCanvas canvas(320, 200);
  PaintIdleScreen(canvas, input);
  EXPECT_EQ(canvas.Log(), c.log);
  ExpectStateLeft(canvas);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IdleScreenNoBranding,
    ::testing::Values(
        NoBrandingCase{1, 1, true, {"fillrect (0,0)-(320,200) brush #FFFFFF", "stretch \"about\" (0,0)-(320,200)"}},
        NoBrandingCase{0, 1, true, {"fillrect (0,0)-(320,200) brush #000000", "stretch \"about\" (0,0)-(320,200)"}},
        // Scheme values other than 1 mean the black background.
        NoBrandingCase{2, 1, true, {"fillrect (0,0)-(320,200) brush #000000", "stretch \"about\" (0,0)-(320,200)"}},
        // The about box is gone, or has no picture: background only.
        NoBrandingCase{1, 0, true, {"fillrect (0,0)-(320,200) brush #FFFFFF"}},
        NoBrandingCase{0, 1, false, {"fillrect (0,0)-(320,200) brush #000000"}}));

}  // namespace
