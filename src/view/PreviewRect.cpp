#include "view/PreviewRect.h"

#include <algorithm>

namespace quelvar {

platform::Rect PreviewRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight, bool keepProportions) {
  if (!keepProportions) return {0, 0, boxWidth, boxHeight};
  const double pw = std::max(pictureWidth, 1);
  const double ph = std::max(pictureHeight, 1);
  const double bw = std::max(boxWidth, 1);
  const double bh = std::max(boxHeight, 1);
  if (pw / ph > bw / bh) {
    const int m = static_cast<int>((bh - bw * ph / pw) * 0.5);
    return {0, m, boxWidth, boxHeight - m};
  }
  const int m = static_cast<int>((bw - bh * pw / ph) * 0.5);
  return {m, 0, boxWidth - m, boxHeight};
}

}  // namespace quelvar
