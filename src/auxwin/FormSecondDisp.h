#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "view/MarkGeometry.h"

class QAction;
class QImage;
class QLabel;
class QMenu;
class QPainter;
class QScrollBar;
class QStatusBar;
class QToolBar;

namespace quelvar::platform {
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class PaintBox;

// The second waveform window: another view of the display data the main
// window shows, with a view state, universal page and view history of its
// own. It has no timer: the main window's interface timer redraws it while
// it is shown and its request is set. The view options live in the check
// marks of its menu items; each paint reads them into its view state.
class TFormSecondDisp : public QWidget {
  Q_OBJECT
 public:
  TFormSecondDisp(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormSecondDisp() override;

  // The main window's hooks: its SetXWindow for the marks mapping, the
  // universal page dialog and the current-channel dialog (each returns true
  // on OK).
  std::function<void(int32_t first, int32_t count)> onMapToMainWave;
  std::function<bool()> runPageDialog;
  std::function<bool(const WaveViewState&)> runCurChnProp;

  // 1 when the picture is out of date.
  int32_t RepaintRequested = 0;
  WaveViewState& View() { return view_; }
  const UniversalPages& Page() const { return page_; }
  const QImage& Bitmap() const { return *offscreenBitmap_; }

  QWidget* Panel_Waveform = nullptr;
  PaintBox* Image1 = nullptr;
  QLabel* Label_Mark1 = nullptr;
  QLabel* Label_Mark2 = nullptr;
  QScrollBar* HScrollBar_XPosition = nullptr;
  QScrollBar* VScrollBar_YOffset = nullptr;
  QScrollBar* VScrollBar_Channel = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QAction* ToolButtonSelPage = nullptr;
  QAction* ToolButton1 = nullptr;
  QAction* ToolButtonXCompress = nullptr;
  QAction* ToolButtonXExpand = nullptr;
  QAction* ToolButtonYCompress = nullptr;
  QAction* ToolButtonYExpand = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  QMenu* PopupMenuBackGround = nullptr;
  QMenu* PopupMenuXZoom = nullptr;
  QMenu* PopupMenuACDC = nullptr;
  QMenu* PopupMenuYZoom = nullptr;
  QMenu* PopupMenuChn = nullptr;

  QAction* menuDC = nullptr;
  QAction* menuAC = nullptr;
  QAction* menuXZoom1 = nullptr;
  QAction* menuXZoom2 = nullptr;
  QAction* menuXZoom4 = nullptr;
  QAction* menuXZoom8 = nullptr;
  QAction* menuXZoom16 = nullptr;
  QAction* menuXZoomAny = nullptr;
  QAction* menuXZoomMark = nullptr;
  QAction* menuXScaleExpand = nullptr;
  QAction* menuXScaleCompress = nullptr;
  QAction* menuMapInstToMainWave = nullptr;
  QAction* menuPrevConf = nullptr;
  QAction* menuNextConf = nullptr;
  std::vector<QAction*> menuYZoom;  // menuYZoom1 .. menuYZoom2000
  QAction* menuYScaleExpand = nullptr;
  QAction* menuYScaleCompress = nullptr;
  QAction* menuCurChnProp = nullptr;
  QAction* menuWhiteBG = nullptr;
  QAction* menuDispScale = nullptr;
  QAction* menuXAxialTime = nullptr;
  QAction* menuAbsoluteTime = nullptr;
  QAction* menuViewXScale = nullptr;
  QAction* menuScaleOut = nullptr;
  QAction* menuViewGridLine = nullptr;
  QAction* menuViewGridPoint = nullptr;
  QAction* menuViewYGrid = nullptr;
  QAction* menuViewScaleAlways = nullptr;
  QAction* menuViewTrace = nullptr;
  QAction* menuBGTrans = nullptr;
  QAction* menuTopmost = nullptr;
  QAction* menuAutoView = nullptr;
  std::vector<QAction*> menuScope;  // menuScopeChannel .. menuScopePage, in ChannelScope order
  QAction* menuScopeVPage = nullptr;
  QAction* menuViewSwitch = nullptr;
  QAction* menuViewAnalog = nullptr;
  QAction* menuPhaseSingle = nullptr;
  QAction* menuPhaseMultiple = nullptr;
  QAction* menuViewIn1Axial = nullptr;

  // Life cycle and driving.
  void FormCreate();
  void FormDestroy();
  void FormResize();
  void FormShow();
  void FormHide();
  void RedrawWaveform();
  void RebuildPageLayout();
  void SetXWindow(int32_t first, int32_t count);
  void DrawMarks();

  // Commands.
  void YZoomPresetClick(int32_t gain);
  void menuYScaleExpandClick();
  void menuYScaleCompressClick();
  void menuDCClick();
  void menuACClick();
  void VScrollBar_YOffsetChange();
  void XZoomPresetClick(int32_t k);
  void menuXZoomAnyClick();
  void SetXPointCount(int32_t n);
  void menuXZoomMarkClick();
  void menuXScaleExpandClick();
  void menuXScaleCompressClick();
  void menuPrevConfClick();
  void menuNextConfClick();
  void HScrollBar_XPositionChange();
  void menuMapInstToMainWaveClick();
  void ScopeClick(ChannelScope scope);
  void menuScopeVPageClick();
  void SelectPageScope();
  void UpdateChannelScrollRange();
  void VScrollBar_ChannelChange();
  void VScrollBar_ChannelKeyDown(int key);
  void menuViewSwitchClick();
  void menuViewAnalogClick();
  void menuPhaseSingleClick();
  void menuPhaseMultipleClick();
  void menuWhiteBGClick();
  void menuDispScaleClick();
  void menuXAxialTimeClick();
  void menuAbsoluteTimeClick();
  void ToggleRedraw(QAction* item);
  void menuViewTraceClick();
  void menuBGTransClick();
  void menuTopmostClick();
  void menuAutoViewClick();
  void ToolButton1Click();
  void menuCurChnPropClick();
  void Image1MouseDown(Qt::MouseButton button, int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void ApplySettings();
  void ReadOptionsFromMenus();
  void CheckXZoomItem(QAction* item);
  void WidthTail();
  void RequestRedraw();
  void ShowAnyCount();
  void ApplyYZoom(int32_t oldGain);
  void SetScopeChecks(ChannelScope scope);
  void ColourLabels();
  void PlaceLabel(QLabel* label, int mark, int column);
  MarkPlot Plot() const;
  void Image1Paint(QPainter& painter);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  WaveViewState view_;
  UniversalPages page_;
  std::unique_ptr<QImage> offscreenBitmap_;
  bool destroyed_ = false;
  bool showMarks_ = false;
  bool labelTopsPlaced_ = false;
};

}  // namespace quelvar
