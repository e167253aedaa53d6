// The analysis-result window: the hand-over of a result, its menus, zoom,
// scrolling, value grid, cursors, the picture copy and the main window's
// command.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/FormAnalysisResult.h"
#include "platform/qt/QtVectorPicture.h"
#include "platform/qt/StringGrid.h"
#include "shell/MainWindowFixture.h"
#include "view/FormGraphType.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

constexpr const char* kFormSize = "\\SOFTWARE\\QuelvarTorque\\FormSize";

class FormAnalysisResultTest : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormSpectrum> window;
  std::string shownCaption;
  int32_t shownCaller = -1;

  void TearDown() override {
    if (form) form->SetAnalysisResultWindow(nullptr);
    window.reset();
    form.reset();
    MainWindowFixture::TearDown();
  }
  void Open() {
    form = NewMainWindow();
    window = std::make_unique<TFormSpectrum>(state, registry, ui, *form);
    form->SetAnalysisResultWindow(window.get());
    window->resize(600, 420);
  }
  // A result of n points at 0, 10, 20, ... Hz with values 1, 2, 3, ...
  void HandOver(int n, int32_t kind = kAnalysisPowerDensity) {
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      x[static_cast<size_t>(i)] = 10.0 * i;
      y[static_cast<size_t>(i)] = 1.0 + i;
    }
    ASSERT_TRUE(HandOverAnalysisResult(*window, kind, x, y, "U1", "I2"));
    QApplication::processEvents();
  }
  void Tick() { window->Timer1Timer(); }
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
  QColor ShownAt(int x, int y) const { return window->ShownImage().pixelColor(x, y); }
};

TEST_F(FormAnalysisResultTest, CreatedHiddenWithItsMenusAndGeometryUnderFormSize) {
  registry.WriteInt32(kFormSize, "FormSpectrum_Width", 500);
  registry.WriteInt32(kFormSize, "FormSpectrum_Height", 300);
  Open();
  EXPECT_EQ(window->windowTitle().toStdString(), "频谱分析波形显示");
  EXPECT_TRUE(window->isHidden());
  EXPECT_FALSE(window->Timer1->isActive());
  EXPECT_EQ(window->Timer1->interval(), 100);
  EXPECT_EQ(window->Result.Valid, 0);
  EXPECT_TRUE(window->Panel2->isHidden());
  EXPECT_FALSE(window->Panel1->isHidden());
  struct Check {
    QAction* item;
    bool checked;
  };
  for (const Check& c : {Check{window->menuTopWin, false}, Check{window->menuPic, true},
                         Check{window->menuLinearAxis, true}, Check{window->menuHalfLog, false},
                         Check{window->menuDualLog, false}, Check{window->menuXGrid, true},
                         Check{window->menuYGrid, true}, Check{window->menuInstValue, true},
                         Check{window->menuTextBG, true}, Check{window->menuXZooms[0], true},
                         Check{window->menuXZooms[6], false}, Check{window->menuYZooms[0], true}}) {
    EXPECT_EQ(c.item->isChecked(), c.checked) << c.item->text().toStdString();
  }
  EXPECT_FALSE(window->menuDualLog->isVisible());
  // Without a result the plot is black.
  EXPECT_EQ(window->Bitmap.size(), window->PaintBox1->size());
  EXPECT_EQ(ShownAt(5, 5), QColor(Qt::black));
  window->resize(520, 330);
  window.reset();
  EXPECT_EQ(registry.ReadInt32(kFormSize, "FormSpectrum_Width"), 520);
  EXPECT_EQ(registry.ReadInt32(kFormSize, "FormSpectrum_Height"), 330);
}

