#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quelvar {

// Labels and reports break lines with LF CR ("\n\r"). Every LF ends a line and
// the character after it is skipped whatever it is; a trailing "\n\r" gives
// no empty last line, "a\n\r\n\rb" gives "a", "", "b".
std::vector<std::string> SplitLines(std::string_view text);

// Time span in days, hours, minutes, seconds and milliseconds: "1d1h1m1s",
// "1m0s", "1s500ms", "-2s", "12.5ms", "0ms". Once a unit is written every
// smaller one follows; the milliseconds only when non-zero or alone.
// NaN gives "NANms", infinities "INFms" and "-INFms".
std::string FormatTimeSpan(double seconds);

// Text with the line ends stored files and records have always had: every
// LF not already preceded by CR becomes CR LF (edit controls give LF alone).
std::string WithCrLf(std::string_view text);

}  // namespace quelvar
