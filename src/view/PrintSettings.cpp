#include "view/PrintSettings.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/NumberFormat.h"
#include "platform/RegistryKey.h"
#include "setup/DialogNumbers.h"
#include "view/PrintLayout.h"
#include "view/PrintPages.h"

namespace quelvar {

namespace {

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\PrintProp"; }

// The values of "\PrintProp" in their stored order with their defaults; load
// and save both walk this list.
template <class Config, class Print, class Visitor>
void VisitPrintProp(Config& c, Print& p, Visitor&& v) {
  v.Text("PageHeader", p.PageHeader);
  v.Text("PageFooter", p.PageFooter);
  v.Integer("IDIncludeDate", c.IDIncludeDate, 1);
  v.Integer("IDIncludePageNo", c.IDIncludePageNo, 1);
  v.Integer("PrintScaleNum", c.PrintScaleNum, 8);
  v.Integer("WavePrintPreviewScale", p.WavePrintPreviewScale, 0);
  v.Integer("LineWidth", p.LineWidth, 1);
  v.Real("PageSpaceLeftCM", c.PageSpaceLeftCM, 1.0f);
  v.Real("PageSpaceRightCM", c.PageSpaceRightCM, 1.0f);
  v.Real("PageSpaceUpCM", c.PageSpaceUpCM, 1.0f);
  v.Real("PageSpaceBottomCM", c.PageSpaceBottomCM, 1.0f);
  v.Real("LineSpaceCM", c.LineSpaceCM, 0.0f);
  v.Integer("WavePage", c.WavePage, 1);
  v.Integer("IDWaveColor", c.IDWaveColor, 0);
  v.Integer("IDGraphInst", c.IDGraphInst, 0);
  v.Integer("IDFixedScale", c.IDFixedScale, 0);
  v.Real("PerPointCM", c.PerPointCM, 1.0f);
  v.Real("PerSampTime", c.PerSampTime, 200.0f);
  v.Integer("IDAutoCover", c.IDAutoCover, 0);
  v.Integer("IDSpecialCover", p.IDSpecialCover, 0);
  v.Text("CoverPageTextFile", p.CoverPageTextFile);
  v.Text("CoverPageProgFile", p.CoverPageProgFile);
  v.Text("CoverPageDataFile", p.CoverPageDataFile);
}

bool FitsFloat(double value) {
  return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

struct Loader {
  const platform::RegistryKey& key;
  void Text(const char* name, std::string& value) { value = key.ReadString(name).value_or(std::string()); }
  void Integer(const char* name, int32_t& value, int32_t fallback) { value = key.ReadInteger(name).value_or(fallback); }
  void Real(const char* name, float& value, float fallback) {
    const std::optional<double> stored = key.ReadDouble(name);
    value = stored && FitsFloat(*stored) ? static_cast<float>(*stored) : fallback;
  }
};

struct Saver {
  platform::RegistryKey& key;
  void Text(const char* name, const std::string& value) { key.WriteString(name, value); }
  void Integer(const char* name, int32_t value, int32_t) { key.WriteInteger(name, value); }
  void Real(const char* name, float value, float) { key.WriteDouble(name, value); }
};

// The edits' ranges.
constexpr int32_t kDefaultScaleNum = 8, kLeastScaleNum = 3, kRaisedScaleNum = 5;
constexpr int32_t kMostLineWidth = 100;
constexpr int32_t kMarginReservePixels = 20;
// The scale allowance of a picture whose scale labels stand inside the plot.
constexpr int32_t kInsideScaleAllowance = 4;

}  // namespace

void LoadPrintSettings(platform::RegistryStore& store, const std::string& appKeyName, LiveConfig& config,
                       PrintState& print) {
  const platform::RegistryKey key(store, KeyPath(appKeyName));
  VisitPrintProp(config, print, Loader{key});
}

void SavePrintSettings(platform::RegistryStore& store, const std::string& appKeyName, const LiveConfig& config,
                       const PrintState& print) {
  platform::RegistryKey key(store, KeyPath(appKeyName));
  platform::RegistryBatch batch(store);
  VisitPrintProp(config, print, Saver{key});
}

std::string PrintIntegerText(int32_t value) { return std::to_string(value); }
// Enough digits that a large value reads back as the same float.
std::string PrintRealText(double value) { return FormatFixed(value, 15, 2); }

PrintPropEdits PrintPropEditsOf(const LiveConfig& c, const PrintState& p) {
  PrintPropEdits e;
  e.PageHeader = p.PageHeader;
  e.PageFooter = p.PageFooter;
  e.IncludeDate = c.IDIncludeDate != 0;
  e.IncludePageNo = c.IDIncludePageNo != 0;
  e.ScaleNum = PrintIntegerText(c.PrintScaleNum);
  e.PageSpaceLeft = PrintRealText(c.PageSpaceLeftCM);
  e.PageSpaceRight = PrintRealText(c.PageSpaceRightCM);
  e.PageSpaceUp = PrintRealText(c.PageSpaceUpCM);
  e.PageSpaceBottom = PrintRealText(c.PageSpaceBottomCM);
  e.LineSpace = PrintRealText(c.LineSpaceCM);
  e.WavePage = PrintIntegerText(c.WavePage);
  e.WaveColor = c.IDWaveColor != 0;
  e.IncludeInst = c.IDGraphInst != 0;
  e.FixScale = c.IDFixedScale != 0;
  e.PerPoint = PrintRealText(c.PerPointCM);
  e.PerTime = PrintRealText(c.PerSampTime);
  e.LineWidth = PrintIntegerText(p.LineWidth);
  e.AutoCover = c.IDAutoCover != 0;
  e.TextFile = p.CoverPageTextFile;
  e.ProgFile = p.CoverPageProgFile;
  e.DataFile = p.CoverPageDataFile;
  return e;
}

std::optional<int32_t> ParsePrintInteger(std::string_view text) { return ParseDialogInteger(text); }

std::optional<float> ParsePrintReal(std::string_view text) {
  const std::optional<double> value = ParseDialogReal(text);
  if (!value || !FitsFloat(*value)) return std::nullopt;
  return static_cast<float>(*value);
}

int32_t AcceptScaleNum(std::string_view text) {
  const int32_t n = ParsePrintInteger(text).value_or(kDefaultScaleNum);
  return n < kLeastScaleNum ? kRaisedScaleNum : n;
}

int32_t AcceptLineWidth(std::string_view text) {
  const int32_t w = ParsePrintInteger(text).value_or(1);
  return w <= 0 ? 1 : std::min(w, kMostLineWidth);
}

int32_t AcceptWavePage(std::string_view text, int32_t previous) {
  const int32_t n = ParsePrintInteger(text).value_or(previous);
  return std::clamp(n, 1, kMostWavePages);
}

float AcceptPerPointCM(std::string_view text) {
  const float cm = ParsePrintReal(text).value_or(1.0f);
  return cm <= 0.0f ? 1.0f : cm;
}

float AcceptPerSampTime(std::string_view text) { return std::fabs(ParsePrintReal(text).value_or(1.0f)); }

float AcceptMargin(std::string_view text, float previous, float limitCM) {
  const float cm = ParsePrintReal(text).value_or(previous);
  // The limit first: on a page too small for any margin the margin is 0.
  return std::max(std::min(cm, limitCM), 0.0f);
}

float AcceptLineSpace(std::string_view text, float previous) {
  return std::max(ParsePrintReal(text).value_or(previous), 0.0f);
}

float MarginLimitCM(int pageSizePixels, int pixelsPerInchX) {
  const int32_t pixels = pageSizePixels / 2 - kMarginReservePixels;
  return std::max(static_cast<float>(pixels / PixelsPerCentimetre(pixelsPerInchX)), 0.0f);
}

PrintPropEdits ReadPrintSettings(const PrintPropEdits& e, const std::optional<PrintPage>& page, LiveConfig& c,
                                 PrintState& p) {
  const double perCm = PixelsPerCentimetre(page ? page->PixelsPerInchX : 1);
  PrintPropEdits out = e;
  p.PageHeader = e.PageHeader;
  p.PageFooter = e.PageFooter;
  c.IDIncludeDate = e.IncludeDate ? 1 : 0;
  c.IDIncludePageNo = e.IncludePageNo ? 1 : 0;
  c.PrintScaleNum = AcceptScaleNum(e.ScaleNum);
  out.ScaleNum = PrintIntegerText(c.PrintScaleNum);

  constexpr float kNoLimit = std::numeric_limits<float>::max();
  const float widthLimit = page ? MarginLimitCM(page->Width, page->PixelsPerInchX) : kNoLimit;
  const float heightLimit = page ? MarginLimitCM(page->Height, page->PixelsPerInchX) : kNoLimit;
  c.PageSpaceLeftCM = AcceptMargin(e.PageSpaceLeft, c.PageSpaceLeftCM, widthLimit);
  c.PageSpaceRightCM = AcceptMargin(e.PageSpaceRight, c.PageSpaceRightCM, widthLimit);
  c.PageSpaceUpCM = AcceptMargin(e.PageSpaceUp, c.PageSpaceUpCM, heightLimit);
  c.PageSpaceBottomCM = AcceptMargin(e.PageSpaceBottom, c.PageSpaceBottomCM, heightLimit);
  c.LineSpaceCM = AcceptLineSpace(e.LineSpace, c.LineSpaceCM);
  out.PageSpaceLeft = PrintRealText(c.PageSpaceLeftCM);
  out.PageSpaceRight = PrintRealText(c.PageSpaceRightCM);
  out.PageSpaceUp = PrintRealText(c.PageSpaceUpCM);
  out.PageSpaceBottom = PrintRealText(c.PageSpaceBottomCM);
  out.LineSpace = PrintRealText(c.LineSpaceCM);

  c.WavePage = AcceptWavePage(e.WavePage, c.WavePage);
  out.WavePage = PrintIntegerText(c.WavePage);
  c.IDWaveColor = e.WaveColor ? 1 : 0;
  c.IDGraphInst = e.IncludeInst ? 1 : 0;
  c.IDFixedScale = e.FixScale ? 1 : 0;
  c.PerPointCM = AcceptPerPointCM(e.PerPoint);
  out.PerPoint = PrintRealText(c.PerPointCM);
  c.PerSampTime = AcceptPerSampTime(e.PerTime);
  out.PerTime = PrintRealText(c.PerSampTime);
  p.LineWidth = AcceptLineWidth(e.LineWidth);
  out.LineWidth = PrintIntegerText(p.LineWidth);

  c.IDAutoCover = e.AutoCover ? 1 : 0;
  p.CoverPageTextFile = e.TextFile;
  p.CoverPageProgFile = e.ProgFile;
  p.CoverPageDataFile = e.DataFile;

  // Every length with the horizontal resolution, as printing measures them.
  p.PageMarginPixels = {CentimetresToPixels(c.PageSpaceLeftCM, perCm), CentimetresToPixels(c.PageSpaceRightCM, perCm),
                        CentimetresToPixels(c.PageSpaceUpCM, perCm), CentimetresToPixels(c.PageSpaceBottomCM, perCm)};
  p.LineSpacePixels = CentimetresToPixels(c.LineSpaceCM, perCm);
  p.PerPointCMPixels = std::max(CentimetresToPixels(c.PerPointCM, perCm), 1);
  return out;
}

PageModelTexts UpdatePageModel(const PageModelInput& in, const LiveConfig& c, PrintState& p) {
  const double perCm = PixelsPerCentimetre(in.Page.PixelsPerInchX);
  const float widthLimit = MarginLimitCM(in.Page.Width, in.Page.PixelsPerInchX);
  const float left = AcceptMargin(in.PageSpaceLeft, c.PageSpaceLeftCM, widthLimit);
  const float right = AcceptMargin(in.PageSpaceRight, c.PageSpaceRightCM, widthLimit);
  const float perSampTime = AcceptPerSampTime(in.PerTime);
  p.PageMarginPixels[0] = CentimetresToPixels(left, perCm);
  p.PageMarginPixels[1] = CentimetresToPixels(right, perCm);

  const int32_t allowance = in.ScaleOut ? in.PictureLabelWidth : kInsideScaleAllowance;
  const int32_t printable =
      FixedScalePrintableWidth(in.Page.Width, p.PageMarginPixels[0], p.PageMarginPixels[1], allowance);
  PageModelTexts t;
  t.PageWidth = "页波形宽度=" + PrintRealText(printable / perCm) + "cm";

  p.PerPointCMPixels = std::max(CentimetresToPixels(AcceptPerPointCM(in.PerPoint), perCm), 1);
  p.PerSampTimePoints = PerSampTimePointsFor(perSampTime, in.ChannelRate);
  t.PerTimeLabelHint = "注：采样频率=" + PrintRealText(in.ChannelRate) + "Hz";
  t.PerTimeEditHint = "等价采样点数=" + PrintIntegerText(p.PerSampTimePoints);

  p.PagePoints = FixedScalePagePoints(printable, p.PerSampTimePoints, p.PerPointCMPixels);
  t.NumSamp = "每页打印" + PrintIntegerText(p.PagePoints) + "采样点";

  const int32_t displayPagePoints =
      static_cast<int32_t>(std::min<int64_t>(int64_t{p.PagePoints} * std::max(in.MaxMultiFreq, 1), INT32_MAX));
  if (in.FixedScale) {
    // The pages the printout makes: a range reaching past the data starts
    // that much earlier, and no page starts past the data.
    const int64_t width = std::clamp<int64_t>(in.DisplayWidth, 0, INT32_MAX);
    int64_t start = in.Start;
    if (in.DispPoints > 0 && start + width > in.DispPoints) start = in.DispPoints - width;
    start = std::clamp<int64_t>(start, 0, INT32_MAX);
    p.PrintPageCount = in.DispPoints > 0 ? WavePageLayout::FixedScale(static_cast<int32_t>(start),
                                                                      static_cast<int32_t>(width), displayPagePoints,
                                                                      in.DispPoints)
                                               .Count()
                                         : FixedScalePageCount(width, displayPagePoints);
  } else {
    p.PrintPageCount = AcceptWavePage(in.WavePage, c.WavePage);
  }
  t.ActualPages = "注：需打印" + PrintIntegerText(p.PrintPageCount) + "页";
  UpdatePreviewHint(p);
  return t;
}

std::string UpdatePreviewHint(PrintState& p) {
  // A count below one (never made here) still leaves page 0 to show.
  p.PreviewPage = std::clamp(p.PreviewPage, 0, std::max(p.PrintPageCount - 1, 0));
  return "右键选择页数(" + PrintIntegerText(p.PreviewPage + 1) + "/" + PrintIntegerText(p.PrintPageCount) + "页)";
}

std::string PrinterNameCaption(const std::string& printerName) {
  return printerName.empty() ? "打印机名称：缺省打印机" : "打印机名称：" + printerName;
}

}  // namespace quelvar
