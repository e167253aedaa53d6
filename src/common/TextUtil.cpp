#include "common/TextUtil.h"

#include <cmath>
#include <cstdio>

#include "common/NumberFormat.h"

namespace quelvar {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += 2;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

namespace {

// Writes the whole units in x and leaves the rest in x. fmod is exact, so the
// rest never turns slightly negative through rounding the way
// x - unit * trunc(x / unit) can.
void TakeUnit(double& x, double unit, const char* suffix, std::string& out) {
  const double rest = std::fmod(x, unit);
  char text[400];  // the whole-unit count of the largest double has 309 digits
  std::snprintf(text, sizeof text, "%.0f", std::trunc((x - rest) / unit));
  out += text;
  out += suffix;
  x = rest;
}

}  // namespace

std::string FormatTimeSpan(double seconds) {
  std::string out;
  double x = seconds;
  if (x < 0) {
    out += '-';
    x = -x;
  }
  bool written = false;
  if (std::isfinite(x)) {
    if (x >= 86400) {
      TakeUnit(x, 86400, "d", out);
      written = true;
    }
    if (written || x >= 3600) {
      TakeUnit(x, 3600, "h", out);
      written = true;
    }
    if (written || x >= 60) {
      TakeUnit(x, 60, "m", out);
      written = true;
    }
    if (written || x >= 1) {
      TakeUnit(x, 1, "s", out);
      written = true;
    }
  }
  if (!written || x != 0) {
    out += FormatGeneral(x * 1000, 7, 3);
    out += "ms";
  }
  return out;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace quelvar
