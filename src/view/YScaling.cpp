#include "view/YScaling.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quelvar {

int YZoomPresetIndex(int32_t gain) {
  const auto* at = std::find(kYZoomPresets.begin(), kYZoomPresets.end(), gain);
  return at == kYZoomPresets.end() ? -1 : static_cast<int>(at - kYZoomPresets.begin());
}

int32_t NextSmallerYZoom(int32_t gain) {
  int32_t smaller = kYZoomPresets.front();
  for (int32_t preset : kYZoomPresets) {
    if (preset < gain) smaller = preset;
  }
  return gain <= kYZoomPresets.front() ? gain : smaller;
}

int32_t NextLargerYZoom(int32_t gain) {
  for (int32_t preset : kYZoomPresets) {
    if (preset > gain) return preset;
  }
  return gain;
}

int32_t YOffsetHalfRange(int32_t gain) {
  if (gain <= 1) return 1;
  // gain x 2.5 - 2 truncated toward zero, in whole numbers: (5 x gain - 4) / 2.
  return static_cast<int32_t>((int64_t{gain} * 5 - 4) / 2);
}

int32_t RescaledYOffsetPosition(int32_t position, int32_t newGain, int32_t oldGain) {
  if (oldGain <= 0) return position;
  return static_cast<int32_t>(int64_t{position} * newGain / oldGain);
}

int32_t GraduationCountAnswer(const std::string& text) {
  // A whole number, blanks around it allowed.
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  if (begin < end && text[begin] == '+') ++begin;
  int64_t value = 0;
  const auto [stop, error] = std::from_chars(text.data() + begin, text.data() + end, value);
  if (begin == end || error == std::errc::invalid_argument || stop != text.data() + end) return kDefaultGraduations;
  if (error == std::errc::result_out_of_range) return text[begin] == '-' ? kDefaultGraduations : kMaxGraduations;
  if (value < kMinGraduations) return kDefaultGraduations;
  return static_cast<int32_t>(std::min<int64_t>(value, kMaxGraduations));
}

}  // namespace quelvar
