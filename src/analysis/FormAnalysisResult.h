#pragma once

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "analysis/AnalysisGraph.h"
#include "analysis/AnalysisResult.h"
#include "common/AppState.h"

class QAction;
class QFrame;
class QMenu;
class QScrollBar;
class QTimer;

namespace quelvar::platform {
class Canvas;
class Picture;
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class PaintBox;
class StringGrid;
class TFormMain;

// The analysis-result window: the curve an analysis panel handed over
// (Result) as a graph with cursors, or as a value grid. It polls Result with
// its 100 ms timer while shown; the panels never draw into it. The graph
// (analysis/AnalysisGraph) is drawn into an off-screen bitmap; the cursors
// and their readout stand over it on PaintBox1 only. Its picture copy goes
// through the main window's picture options dialog and shared picture.
class TFormSpectrum : public QWidget {
  Q_OBJECT
 public:
  TFormSpectrum(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
                QWidget* parent = nullptr);
  ~TFormSpectrum() override;

  // The result and the view: one each, this window being made once.
  AnalysisResult Result;
  ResultViewState View;

  QFrame* Panel1 = nullptr;
  PaintBox* PaintBox1 = nullptr;
  QScrollBar* ScrollBarXPosition = nullptr;
  QScrollBar* ScrollBarYPosition = nullptr;
  QFrame* Panel2 = nullptr;
  StringGrid* Grid1 = nullptr;
  QScrollBar* ScrollBarGridStart = nullptr;
  QTimer* Timer1 = nullptr;
  // The graph as last drawn, the size of PaintBox1.
  QImage Bitmap;

  QMenu* PopupMenuMain = nullptr;
  QAction* menuCopyGraph = nullptr;
  QAction* menuTopWin = nullptr;
  QAction* menuPic = nullptr;
  QAction* menuLinearAxis = nullptr;
  QAction* menuHalfLog = nullptr;
  QAction* menuDualLog = nullptr;
  QAction* menuXGrid = nullptr;
  QAction* menuYGrid = nullptr;
  QAction* menuInstValue = nullptr;
  QAction* menuTextBG = nullptr;
  QMenu* PopupMenuXZoom = nullptr;
  std::vector<QAction*> menuXZooms;  // menuXZoom1 .. menuXZoom100
  QAction* menuXZoomAny = nullptr;
  QAction* menuSetGridStart = nullptr;
  QMenu* PopupMenuYZoom = nullptr;
  std::vector<QAction*> menuYZooms;  // menuYZoom1 .. menuYZoom100
  QMenu* PopupMenuGridRow = nullptr;
  QAction* menuAddRow1 = nullptr;
  QAction* menuAddRow2 = nullptr;
  QAction* menuDelRow1 = nullptr;
  QAction* menuDelRow2 = nullptr;
  QAction* menuAddCol1 = nullptr;
  QAction* menuAddCol2 = nullptr;
  QAction* menuDelCol1 = nullptr;
  QAction* menuDelCol2 = nullptr;

  // Reads the extremes and sizes the grid and scroll bars for Result; 1.
  int32_t LoadResult();
  void Timer1Timer();
  void Redraw();
  void DrawScreen();
  void PaintBox1Paint(class QPainter& painter);
  void DrawGraph(platform::Canvas& canvas, bool toPicture, bool colour);
  void DrawToMetafile();
  void FillValueGrid();
  // Repaints PaintBox1: the bitmap with the cursors' readout over it.
  void DrawReadout();
  void MoveCursor(int32_t cursor, int y, int x);
  // What PaintBox1 shows: the bitmap with the readout, or the picture
  // options' preview until the next drawing.
  QImage ShownImage() const;
  void ShowPictureOverPaintBox(const platform::Picture& picture);

  void menuCopyGraphClick();
  void menuTopWinClick();
  void menuPicClick();
  void menuLinearAxisClick();
  void menuHalfLogClick();
  void menuDualLogClick();
  void menuXGridClick();
  void menuYGridClick();
  void menuInstValueClick();
  void menuTextBGClick();
  void menuXZoom1Click() { XZoomClick(0); }
  void menuXZoom2Click() { XZoomClick(1); }
  void menuXZoom5Click() { XZoomClick(2); }
  void menuXZoom10Click() { XZoomClick(3); }
  void menuXZoom20Click() { XZoomClick(4); }
  void menuXZoom50Click() { XZoomClick(5); }
  void menuXZoom100Click() { XZoomClick(6); }
  void menuXZoomAnyClick();
  void menuSetGridStartClick();
  void menuYZoom1Click() { YZoomClick(0); }
  void menuYZoom2Click() { YZoomClick(1); }
  void menuYZoom5Click() { YZoomClick(2); }
  void menuYZoom10Click() { YZoomClick(3); }
  void menuYZoom20Click() { YZoomClick(4); }
  void menuYZoom50Click() { YZoomClick(5); }
  void menuYZoom100Click() { YZoomClick(6); }
  void menuAddRow1Click() { ChangeRowBlocks(1); }
  void menuAddRow2Click() { ChangeRowBlocks(2); }
  void menuDelRow1Click() { ChangeRowBlocks(-1); }
  void menuDelRow2Click() { ChangeRowBlocks(-2); }
  void menuAddCol1Click() { ChangeColumns(1); }
  void menuAddCol2Click() { ChangeColumns(2); }
  void menuDelCol1Click() { ChangeColumns(-1); }
  void menuDelCol2Click() { ChangeColumns(-2); }
  void Panel1Click();
  void Panel2Click();
  void ScrollBarXPositionChange();
  void ScrollBarYPositionChange();
  void ScrollBarGridStartChange();
  void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
  void PaintBox1MouseMove(int x, int y);
  void PaintBox1MouseUp();

  void FormCreate();
  void FormDestroy();
  void FormResize();
  void FormShow();
  void FormHide();

 protected:
  void resizeEvent(class QResizeEvent* event) override;
  void showEvent(class QShowEvent* event) override;
  void hideEvent(class QHideEvent* event) override;
  bool eventFilter(QObject* watched, class QEvent* event) override;

 private:
  void XZoomClick(size_t entry);
  void ApplyXZoom(int32_t zoom);
  void YZoomClick(size_t entry);
  void ChangeRowBlocks(int32_t by);
  void ChangeColumns(int32_t by);
  void ShapeGrid(int32_t curves);
  void CheckAxis(QAction* item);
  void ShowGraph(bool graph);
  // Sets RedrawPending while a result is valid and the panel is shown.
  void RequestGraphRedraw();
  void RequestTableRedraw();
  bool GraphShown() const;
  void KeepOnTop();
  platform::Font ScreenFont() const;

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  TFormMain& main_;
  std::unique_ptr<QImage> preview_;
  // The bitmap with the cursors' readout, as PaintBox1 shows it.
  QImage shown_;
  bool destroyed_ = false;
  bool settingYPosition_ = false;
};

// A panel's hand-over of a result: clears Valid, stores the curve with the
// kind's title and labels (`a` and `b` the two channels' names), loads it,
// selects the dB axis, the whole X range and Y zoom 1, sets Valid and
// RedrawPending and shows the window when hidden. An empty or uneven result
// is refused (false): Valid stays cleared and nothing else changes.
bool HandOverAnalysisResult(TFormSpectrum& window, int32_t kind, const std::vector<double>& x,
                            const std::vector<double>& y, const std::string& a, const std::string& b);

}  // namespace quelvar
