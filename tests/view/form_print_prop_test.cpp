#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "platform/PrintTarget.h"
#include "platform/RecordingCanvas.h"
#include "platform/ScriptedUiHost.h"
#include "view/FormPrintProp.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kPrintKey = "\\SOFTWARE\\QuelvarTorque\\PrintProp";
const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

// A printer with a page the test chooses; it prints nothing.
class FakePrintTarget : public platform::PrintTarget {
 public:
  std::string name;
  int width = 4800, height = 6000, ppi = 600;
  std::string PrinterName() const override { return name; }
  int PageWidth() const override { return width; }
  int PageHeight() const override { return height; }
  int PixelsPerInchX() const override { return ppi; }
  bool BeginDocument(const std::string&) override { return false; }
  void NewPage() override {}
  void EndDocument() override {}
  platform::Canvas& PageCanvas() override { return canvas; }
  platform::RecordingCanvas canvas{1, 1};
};

// The dialog as the print command leaves it: made at start, given the
// printer, shown. 100000 points at 10 kHz, the scale inside the plot.
class FormPrintPropTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  FakePrintTarget printer;
  std::unique_ptr<TFormPrintProp> form;
  std::vector<int32_t> previewed;  // PreviewPage at each preview

  void SetUp() override {
    state.config.ChannelRate = 10000.0f;
    state.wave.DisplayWidth = 100000;
    state.wave.Options.ScaleOut = false;
    Make();
  }
  void Make() {
    form = std::make_unique<TFormPrintProp>(state, registry, ui);
    form->SetPrintTarget(&printer);
    form->SetPreviewCommand([this] { previewed.push_back(state.print.PreviewPage); });
  }
  static void Type(QLineEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }
};

TEST_F(FormPrintPropTest, ComponentsCarryTheirNamesAndCaptions) {
  EXPECT_EQ(form->objectName(), "FormPrintProp");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("打印输出设置"));
  EXPECT_EQ(form->size(), QSize(470, 366));
  ASSERT_EQ(form->PageControl1->count(), 3);
  EXPECT_EQ(form->PageControl1->tabText(0), QStringLiteral("内容属性"));
  EXPECT_EQ(form->PageControl1->tabText(1), QStringLiteral("页面设置"));
  EXPECT_EQ(form->PageControl1->tabText(2), QStringLiteral("封面设置"));
  EXPECT_EQ(form->ButtonOK->text(), QStringLiteral("确认"));
  EXPECT_EQ(form->ButtonPreview->text(), QStringLiteral("打印预览"));
  EXPECT_EQ(form->ButtonCancel->text(), QStringLiteral("取消"));
  EXPECT_EQ(form->ButtonSpecialPrint->toolTip(), QStringLiteral("使用专用封面程序进行打印"));
  EXPECT_EQ(form->CheckBoxAutoCover->text(), QStringLiteral("自动打印封面页"));
  EXPECT_EQ(form->CheckBoxFixScale->text(), QStringLiteral("固定比例"));
  const QList<QAction*> items = form->PopupMenu1->actions();
  ASSERT_EQ(items.size(), 6);
  EXPECT_EQ(items[0], form->menuPreviewScale);
  EXPECT_EQ(items[0]->text(), QStringLiteral("按比例显示"));
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text(), QStringLiteral("上一页"));
  EXPECT_EQ(items[3]->text(), QStringLiteral("下一页"));
  EXPECT_EQ(items[4]->text(), QStringLiteral("首页"));
  EXPECT_EQ(items[5]->text(), QStringLiteral("末页"));
  for (const char* name : {"GroupBoxWave", "EditLineSpace", "EditScaleNum", "EditLineWidth", "EditWavePage",
                           "EditPerPoint", "EditPerTime", "LabelPageWidth", "LabelActualPages", "LabelNumSamp",
                           "LabelPrinterName", "ButtonPrinterProperty", "ButtonSelectFont", "ButtonWMFFont",
                           "EditPageSpaceUp", "EditPageSpaceBottom", "EditPageSpaceLeft", "EditPageSpaceRight",
                           "EditPageHeader", "CheckBoxDate", "EditPageFooter", "CheckBoxPageNo", "LabelTextFile",
                           "ButtonCreateTextFile", "LabelProgFile", "LabelDataFile", "ButtonSelectProgram",
                           "ButtonSelectDataFile", "ButtonSelectTextFile"}) {
    EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
  }
}

