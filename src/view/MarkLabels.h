#pragma once

#include <cstdint>
#include <string>

#include "view/MarkPoints.h"
#include "view/MarkValues.h"

namespace quelvar {

// The title a label gives value kind `kind` of mark `mark` (1, else mark 2),
// with its parameter written in: "瞬时值:", "2次谐波量:", "前10点变化率：",
// ...; "未知类型:" for a kind without a title.
std::string KindTitleText(const WaveViewState& view, int32_t kind, int32_t mark);

// A mark's title and where it stands. `a` is XPosition + the mark's screen
// point. A mark in the compressed part shows every kind above the mean as
// the instantaneous value (Kind, the kind in force, is then 0).
struct MarkTitle {
  std::string Title;
  MarkPoint Point;
  int32_t Kind = 0;
};
MarkTitle MarkKindTitle(const MarkSource& source, int64_t a, int32_t mark);

// Kinds 13 and 14 answer for the whole label: appends the list of the
// algorithms that fire at the buffer point (13), or the value text of the
// mark's algorithm and its verdict (14), and returns true. Any other kind
// leaves `text` as it is and returns false.
bool AlgorithmLabelText(const MarkSource& source, std::string& text, int32_t kind, int32_t mark,
                        int64_t bufferPoint);

// The label of a mark of the recorder and history display: title, the mark's
// time (relative, or calendar with AbsoluteTime), then "\n\r" + name + ": "
// + value for every channel the last paint drew, in its order.
std::string MarkLabelText(MarkSource& source, int64_t a, int32_t mark);

// The label of a mark of the two-trace oscilloscope: empty while its time
// lines are off; else title, milliseconds from the first shown point (or
// from the data's start with AbsoluteTime) and a line per trace in use.
std::string OscMarkText(MarkSource& source, int64_t a, int32_t mark);

}  // namespace quelvar
