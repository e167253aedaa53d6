// The shown view as a picture: drawn into the shared picture and put on the clipboard.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <optional>
#include <string>
#include <vector>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtVectorPicture.h"
#include "platform/PrintTarget.h"
#include "shell/FormMain.h"
#include "view/DisplayLayout.h"
#include "view/FormGraphType.h"
#include "view/OscilloscopeRenderer.h"
#include "view/PaintBox.h"
#include "view/PictureMarks.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"

namespace quelvar {

namespace {

constexpr int32_t kCallerMainWindow = 0;

}  // namespace

void TFormMain::BuildPictureCommands() {
  connect(menuCopyWave, &QAction::triggered, this, [this] { menuCopyWaveClick(); });
}

void TFormMain::SetGraphTypeDialog(TFormGraphType* dialog) {
  graphTypeDialog_ = dialog;
  if (dialog == nullptr) return;
  dialog->SetCallerPreview(kCallerMainWindow, [this] {
    DrawToMetafile();
    ShowPictureOverImage1(SharedPicture());
  });
  dialog->SetPrinterPageSize([this] {
    const PrinterPage page = CurrentPrinterPage();
    return PictureSize{page.Width, page.Height};
  });
}

TFormGraphType& TFormMain::GraphTypeDialog() {
  if (graphTypeDialog_ == nullptr) SetGraphTypeDialog(new TFormGraphType(state_, services_.registry, services_.ui, this));
  return *graphTypeDialog_;
}

TFormMain::PrinterPage TFormMain::CurrentPrinterPage() const {
  if (printTarget_ != nullptr) {
    return {printTarget_->PageWidth(), printTarget_->PageHeight(), printTarget_->PixelsPerInchX()};
  }
  return {Image1->width(), Image1->height(), offscreenBitmap_->logicalDpiY()};
}

void TFormMain::menuCopyWaveClick() {
  if (state_.display.DispValid == 0) {
    PostStatusText("提示：没有波形！");
    return;
  }
  if (state_.wave.ViewMode != 0) menuViewWaveClick();
  TFormGraphType& dialog = GraphTypeDialog();
  dialog.FillFromOptions();
  dialog.Caller = kCallerMainWindow;
  dialog.setWindowTitle(QStringLiteral("图形格式选项-AD时域波形"));
  const int result = services_.ui.ShowModal(dialog);
  state_.wave.RepaintRequested = 1;
  if (result != platform::kModalOk) return;
  if (state_.config.GraphMetafile != 0) {
    DrawToMetafile();
    services_.ui.SetClipboardPicture(SharedPicture());
  } else {
    services_.ui.SetClipboardPicture(platform::QtPicture(ScreenPicture()));
  }
}

std::unique_ptr<platform::QtCanvas> TFormMain::OpenSharedPictureCanvas(PictureSize screenSize, int screenDpi) {
  const LiveConfig& c = state_.config;
  const PrinterPage page = CurrentPrinterPage();
  const PictureSize userSize = graphTypeDialog_ != nullptr ? graphTypeDialog_->UserSize : PictureSize{};
  const PictureSize size = ChoosePictureSize(c.SizeScreen, screenSize, {page.Width, page.Height}, userSize);
  // Text keeps its size relative to the picture: a page gets the printer's
  // resolution, the other sizes the screen's.
  const int screenResolution = std::max(screenDpi, 1);
  const int resolution = c.SizeScreen == 1 && page.DotsPerInch > 0 ? page.DotsPerInch : screenResolution;
  SharedPicture().Reset(size.Width, size.Height, resolution);
  std::unique_ptr<platform::QtCanvas> canvas = SharedPicture().OpenCanvas();
  canvas->SetFont({c.WMFFontName, c.WMFFontSize, c.WMFFontStyle, platform::kBlack});
  return canvas;
}

void TFormMain::DrawToMetafile() {
  const LiveConfig& c = state_.config;
  std::unique_ptr<platform::QtCanvas> canvas =
      OpenSharedPictureCanvas({Image1->width(), Image1->height()}, offscreenBitmap_->logicalDpiY());

  // The scale labels measured on this canvas in the picture's font: the
  // picture's margins must fit its own text.
  const std::vector<std::string> texts = ScaleLabelTexts(c, state_.startup.PresentationMode);
  const int32_t textHeight = canvas->TextHeight("1");
  const int32_t labelWidth = WidestLabel(texts, [&](const std::string& t) { return canvas->TextWidth(t); });

  WaveformPaintInput input = ScreenWaveformInput(state_);
  input.ToPicture = 1;
  input.LineWidth = c.WMFLineWidth;
  input.OverlapPoints = 0;
  input.FixedScale = 0;
  input.WhiteBG = c.IDBGWhite;
  input.ScaleCount = c.WMFScaleNum;
  input.Colour = c.IsColor;
  input.TextHeight = textHeight;
  input.LabelWidth = labelWidth;
  // The picture is drawn from a copy of the view, so drawing it at another
  // size leaves what the screen shows (its rows, channels, scale) untouched.
  WaveViewState view = state_.wave;
  std::optional<OscilloscopePaintResult> oscilloscope;
  const WaveformPaintInput* self = &input;
  input.PaintOscilloscope = [this, self, &view, &oscilloscope](platform::Canvas& picture) {
    const OscilloscopeRun run{state_.RunState == kRunOscilloscope, state_.acq.OscilPaused != 0};
    oscilloscope = PaintOscilloscope(picture, *self, state_.oscilTool, view, run);
  };
  PaintWaveform(*canvas, input, view);
  if (oscilloscope) MirrorOscilloscopeAutoRange(*oscilloscope);

  const DisplayDescriptor& d = state_.display;
  if (d.DispValid != 0 &&
      PictureShowsMarks(c.IDIncludeInst, d.DataSourceMode, menuViewTrace->isChecked(), state_.oscilTool.MeasTime)) {
    PictureMarksInput marks;
    marks.PictureWidth = SharedPicture().Width();
    marks.PictureHeight = SharedPicture().Height();
    marks.ImageHeight = Image1->height();
    marks.ScaleOut = view.Options.ScaleOut;
    marks.PictureLabelWidth = labelWidth;
    marks.PictureTextHeight = textHeight;
    marks.DisplayWidth = view.DisplayWidth;
    marks.MarkX[0] = view.Mark1X;
    marks.MarkX[1] = view.Mark2X;
    const QLabel* const labels[] = {Label_Mark1, Label_Mark2};
    for (int i = 0; i < 2; ++i) {
      marks.Caption[i] = MarkLabelCaption(i + 1);
      marks.LabelTop[i] = labels[i]->y() - Image1->y();
    }
    marks.WhiteBG = c.IDBGWhite;
    marks.Colour = c.IsColor;
    marks.Transparent = menuBGTrans->isChecked();
    canvas->SetFont({c.WMFFontName, c.WMFFontSize, c.WMFFontStyle, platform::kBlack});
    DrawPictureMarks(*canvas, marks, c);
  }
}

QImage TFormMain::ScreenPicture() const {
  QImage picture = offscreenBitmap_->copy();
  if (state_.display.DispValid == 0 || state_.wave.ViewMode != 0) return picture;
  QPainter painter(&picture);
  if (marksLayer_) painter.drawImage(0, 0, *marksLayer_);
  // The value labels stand over the picture as controls of their own.
  for (QLabel* label : {Label_Mark1, Label_Mark2}) {
    if (label->isVisible()) label->render(&painter, label->pos() - Image1->pos());
  }
  return picture;
}

void TFormMain::ShowPictureOverImage1(const platform::Picture& picture) {
  std::unique_ptr<QImage> shown = platform::PictureOnWhite(Image1->size(), picture);
  // The value labels are controls over Image1: they would stand over the
  // picture, so they step aside until the view is drawn again.
  if (!pictureOverImage1_) labelsUnderPicture_ = {Label_Mark1->isVisible(), Label_Mark2->isVisible()};
  Label_Mark1->hide();
  Label_Mark2->hide();
  pictureOverImage1_ = std::move(shown);
  Image1->update();
}

void TFormMain::RemovePictureOverImage1() {
  if (!pictureOverImage1_) return;
  pictureOverImage1_.reset();
  Label_Mark1->setVisible(labelsUnderPicture_[0]);
  Label_Mark2->setVisible(labelsUnderPicture_[1]);
}

}  // namespace quelvar
