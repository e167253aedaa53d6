#pragma once

#include <cstdint>
#include <string>

#include "platform/Canvas.h"

namespace quelvar {

// What the idle screen shows: the branding (logo and two texts) when the
// branding file was read, else the scheme's background under the about box's
// picture.
struct IdleScreenInput {
  std::string ScreenFontName;
  uint8_t ScreenFontStyle = 0;
  int32_t ScreenFontSize = 9;
  int32_t OemDefLoaded = 0;
  const platform::Picture* Logo = nullptr;  // may be null
  std::string OemLargeText;
  std::string OemSmallText;
  int32_t WhiteBG = 0;  // 1: white background; other values: black
  int32_t AboutBoxReady = 0;
  const platform::Picture* AboutPicture = nullptr;  // may be null
};

// Fills the whole canvas with the idle picture. Leaves black text on a
// transparent background and the screen font at its own size.
void PaintIdleScreen(platform::Canvas& canvas, const IdleScreenInput& input);

}  // namespace quelvar