TEST_F(FormPrintPropTest, CreationReadsTheStoredSettingsAndPlaceAndTheEndWritesThemBack) {
  registry.WriteString(kPrintKey, "PageHeader", "头");
  registry.WriteInt32(kPrintKey, "WavePrintPreviewScale", 1);
  registry.WriteDouble(kPrintKey, "PageSpaceLeftCM", 2.5);
  registry.WriteInt32(kPrintKey, "IDSpecialCover", 4);
  registry.WriteInt32(kFormSizeKey, "FormPageProp_Top", 50);
  registry.WriteInt32(kFormSizeKey, "FormPageProp_Left", 60);
  registry.WriteInt32(kFormSizeKey, "FormPageProp_Width", 900);
  registry.WriteInt32(kFormSizeKey, "FormPageProp_Height", 700);
  state.print.CoverProgramRan = 1;
  Make();
  EXPECT_EQ(state.print.PageHeader, "头");
  EXPECT_EQ(state.config.PageSpaceLeftCM, 2.5f);
  EXPECT_TRUE(form->menuPreviewScale->isChecked());
  EXPECT_EQ(state.print.CoverProgramRan, 0);
  EXPECT_EQ(form->pos(), QPoint(60, 50));
  EXPECT_EQ(form->size(), QSize(470, 366));  // the designed size stands

  state.config.PrintScaleNum = 11;
  state.print.PageFooter = "尾";
  form.reset();
  EXPECT_EQ(registry.ReadInt32(kPrintKey, "PrintScaleNum"), 11);
  EXPECT_EQ(registry.ReadString(kPrintKey, "PageFooter"), "尾");
  EXPECT_EQ(registry.ReadInt32(kPrintKey, "IDSpecialCover"), 4);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormPageProp_Left"), 60);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormPageProp_Top"), 50);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormPageProp_Width"), 470);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormPageProp_Height"), 366);
}

TEST_F(FormPrintPropTest, CancelKeepsTheEditedSettings) {
  form->FormShow();
  Type(form->EditPageHeader, "新页眉");
  Type(form->EditLineWidth, "250");
  Type(form->EditPageSpaceLeft, "50");
  form->CheckBoxDate->setChecked(false);
  form->ButtonCancelClick();
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(state.print.PageHeader, "新页眉");
  EXPECT_EQ(state.print.LineWidth, 100);
  EXPECT_EQ(state.config.IDIncludeDate, 0);
  EXPECT_EQ(form->EditLineWidth->text(), "100");
  EXPECT_EQ(form->EditPageSpaceLeft->text(), "10.08");
  // Shown again, the dialog shows what is in force.
  form->FormShow();
  EXPECT_EQ(form->EditPageHeader->text(), QStringLiteral("新页眉"));
  EXPECT_EQ(form->EditLineWidth->text(), "100");
}

TEST_F(FormPrintPropTest, OkReadsTheDialogAndComputesThePixelLengths) {
  form->FormShow();
  Type(form->EditScaleNum, "x");
  Type(form->EditPerTime, "-50");
  form->ButtonOKClick();
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(state.config.PrintScaleNum, 8);
  EXPECT_EQ(form->EditPerTime->text(), "50.00");
  EXPECT_EQ(state.print.PageMarginPixels, (std::array<int32_t, 4>{236, 236, 236, 236}));
}

