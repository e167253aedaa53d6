#include "view/IdleScreen.h"

#include "common/LiveConfig.h"

namespace quelvar {

// The stored font style byte goes to the canvas unchanged.
static_assert(kFontBold == platform::kFontStyleBold && kFontItalic == platform::kFontStyleItalic &&
              kFontUnderline == platform::kFontStyleUnderline && kFontStrikeOut == platform::kFontStyleStrikeOut);

namespace {

using platform::BrushStyle;
using platform::Canvas;
using platform::Color;

constexpr int kSmallTextSize = 15;
constexpr int kLargeTextSize = 35;
constexpr int kSmallTextMargin = 5;  // from the right and bottom edges
// Texts are placed by the height of a line with an ascender and a descender.
const char* const kLineSample = "lg";

void FillWhole(Canvas& canvas, Color color) {
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetBrushColor(color);
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
}

void StretchWhole(Canvas& canvas, const platform::Picture* picture) {
  if (picture) canvas.StretchDraw({0, 0, canvas.Width(), canvas.Height()}, *picture);
}

void BlackTransparentText(Canvas& canvas) {
  canvas.SetFontColor(platform::kBlack);
  canvas.SetBrushStyle(BrushStyle::Clear);
}

void PaintBranding(Canvas& canvas, const IdleScreenInput& input) {
  FillWhole(canvas, platform::kWhite);
  StretchWhole(canvas, input.Logo);
  BlackTransparentText(canvas);

  canvas.SetFontSize(kSmallTextSize);
  canvas.TextOut(canvas.Width() - canvas.TextWidth(input.OemSmallText) - kSmallTextMargin,
                 canvas.Height() - canvas.TextHeight(kLineSample) - kSmallTextMargin, input.OemSmallText);

  canvas.SetFontSize(kLargeTextSize);
  canvas.TextOut((canvas.Width() - canvas.TextWidth(input.OemLargeText)) / 2,
                 (canvas.Height() - canvas.TextHeight(kLineSample)) / 2, input.OemLargeText);
}

void PaintAboutPicture(Canvas& canvas, const IdleScreenInput& input) {
  FillWhole(canvas, input.WhiteBG == 1 ? platform::kWhite : platform::kBlack);
  if (input.AboutBoxReady) StretchWhole(canvas, input.AboutPicture);
  BlackTransparentText(canvas);
}

}  // namespace

void PaintIdleScreen(Canvas& canvas, const IdleScreenInput& input) {
  canvas.SetFontName(input.ScreenFontName);
  canvas.SetFontStyle(input.ScreenFontStyle);
  if (input.OemDefLoaded) {
    PaintBranding(canvas, input);
  } else {
    PaintAboutPicture(canvas, input);
  }
  canvas.SetFontSize(input.ScreenFontSize);
}

}  // namespace quelvar
