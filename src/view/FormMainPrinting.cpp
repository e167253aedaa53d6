// Printing the shown view: waveform, text and run-log pages, with preview.
#include <QAction>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressDialog>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/DayTime.h"
#include "platform/PrintTarget.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtVectorPicture.h"
#include "shell/FormMain.h"
#include "view/DisplayLayout.h"
#include "view/FormPrintProp.h"
#include "view/PaintBox.h"
#include "view/PreviewRect.h"
#include "view/WavePrinting.h"

namespace quelvar {

namespace {
// A print that takes longer than this shows its progress.
constexpr int kProgressDelayMs = 1000;

// The run log's lines as the log widget holds them (LF breaks).
std::vector<std::string> SplitRunLogLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}
}  // namespace

void TFormMain::BuildPrintCommands() {
  connect(menuPrint, &QAction::triggered, this, [this] { menuPrintClick(); });
  connect(ToolButtonPrint, &QAction::triggered, this, [this] { ToolButtonPrintClick(); });
  connect(menuPrinterSetup, &QAction::triggered, this, [this] { menuPrinterSetupClick(); });
}

void TFormMain::SetPrintTarget(platform::PrintTarget* target) {
  printTarget_ = target;
  if (printPropDialog_ != nullptr) printPropDialog_->SetPrintTarget(target);
}

void TFormMain::SetPrintPropDialog(TFormPrintProp* dialog) {
  printPropDialog_ = dialog;
  if (dialog == nullptr) return;
  dialog->SetPrintTarget(printTarget_);
  dialog->SetPreviewCommand([this] { PrintWaveforms(0, 1, state_.print.PreviewPage); });
  dialog->SetPictureLabelWidthSource([this] { return PrintedLabelWidth(); });
}

int32_t TFormMain::PrintedLabelWidth() {
  const LiveConfig& c = state_.config;
  const int dpi = printTarget_ != nullptr ? printTarget_->PixelsPerInchX() : logicalDpiX();
  platform::QtVectorPicture scratch(1, 1, dpi);
  std::unique_ptr<platform::QtCanvas> canvas = scratch.OpenCanvas();
  canvas->SetFont({c.WMFFontName, c.WMFFontSize, c.WMFFontStyle, platform::kBlack});
  return WidestLabel(ScaleLabelTexts(c, state_.startup.PresentationMode),
                     [&](const std::string& t) { return canvas->TextWidth(t); });
}

std::string TFormMain::NewPrintFileName() const {
  // Two jobs in one second (records printed as they complete) each get a
  // file of their own.
  const std::string stem = "P" + platform::FormatDayCount(platform::NowDayCount(), "yyyymmddhhnnss");
  std::string name = stem + ".pdf";
  std::error_code error;
  for (int n = 2; std::filesystem::exists(name, error) && n < 1000; ++n) name = stem + "-" + std::to_string(n) + ".pdf";
  return name;
}

PrintContext TFormMain::MakePrintContext() {
  PrintContext context;
  context.MarkCaptions = {markCaptions_[0], markCaptions_[1]};
  context.MarkLabelTops = {Label_Mark1->y(), Label_Mark2->y()};
  context.ImageHeight = Image1->height();
  context.ViewTrace = menuViewTrace->isChecked();
  context.ScaleOut = menuScaleOut->isChecked();
  context.BGTrans = menuBGTrans->isChecked();
  context.SelectFault = menuSelectFault->isChecked();
  context.DateTime = platform::FormatDayCount(platform::NowDayCount(), "yyyy-mm-dd hh:nn:ss");
  context.RunLog = [this](const std::string& line) { AppendRunLog(line); };
  // Progress is shown only while nothing is acquired: then the window keeps
  // painting between pages, while user input, sockets, repaints and
  // playback wait for the job. While acquiring the job holds the message
  // loop until it is done, so no block is taken between its pages.
  if (state_.RunState == kRunIdle) {
    context.Progress = [this](int32_t done, int32_t total) {
      if (printProgress_ == nullptr) {
        printProgress_ = new QProgressDialog(QString(), QString(), 0, 1, this);
        printProgress_->setObjectName("PrintProgress");
        printProgress_->setWindowTitle(Q(state_.startup.WindowWord + "打印任务"));
        printProgress_->setWindowModality(Qt::NonModal);
        printProgress_->setMinimumDuration(kProgressDelayMs);
        printProgress_->setCancelButton(nullptr);
        printProgress_->setAutoClose(false);
        printProgress_->setAutoReset(false);
      }
      printProgress_->setMaximum(std::max(total, 1));
      printProgress_->setValue(std::clamp(done, 0, std::max(total, 1)));
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    };
  }
  return context;
}

void TFormMain::menuPrinterSetupClick() { services_.ui.PrinterSetup(); }

