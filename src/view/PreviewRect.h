#pragma once

#include "platform/Canvas.h"

namespace quelvar {

// Where the print preview shows a page of pictureWidth x pictureHeight in a
// box of boxWidth x boxHeight: the whole box, or with `keepProportions` the
// largest rectangle of the page's proportions centred in it. Sizes below 1
// count as 1.
platform::Rect PreviewRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight, bool keepProportions);

}  // namespace quelvar
