#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Canvas.h"

namespace quelvar {

// Whether printed pages carry the marks: asked for (IDGraphInst), and the
// marks are on screen: recorder or history data with the labels shown
// (menuViewTrace), or the oscilloscope with its time lines (MeasTime).
bool PageMarksWanted(int32_t idGraphInst, int32_t dataSourceMode, bool viewTrace, int32_t measTime);

// One mark on a page: its point (1-based within the screen), the vertical
// place its label takes on screen (the label's top, or in fixed scale the
// mark's level row), its label caption ("\n\r" line breaks) and colour.
struct PageMark {
  int32_t Point = 0;
  int32_t LabelRow = 0;
  std::string Caption;
  platform::Color Colour = platform::kBlack;
};

// The plot a page's marks are placed on, in the page picture's pixels.
struct PageMarkPlot {
  int32_t PictureWidth = 1;
  int32_t PictureHeight = 1;
  int32_t Left = 4;   // 4, or the label width with the scale outside
  int32_t Top = 2;    // 2, or the text height with the scale outside
  int32_t Width = 1;  // the plot's width in pixels
  bool FixedScale = false;
  // The screen's paint box height the label rows are scaled from.
  int32_t ImageHeight = 1;
};

// Draws marks 1 and 2 on a page picture that shows `pagePoints` points from
// `pageFirst`, for a job whose range starts at `start`: a mark is on the page
// when 0 < m <= pagePoints with m = start + point - pageFirst; its line at
// x = (m - 1) x plot width / (pagePoints - 1) + left (64-bit; the divisor at
// least 1) from the top offset over the plot height, three pixels wide
// (mark 2 one pixel in colour); its label beside it, kept inside the
// picture (a bottom reserve of 8 in fixed scale), on white or transparent,
// in the canvas's font.
void DrawPageMarks(platform::Canvas& canvas, const PageMarkPlot& plot, int32_t start, int32_t pageFirst,
                   int32_t pagePoints, const std::array<PageMark, 2>& marks, bool colour, bool transparent);

// The column of mark position m (1 .. pagePoints) on the plot.
int32_t PageMarkColumn(int32_t m, int32_t plotWidth, int32_t pagePoints, int32_t left);

}  // namespace quelvar
