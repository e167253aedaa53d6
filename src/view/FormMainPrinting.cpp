// Printing the shown view: waveform, text and run-log pages, with preview.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>

#include <algorithm>
#include <string>

#include "platform/DayTime.h"
#include "platform/PrintTarget.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"
#include "view/PaintBox.h"
#include "view/WavePrinting.h"

namespace quelvar {

namespace {
// A print that takes longer than this shows its progress.
constexpr int kProgressDelayMs = 1000;
}  // namespace

void TFormMain::BuildPrintCommands() {
  connect(menuPrinterSetup, &QAction::triggered, this, [this] { menuPrinterSetupClick(); });
}

std::string TFormMain::NewPrintFileName() const {
  return "P" + platform::FormatDayCount(platform::NowDayCount(), "yyyymmddhhnnss") + ".pdf";
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
  context.Progress = [this](int32_t done, int32_t total) {
    if (printProgress_ == nullptr) {
      printProgress_ = new QProgressDialog(QStringLiteral("正在打印..."), QString(), 0, 1, this);
      printProgress_->setObjectName("PrintProgress");
      printProgress_->setWindowTitle(Q(state_.startup.WindowWord + "打印任务"));
      printProgress_->setWindowModality(Qt::WindowModal);
      printProgress_->setMinimumDuration(kProgressDelayMs);
      printProgress_->setAutoClose(true);
    }
    printProgress_->setMaximum(std::max(total, 1));
    printProgress_->setValue(std::min(done, std::max(total, 1)));
  };
  return context;
}

void TFormMain::menuPrinterSetupClick() { services_.ui.PrinterSetup(); }

void TFormMain::PrintWaveforms(int32_t automatic, int32_t preview, int32_t page) {
  if (printTarget_ == nullptr) return;
  (void)page;
  if (preview != 0) return;  // the preview is drawn below, once pictures exist
  const PrintContext context = MakePrintContext();
  const int32_t pages = quelvar::PrintWaveforms(state_, *printTarget_, context, automatic, nullptr, 0);
  if (printProgress_ != nullptr) printProgress_->reset();
  if (pages > 0 && !printTarget_->OutputFile().empty()) {
    // No printer on this system: the pages went into a PDF file.
    PostStatusText("提示：打印输出已存入文件 " + printTarget_->OutputFile());
  }
  if (pages < 0) {
    services_.ui.MessageBox("打印任务无法开始!", "打印", platform::MsgButtons::Ok, platform::MsgIcon::Warning);
  }
}

}  // namespace quelvar
