// The main window's print command: the settings dialog, the three page
// kinds, the preview over the waveform and the print into a PDF file.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <QPrinter>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/RecordingPrintTarget.h"
#include "platform/qt/QtPrintTarget.h"
#include "platform/qt/QtVectorPicture.h"
#include "view/FormPrintProp.h"
#include "view/MainWindowWithData.h"
#include "view/PaintBox.h"

namespace quelvar {
namespace {

using platform::CanvasOp;

// Texts drawn on a page.
std::string PageText(const platform::RecordingCanvas& page) {
  std::string all;
  for (const CanvasOp& op : page.OpsOf(CanvasOp::Kind::Text)) all += op.text + "\n";
  return all;
}

class FormMainPrinting : public test::MainWindowWithData {
 protected:
  platform::RecordingPrintTarget printer{4800, 6800, 600, "Office"};
  TFormPrintProp* dialog = nullptr;
  // The caption and the waveform group's visibility the dialog was shown with.
  std::string shownCaption;
  bool waveGroupShown = false;

  std::unique_ptr<TFormMain> Printable() {
    auto form = WithData();
    dialog = new TFormPrintProp(state, registry, ui, form.get());
    form->SetPrintPropDialog(dialog);
    form->SetPrintTarget(&printer);
    return form;
  }
  void AnswerPrintDialog(int result) {
    ui.modalAnswers.push_back([this, result](platform::ModalDialog& d) {
      auto& shown = dynamic_cast<TFormPrintProp&>(d);
      shownCaption = shown.windowTitle().toStdString();
      waveGroupShown = !shown.GroupBoxWave->isHidden() && !shown.ButtonPreview->isHidden();
      return result;
    });
  }
};

TEST_F(FormMainPrinting, OkPrintsTheWaveformPagesOfTheShownRangeAsOneJob) {
  auto form = Printable();
  state.config.WavePage = 3;
  state.history.Comment = "试验记录";
  state.print.PageHeader = "一号机组";
  const int32_t start = state.wave.XPosition;
  const int32_t width = state.wave.DisplayWidth;
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  EXPECT_EQ(shownCaption, "打印页属性--波形曲线");
  EXPECT_TRUE(waveGroupShown);
  EXPECT_EQ(printer.DocumentsBegun(), 1);
  EXPECT_EQ(printer.DocumentsEnded(), 1);
  EXPECT_TRUE(printer.Errors().empty());
  ASSERT_EQ(printer.Pages().size(), 3u);
  EXPECT_EQ(printer.Titles().at(0), state.startup.WindowWord + "打印任务");
  EXPECT_NE(PageText(printer.Page(0)).find("一号机组"), std::string::npos);
  EXPECT_NE(PageText(printer.Page(0)).find("试验记录"), std::string::npos);
  EXPECT_NE(PageText(printer.Page(2)).find("《第 3/3 页》"), std::string::npos);
  EXPECT_NE(form->RunLogText().find(" 手动打印波形于:"), std::string::npos);
  // The screen keeps its range and is drawn again.
  EXPECT_EQ(state.wave.XPosition, start);
  EXPECT_EQ(state.wave.DisplayWidth, width);
  EXPECT_TRUE(form->RepaintRequested());
}

TEST_F(FormMainPrinting, CancelPrintsNothingButKeepsTheEditsAndRepaints) {
  auto form = Printable();
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& shown = dynamic_cast<TFormPrintProp&>(d);
    shown.EditPageHeader->setText(QStringLiteral("新页眉"));
    shown.ButtonCancelClick();
    return platform::kModalCancel;
  });
  state.wave.RepaintRequested = 0;
  form->menuPrintClick();
  EXPECT_EQ(printer.DocumentsBegun(), 0);
  EXPECT_EQ(state.print.PageHeader, "新页眉");
  EXPECT_TRUE(form->RepaintRequested());
}

