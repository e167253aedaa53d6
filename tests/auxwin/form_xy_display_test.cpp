// The X-Y window: its settings, how the main window and the oscilloscope
// panel show it and have it follow the main view, the cross-hair, and the
// picture copy through the picture options dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <memory>
#include <string>

#include "auxwin/FormTool.h"
#include "auxwin/FormXYDisplay.h"
#include "platform/qt/QtVectorPicture.h"
#include "view/FormGraphType.h"
#include "view/MainWindowWithData.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\XYDisplay";

class FormXYDisplayTest : public test::MainWindowWithData {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormXYDisplay> xy;
  std::string shownCaption;
  int32_t shownCaller = -1;

  void TearDown() override {
    if (form) form->SetXYDisplay(nullptr);
    xy.reset();
    form.reset();
    MainWindowWithData::TearDown();
  }
  // The main window with data and the X-Y window handed to it, shown, with
  // the main view's first two analog positions drawn.
  void ShownWithData() {
    form = WithData();
    xy = std::make_unique<TFormXYDisplay>(state, registry, ui, *form);
    form->SetXYDisplay(xy.get());
    xy->resize(400, 300);
    form->menuDispXYClick();
    QApplication::processEvents();
    state.wave.DrawnAnalogCount = 2;
    state.wave.DrawnChannels[0] = 0;
    state.wave.DrawnChannels[1] = 1;
    xy->Redraw();
  }
  void Answer(bool ok, std::function<void(TFormGraphType&)> edit = {}) {
    ui.modalAnswers.push_back([this, ok, edit](platform::ModalDialog& modal) {
      auto& dialog = dynamic_cast<TFormGraphType&>(modal);
      shownCaption = dialog.windowTitle().toStdString();
      shownCaller = dialog.Caller;
      if (edit) edit(dialog);
      if (!ok) {
        dialog.ButtonCancelClick();
        return platform::kModalCancel;
      }
      dialog.ButtonOKClick();
      return platform::kModalOk;
    });
  }
  QColor ShownAt(int x, int y) const { return xy->ShownImage().pixelColor(x, y); }
};