TEST_F(FormAnalysisResultTest, MainWindowsCommandIsEnabledOnceTheWindowIsHandedOverAndShowsIt) {
  form = NewMainWindow();
  EXPECT_EQ(form->menuViewSpectrum->text().toStdString(), "谱分析图形窗口(&L)");
  // Hidden until an analysis panel shows it; shown without the window it
  // stays disabled.
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
  form->menuViewSpectrum->setVisible(true);
  EXPECT_FALSE(form->menuViewSpectrum->isEnabled());
  form->menuViewSpectrum->setVisible(false);
  window = std::make_unique<TFormSpectrum>(state, registry, ui, *form);
  form->SetAnalysisResultWindow(window.get());
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
  form->menuViewSpectrum->setVisible(true);
  EXPECT_TRUE(form->menuViewSpectrum->isEnabled());
  form->menuViewSpectrum->trigger();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->Timer1->isActive());
  window->hide();
  EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(FormAnalysisResultTest, HandOverFillsTheRecordSelectsDecibelsAndShowsTheWindow) {
  Open();
  // Hidden, the window is shown, and drawn at once by the first sizing.
  HandOver(3);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Result.RedrawPending, 0);
  EXPECT_EQ(window->Bitmap.pixelColor(1, 1), QColor(128, 128, 128));
  window->View.XZoomFactor = 7;
  window->menuYZooms[3]->trigger();
  window->menuLinearAxisClick();
  HandOver(513, kAnalysisCrossPower);
  const AnalysisResult& r = window->Result;
  EXPECT_EQ(r.Points, 513);
  EXPECT_EQ(r.Curves, 1);
  EXPECT_EQ(r.Title, "U1 与 I2的互功率谱");
  EXPECT_EQ(r.XLabel, "频率(Hz)");
  EXPECT_EQ(r.YLabel, "互功率谱");
  EXPECT_EQ(r.Valid, 1);
  EXPECT_EQ(r.RedrawPending, 1);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->View.LogAxis, 1);
  EXPECT_TRUE(window->menuHalfLog->isChecked());
  EXPECT_EQ(window->View.XZoomFactor, 1);
  EXPECT_EQ(window->View.YZoomFactor, 1);
  EXPECT_EQ(window->View.VisiblePoints, 513);
  EXPECT_DOUBLE_EQ(window->View.YMin, 1.0);
  EXPECT_DOUBLE_EQ(window->View.YMax, 513.0);
  EXPECT_EQ(window->ScrollBarXPosition->maximum(), 512);
  EXPECT_EQ(window->ScrollBarGridStart->maximum(), 512);
  Tick();
  EXPECT_EQ(r.RedrawPending, 0);
  EXPECT_EQ(window->Bitmap.pixelColor(1, 1), QColor(128, 128, 128));
  const ResultPlotRect& p = window->View.PlotRect;
  EXPECT_EQ(window->Bitmap.pixelColor(p.left + 1, p.top + p.height / 2 + 3), QColor(Qt::white));
  // A refused result leaves the window without one.
  EXPECT_FALSE(HandOverAnalysisResult(*window, kAnalysisBurg, {1.0}, {}, "U1", ""));
  EXPECT_EQ(r.Valid, 0);
  EXPECT_EQ(r.Title, "U1 与 I2的互功率谱");
}

TEST_F(FormAnalysisResultTest, ANonPositiveMinimumTurnsTheAxisLinearAtTheNextDrawing) {
  Open();
  window->show();
  ASSERT_TRUE(HandOverAnalysisResult(*window, kAnalysisCrossCorrelation, {-0.1, 0.0, 0.1}, {-0.5, 1.0, -0.5},
                                     "U1", "I2"));
  EXPECT_TRUE(window->menuHalfLog->isChecked());
  Tick();
  EXPECT_EQ(window->View.LogAxis, 0);
  EXPECT_TRUE(window->menuLinearAxis->isChecked());
  EXPECT_FALSE(window->menuHalfLog->isChecked());
  EXPECT_FALSE(window->menuDualLog->isChecked());
}

TEST_F(FormAnalysisResultTest, InvalidDataShowsItsMessageButTheTableStillListsTheValues) {
  Open();
  ASSERT_TRUE(HandOverAnalysisResult(*window, kAnalysisPowerDensity, {0.0, 1.0, 2.0}, {NAN, 1.0, 2.0}, "U1", ""));
  Tick();
  EXPECT_EQ(window->Bitmap.pixelColor(1, 1), QColor(128, 128, 128));
  window->Panel1Click();
  Tick();
  EXPECT_EQ(window->Grid1->Cells().Cell(2, 2), "NAN");
  // The minimum is the NaN, not above 0: the drawing turned the axis linear.
  EXPECT_EQ(window->Grid1->Cells().Cell(3, 2), "1");
}

