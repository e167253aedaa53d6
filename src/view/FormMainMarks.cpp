// The two marks of the main waveform view: picking and dragging them with
// the mouse, stepping them from their labels, dragging a page channel in the
// scale area, and drawing the marks, their readout and their value labels.
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/NumberFormat.h"
#include "common/TextUtil.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"
#include "view/MarkLabels.h"
#include "view/MarkValues.h"
#include "view/MarkDrawing.h"
#include "view/MarkGeometry.h"
#include "view/MarkMoves.h"
#include "view/MarkReadout.h"
#include "view/PaintBox.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

constexpr int32_t kOscilloscopeSource = 2;
// The value labels' font: Times New Roman, 13 pixels; painted into the
// picture it is given in points, as every canvas font is.
const char* const kMarkLabelFontName = "Times New Roman";
constexpr int kMarkLabelPixelSize = 13;
constexpr int kMarkLabelPointSize = 10;

// Hands a label's mouse presses to its handler.
class LabelPressFilter : public QObject {
 public:
  LabelPressFilter(QObject* parent, std::function<void(Qt::MouseButton)> pressed)
      : QObject(parent), pressed_(std::move(pressed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return QObject::eventFilter(watched, event);
    pressed_(static_cast<QMouseEvent*>(event)->button());
    return true;
  }

 private:
  std::function<void(Qt::MouseButton)> pressed_;
};

MarkButton ToMarkButton(Qt::MouseButton button) {
  if (button == Qt::RightButton) return MarkButton::Right;
  if (button == Qt::MiddleButton) return MarkButton::Middle;
  return MarkButton::Left;
}

// A label's caption as the label control shows it: its lines, Qt's way.
QString LabelText(const std::string& caption) {
  QStringList lines;
  for (const std::string& line : SplitLines(caption)) lines << Q(line);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void TFormMain::BuildMarkControls() {
  QFont font(QString::fromLatin1(kMarkLabelFontName));
  font.setPixelSize(kMarkLabelPixelSize);
  Label_Mark1->setFont(font);
  Label_Mark2->setFont(font);
  Label_Mark1->installEventFilter(
      new LabelPressFilter(Label_Mark1, [this](Qt::MouseButton b) { Label_Mark1MouseDown(b); }));
  Label_Mark2->installEventFilter(
      new LabelPressFilter(Label_Mark2, [this](Qt::MouseButton b) { Label_Mark2MouseDown(b); }));
  Image1->onMouseDown = [this](Qt::MouseButton b, int x, int y) { Image1MouseDown(b, x, y); };
  Image1->onMouseMove = [this](int x, int y) { Image1MouseMove(x, y); };
  Image1->onMouseUp = [this](Qt::MouseButton b, int x, int y) { Image1MouseUp(b, x, y); };
}

MarkPlot TFormMain::CurrentMarkPlot() const {
  return MarkPlotOf(state_.wave.Options, state_.labels, Image1->width(), Image1->height());
}

std::string TFormMain::MarkCaption(int32_t a, int mark) {
  MarkSource source = MainWindowMarkSource(state_);
  return MarkLabelText(source, a, mark);
}

std::string TFormMain::OscMarkCaption(int32_t a, int mark) {
  MarkSource source = MainWindowMarkSource(state_);
  return OscMarkText(source, a, mark);
}

const std::string& TFormMain::MarkLabelCaption(int mark) const { return markCaptions_[mark == 2 ? 1 : 0]; }

void TFormMain::Image1MouseDown(Qt::MouseButton button, int X, int Y) {
  WaveViewState& v = state_.wave;
  if (PressWaveform(v, state_.display, CurrentMarkPlot(), state_.labels.ScreenTextHeight, ToMarkButton(button), X,
                    Y)) {
    MoveMark(v.NearerMarkX, v.NearerMarkY, X, Y);
  }
}

void TFormMain::Image1MouseMove(int X, int Y) {
  WaveViewState& v = state_.wave;
  if (state_.display.DispValid == 0) return;
  if (v.DragMode == 1) {
    MoveMark(v.NearerMarkX, v.NearerMarkY, X, Y);
  } else if (v.DragMode == 2) {
    DragPageChannel(Y);
  }
}

void TFormMain::Image1MouseUp(Qt::MouseButton /*button*/, int /*X*/, int /*Y*/) { state_.wave.DragMode = 0; }

void TFormMain::MoveMark(int timeMark, int levelMark, int X, int Y) {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  const MarkPlot plot = CurrentMarkPlot();
  const int y = std::max(Y, plot.T);
  if (state_.wave.Options.Trace || d.DataSourceMode == kOscilloscopeSource) {
    QLabel* label = timeMark == 0 ? Label_Mark1 : Label_Mark2;
    label->move(label->x(), MarkLabelTop(Image1->y(), Image1->height(), label->height(), y));
  }
  if (MoveMarkState(state_.wave, d, state_.oscilTool, plot, timeMark, levelMark, X, Y) ==
      MarkMoveResult::RedrawMarks) {
    RedrawMarks();
  }
}

void TFormMain::DragPageChannel(int Y) { quelvar::DragPageChannel(state_.wave, CurrentMarkPlot(), Y); }

void TFormMain::RedrawMarks() {
  if (state_.wave.ViewMode == 0) DrawMarks();
}

QImage& TFormMain::ClearedMarksLayer() {
  const QSize size(std::max(Image1->width(), 1), std::max(Image1->height(), 1));
  if (!marksLayer_ || marksLayer_->size() != size) {
    marksLayer_ = std::make_unique<QImage>(size, QImage::Format_ARGB32_Premultiplied);
  }
  marksLayer_->fill(Qt::transparent);
  return *marksLayer_;
}

void TFormMain::ClearMarksLayer() {
  if (marksLayer_) marksLayer_->fill(Qt::transparent);
}

void TFormMain::PlaceMarkLabels(const MarkPlot& plot, const MarkColours& colours, bool painted) {
  const WaveViewState& v = state_.wave;
  QLabel* const labels[] = {Label_Mark1, Label_Mark2};
  const int columns[] = {PointToPixel(plot, v.DisplayWidth, v.Mark1X), PointToPixel(plot, v.DisplayWidth, v.Mark2X)};
  if (!markLabelTopsPlaced_) {
    markLabelTopsPlaced_ = true;
    const int levels[] = {v.Mark1Y, v.Mark2Y};
    for (int i = 0; i < 2; ++i) {
      labels[i]->move(labels[i]->x(),
                      MarkLabelTop(Image1->y(), Image1->height(), labels[i]->height(), std::max(levels[i], plot.T)));
    }
  }
  const platform::Color markColours[] = {colours.mark1, colours.mark2};
  if (!painted) {
    for (int i = 0; i < 2; ++i) {
      QLabel* label = labels[i];
      label->move(MarkLabelLeft(Image1->x(), Image1->width(), columns[i], label->width()), label->y());
      label->update();
    }
    return;
  }
  // While live data run the labels would flicker over the picture: their
  // texts are painted into it instead.
  platform::QtCanvas canvas(*marksLayer_);
  canvas.SetFont({kMarkLabelFontName, kMarkLabelPointSize, 0, platform::kBlack});
  const bool white = PaletteRow(v.WhiteBG) == kPaletteRowWhite;
  for (int i = 0; i < 2; ++i) {
    QLabel* label = labels[i];
    label->hide();
    const PaintedMarkLabel painted{markCaptions_[i], columns[i], label->y(), markColours[i]};
    const int left = PaintMarkLabel(canvas, painted, Image1->x(), Image1->width(), white, v.Options.BGTrans);
    label->move(left, label->y());
  }
}

void TFormMain::SetMarkCaptions(const std::string& first, const std::string& second) {
  markCaptions_[0] = first;
  markCaptions_[1] = second;
  QLabel* const labels[] = {Label_Mark1, Label_Mark2};
  for (int i = 0; i < 2; ++i) {
    labels[i]->setText(LabelText(markCaptions_[i]));
    labels[i]->adjustSize();
  }
}

void TFormMain::DrawMarks() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  if (d.DataSourceMode == kOscilloscopeSource) {
    DrawOscMarks();
    return;
  }
  WaveViewState& v = state_.wave;
  const MarkPlot plot = CurrentMarkPlot();
  ClampMarks(v, plot);
  const MarkColours colours = MarkColoursOf(state_.config, v.WhiteBG);
  {
    platform::QtCanvas canvas(ClearedMarksLayer());
    DrawMarkLines(canvas, v, plot, colours, v.Options.ViewV);
  }
  const MarkReadoutInput readout{&d, state_.config.NumSamp, state_.layout.MaxMultiFreq, state_.layout.MaxChannelRate};
  PostStatusText(MarkReadoutText(v, plot, readout));
  if (v.Options.Trace) {
    SetMarkCaptions(MarkCaption(SaturateToInt32(int64_t{v.XPosition} + v.Mark1X), 1),
                    MarkCaption(SaturateToInt32(int64_t{v.XPosition} + v.Mark2X), 2));
    PlaceMarkLabels(plot, colours, state_.RunState == kRunRecording && v.Options.Monitor);
  }
  Image1->update();
}

void TFormMain::ShowMarkLabelsAfterRecording() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0 || d.DataSourceMode == kOscilloscopeSource) return;
  // The labels were painted into the marks layer while recording: the layer
  // keeps only the lines once the labels show again, or both would show.
  WaveViewState& v = state_.wave;
  const MarkPlot plot = CurrentMarkPlot();
  ClampMarks(v, plot);
  const MarkColours colours = MarkColoursOf(state_.config, v.WhiteBG);
  {
    platform::QtCanvas canvas(ClearedMarksLayer());
    DrawMarkLines(canvas, v, plot, colours, v.Options.ViewV);
  }
  PlaceMarkLabels(plot, colours, false);
  Label_Mark1->show();
  Label_Mark2->show();
  Image1->update();
}