// A job may run inside a stop (the record it cuts short is printed), so the
// start-stop guard goes back to what it was.
TFormMain::PrintJobScope::PrintJobScope(TFormMain& form) : form_(form), startStopWasBusy_(form.startStopBusy_) {
  form_.printJobOpen_ = true;
  form_.startStopBusy_ = true;
}

TFormMain::PrintJobScope::~PrintJobScope() {
  form_.printJobOpen_ = false;
  form_.startStopBusy_ = startStopWasBusy_;
  if (form_.printProgress_ != nullptr) form_.printProgress_->reset();
}

void TFormMain::menuPrintClick() {
  if (printPropDialog_ == nullptr || printTarget_ == nullptr || printJobOpen_) return;
  TFormPrintProp& dialog = *printPropDialog_;
  const int32_t view = state_.wave.ViewMode;
  static const char* const kCaptions[] = {"打印页属性--波形曲线", "打印页属性--波形文字", "打印页属性--运行日志"};
  dialog.setWindowTitle(QString::fromUtf8(kCaptions[std::clamp(view, 0, 2)]));
  dialog.GroupBoxWave->setVisible(view == 0);
  dialog.ButtonPreview->setVisible(view == 0);
  const bool ok = services_.ui.ShowModal(dialog) == platform::kModalOk;
  if (ok) {
    if (view == 0) {
      PrintWaveforms(0, 0, 0);
    } else {
      const std::string text = view == 1 ? TextTableOfView() : RunLogText();
      std::vector<std::string> lines;
      if (!text.empty()) lines = view == 1 ? SplitCrLfLines(text) : SplitRunLogLines(text);
      const std::string title = view == 1 ? state_.history.Comment : std::string("运行日志:");
      const PrintContext context = MakePrintContext();
      const PrintJobScope job(*this);
      ReportPrintJob(PrintTextPages(state_, *printTarget_, context, lines, title));
    }
  }
  state_.wave.RepaintRequested = 1;
}

void TFormMain::PrintWaveforms(int32_t automatic, int32_t preview, int32_t page) {
  if (printTarget_ == nullptr || printJobOpen_) return;
  const PrintContext context = MakePrintContext();
  if (preview == 0) {
    const PrintJobScope job(*this);
    ReportPrintJob(quelvar::PrintWaveforms(state_, *printTarget_, context, automatic, nullptr, 0));
    return;
  }
  if (state_.display.DispValid == 0) return;
  // One printer page drawn at the printer's size and resolution, then
  // shown grey-framed over the waveform until the view is drawn again.
  platform::QtVectorPicture& picture = PreviewPicture();
  picture.Reset(printTarget_->PageWidth(), printTarget_->PageHeight(), printTarget_->PixelsPerInchX());
  {
    std::unique_ptr<platform::QtCanvas> canvas = picture.OpenCanvas();
    quelvar::PrintWaveforms(state_, *printTarget_, context, automatic, canvas.get(), page);
  }
  ShowPrintPreview(picture);
}

void TFormMain::ShowPrintPreview(const platform::QtVectorPicture& picture) {
  QImage shown(std::max(Image1->width(), 1), std::max(Image1->height(), 1), QImage::Format_RGB32);
  {
    platform::QtCanvas canvas(shown);
    constexpr platform::Color kGrey{128, 128, 128};
    canvas.SetBrush({kGrey, platform::BrushStyle::Solid});
    canvas.SetPen({kGrey, 1, platform::PenStyle::Solid});
    canvas.Rectangle({0, 0, shown.width(), shown.height()});
    const platform::Rect page = PreviewRect(picture.Width(), picture.Height(), shown.width(), shown.height(),
                                            state_.print.WavePrintPreviewScale != 0);
    canvas.SetBrush({platform::kWhite, platform::BrushStyle::Solid});
    canvas.SetPen({platform::kWhite, 1, platform::PenStyle::Solid});
    canvas.Rectangle(page);
    canvas.StretchDraw(page, picture);
  }
  ShowPictureOverImage1(platform::QtPicture(std::move(shown)));
}

void TFormMain::ReportPrintJob(int32_t pages) {
  if (pages < 0) {
    services_.ui.MessageBox("打印任务无法开始!", "打印", platform::MsgButtons::Ok, platform::MsgIcon::Warning);
  } else if (pages > 0 && !printTarget_->OutputFile().empty()) {
    // No printer on this system: the pages went into a PDF file. The run
    // log keeps its name; the status text shows it until the next readout.
    PostStatusText("提示：打印输出已存入文件 " + printTarget_->OutputFile());
    AppendRunLog("\r\n 打印输出已存入文件:" + printTarget_->OutputFile());
  }
}

}  // namespace quelvar
