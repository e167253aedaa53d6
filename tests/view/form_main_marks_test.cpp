// The marks of the main window's waveform: mouse drags on the paint box,
// label presses, and what the drawing shows, hides and posts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <memory>
#include <string>

#include "platform/Canvas.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/MarkGeometry.h"
#include "view/PaintBox.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;

class FormMainMarks : public test::MainWindowFixture {
 protected:
  // A shown main window with a recorder ring of 4 blocks on display, the
  // picture and its marks drawn.
  std::unique_ptr<TFormMain> ShownWithData() {
    auto form = NewMainWindow();
    form->Timer2Timer();  // the deferred start-up
    form->resize(800, 600);
    form->show();
    form->Timer2->stop();  // the test ticks
    QApplication::processEvents();
    LiveConfig& c = state.config;
    constexpr int32_t kBlocks = 4;
    c.MaxBlock = kBlocks;
    c.NumChn = c.Analog_Num;
    c.MaxMultiFreq = 1;
    state.acq.RingBlocks = kBlocks;
    state.acq.RingBuffer.assign(static_cast<size_t>(kBlocks) * c.NumSamp * c.NumChn, 0x8000);
    state.acq.BufferLayoutValid = 1;
    state.acq.RingWriteBlock = 0;
    state.display.DispRowWords = c.NumChn;
    form->menuMonitor->setChecked(false);
    form->menuMonitorClick();
    return form;
  }
  MarkPlot Plot(const TFormMain& form) const {
    return MarkPlotOf(state.wave.Options, state.labels, form.Image1->width(), form.Image1->height());
  }
  static void Mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }
  QColor MarkColour(int slot) const {
    const platform::Color c = platform::Color::FromStored(state.config.ColorPalette[kPaletteRowBlack][slot]);
    return QColor(c.red, c.green, c.blue);
  }
  static bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
};

TEST_F(FormMainMarks, APressDragAndReleaseOnTheWaveformMoveTheNearerMarks) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  ASSERT_EQ(state.display.DispValid, 1);
  ASSERT_GE(v.DisplayWidth, 100);
  const MarkPlot plot = Plot(*form);
  v.Mark1X = 10;
  v.Mark2X = 90;
  v.Mark1Y = plot.T + 20;
  v.Mark2Y = plot.T + 300;

  const QPoint press(PointToPixel(plot, v.DisplayWidth, 20), plot.T + 280);
  Mouse(form->Image1, QEvent::MouseButtonPress, Qt::LeftButton, press);
  EXPECT_EQ(v.DragMode, 1);
  // A column and a point do not map one to one both ways: the press reads
  // the point of its column.
  const int32_t pressed = PixelToPoint(plot, v.DisplayWidth, press.x());
  EXPECT_NEAR(pressed, 20, 1);
  EXPECT_EQ(v.Mark1X, pressed);
  EXPECT_EQ(v.Mark2Y, plot.T + 280);

  const QPoint drag(PointToPixel(plot, v.DisplayWidth, 40), plot.T + 100);
  Mouse(form->Image1, QEvent::MouseMove, Qt::LeftButton, drag);
  const int32_t dragged = PixelToPoint(plot, v.DisplayWidth, drag.x());
  EXPECT_EQ(v.Mark1X, dragged);
  EXPECT_EQ(v.Mark2Y, plot.T + 100);
  EXPECT_EQ(v.Mark2X, 90);
  EXPECT_EQ(v.Mark1Y, plot.T + 20);

  Mouse(form->Image1, QEvent::MouseButtonRelease, Qt::LeftButton, drag);
  EXPECT_EQ(v.DragMode, 0);
  Mouse(form->Image1, QEvent::MouseMove, Qt::NoButton, press);
  EXPECT_EQ(v.Mark1X, dragged);

  // Mark 1's cursor is drawn over the picture where it now is, and the
  // readout is posted.
  const QImage* layer = form->MarksLayer();
  ASSERT_NE(layer, nullptr);
  const int x1 = PointToPixel(plot, v.DisplayWidth, dragged);
  EXPECT_EQ(layer->pixelColor(x1, plot.T + plot.H / 2).rgb(), MarkColour(kSlotYellowMark).rgb());
  EXPECT_EQ(layer->pixelColor(PointToPixel(plot, v.DisplayWidth, pressed), plot.T + plot.H / 2).alpha(), 0);
  EXPECT_TRUE(StartsWith(form->PostedStatusText(), "两标线时差△T=")) << form->PostedStatusText();
  const QImage shown = form->Image1->grab().toImage();
  EXPECT_EQ(shown.pixelColor(x1, plot.T + plot.H / 2).rgb(), MarkColour(kSlotYellowMark).rgb());
}

TEST_F(FormMainMarks, EveryRepaintOfTheWaveformDrawsTheMarks) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  const MarkPlot plot = Plot(*form);
  v.Mark2X = 60;
  v.RepaintRequested = 1;
  form->PostStatusText("");
  form->Timer2Timer();
  const int x2 = PointToPixel(plot, v.DisplayWidth, 60);
  EXPECT_EQ(form->MarksLayer()->pixelColor(x2, plot.T + 5).rgb(), MarkColour(kSlotRedMark).rgb());
  EXPECT_TRUE(StartsWith(form->PostedStatusText(), "两标线时差△T="));
}

