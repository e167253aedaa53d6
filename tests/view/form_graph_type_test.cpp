// The picture options dialog: its controls, which ones serve which kind of
// picture, reading them, the preview by caller, the printer page, the font.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "view/FormGraphType.h"

namespace {

using namespace quelvar;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

class FormGraphTypeTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  std::unique_ptr<TFormGraphType> form;

  void SetUp() override { form = std::make_unique<TFormGraphType>(state, registry, ui); }
  bool MetafileControlsEnabled() const {
    const bool size = form->GroupBox2->isEnabled();
    const bool colour = form->GroupBox3->isEnabled();
    const bool width = form->EditLineWidth->isEnabled();
    EXPECT_EQ(size, colour);
    EXPECT_EQ(size, width);
    return size;
  }
};

TEST_F(FormGraphTypeTest, ControlsCarryTheProgramsNamesAndCaptions) {
  EXPECT_EQ(form->objectName(), "FormGraphType");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("图形格式选项"));
  const std::pair<QAbstractButton*, const char*> buttons[] = {
      {form->RadioButtonMetafile, "位元图(MetaFile)"}, {form->RadioButtonBitmap, "当前位图(Bitmap)"},
      {form->RadioButtonScreen, "屏幕图形大小"},       {form->RadioButtonPrinterPage, "打印机纸张"},
      {form->RadioButtonUserSize, "自定义大小"},       {form->RadioButtonColor, "彩色"},
      {form->RadioButtonMonochrome, "单色"},           {form->CheckBoxBG, "白色背景"},
      {form->CheckBoxIncludeInst, "画瞬时标线"},        {form->ButtonOK, "确定(&O)"},
      {form->ButtonCancel, "取消(&C)"},                {form->ButtonPreview, "预览(&P)"},
      {form->ButtonWMFFont, "设置位元图字体"}};
  for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  EXPECT_EQ(form->GroupBox2->title(), QStringLiteral("图形大小"));
  EXPECT_EQ(form->GroupBox3->title(), QStringLiteral("颜色选项"));
  EXPECT_EQ(form->EditWidth->text(), "100");
  EXPECT_EQ(form->EditHeight->text(), "100");
}

TEST_F(FormGraphTypeTest, FillingShowsTheOptions) {
  state.config.GraphMetafile = 1;
  state.config.SizeScreen = 0;
  state.config.IsColor = 0;
  state.config.WMFScaleNum = 12;
  state.config.WMFLineWidth = 2;
  state.config.IDBGWhite = 1;
  state.config.IDIncludeInst = 0;
  form->FillFromOptions();
  EXPECT_TRUE(form->RadioButtonMetafile->isChecked());
  EXPECT_TRUE(form->RadioButtonScreen->isChecked());
  EXPECT_TRUE(form->RadioButtonMonochrome->isChecked());
  EXPECT_EQ(form->EditScaleNum->text(), "12");
  EXPECT_EQ(form->EditLineWidth->text(), "2");
  EXPECT_TRUE(form->CheckBoxBG->isChecked());
  EXPECT_FALSE(form->CheckBoxIncludeInst->isChecked());
  state.config.SizeScreen = 9;
  form->FillFromOptions();
  EXPECT_TRUE(form->RadioButtonUserSize->isChecked());
}

TEST_F(FormGraphTypeTest, TheBitmapDisablesTheSizeAndColourGroupsAndTheTraceWidth) {
  state.config.GraphMetafile = 0;
  form->FillFromOptions();
  EXPECT_FALSE(MetafileControlsEnabled());
  form->RadioButtonMetafile->click();
  EXPECT_TRUE(form->RadioButtonMetafile->isChecked());
  EXPECT_TRUE(MetafileControlsEnabled());
  form->RadioButtonBitmap->click();
  EXPECT_FALSE(MetafileControlsEnabled());
  state.config.GraphMetafile = 1;
  form->FillFromOptions();
  EXPECT_TRUE(MetafileControlsEnabled());
}