TEST_F(FormXYDisplayTest, SettingsAreTheMenuTicksReadAtCreationAndWrittenAtTheEnd) {
  form = NewMainWindow();
  {
    TFormXYDisplay fresh(state, registry, ui, *form);
    EXPECT_EQ(fresh.windowTitle().toStdString(), "X-Y图");
    EXPECT_FALSE(fresh.menuTopmost->isChecked());
    EXPECT_TRUE(fresh.menuAutoView->isChecked());
    EXPECT_FALSE(fresh.menuScatterPlot->isChecked());
    EXPECT_FALSE(fresh.menuWhiteBackground->isChecked());
    EXPECT_FALSE(fresh.menuInstCross->isChecked());
    EXPECT_FALSE(fresh.menuInstCross->isVisible());
    EXPECT_EQ(fresh.XYMessage, "没有模拟信号！");
    fresh.menuScatterPlotClick();
    fresh.menuAutoViewClick();
  }
  EXPECT_EQ(registry.ReadInt32(kKey, "IdScatter"), 1);
  EXPECT_EQ(registry.ReadInt32(kKey, "IdAutoView"), 0);
  EXPECT_EQ(registry.ReadInt32(kKey, "IdWhiteBG"), 0);
  registry.WriteInt32(kKey, "XYDispTopMost", 1);
  registry.WriteInt32(kKey, "IdInstCross", 1);
  TFormXYDisplay again(state, registry, ui, *form);
  EXPECT_TRUE(again.menuScatterPlot->isChecked());
  EXPECT_FALSE(again.menuAutoView->isChecked());
  EXPECT_TRUE(again.menuInstCross->isChecked());
  EXPECT_TRUE(again.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(FormXYDisplayTest, TheMainWindowsCommandShowsItAndItsRepaintRedrawsIt) {
  form = NewMainWindow();
  EXPECT_FALSE(form->menuDispXY->isEnabled());
  EXPECT_EQ(form->menuDispXY->text().toStdString(), "显示X-Y图(&X)");
  form.reset();
  ShownWithData();
  EXPECT_TRUE(form->menuDispXY->isEnabled());
  EXPECT_TRUE(xy->isVisible());
  // The plot follows the main view: a repaint redraws what stands in Picture.
  xy->Picture.fill(Qt::red);
  state.wave.RepaintRequested = 1;
  form->RepaintView();
  EXPECT_NE(xy->Picture.pixelColor(1, 1), QColor(Qt::red));
  // Hidden, it is left alone.
  xy->hide();
  xy->Picture.fill(Qt::red);
  state.wave.RepaintRequested = 1;
  form->RepaintView();
  EXPECT_EQ(xy->Picture.pixelColor(1, 1), QColor(Qt::red));
}

TEST_F(FormXYDisplayTest, OscilloscopePanelsBoxShowsAndHidesTheWindow) {
  ShownWithData();
  xy->hide();
  TFormTool panel(state, registry);
  EXPECT_FALSE(panel.CheckBoxXY->isEnabled());
  TFormMain* main = form.get();
  panel.SetXYDisplay(xy.get(), [main] { main->menuDispXYClick(); });
  EXPECT_TRUE(panel.CheckBoxXY->isEnabled());
  panel.FormActivate();
  EXPECT_FALSE(panel.CheckBoxXY->isChecked());
  panel.CheckBoxXY->setChecked(true);
  panel.CheckBoxXYClick();
  EXPECT_TRUE(xy->isVisible());
  panel.CheckBoxXY->setChecked(false);
  panel.FormActivate();
  EXPECT_TRUE(panel.CheckBoxXY->isChecked());
  panel.CheckBoxXY->setChecked(false);
  panel.CheckBoxXYClick();
  EXPECT_FALSE(xy->isVisible());
}

TEST_F(FormXYDisplayTest, RefusalIsShownAndKeptAsTheMessage) {
  ShownWithData();
  state.wave.DrawnAnalogCount = 1;
  xy->Redraw();
  EXPECT_EQ(xy->XYMessage, "模拟通道数少于2");
  // A resize without data shows the last message on the background.
  state.display.DispValid = 0;
  xy->resize(420, 320);
  QApplication::processEvents();
  EXPECT_EQ(xy->Picture.size(), xy->Image1->size());
  EXPECT_EQ(xy->XYMessage, "模拟通道数少于2");
}

TEST_F(FormXYDisplayTest, CrossHairFollowsTheMouseWithinThePlot) {
  ShownWithData();
  xy->menuInstCross->setChecked(true);
  // Without the cross-hair item nothing moves; with it, a release far
  // outside puts it on the border.
  xy->Image1MouseDown(0, 0);
  EXPECT_TRUE(xy->XYTracking);
  xy->Image1MouseUp(5000, -5000);
  EXPECT_FALSE(xy->XYTracking);
  EXPECT_DOUBLE_EQ(xy->CrossX, 0.5);
  EXPECT_DOUBLE_EQ(xy->CrossY, -0.5);
  // The red cross-hair stands on Image1, never in Picture.
  const int x = xy->PlotLeft + xy->PlotWidth;
  const int y = xy->PlotTop + xy->PlotHeight / 2 + 1;
  EXPECT_EQ(ShownAt(x, y), QColor(Qt::red));
  EXPECT_NE(xy->Picture.pixelColor(x, y), QColor(Qt::red));
  // Moves count only while a button is held.
  xy->Image1MouseMove(xy->PlotLeft, xy->PlotTop);
  EXPECT_DOUBLE_EQ(xy->CrossX, 0.5);
}

TEST_F(FormXYDisplayTest, CopyAsMetafileGoesThroughThePictureOptionsToTheClipboard) {
  ShownWithData();
  Answer(true, [](TFormGraphType& d) {
    d.RadioButtonMetafile->click();
    d.RadioButtonUserSize->click();
    d.EditWidth->setText("640");
    d.EditHeight->setText("480");
  });
  xy->menuCopyBitmapClick();
  EXPECT_EQ(shownCaption, "图形格式选项-XY曲线");
  EXPECT_EQ(shownCaller, 3);
  const auto clipboard = ui.PromptsOf(Kind::Clipboard);
  ASSERT_EQ(clipboard.size(), 1u);
  EXPECT_EQ(clipboard[0].pictureWidth, 640);
  EXPECT_EQ(clipboard[0].pictureHeight, 480);
  EXPECT_EQ(form->SharedPicture().Width(), 640);
}

TEST_F(FormXYDisplayTest, CopyAsBitmapIsThePlotAsShown) {
  ShownWithData();
  Answer(true, [](TFormGraphType& d) { d.RadioButtonBitmap->click(); });
  xy->menuCopyBitmapClick();
  const auto clipboard = ui.PromptsOf(Kind::Clipboard);
  ASSERT_EQ(clipboard.size(), 1u);
  EXPECT_EQ(clipboard[0].pictureWidth, xy->Image1->width());
  EXPECT_EQ(clipboard[0].pictureHeight, xy->Image1->height());
}

TEST_F(FormXYDisplayTest, PreviewDrawsOverImage1UntilCancelRestoresThePlot) {
  ShownWithData();
  state.config.IDBGWhite = 1;
  QColor during;
  Answer(false, [this, &during](TFormGraphType& d) {
    d.RadioButtonMetafile->click();
    d.RadioButtonScreen->click();
    d.CheckBoxBG->setChecked(true);
    d.ButtonPreview->click();
    during = ShownAt(1, 1);
  });
  xy->menuCopyBitmapClick();
  EXPECT_EQ(during, QColor(Qt::white));  // the white-background picture
  EXPECT_EQ(ShownAt(1, 1), QColor(Qt::black));  // the window's own plot again
  EXPECT_TRUE(ui.PromptsOf(Kind::Clipboard).empty());
}

TEST_F(FormXYDisplayTest, WithoutDataTheCopyDoesNothing) {
  ShownWithData();
  state.display.DispValid = 0;
  xy->menuCopyBitmapClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  EXPECT_TRUE(ui.PromptsOf(Kind::Clipboard).empty());
}

}  // namespace
