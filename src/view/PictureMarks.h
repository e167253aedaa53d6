#pragma once

#include <cstdint>
#include <string>

#include "common/LiveConfig.h"
#include "platform/Canvas.h"

namespace quelvar {

// The two marks drawn into a picture of the view (a copy for the clipboard
// or its preview): each mark's cursor as a one-pixel line down the picture
// and its value label beside it, placed as on the screen but scaled to the
// picture's height.
struct PictureMarksInput {
  int PictureWidth = 0;
  int PictureHeight = 0;
  // The screen's paint box height, whose label tops are scaled.
  int ImageHeight = 0;
  // Margins: the picture's label width and text height with the scale area
  // outside the plot, else 4 and 2 pixels.
  bool ScaleOut = false;
  int32_t PictureLabelWidth = 0;
  int32_t PictureTextHeight = 0;
  int32_t DisplayWidth = 0;
  int32_t MarkX[2] = {1, 1};  // the marks' 1-based screen points
  // The labels' captions (lines broken with the label line break) and their
  // tops on the screen, relative to the paint box.
  std::string Caption[2];
  int LabelTop[2] = {0, 0};
  int32_t WhiteBG = 0;  // the picture's white-background option
  int32_t Colour = 1;   // the picture's colour option
  bool Transparent = false;  // labels without a background
};

// The marks are drawn when the picture includes them and the screen shows
// them: the recorder or history display with the labels on, or the
// oscilloscope with its time lines on.
bool PictureShowsMarks(int32_t includeMarks, int32_t dataSourceMode, bool traceShown, int32_t oscilMeasTime);

// Mark 1's and mark 2's colours in a picture. A monochrome picture is drawn
// black on white whatever the white-background option says, so its marks are
// black: white marks would vanish on it.
struct PictureMarkColours {
  platform::Color Mark[2];
  bool WhiteBackground = true;
};
PictureMarkColours PictureMarkColoursOf(const LiveConfig& config, int32_t whiteBG, int32_t colour);

// Draws both marks and their labels in the canvas's font.
void DrawPictureMarks(platform::Canvas& canvas, const PictureMarksInput& input, const LiveConfig& config);

}  // namespace quelvar
