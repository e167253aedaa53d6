#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/LiveConfig.h"
#include "common/PrintState.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The print settings dialog's stored settings and its rules, without the
// window. The settings live in two places: those the configuration record
// also carries in LiveConfig, the others in PrintState; both are stored
// together under "\PrintProp".

// Every value of "\PrintProp": integers as DWORDs, reals as 8-byte doubles
// (held as floats), texts as strings. A value that is missing, of another
// type, not finite or beyond a float's range takes its default.
void LoadPrintSettings(platform::RegistryStore& store, const std::string& appKeyName, LiveConfig& config,
                       PrintState& print);
void SavePrintSettings(platform::RegistryStore& store, const std::string& appKeyName, const LiveConfig& config,
                       const PrintState& print);

// The printer's page as the dialog needs it, in printer pixels.
struct PrintPage {
  int Width = 0;
  int Height = 0;
  int PixelsPerInchX = 1;
};

// The dialog's edits and boxes as texts and check states.
struct PrintPropEdits {
  std::string PageHeader;
  std::string PageFooter;
  bool IncludeDate = false;
  bool IncludePageNo = false;
  std::string ScaleNum;
  std::string PageSpaceLeft;
  std::string PageSpaceRight;
  std::string PageSpaceUp;
  std::string PageSpaceBottom;
  std::string LineSpace;
  std::string WavePage;
  bool WaveColor = false;
  bool IncludeInst = false;
  bool FixScale = false;
  std::string PerPoint;
  std::string PerTime;
  std::string LineWidth;
  bool AutoCover = false;
  std::string TextFile;
  std::string ProgFile;
  std::string DataFile;
};

// Integers plainly, reals with two decimals.
std::string PrintIntegerText(int32_t value);
std::string PrintRealText(double value);

// The settings in force as the dialog shows them.
PrintPropEdits PrintPropEditsOf(const LiveConfig& config, const PrintState& print);

// Numbers as the edits are read: the whole text a number, blanks around it
// allowed; a real beyond a float's range is no number either.
std::optional<int32_t> ParsePrintInteger(std::string_view text);
std::optional<float> ParsePrintReal(std::string_view text);

// The accepted value of each edit.
int32_t AcceptScaleNum(std::string_view text);                // not a number 8; below 3: 5
int32_t AcceptLineWidth(std::string_view text);               // not a number or <= 0: 1; above 100: 100
// Pages of the page-count layout: a typing slip of a few more digits must
// not start a job of millions of pages.
inline constexpr int32_t kMostWavePages = 10000;
int32_t AcceptWavePage(std::string_view text, int32_t previous);  // not a number: previous; <= 0: 1; at most kMostWavePages
float AcceptPerPointCM(std::string_view text);                // not a number or <= 0: 1
float AcceptPerSampTime(std::string_view text);               // not a number: 1; negative: its size
// A margin: not a number keeps `previous`; then at most `limitCM`, at least 0.
float AcceptMargin(std::string_view text, float previous, float limitCM);
// The line spacing: not a number keeps `previous`; at least 0.
float AcceptLineSpace(std::string_view text, float previous);

// The widest margin on a side of `pageSizePixels`: half the page less 20
// pixels, in centimetres; never below 0, so a tiny page gives no margins.
float MarginLimitCM(int pageSizePixels, int pixelsPerInchX);

// Reads the dialog: stores every accepted value, recomputes the margins,
// line spacing and centimetre unit in printer pixels, and returns the edits
// rewritten with the accepted values. The special cover flag is kept.
// Without a page (no printer known) the margins keep no upper limit, so
// they are not cut down to fit a page nobody measured.
PrintPropEdits ReadPrintSettings(const PrintPropEdits& edits, const std::optional<PrintPage>& page,
                                 LiveConfig& config, PrintState& print);

// What the page model reads besides the edits.
struct PageModelInput {
  std::string PageSpaceLeft;
  std::string PageSpaceRight;
  std::string PerPoint;
  std::string PerTime;
  std::string WavePage;
  bool FixedScale = false;
  PrintPage Page;
  double ChannelRate = 0.0;
  bool ScaleOut = false;           // the scale labels stand outside the plot
  int32_t PictureLabelWidth = 0;   // their width in pictures
  int64_t DisplayWidth = 0;        // points shown
  // Display points per sample of the base rate: a fixed-scale page holds
  // PagePoints samples, that many times as many display points.
  int32_t MaxMultiFreq = 1;
  // The shown range's first point and the display data's length: the
  // printout's last page ends with the data.
  int64_t Start = 0;
  int32_t DispPoints = 0;
};

// The page model's labels and hints.
struct PageModelTexts {
  std::string PageWidth;     // "页波形宽度=…cm"
  std::string NumSamp;       // "每页打印…采样点"
  std::string ActualPages;   // "注：需打印…页"
  std::string PerTimeLabelHint;  // "注：采样频率=…Hz"
  std::string PerTimeEditHint;   // "等价采样点数=…"
};

// The fixed-scale page model over the edits as they stand (the settings
// are not changed; an edit that is no number uses the setting in force):
// writes the left and right margins in pixels, the centimetre unit, the
// points per time unit, the points per page and the page count of the
// waveform print into `print`, and clamps the preview page to them.
PageModelTexts UpdatePageModel(const PageModelInput& input, const LiveConfig& config, PrintState& print);

// Clamps the preview page to the pages there are and gives the preview
// button's hint "右键选择页数(i/n页)".
std::string UpdatePreviewHint(PrintState& print);

// The printer label: "打印机名称：缺省打印机" without a selected printer.
std::string PrinterNameCaption(const std::string& printerName);

}  // namespace quelvar