void TFormMain::DrawOscMarks() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid == 0) return;
  const OscilToolSettings& o = state_.oscilTool;
  if (o.MeasTime == 0 && o.MeasVolt == 0) {
    // No marker lines: the old ones go from the screen with the labels.
    ClearMarksLayer();
    Image1->update();
    Label_Mark1->hide();
    Label_Mark2->hide();
    return;
  }
  WaveViewState& v = state_.wave;
  const MarkPlot plot = CurrentMarkPlot();
  ClampMarks(v, plot);
  const MarkColours colours = MarkColoursOf(state_.config, v.WhiteBG);
  {
    platform::QtCanvas canvas(ClearedMarksLayer());
    DrawOscMarkLines(canvas, v, plot, colours, o.MeasTime != 0, o.MeasVolt != 0);
  }
  SetMarkCaptions(OscMarkCaption(SaturateToInt32(int64_t{v.XPosition} + v.Mark1X), 1),
                  OscMarkCaption(SaturateToInt32(int64_t{v.XPosition} + v.Mark2X), 2));
  const bool running = state_.RunState == kRunOscilloscope && state_.acq.OscilPaused == 0;
  PlaceMarkLabels(plot, colours, running);
  if (!running) {
    Label_Mark1->show();
    Label_Mark2->show();
  }
  PostStatusText(OscMarkReadoutText(v, plot, o, state_.config.Analog_Num, state_.layout.MaxChannelRate));
  Image1->update();
}

// The right button also opens the label's menu of value kinds.
void TFormMain::Label_Mark1MouseDown(Qt::MouseButton button) {
  StepMarkFromLabel(state_.wave, 1, ToMarkButton(button));
  RedrawMarks();
  if (button == Qt::RightButton) PopupMenuMark1->popup(QCursor::pos());
}

void TFormMain::Label_Mark2MouseDown(Qt::MouseButton button) {
  StepMarkFromLabel(state_.wave, 2, ToMarkButton(button));
  RedrawMarks();
  if (button == Qt::RightButton) PopupMenuMark2->popup(QCursor::pos());
}

}  // namespace quelvar
