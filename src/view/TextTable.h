#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/OscilToolSettings.h"
#include "common/WaveViewState.h"
#include "view/ChannelValues.h"
#include "view/TextGrid.h"

namespace quelvar {

// The text table of the shown data, which the clipboard copy, the text file
// and the text print hand to other programs: cells separated by TAB, rows by
// CR LF, no line break after the last row. Two header rows (names, units),
// then one row a shown point: the time in ms from the time origin, the
// 1-based point number and one cell a column. Texts are UTF-8 here.

// The menu states the table reads.
struct TextTableMenus {
  // The text grid's mode: Hex (raw-code mode) gives the raw code in decimal.
  GridMode Mode = GridMode::Engineering;
  // The two-trace oscilloscope display is shown: its traces are the columns.
  bool Oscilloscope = false;
};

// What the table reads: the display data with the channel records (whose
// ColdJunctionTemp it refreshes row by row), the main window's view (range
// and the channels its last paint drew) and the oscilloscope's traces.
struct TextTableSource {
  ChannelValueSource values;
  const WaveViewState& view;
  const OscilToolSettings& oscil;
};

// Receives the table in pieces (the header, then 12 rows at a time), each
// ending at a row boundary.
using TextTableSink = std::function<void(std::string_view)>;
// (data rows done, data rows in all), every few thousand rows and at the end.
using TextTableProgress = std::function<void(int64_t, int64_t)>;

inline constexpr int kTextTableRowsPerPiece = 12;
inline constexpr int64_t kTextTableProgressRows = 4096;

// The table of the shown recorder or history data; in the oscilloscope
// display TextTableOfOscilloscope's. Nothing without data (DispValid not 1).
// Columns: the channels the last paint drew, in its order. Rows: the shown
// points that lie in the data. Returns the number of data rows.
int64_t TextTableOfView(TextTableSource& source, const TextTableMenus& menus, const TextTableSink& sink,
                        const TextTableProgress& progress = {});

// The oscilloscope's table: trace 1's channel, then trace 2's, those in use.
int64_t TextTableOfOscilloscope(TextTableSource& source, const TextTableMenus& menus, const TextTableSink& sink,
                                const TextTableProgress& progress = {});

// An upper bound of the table's length in bytes, from its rows, its columns
// and the longest text each column's cell can take; reads no data, so a
// table too long to hold whole can be refused before it is built.
int64_t TextTableSizeBound(const TextTableSource& source, const TextTableMenus& menus);

// The longest table the clipboard takes: it holds the text twice over (here
// and as UTF-16), and a zoomed-out view of millions of points would exhaust
// the memory.
inline constexpr int64_t kTextTableClipboardLimit = int64_t{256} << 20;

// The whole table as one text.
std::string TextTableText(TextTableSource& source, const TextTableMenus& menus,
                          const TextTableProgress& progress = {});

// The text file: refused (0) while acquiring (runState not 0) or without
// data; else the comment, CR CR LF and the table, in GBK, to `file`, which
// appears whole or not at all; 1 once it is in place, 0 when it could not be
// written.
int WriteTextTableFile(const std::filesystem::path& file, TextTableSource& source, const TextTableMenus& menus,
                       int32_t runState, const std::string& comment, const TextTableProgress& progress = {});

}  // namespace quelvar
