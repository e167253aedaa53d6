#pragma once

#include <vector>

namespace quelvar::platform {
class Canvas;
}

namespace quelvar {

// The filter panel's amplitude-response picture H(w) on a white ground: a
// base line 30 pixels above the bottom, ticks labelled "wc" (at the
// cut-off), "0.5pi" and "pi" on it, and the curve of `response` (|H| at
// points evenly spaced from 0 to pi inclusive) at 100 pixels per unit of
// gain over the width less 30 pixels. An empty response draws the axis
// alone (no filter could be designed).
void DrawFilterResponse(platform::Canvas& canvas, const std::vector<double>& response, double omegaC);

}  // namespace quelvar