TEST_F(FormPrintPropTest, FixedScaleSwapsThePageCountForTheScaleFields) {
  form->FormShow();
  QWidget* const fixedFields[] = {form->EditPerPoint, form->EditPerTime, form->LabelActualPages, form->LabelNumSamp};
  EXPECT_FALSE(form->EditWavePage->isHidden());
  for (QWidget* w : fixedFields) EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(form->EditWavePage->y(), form->EditPerPoint->y());  // one row for both

  form->CheckBoxFixScale->click();
  EXPECT_TRUE(form->EditWavePage->isHidden());
  for (QWidget* w : fixedFields) EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(form->LabelActualPages->text(), QStringLiteral("注：需打印3页"));
  EXPECT_EQ(form->LabelNumSamp->text(), QStringLiteral("每页打印36644采样点"));
  EXPECT_EQ(form->LabelPageWidth->text(), QStringLiteral("页波形宽度=18.30cm"));
  EXPECT_EQ(form->LabelPerTime->toolTip(), QStringLiteral("注：采样频率=10000.00Hz"));
  EXPECT_EQ(form->EditPerTime->toolTip(), QStringLiteral("等价采样点数=2000"));

  form->CheckBoxFixScale->click();
  EXPECT_FALSE(form->EditWavePage->isHidden());
  EXPECT_TRUE(form->EditPerTime->isHidden());
  EXPECT_EQ(state.print.PrintPageCount, 1);  // the page-count layout's WavePage
}

TEST_F(FormPrintPropTest, PageCountFollowsEveryKeystrokeInTheTimeAndLengthEdits) {
  state.config.IDFixedScale = 1;
  form->FormShow();
  form->EditPerTime->clear();
  const struct {
    QLineEdit* edit;
    char key;
    const char* pages;
  } strokes[] = {
      {form->EditPerTime, '1', "注：需打印608页"},  // 1 ms: 10 points per cm
      {form->EditPerTime, '0', "注：需打印61页"},
      {form->EditPerTime, '0', "注：需打印6页"},    // 100 ms
  };
  for (const auto& s : strokes) {
    QTest::keyClick(s.edit, s.key);
    EXPECT_EQ(form->LabelActualPages->text(), QString::fromUtf8(s.pages)) << s.edit->text().toStdString();
  }
  form->EditPerPoint->clear();
  QTest::keyClick(form->EditPerPoint, '2');  // 2 cm for 100 ms: 4324 x 1000 / 472 points a page
  EXPECT_EQ(form->LabelNumSamp->text(), QStringLiteral("每页打印9161采样点"));
  EXPECT_EQ(form->LabelActualPages->text(), QStringLiteral("注：需打印13页"));
  QTest::keyClick(form->EditPerPoint, '4');  // 24 cm: 762 points a page
  EXPECT_EQ(form->LabelActualPages->text(), QStringLiteral("注：需打印146页"));
  // Nothing is taken into the settings before the dialog is read.
  EXPECT_EQ(state.config.PerSampTime, 200.0f);
  EXPECT_EQ(state.config.PerPointCM, 1.0f);
}

TEST_F(FormPrintPropTest, PreviewNavigationStaysWithinThePages) {
  state.config.IDFixedScale = 1;  // three pages
  form->FormShow();
  EXPECT_TRUE(form->ButtonPreview->isEnabled());
  EXPECT_EQ(form->ButtonPreview->toolTip(), QStringLiteral("右键选择页数(1/3页)"));
  form->menuPreviewPrevPageClick();
  form->menuPreviewLastPageClick();
  form->menuPreviewNextPageClick();
  form->menuPreviewNextPageClick();
  form->menuPreviewFirstPageClick();
  form->menuPreviewNextPageClick();
  EXPECT_EQ(previewed, (std::vector<int32_t>{0, 2, 2, 2, 0, 1}));
  EXPECT_EQ(form->ButtonPreview->toolTip(), QStringLiteral("右键选择页数(2/3页)"));
  // The preview reads the dialog first.
  Type(form->EditPageHeader, "预览");
  form->ButtonPreviewClick();
  EXPECT_EQ(state.print.PageHeader, "预览");
  EXPECT_EQ(previewed.back(), 1);
  // The page is kept for the next showing, within the pages there are then.
  state.config.IDFixedScale = 0;
  form->FormShow();
  EXPECT_EQ(state.print.PreviewPage, 0);
}

TEST_F(FormPrintPropTest, PreviewIsDisabledUntilTheWindowGivesItsCommand) {
  form->SetPreviewCommand(nullptr);
  EXPECT_FALSE(form->ButtonPreview->isEnabled());
  EXPECT_FALSE(form->menuPreviewNextPage->isEnabled());
  EXPECT_TRUE(form->menuPreviewScale->isEnabled());  // a setting, not a command
}