TEST_F(FormMainPrinting, TheTextAndRunLogViewsPrintTextPagesUnderTheirTitles) {
  auto form = Printable();
  state.history.Comment = "记录说明";
  form->menuViewTextClick();
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  EXPECT_EQ(shownCaption, "打印页属性--波形文字");
  EXPECT_FALSE(waveGroupShown);
  ASSERT_EQ(printer.DocumentsBegun(), 1);
  const std::string text = PageText(printer.Page(0));
  EXPECT_NE(text.find("记录说明"), std::string::npos);
  EXPECT_NE(text.find("时间\t通道名："), std::string::npos);

  form->AppendRunLog("第一行日志");
  form->menuViewReportClick();
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  EXPECT_EQ(shownCaption, "打印页属性--运行日志");
  ASSERT_EQ(printer.DocumentsBegun(), 2);
  const std::string log = PageText(*printer.Pages().back());
  EXPECT_NE(log.find("运行日志:"), std::string::npos);
  EXPECT_NE(log.find("第一行日志"), std::string::npos);
}

TEST_F(FormMainPrinting, ARefusedJobIsToldAndLeavesTheViewAlone) {
  auto form = Printable();
  printer.RefuseNextDocument();
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  ASSERT_FALSE(ui.prompts.empty());
  EXPECT_EQ(ui.prompts.back().kind, platform::ScriptedUiHost::Kind::Message);
  EXPECT_EQ(ui.prompts.back().text, "打印任务无法开始!");
}

TEST_F(FormMainPrinting, ThePreviewShowsOnePageOverTheWaveformWithoutAJob) {
  auto form = Printable();
  state.config.WavePage = 2;
  const bool labelsShown = form->Label_Mark1->isVisible();
  ASSERT_TRUE(labelsShown);
  form->PrintWaveforms(0, 1, 1);
  EXPECT_EQ(printer.DocumentsBegun(), 0);
  ASSERT_TRUE(form->ShowsPictureOverImage1());
  EXPECT_EQ(form->PreviewPicture().Width(), 4800);
  EXPECT_EQ(form->PreviewPicture().Height(), 6800);
  // Grey around the stretched white page: the box is wider than the page's
  // proportions, so with proportions kept its left edge stays grey.
  state.print.WavePrintPreviewScale = 1;
  form->PrintWaveforms(0, 1, 0);
  QImage shown(form->Image1->size(), QImage::Format_RGB32);
  {
    QPainter painter(&shown);
    form->Image1Paint(painter);
  }
  EXPECT_EQ(shown.pixelColor(1, shown.height() / 2), QColor(128, 128, 128));
  EXPECT_EQ(shown.pixelColor(shown.width() / 2, 1), QColor(255, 255, 255));
  // The value labels step aside while the preview shows; the next drawing
  // of the view takes the preview away and gives them back.
  EXPECT_TRUE(form->Label_Mark1->isHidden());
  EXPECT_TRUE(form->Label_Mark2->isHidden());
  form->RedrawWaveform();
  EXPECT_FALSE(form->ShowsPictureOverImage1());
  EXPECT_EQ(form->Label_Mark1->isVisible(), labelsShown);
  EXPECT_EQ(form->Label_Mark2->isVisible(), labelsShown);
}

TEST_F(FormMainPrinting, TheDialogsPreviewButtonDrawsItsPage) {
  auto form = Printable();
  state.config.WavePage = 3;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& shown = dynamic_cast<TFormPrintProp&>(d);
    shown.menuPreviewLastPageClick();
    return platform::kModalCancel;
  });
  form->menuPrintClick();
  EXPECT_EQ(state.print.PreviewPage, 2);
  EXPECT_TRUE(form->ShowsPictureOverImage1());
  EXPECT_EQ(printer.DocumentsBegun(), 0);
}

