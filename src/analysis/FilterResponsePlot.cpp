#include "analysis/FilterResponsePlot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/NumberFormat.h"
#include "platform/Canvas.h"

namespace quelvar {

namespace {

constexpr int kBaseAbove = 30;    // the base line's distance from the bottom
constexpr int kTickHeight = 5;
constexpr double kPixelsPerGain = 100.0;

// A pixel coordinate from a real one, kept far inside the integer range so
// a wild gain cannot overflow the drawing calls.
int Pixel(double v) { return TruncToInt32(std::clamp(v, -1.0e6, 1.0e6)); }

}  // namespace

void DrawFilterResponse(platform::Canvas& canvas, const std::vector<double>& response, double omegaC) {
  const int w = canvas.Width();
  const int h = canvas.Height();
  canvas.SetBrush({platform::kWhite, platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, w, h});
  canvas.SetPen({platform::kBlack, 1, platform::PenStyle::Solid});
  canvas.SetFontColor(platform::kBlack);
  canvas.SetBrushStyle(platform::BrushStyle::Clear);
  const int base = h - kBaseAbove;
  const int span = w - kBaseAbove;
  canvas.MoveTo(0, base);
  canvas.LineTo(w, base);
  auto tick = [&](int x, int textX, const char* label) {
    canvas.MoveTo(x, base);
    canvas.LineTo(x, base - kTickHeight);
    canvas.TextOut(textX, base + 2, label);
  };
  if (std::isfinite(omegaC)) {
    const int wc = Pixel(span * omegaC / std::numbers::pi);
    tick(wc, wc - 5, "wc");
  }
  tick(span / 2, span / 2 - 10, "0.5pi");
  tick(span, w - 35, "pi");
  if (response.empty()) return;
  const double intervals = std::max<double>(static_cast<double>(response.size()) - 1.0, 1.0);
  auto y = [&](double gain) { return Pixel(base - kPixelsPerGain * gain); };
  canvas.MoveTo(0, y(response[0]));
  for (size_t j = 1; j < response.size(); ++j) {
    canvas.LineTo(Pixel(static_cast<double>(j) * span / intervals), y(response[j]));
  }
}

}  // namespace quelvar