TEST_F(FormPrintPropTest, PreviewScaleItemTogglesTheSettingAtOnce) {
  form->menuPreviewScale->trigger();
  EXPECT_TRUE(form->menuPreviewScale->isChecked());
  EXPECT_EQ(state.print.WavePrintPreviewScale, 1);
  form->menuPreviewScaleClick();
  EXPECT_FALSE(form->menuPreviewScale->isChecked());
  EXPECT_EQ(state.print.WavePrintPreviewScale, 0);
}

TEST_F(FormPrintPropTest, SpecialCoverProgramSuppressesTheNextTextCoverUntilShownAgain) {
  form->FormShow();
  form->LabelProgFile->setText("coverprog");
  form->LabelDataFile->setText("/tmp/data.txt");
  // The program of the last reading counts, not the label: none yet.
  form->ButtonSpecialPrintClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Program).empty());
  EXPECT_EQ(state.print.CoverProgramRan, 0);

  form->ReadSettings();
  form->ButtonSpecialPrintClick();
  const auto started = ui.PromptsOf(Kind::Program);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].text, "coverprog");
  EXPECT_EQ(started[0].arguments, (std::vector<std::string>{"/tmp/data.txt"}));
  EXPECT_EQ(started[0].caption, "");  // not waited for
  EXPECT_EQ(state.print.CoverProgramRan, 1);
  form->FormShow();
  EXPECT_EQ(state.print.CoverProgramRan, 0);
}

TEST_F(FormPrintPropTest, ACoverProgramThatCannotStartIsReportedAndSuppressesNothing) {
  state.print.CoverPageProgFile = "missing-program";
  form->FormShow();
  ui.startProgramSucceeds = false;
  form->ButtonSpecialPrintClick();
  EXPECT_EQ(state.print.CoverProgramRan, 0);
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Message)[0].text, "无法启动专用封面打印程序：missing-program");
}

TEST_F(FormPrintPropTest, AutoCoverBoxTakesEffectAtOnce) {
  form->FormShow();
  form->CheckBoxAutoCover->click();
  EXPECT_EQ(state.config.IDAutoCover, 1);  // without reading the dialog
  Type(form->EditPageHeader, "不读");
  form->reject();  // the close box reads nothing
  EXPECT_EQ(state.config.IDAutoCover, 1);
  EXPECT_EQ(state.print.PageHeader, "");
  form->CheckBoxAutoCover->click();
  EXPECT_EQ(state.config.IDAutoCover, 0);
}

TEST_F(FormPrintPropTest, PrinterButtonRunsTheSetupThenShowsThePrinterAndItsPage) {
  form->FormShow();
  form->ButtonPrinterPropertyClick();
  EXPECT_EQ(ui.PromptsOf(Kind::PrinterSetup).size(), 1u);
  EXPECT_EQ(form->LabelPrinterName->text(), QStringLiteral("打印机名称：缺省打印机"));

  form->SetPrinterSetupCommand([this] {
    printer.name = "LaserJet";
    printer.width = 2400;
    return true;
  });
  form->ButtonPrinterPropertyClick();
  EXPECT_EQ(form->LabelPrinterName->text(), QStringLiteral("打印机名称：LaserJet"));
  // 2400 - 236 - 236 - 4 = 1924 pixels.
  EXPECT_EQ(form->LabelPageWidth->text(), QStringLiteral("页波形宽度=8.14cm"));
  // Each showing names the printer in use.
  printer.name = "Other";
  form->FormShow();
  EXPECT_EQ(form->LabelPrinterName->text(), QStringLiteral("打印机名称：Other"));
}