TEST_F(FormMainPrinting, WithoutAPrinterTheJobBecomesAPdfOfTheExpectedPages) {
  QTemporaryDir dir;
  QPrinter qprinter(QPrinter::HighResolution);
  platform::QtPrintTarget pdf(qprinter, nullptr);
  const QString file = dir.filePath("P1.pdf");
  pdf.ForcePdfFile(file.toStdString());
  auto form = Printable();
  form->SetPrintTarget(&pdf);
  state.config.WavePage = 3;
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QString content = QString::fromLatin1(written.readAll());
  EXPECT_EQ(content.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")), 3);
  EXPECT_EQ(form->PostedStatusText(), "提示：打印输出已存入文件 " + file.toStdString());
  EXPECT_NE(form->RunLogText().find("打印输出已存入文件:" + file.toStdString()), std::string::npos);
}

TEST_F(FormMainPrinting, TheDialogCountsTheFixedScalePagesThePrintoutMakes) {
  // The scale stands outside the plot, so the labels' width at the
  // printer's resolution decides the points on a page.
  QTemporaryDir dir;
  QPrinter qprinter(QPrinter::HighResolution);
  platform::QtPrintTarget pdf(qprinter, nullptr);
  const QString file = dir.filePath("fixed.pdf");
  pdf.ForcePdfFile(file.toStdString());
  auto form = Printable();
  form->SetPrintTarget(&pdf);
  if (!form->menuScaleOut->isChecked()) form->menuScaleOutClick();
  ASSERT_TRUE(state.wave.Options.ScaleOut);
  state.config.IDFixedScale = 1;
  state.config.PerPointCM = 1.0f;
  state.config.PerSampTime = 0.2f;  // 0.2 ms a centimetre: tens of pages for the whole data
  state.wave.XPosition = 0;
  state.wave.DisplayWidth = state.display.DispPoints;
  int32_t counted = 0;
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& shown = dynamic_cast<TFormPrintProp&>(d);
    shown.FormShow();
    counted = state.print.PrintPageCount;
    shown.ButtonOKClick();
    return platform::kModalOk;
  });
  form->menuPrintClick();
  ASSERT_GT(counted, 10);
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QString content = QString::fromLatin1(written.readAll());
  EXPECT_EQ(content.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")), counted);
}

TEST_F(FormMainPrinting, WhileAJobRunsTheViewIsNotRepaintedAndStartsAreRefused) {
  // A printer that lets the interface timer and playback tick between pages.
  struct TickingPrinter : platform::RecordingPrintTarget {
    using RecordingPrintTarget::RecordingPrintTarget;
    std::function<void()> between;
    void NewPage() override {
      RecordingPrintTarget::NewPage();
      if (between) between();
    }
  } ticking(4800, 6800, 600);
  auto form = Printable();
  form->SetPrintTarget(&ticking);
  state.config.WavePage = 3;
  const int32_t start = state.wave.XPosition;
  int ticks = 0;
  ticking.between = [&] {
    ++ticks;
    state.wave.RepaintRequested = 1;
    form->Timer2Timer();
    EXPECT_EQ(state.wave.RepaintRequested, 1);  // the repaint waits for the job
    EXPECT_TRUE(form->StartStopBusy());
    form->PrintWaveforms(1, 0, 0);  // no second job inside the first
  };
  AnswerPrintDialog(platform::kModalOk);
  form->menuPrintClick();
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(ticking.DocumentsBegun(), 1);
  EXPECT_TRUE(ticking.Errors().empty());
  EXPECT_FALSE(form->StartStopBusy());
  EXPECT_EQ(state.wave.XPosition, start);
}

TEST_F(FormMainPrinting, PdfFilesOfJobsInTheSameSecondDoNotOverwriteEachOther) {
  QTemporaryDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path().toStdString());
  auto form = Printable();
  const std::string first = form->NewPrintFileName();
  EXPECT_EQ(first.substr(0, 1), "P");
  EXPECT_EQ(first.substr(first.size() - 4), ".pdf");
  { std::ofstream(first) << "x"; }
  const std::string second = form->NewPrintFileName();
  EXPECT_NE(second, first);
  EXPECT_FALSE(std::filesystem::exists(second));
  std::filesystem::current_path(before);
}

TEST_F(FormMainPrinting, PrinterSetupRunsThePrinterDialog) {
  auto form = Printable();
  ui.printerAnswers.push_back(true);
  form->menuPrinterSetup->trigger();
  ASSERT_FALSE(ui.prompts.empty());
  EXPECT_EQ(ui.prompts.back().kind, platform::ScriptedUiHost::Kind::PrinterSetup);
}

}  // namespace
}  // namespace quelvar