TEST_F(FormAnalysisResultTest, XZoomFixedAndTyped) {
  Open();
  HandOver(513);
  window->menuXZooms[6]->trigger();
  EXPECT_EQ(window->View.VisiblePoints, 10);
  EXPECT_EQ(window->ScrollBarXPosition->pageStep(), 9);
  EXPECT_TRUE(window->menuXZooms[6]->isChecked());
  EXPECT_FALSE(window->menuXZooms[0]->isChecked());
  EXPECT_EQ(window->menuXZoomAny->text().toStdString(), "X向展开?倍(100)");
  EXPECT_EQ(window->Result.RedrawPending, 1);
  // Scrolled to the end, the last ten points are drawn.
  window->ScrollBarXPosition->setValue(512);
  Tick();
  EXPECT_EQ(window->View.FirstPoint, 503);

  ui.inputAnswers.push_back(std::string("1000"));
  window->menuXZoomAny->trigger();
  const auto input = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(input.size(), 1u);
  EXPECT_EQ(input[0].caption, "请输入X方向显示放大倍数");
  EXPECT_EQ(input[0].text, "X方向展开倍数:  ");
  EXPECT_EQ(window->View.XZoomFactor, 128);
  EXPECT_EQ(window->View.VisiblePoints, 10);  // ceil(513 / 128) = 5, raised to 10
  EXPECT_TRUE(window->menuXZoomAny->isChecked());
  EXPECT_FALSE(window->menuXZooms[6]->isChecked());
  EXPECT_EQ(window->menuXZoomAny->text().toStdString(), "X向展开?倍(128)");
  ui.inputAnswers.push_back(std::string("x3"));
  window->menuXZoomAny->trigger();
  EXPECT_EQ(window->View.XZoomFactor, 128);
  ui.inputAnswers.push_back(std::string("4"));
  window->menuXZoomAny->trigger();
  EXPECT_EQ(window->View.VisiblePoints, 129);
}

TEST_F(FormAnalysisResultTest, YZoomPagesThroughTheScaleInSnappedSteps) {
  Open();
  HandOver(50);
  window->menuYZooms[2]->trigger();
  EXPECT_EQ(window->View.YZoomFactor, 5);
  EXPECT_EQ(window->ScrollBarYPosition->pageStep(), 20);
  window->ScrollBarYPosition->setValue(37);
  EXPECT_EQ(window->ScrollBarYPosition->value(), 20);
  window->ScrollBarYPosition->setValue(99);
  EXPECT_EQ(window->ScrollBarYPosition->value(), 80);
  window->menuYZoom1Click();
  EXPECT_EQ(window->ScrollBarYPosition->value(), 0);
  EXPECT_TRUE(window->menuYZooms[0]->isChecked());
  EXPECT_FALSE(window->menuYZooms[2]->isChecked());
}

TEST_F(FormAnalysisResultTest, ValueGridShowsOnAClickAndFollowsItsScrollBarAndMenus) {
  Open();
  HandOver(10);
  window->menuLinearAxisClick();
  Tick();
  // 5 columns of 3 blocks, whatever the window's size gave (the menus
  // reshape the grid).
  window->View.GridColumns = 5;
  window->View.GridRowBlocks = 3;
  window->menuAddCol1Click();
  window->menuDelCol1Click();
  window->menuAddRow1Click();
  window->menuDelRow1Click();
  window->Panel1Click();
  EXPECT_FALSE(window->menuPic->isChecked());
  EXPECT_FALSE(window->Panel2->isHidden());
  EXPECT_TRUE(window->Panel1->isHidden());
  EXPECT_EQ(window->Result.RedrawPending, 1);
  Tick();
  const platform::CellGrid& cells = window->Grid1->Cells();
  EXPECT_EQ(cells.Cell(0, 1), "功率谱");
  EXPECT_EQ(cells.Cell(6, 6), "14");
  EXPECT_EQ(cells.Cell(6, 8), "");
  EXPECT_EQ(cells.Cell(6, 5), "10");  // point 9's value
  // 10 points in 15 places: the start stays 0.
  window->ScrollBarGridStart->setValue(4);
  EXPECT_EQ(window->View.GridStart, 0);
  EXPECT_EQ(cells.Cell(2, 0), "0");
  window->menuAddCol2Click();
  EXPECT_EQ(window->View.GridColumns, 7);
  EXPECT_EQ(cells.ColCount(), 9);
  for (int i = 0; i < 12; ++i) window->menuAddRow2Click();
  EXPECT_EQ(window->View.GridRowBlocks, 20);
  EXPECT_EQ(cells.RowCount(), 60);
  window->Panel2Click();
  EXPECT_TRUE(window->menuPic->isChecked());
  EXPECT_TRUE(window->Panel2->isHidden());
}