TEST_F(FormPrintPropTest, FontButtonsChangeThePrinterAndPictureFontsUnlessCancelled) {
  state.config.PrinterFontName = "Old";
  state.config.WMFFontName = "OldPicture";
  platform::FontChoice chosen;
  chosen.name = "New";
  chosen.size = 14;
  chosen.bold = true;
  ui.fontAnswers.push_back(chosen);
  form->ButtonSelectFontClick();
  EXPECT_EQ(state.config.PrinterFontName, "New");
  EXPECT_EQ(state.config.PrinterFontSize, 14);
  EXPECT_EQ(state.config.PrinterFontStyle, platform::kFontStyleBold);
  EXPECT_EQ(ui.PromptsOf(Kind::Font).size(), 1u);

  form->ButtonWMFFontClick();  // cancelled
  EXPECT_EQ(state.config.WMFFontName, "OldPicture");
  ui.fontAnswers.push_back(chosen);
  form->ButtonWMFFontClick();
  EXPECT_EQ(state.config.WMFFontName, "New");
}

TEST_F(FormPrintPropTest, FileButtonsAskWithTheirTitlesAndKeepTheLabelWhenCancelled) {
  form->LabelTextFile->setText("/old/cover.txt");
  ui.fileAnswers.push_back(std::nullopt);
  form->ButtonSelectTextFileClick();
  EXPECT_EQ(form->LabelTextFile->text(), "/old/cover.txt");
  ui.fileAnswers.push_back("/tmp/new.txt");
  form->ButtonSelectTextFileClick();
  EXPECT_EQ(form->LabelTextFile->text(), "/tmp/new.txt");
  ui.fileAnswers.push_back("/usr/local/bin/cover");
  form->ButtonSelectProgramClick();
  EXPECT_EQ(form->LabelProgFile->text(), "/usr/local/bin/cover");
  form->ButtonSelectDataFileClick();

  const auto asked = ui.PromptsOf(Kind::OpenFile);
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[0].file.title, "选定封面文本文件名");
  EXPECT_EQ(asked[0].file.fileName, "/old/cover.txt");
  EXPECT_EQ(asked[0].file.defaultExt, "TXT");
  EXPECT_EQ(asked[0].file.filter, "封面文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*");
  EXPECT_TRUE(asked[0].file.mustExist);
  EXPECT_EQ(asked[2].file.title, "选定封面打印程序名");
  EXPECT_EQ(asked[2].file.filter, "封面打印程序(*.exe)|*.exe");
  EXPECT_EQ(asked[2].file.defaultExt, "");  // a program here has no extension
  EXPECT_EQ(asked[3].file.title, "选定封面打印程序用数据文件名");
  EXPECT_EQ(asked[3].file.filter, "文本文件 (*.txt)|*.txt|Word文件 (*.doc)|*.doc|所有文件 (*.*)|*.*");
  EXPECT_EQ(asked[3].file.defaultExt, "");
}

TEST_F(FormPrintPropTest, CreateTextStartsAnEditorAndWaitsOrSaysNoneCouldStart) {
  form->ButtonCreateTextFileClick();
  auto started = ui.PromptsOf(Kind::Program);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].caption, "wait");
  EXPECT_TRUE(started[0].arguments.empty());
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());

  ui.startProgramSucceeds = false;
  form->ButtonCreateTextFileClick();
  EXPECT_GT(ui.PromptsOf(Kind::Program).size(), 2u);  // every editor tried
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Message)[0].text, "无法启动文本编辑器");
}

TEST_F(FormPrintPropTest, ResizeKeepsTheButtonsAtTheBottomAndStretchesTheTabs) {
  form->resize(600, 450);
  form->FormResize();
  EXPECT_EQ(form->ButtonOK->y(), 450 - 8 - 25);
  EXPECT_EQ(form->ButtonCancel->y(), form->ButtonOK->y());
  EXPECT_EQ(form->PageControl1->width(), 600 - 8 - 12);
  EXPECT_EQ(form->PageControl1->geometry().bottom() + 1, form->ButtonOK->y() - 10);
}

TEST_F(FormPrintPropTest, WithoutAPrinterTheDialogStillReadsWithoutCuttingMargins) {
  form->SetPrintTarget(nullptr);
  form->FormShow();
  Type(form->EditPageSpaceLeft, "50");
  form->ButtonOKClick();
  EXPECT_EQ(state.config.PageSpaceLeftCM, 50.0f);
  form->ButtonPrinterPropertyClick();
  EXPECT_EQ(form->LabelPrinterName->text(), QStringLiteral("打印机名称：缺省打印机"));
}

}  // namespace
