#pragma once

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>

#include "auxwin/XYPlot.h"
#include "common/AppState.h"

class QAction;
class QFrame;
class QMenu;

namespace quelvar::platform {
class Canvas;
class Picture;
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class PaintBox;
class TFormMain;

// The X-Y window: analog channels of the main view plotted against each
// other (auxwin/XYPlot), redrawn by the main window after each repaint while
// shown. Its settings are the ticks of its pop-up menu, kept in
// "\XYDisplay"; its picture copy goes through the main window's picture
// options dialog and shared picture.
class TFormXYDisplay : public QWidget {
  Q_OBJECT
 public:
  TFormXYDisplay(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
                 QWidget* parent = nullptr);
  ~TFormXYDisplay() override;

  QFrame* Panel1 = nullptr;
  PaintBox* Image1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* menuTopmost = nullptr;
  QAction* menuAutoView = nullptr;
  QAction* menuWhiteBackground = nullptr;
  QAction* menuScatterPlot = nullptr;
  QAction* menuInstCross = nullptr;  // not shown in the menu
  QAction* menuCopyBitmap = nullptr;

  // The plot as last drawn, always the size of Image1.
  QImage Picture;
  int32_t PlotLeft = 0;
  int32_t PlotWidth = 1;
  int32_t PlotTop = 0;
  int32_t PlotHeight = 1;
  double CrossX = 0.0;
  double CrossY = 0.0;
  double XVoltsPerDiv = 2.0;
  double XCentreVolts = 0.0;
  double YVoltsPerDiv = 2.0;
  double YCentreVolts = 0.0;
  int32_t XChannel = 0;
  int32_t YChannel = 0;
  // What the window shows when there is nothing to plot.
  std::string XYMessage;
  // A mouse button is held down on the plot.
  bool XYTracking = false;

  void DrawXY(platform::Canvas& canvas, bool forPicture, bool colour, bool whiteBackground);
  void Redraw();
  void DrawCrossHair();
  void MoveCrossHair(int x, int y);
  void DrawToMetafile(int32_t whiteBackground);
  // What Image1 shows: Picture with the cross-hair when it is on, or the
  // picture options' preview until the next drawing.
  QImage ShownImage() const;
  void ShowPictureOverImage1(const platform::Picture& picture);

  void FormCreate();
  void FormDestroy();
  void FormResize();
  void FormShow();
  void Image1Paint(class QPainter& painter);
  void menuTopmostClick();
  void menuAutoViewClick();
  void menuWhiteBackgroundClick();
  void menuScatterPlotClick();
  void menuInstCrossClick();
  void Image1MouseDown(int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp(int x, int y);
  void menuCopyBitmapClick();

 protected:
  void resizeEvent(class QResizeEvent* event) override;
  void showEvent(class QShowEvent* event) override;

 private:
  bool HasData() const { return state_.display.DispValid != 0; }
  bool CrossHairOn() const;
  XYPlotSource Source() const;
  void KeepOnTop();
  void Toggle(QAction* item);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  TFormMain& main_;
  XYPlotGeometry screenPlot_;
  std::unique_ptr<QImage> preview_;
  bool destroyed_ = false;
};

}  // namespace quelvar