TEST_F(FormMainMarks, OscilloscopeWithNeitherMarkerLineHidesTheLabelsAndPostsNothing) {
  auto form = ShownWithData();
  state.display.DataSourceMode = 2;
  state.oscilTool.MeasTime = 0;
  state.oscilTool.MeasVolt = 0;
  form->Label_Mark1->show();
  form->Label_Mark2->show();
  form->PostStatusText("before");
  form->DrawMarks();
  EXPECT_FALSE(form->Label_Mark1->isVisible());
  EXPECT_FALSE(form->Label_Mark2->isVisible());
  EXPECT_EQ(form->PostedStatusText(), "before");

  // With a marker line on and the oscilloscope stopped, the labels show.
  state.oscilTool.MeasVolt = 1;
  form->DrawMarks();
  EXPECT_TRUE(form->Label_Mark1->isVisible());
  EXPECT_TRUE(form->Label_Mark2->isVisible());
  EXPECT_TRUE(StartsWith(form->PostedStatusText(), " AD电压差=")) << form->PostedStatusText();
}

TEST_F(FormMainMarks, WhileTheLiveDisplayRecordsTheLabelsAreHidden) {
  auto form = ShownWithData();
  form->Label_Mark1->show();
  form->Label_Mark2->show();
  state.RunState = kRunRecording;
  ASSERT_TRUE(state.wave.Options.Monitor);
  form->DrawMarks();
  EXPECT_FALSE(form->Label_Mark1->isVisible());
  EXPECT_FALSE(form->Label_Mark2->isVisible());
  state.RunState = kRunIdle;
}

TEST_F(FormMainMarks, AtARecordingsStopTheLabelsPaintedWhileRecordingLeaveTheLayer) {
  auto form = ShownWithData();
  form->DrawMarks();
  const QImage linesOnly = form->MarksLayer()->copy();
  state.RunState = kRunRecording;
  form->DrawMarks();
  ASSERT_NE(form->MarksLayer()->copy(), linesOnly);  // the labels are painted in

  state.RunState = kRunIdle;
  form->ShowMarkLabelsAfterRecording();
  EXPECT_EQ(form->MarksLayer()->copy(), linesOnly);
  EXPECT_TRUE(form->Label_Mark1->isVisible());
  EXPECT_TRUE(form->Label_Mark2->isVisible());
}

TEST_F(FormMainMarks, ALeftPressOnMark1sLabelAtTheFirstPointMovesOnlyItsLevelLine) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  v.Mark1X = 1;
  v.Mark1Y = 100;
  form->Label_Mark1->resize(40, 20);
  Mouse(form->Label_Mark1, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  EXPECT_EQ(v.Mark1X, 1);
  EXPECT_EQ(v.Mark1Y, 99);
  v.Mark2X = 50;
  form->Label_Mark2->resize(40, 20);
  Mouse(form->Label_Mark2, QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
  EXPECT_EQ(v.Mark2X, 50);
}

TEST_F(FormMainMarks, LabelsStandBesideTheirMarksInTheirOwnFont) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  ASSERT_TRUE(v.Options.Trace);
  const MarkPlot plot = Plot(*form);
  v.Mark1X = 10;
  v.Mark2X = v.DisplayWidth;  // the last column: its label goes left of it
  form->DrawMarks();
  for (QLabel* label : {form->Label_Mark1, form->Label_Mark2}) {
    EXPECT_EQ(label->font().family(), "Times New Roman");
    EXPECT_EQ(label->font().pixelSize(), 13);
    EXPECT_EQ(label->toolTip(), "右键改变属性");
  }
  const int x1 = PointToPixel(plot, v.DisplayWidth, 10);
  const int x2 = PointToPixel(plot, v.DisplayWidth, v.DisplayWidth);
  EXPECT_EQ(form->Label_Mark1->x(), MarkLabelLeft(form->Image1->x(), form->Image1->width(), x1,
                                                  form->Label_Mark1->width()));
  EXPECT_EQ(form->Label_Mark2->x(), x2 - form->Label_Mark2->width() - 8);
  // A drag puts the moved mark's label below its level.
  Mouse(form->Image1, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(x1, plot.T + 40));
  EXPECT_EQ(form->Label_Mark1->y(), form->Image1->y() + plot.T + 40 + 8);
  Mouse(form->Image1, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(x1, plot.T + 40));
}

TEST_F(FormMainMarks, WithoutDataOnDisplayTheMouseMovesNothing) {
  auto form = ShownWithData();
  WaveViewState& v = state.wave;
  state.display.DispValid = 0;
  v.Mark1X = 10;
  Mouse(form->Image1, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(300, 100));
  EXPECT_EQ(v.DragMode, 0);
  EXPECT_EQ(v.Mark1X, 10);
}

}  // namespace

namespace {

TEST_F(FormMainMarks, LabelsStartBesideTheStoredLevelLinesBeforeAnyDrag) {
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "Mark1_V", 200);
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "Mark2_V", 100);
  auto form = ShownWithData();
  ASSERT_EQ(state.wave.Mark1Y, 200);
  EXPECT_EQ(form->Label_Mark1->y(), form->Image1->y() + 200 + 8);
  EXPECT_EQ(form->Label_Mark2->y(), form->Image1->y() + 100 + 8);
}

}  // namespace