TEST_F(FormGraphTypeTest, OkReadsTheEditsWithTheirFallbacks) {
  form->FillFromOptions();
  form->RadioButtonUserSize->click();
  form->EditWidth->setText("abc");
  form->EditHeight->setText("480");
  form->EditScaleNum->setText("2");
  form->EditLineWidth->setText("x");
  form->RadioButtonMonochrome->click();
  form->ButtonOKClick();
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(state.config.SizeScreen, 2);
  EXPECT_EQ(form->UserSize, (PictureSize{100, 480}));
  EXPECT_EQ(form->EditWidth->text(), "abc");
  EXPECT_EQ(state.config.WMFScaleNum, 4);
  EXPECT_EQ(form->EditScaleNum->text(), "4");
  EXPECT_EQ(state.config.WMFLineWidth, 1);
  EXPECT_EQ(form->EditLineWidth->text(), "1");
  EXPECT_EQ(state.config.IsColor, 0);
}

TEST_F(FormGraphTypeTest, CancelReadsNothing) {
  form->FillFromOptions();
  form->EditScaleNum->setText("20");
  form->CheckBoxBG->setChecked(true);
  form->ButtonCancelClick();
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(state.config.WMFScaleNum, 8);
  EXPECT_EQ(state.config.IDBGWhite, 0);
}

TEST_F(FormGraphTypeTest, ThePreviewReadsTheOptionsAndAsksItsCallerToDraw) {
  int drawn[4] = {0, 0, 0, 0};
  for (int caller : {0, 3}) form->SetCallerPreview(caller, [&drawn, caller] { ++drawn[caller]; });
  form->FillFromOptions();
  form->EditScaleNum->setText("16");
  form->Caller = 3;
  form->ButtonPreviewClick();
  EXPECT_EQ(drawn[3], 1);
  EXPECT_EQ(drawn[0], 0);
  // In force even when the dialog is then cancelled.
  form->ButtonCancelClick();
  EXPECT_EQ(state.config.WMFScaleNum, 16);
  // A caller without a preview, or none known: the options are read, nothing is drawn.
  for (int caller : {2, 7, -1}) {
    form->Caller = caller;
    form->EditScaleNum->setText("6");
    form->ButtonPreviewClick();
    EXPECT_EQ(state.config.WMFScaleNum, 6);
  }
  EXPECT_EQ(drawn[0] + drawn[3], 1);
}

TEST_F(FormGraphTypeTest, WithTheBitmapChosenThePreviewDoesNothing) {
  bool drawn = false;
  form->SetCallerPreview(0, [&drawn] { drawn = true; });
  state.config.GraphMetafile = 0;
  form->FillFromOptions();
  form->EditScaleNum->setText("16");
  form->ButtonPreviewClick();
  EXPECT_FALSE(drawn);
  EXPECT_EQ(state.config.WMFScaleNum, 8);
}

TEST_F(FormGraphTypeTest, ThePrinterPageFillsTheSizeEdits) {
  form->SetPrinterPageSize([] { return PictureSize{4960, 7016}; });
  form->RadioButtonPrinterPage->click();
  EXPECT_EQ(form->EditWidth->text(), "4960");
  EXPECT_EQ(form->EditHeight->text(), "7016");
}

TEST_F(FormGraphTypeTest, TheFontButtonChangesThePictureFontUnlessCancelled) {
  state.config.WMFFontName = "Serif";
  state.config.WMFFontSize = 9;
  ui.fontAnswers.push_back(std::nullopt);
  form->ButtonWMFFontClick();
  EXPECT_EQ(state.config.WMFFontName, "Serif");
  platform::FontChoice chosen;
  chosen.name = "Sans";
  chosen.size = 14;
  chosen.bold = true;
  ui.fontAnswers.push_back(chosen);
  form->ButtonWMFFontClick();
  EXPECT_EQ(state.config.WMFFontName, "Sans");
  EXPECT_EQ(state.config.WMFFontSize, 14);
  EXPECT_EQ(state.config.WMFFontStyle & 1, 1);
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Font).size(), 2u);
}

TEST(FormGraphType, ItsPlaceIsStoredAndRestored) {
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  {
    TFormGraphType form(state, registry, ui);
    form.move(50, 60);
    form.resize(400, 320);
  }
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormGraphType_Width"), 400);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormGraphType_Left"), 50);
  TFormGraphType again(state, registry, ui);
  EXPECT_EQ(again.size(), QSize(400, 320));
  EXPECT_EQ(again.pos(), QPoint(50, 60));
}

}  // namespace
