#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "platform/Canvas.h"
#include "platform/PrintTarget.h"

namespace quelvar {

// What only the main window knows of a print job.
struct PrintContext {
  // The marks' value labels as on screen: the captions of Label_Mark1 and
  // Label_Mark2 ("\n\r" line breaks, as the window builds them), their tops
  // within Image1, and Image1's height.
  std::array<std::string, 2> MarkCaptions;
  std::array<int32_t, 2> MarkLabelTops{};
  int32_t ImageHeight = 1;
  // Check marks of menuViewTrace, menuScaleOut, menuBGTrans, menuSelectFault
  // (they mirror WaveViewState.Options and DisplayDescriptor.SelectFault).
  bool ViewTrace = true;
  bool ScaleOut = true;
  bool BGTrans = true;
  bool SelectFault = false;
  // The job's date and time, "yyyy-mm-dd hh:nn:ss", for the header's date
  // and the run-log line.
  std::string DateTime;
  // Receives the run-log line of a waveform print; may be empty.
  std::function<void(const std::string&)> RunLog;
  // Called after every page drawn with (pages done, pages in this part of
  // the job); may be empty.
  std::function<void(int32_t, int32_t)> Progress;
};

// The waveform pages of the shown range (WaveViewState.XPosition and
// DisplayWidth; a range reaching past the data starts DisplayWidth before
// its end) in the page-count or the fixed-scale layout.
//
// `preview` null: prints one job on `target`, titled WindowWord + "打印任务":
// the cover page, then (a triggered history record on display) the trigger
// algorithm's report as text pages of the same job, then the waveform pages;
// writes "\r\n 手动打印波形于:" (`automatic` 0) or "\r\n 自动打印波形于:"
// with the date and time to `context.RunLog` and requests a repaint.
// `preview` given: draws only page `page` (0-based) on it, a canvas the size
// of the target's page; a page outside the job draws nothing.
//
// Recomputes the print pixels into state.print (and PagePoints in fixed
// scale), raises config.WavePage below 1 to 1, and leaves the view's range
// as it was (with the corrected start). Returns the number of waveform
// pages, 0 without display data (nothing done), -1 when the target refused
// the job.
//
// Channels at a multiple of the base rate: pages, overlaps and marks count
// display points; a fixed-scale page holds state.print.PagePoints samples
// of the base rate, i.e. PagePoints x MaxMultiFreq display points.
int32_t PrintWaveforms(AppState& state, platform::PrintTarget& target, const PrintContext& context,
                       int32_t automatic, platform::Canvas* preview, int32_t page);

// One job of text pages on `target`: the cover page, then `lines` with
// `title` in the first line's place. Returns the text pages printed, -1
// when the target refused the job.
int32_t PrintTextPages(AppState& state, platform::PrintTarget& target, const PrintContext& context,
                       const std::vector<std::string>& lines, const std::string& title);

// A text table's rows split at its CR LF breaks, for PrintTextPages.
std::vector<std::string> SplitCrLfLines(const std::string& text);

}  // namespace quelvar
