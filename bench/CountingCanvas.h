#pragma once

#include <cstdint>
#include <string>

#include "platform/Canvas.h"

namespace quelvar::bench {

// A canvas of a full-HD screen's size that counts what would be drawn and
// draws nothing, so a benchmark measures the renderer alone.
class CountingCanvas : public platform::Canvas {
 public:
  static constexpr int kWidth = 1920 + 5;  // the bitmap adds the 5-pixel margins
  static constexpr int kHeight = 1080;

  int Width() const override { return kWidth; }
  int Height() const override { return kHeight; }
  void SetPixel(int, int, platform::Color) override { ++calls; }
  void FillRect(const platform::Rect&) override { ++calls; }
  void Rectangle(const platform::Rect&) override { ++calls; }
  void TextOut(int, int, const std::string&) override { ++calls; }
  int TextWidth(const std::string& text) const override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) const override { return 12; }
  void Draw(int, int, const platform::Picture&) override { ++calls; }
  void StretchDraw(const platform::Rect&, const platform::Picture&) override { ++calls; }
  int64_t lines = 0;
  int64_t calls = 0;

 protected:
  void DrawLine(platform::Point, platform::Point) override { ++lines; }
};

}  // namespace quelvar::bench