TEST_F(FormAnalysisResultTest, CursorsFollowTheMouseOnTheScreenOnly) {
  Open();
  HandOver(11);
  Tick();
  const ResultPlotRect p = window->View.PlotRect;
  EXPECT_EQ(window->View.CursorPoint2, 10);  // clamped to the last point
  // Cursor 1 stands at 0, cursor 2 at 10: a click at point 3 moves the red one.
  const int x3 = p.left + p.width * 3 / 10;
  window->PaintBox1MouseDown(Qt::LeftButton, x3, p.top + 40);
  EXPECT_EQ(window->View.ActiveCursor, 0);
  EXPECT_EQ(window->View.CursorPoint1, 3);
  EXPECT_EQ(ShownAt(x3, p.top + p.height - 2), QColor(Qt::red));
  EXPECT_NE(window->Bitmap.pixelColor(x3, p.top + p.height - 2), QColor(Qt::red));
  // Dragging moves it on; the release ends the drag.
  const int x5 = p.left + p.width / 2;
  window->PaintBox1MouseMove(x5, p.top + 60);
  EXPECT_EQ(window->View.CursorPoint1, 5);
  window->PaintBox1MouseUp();
  window->PaintBox1MouseMove(p.left, p.top);
  EXPECT_EQ(window->View.CursorPoint1, 5);
  // The right button and a readout switched off leave the cursors.
  window->PaintBox1MouseDown(Qt::RightButton, p.left, p.top);
  EXPECT_EQ(window->View.CursorPoint1, 5);
  window->menuInstValueClick();
  EXPECT_NE(ShownAt(x5, p.top + p.height - 2), QColor(Qt::red));
  window->PaintBox1MouseDown(Qt::LeftButton, p.left, p.top);
  EXPECT_EQ(window->View.CursorPoint1, 5);
}

TEST_F(FormAnalysisResultTest, CancelInThePictureOptionsCopiesNothingAndOnlyRedraws) {
  Open();
  HandOver(20);
  Tick();
  state.config.IsColor = 0;
  QColor during;
  Answer(false, [this, &during](TFormGraphType& d) {
    d.RadioButtonMetafile->click();
    d.RadioButtonScreen->click();
    d.RadioButtonMonochrome->click();
    d.ButtonPreview->click();
    during = ShownAt(1, 1);
  });
  window->menuCopyGraphClick();
  EXPECT_EQ(shownCaption, "图形格式选项-谱分析结果");
  EXPECT_EQ(shownCaller, 1);
  EXPECT_EQ(during, QColor(Qt::white));  // the black-and-white picture
  EXPECT_TRUE(ui.PromptsOf(Kind::Clipboard).empty());
  EXPECT_EQ(window->Result.RedrawPending, 1);
  Tick();
  EXPECT_EQ(ShownAt(1, 1), QColor(128, 128, 128));
}

TEST_F(FormAnalysisResultTest, CopyAsMetafileOrAsTheScreensBitmap) {
  Open();
  HandOver(20);
  Tick();
  Answer(true, [](TFormGraphType& d) {
    d.RadioButtonMetafile->click();
    d.RadioButtonUserSize->click();
    d.EditWidth->setText("640");
    d.EditHeight->setText("480");
  });
  const ResultPlotRect screenPlot = window->View.PlotRect;
  window->menuCopyGraphClick();
  auto clipboard = ui.PromptsOf(Kind::Clipboard);
  ASSERT_EQ(clipboard.size(), 1u);
  EXPECT_EQ(clipboard[0].pictureWidth, 640);
  EXPECT_EQ(clipboard[0].pictureHeight, 480);
  EXPECT_EQ(form->SharedPicture().Width(), 640);
  EXPECT_EQ(window->View.PlotRect.width, screenPlot.width);  // the cursors keep the screen's plot
  Answer(true, [](TFormGraphType& d) { d.RadioButtonBitmap->click(); });
  window->menuCopyGraphClick();
  clipboard = ui.PromptsOf(Kind::Clipboard);
  ASSERT_EQ(clipboard.size(), 2u);
  EXPECT_EQ(clipboard[1].pictureWidth, window->PaintBox1->width());
  EXPECT_EQ(clipboard[1].pictureHeight, window->PaintBox1->height());
  // Only a valid graph on show is copied.
  window->Panel1Click();
  window->menuCopyGraphClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 2u);
}

TEST_F(FormAnalysisResultTest, ResizeShapesTheGridAndRedrawsAValidResultAtOnce) {
  Open();
  window->resize(100, 100);
  EXPECT_GE(window->width(), 150);
  HandOver(30);
  Tick();
  window->resize(700, 500);
  QApplication::processEvents();
  EXPECT_EQ(window->Bitmap.size(), window->PaintBox1->size());
  EXPECT_EQ(window->Bitmap.pixelColor(1, 1), QColor(128, 128, 128));
  const int colWidth = window->Grid1->Cells().DefaultColWidth();
  EXPECT_EQ(window->View.GridColumns, std::max(window->Grid1->width() / colWidth - 2, 3));
  EXPECT_EQ(window->Grid1->Cells().ColCount(), window->View.GridColumns + 2);
  EXPECT_EQ(window->Grid1->Cells().RowCount(), 3 * window->View.GridRowBlocks);
  EXPECT_GE(window->View.GridRowBlocks, 2);
}

}  // namespace
