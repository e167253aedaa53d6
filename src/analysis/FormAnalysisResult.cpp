#include "analysis/FormAnalysisResult.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QHideEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

#include <algorithm>

#include "platform/RegistryStore.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"
#include "platform/qt/StringGrid.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"
#include "view/FormGraphType.h"
#include "view/PaintBox.h"
#include "view/PictureOptions.h"

namespace quelvar {

namespace {

constexpr int32_t kCallerAnalysisResult = 1;
// The designed place and size, used until a place is stored.
constexpr int kDesignedLeft = 120, kDesignedTop = 120, kDesignedWidth = 640, kDesignedHeight = 460;
constexpr int kSmallestClient = 150;
// Panel1 ends this far from the client's right and bottom edges.
constexpr int kPanelMargin = 8;
constexpr int kPanelLeft = 4, kPanelTop = 4;

QAction* Item(QMenu* menu, const char* name, const char* caption, bool checkable = false, bool checked = false) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  item->setCheckable(checkable);
  item->setChecked(checked);
  return item;
}

QScrollBar* NewScrollBar(QWidget* parent, const char* name, Qt::Orientation orientation) {
  auto* bar = new QScrollBar(orientation, parent);
  bar->setObjectName(name);
  bar->setContextMenuPolicy(Qt::CustomContextMenu);
  return bar;
}

}  // namespace

TFormSpectrum::TFormSpectrum(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                             TFormMain& main, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), ui_(ui), main_(main) {
  setObjectName("FormSpectrum");
  setWindowTitle(QStringLiteral("频谱分析波形显示"));
  setMinimumSize(kSmallestClient, kSmallestClient);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->installEventFilter(this);
  PaintBox1 = new PaintBox(Panel1);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  PaintBox1->onPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };
  PaintBox1->onMouseDown = [this](Qt::MouseButton button, int x, int y) { PaintBox1MouseDown(button, x, y); };
  PaintBox1->onMouseMove = [this](int x, int y) { PaintBox1MouseMove(x, y); };
  PaintBox1->onMouseUp = [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); };
  ScrollBarXPosition = NewScrollBar(Panel1, "ScrollBarXPosition", Qt::Horizontal);
  ScrollBarYPosition = NewScrollBar(Panel1, "ScrollBarYPosition", Qt::Vertical);
  ScrollBarYPosition->setRange(0, 99);
  ScrollBarYPosition->setPageStep(100);

  Panel2 = new QFrame(this);
  Panel2->setObjectName("Panel2");
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel2->installEventFilter(this);
  Grid1 = new StringGrid(Panel2);
  Grid1->setObjectName("Grid1");
  Grid1->SetEditable(false);
  Grid1->setContextMenuPolicy(Qt::CustomContextMenu);
  Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  ScrollBarGridStart = NewScrollBar(Panel2, "ScrollBarGridStart", Qt::Horizontal);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  // A click's own toggle of a checkable item is undone: the handlers set
  // the checks themselves.
  auto handle = [this](QAction* item, void (TFormSpectrum::*handler)()) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  };
  PopupMenuMain = new QMenu(this);
  PopupMenuMain->setObjectName("PopupMenuMain");
  menuCopyGraph = Item(PopupMenuMain, "menuCopyGraph", "拷贝图形到剪贴板");
  menuTopWin = Item(PopupMenuMain, "menuTopWin", "顶层窗口", true, false);
  menuPic = Item(PopupMenuMain, "menuPic", "显示图形", true, true);
  PopupMenuMain->addSeparator();
  menuLinearAxis = Item(PopupMenuMain, "menuLinearAxis", "线性坐标", true, true);
  menuHalfLog = Item(PopupMenuMain, "menuHalfLog", "半对数坐标", true, false);
  menuDualLog = Item(PopupMenuMain, "menuDualLog", "双对数坐标", true, false);
  menuDualLog->setVisible(false);
  PopupMenuMain->addSeparator();
  menuXGrid = Item(PopupMenuMain, "menuXGrid", "X网格线", true, true);
  menuYGrid = Item(PopupMenuMain, "menuYGrid", "Y网格线", true, true);
  menuInstValue = Item(PopupMenuMain, "menuInstValue", "瞬时值读数", true, true);
  menuTextBG = Item(PopupMenuMain, "menuTextBG", "读数底色透明", true, true);
  handle(menuCopyGraph, &TFormSpectrum::menuCopyGraphClick);
  handle(menuTopWin, &TFormSpectrum::menuTopWinClick);
  handle(menuPic, &TFormSpectrum::menuPicClick);
  handle(menuLinearAxis, &TFormSpectrum::menuLinearAxisClick);
  handle(menuHalfLog, &TFormSpectrum::menuHalfLogClick);
  handle(menuDualLog, &TFormSpectrum::menuDualLogClick);
  handle(menuXGrid, &TFormSpectrum::menuXGridClick);
  handle(menuYGrid, &TFormSpectrum::menuYGridClick);
  handle(menuInstValue, &TFormSpectrum::menuInstValueClick);
  handle(menuTextBG, &TFormSpectrum::menuTextBGClick);

  PopupMenuXZoom = new QMenu(this);
  PopupMenuXZoom->setObjectName("PopupMenuXZoom");
  const char* xNames[] = {"menuXZoom1", "menuXZoom2", "menuXZoom5", "menuXZoom10", "menuXZoom20", "menuXZoom50",
                          "menuXZoom100"};
  const char* xCaptions[] = {"X向全显示",    "X向2倍展宽",  "X向5倍展宽",  "X向10倍展宽",
                             "X向20倍展宽", "X向50倍展宽", "X向100倍展宽"};
  for (size_t i = 0; i < std::size(xNames); ++i) {
    QAction* item = Item(PopupMenuXZoom, xNames[i], xCaptions[i], true, i == 0);
    menuXZooms.push_back(item);
    connect(item, &QAction::triggered, this, [this, i] { XZoomClick(i); });
  }
  menuXZoomAny = Item(PopupMenuXZoom, "menuXZoomAny", "X向展开?倍()", true, false);
  handle(menuXZoomAny, &TFormSpectrum::menuXZoomAnyClick);
  PopupMenuXZoom->addSeparator();
  menuSetGridStart = Item(PopupMenuXZoom, "menuSetGridStart", "改网格显示起点为图形起点");
  handle(menuSetGridStart, &TFormSpectrum::menuSetGridStartClick);

  PopupMenuYZoom = new QMenu(this);
  PopupMenuYZoom->setObjectName("PopupMenuYZoom");
  const char* yNames[] = {"menuYZoom1", "menuYZoom2", "menuYZoom5", "menuYZoom10", "menuYZoom20", "menuYZoom50",
                          "menuYZoom100"};
  const char* yCaptions[] = {"波形放大倍数1",  "波形放大倍数2",  "波形放大倍数5",  "波形放大倍数10",
                             "波形放大倍数20", "波形放大倍数50", "波形放大倍数100"};
  for (size_t i = 0; i < std::size(yNames); ++i) {
    QAction* item = Item(PopupMenuYZoom, yNames[i], yCaptions[i], true, i == 0);
    menuYZooms.push_back(item);
    connect(item, &QAction::triggered, this, [this, i] { YZoomClick(i); });
  }

  PopupMenuGridRow = new QMenu(this);
  PopupMenuGridRow->setObjectName("PopupMenuGridRow");
  menuAddRow1 = Item(PopupMenuGridRow, "menuAddRow1", "增加1行");
  menuAddRow2 = Item(PopupMenuGridRow, "menuAddRow2", "增加2行");
  menuDelRow1 = Item(PopupMenuGridRow, "menuDelRow1", "减少1行");
  menuDelRow2 = Item(PopupMenuGridRow, "menuDelRow2", "减少2行");
  PopupMenuGridRow->addSeparator();
  menuAddCol1 = Item(PopupMenuGridRow, "menuAddCol1", "增加1列");
  menuAddCol2 = Item(PopupMenuGridRow, "menuAddCol2", "增加2列");
  menuDelCol1 = Item(PopupMenuGridRow, "menuDelCol1", "减少1列");
  menuDelCol2 = Item(PopupMenuGridRow, "menuDelCol2", "减少2列");
  handle(menuAddRow1, &TFormSpectrum::menuAddRow1Click);
  handle(menuAddRow2, &TFormSpectrum::menuAddRow2Click);
  handle(menuDelRow1, &TFormSpectrum::menuDelRow1Click);
  handle(menuDelRow2, &TFormSpectrum::menuDelRow2Click);
  handle(menuAddCol1, &TFormSpectrum::menuAddCol1Click);
  handle(menuAddCol2, &TFormSpectrum::menuAddCol2Click);
  handle(menuDelCol1, &TFormSpectrum::menuDelCol1Click);
  handle(menuDelCol2, &TFormSpectrum::menuDelCol2Click);

  auto popupOn = [this](QWidget* widget, QMenu* menu) {
    connect(widget, &QWidget::customContextMenuRequested, this, [this, widget, menu](const QPoint& at) {
      menu->exec(widget->mapToGlobal(at));
      // The release went to the menu.
      View.CursorDragging = 0;
    });
  };
  popupOn(PaintBox1, PopupMenuMain);
  popupOn(ScrollBarXPosition, PopupMenuXZoom);
  popupOn(ScrollBarYPosition, PopupMenuYZoom);
  popupOn(Grid1, PopupMenuGridRow);
  popupOn(ScrollBarGridStart, PopupMenuGridRow);

  connect(ScrollBarXPosition, &QScrollBar::valueChanged, this, [this] { ScrollBarXPositionChange(); });
  connect(ScrollBarYPosition, &QScrollBar::valueChanged, this, [this] { ScrollBarYPositionChange(); });
  connect(ScrollBarGridStart, &QScrollBar::valueChanged, this, [this] { ScrollBarGridStartChange(); });
  FormCreate();
}

TFormSpectrum::~TFormSpectrum() { FormDestroy(); }

void TFormSpectrum::FormCreate() {
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSpectrum", kSmallestClient);
  platform::CellGrid cells(ResultGridColCount(View), ResultGridRowCount(View, 1), 2, 0);
  // Columns as wide as a value of eight digits with its sign and exponent.
  cells.SetDefaultColWidth(Grid1->fontMetrics().horizontalAdvance(QStringLiteral("-8.8888888E-0088")) + 8);
  Grid1->SetCells(std::move(cells));
  Panel2->hide();
  Result.Valid = 0;
  Result.RedrawPending = 0;
  FormResize();
}

void TFormSpectrum::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormSpectrum");
}

platform::Font TFormSpectrum::ScreenFont() const {
  const LiveConfig& c = state_.config;
  return {c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack};
}

bool TFormSpectrum::GraphShown() const { return !Panel1->isHidden(); }

void TFormSpectrum::RequestGraphRedraw() {
  if (Result.Valid != 0 && GraphShown()) Result.RedrawPending = 1;
}

void TFormSpectrum::RequestTableRedraw() {
  if (Result.Valid != 0 && !Panel2->isHidden()) Result.RedrawPending = 1;
}

void TFormSpectrum::ShapeGrid(int32_t curves) {
  platform::CellGrid& cells = Grid1->Cells();
  cells.SetColCount(ResultGridColCount(View));
  cells.SetRowCount(ResultGridRowCount(View, curves));
  Grid1->Refresh();
}

int32_t TFormSpectrum::LoadResult() {
  LoadResultExtremes(Result, View);
  ShapeGrid(Result.Curves);
  const int32_t points = Result.Usable();
  ScrollBarGridStart->setMaximum(std::max(points - 1, 0));
  ScrollBarXPosition->setMaximum(std::max(points - 1, 0));
  View.VisiblePoints = points;
  // The screen font is taken by every drawing (ScreenFont).
  return 1;
}

void TFormSpectrum::Timer1Timer() {
  if (Result.Valid != 0 && Result.RedrawPending != 0) Redraw();
}

void TFormSpectrum::Redraw() {
  if (GraphShown()) {
    DrawScreen();
  } else {
    FillValueGrid();
  }
  Result.RedrawPending = 0;
}

void TFormSpectrum::DrawScreen() {
  preview_.reset();
  if (!Bitmap.isNull()) {
    platform::QtCanvas canvas(Bitmap);
    canvas.SetFont(ScreenFont());
    DrawGraph(canvas, false, true);
  }
  DrawReadout();
  Result.RedrawPending = 0;
}

void TFormSpectrum::DrawGraph(platform::Canvas& canvas, bool toPicture, bool colour) {
  // The cursors and the mouse refer to the screen's plot; a picture drawn at
  // another size leaves it as it is.
  const ResultPlotRect screenPlot = View.PlotRect;
  const ResultGraphInput input{ScrollBarXPosition->value(), ScrollBarYPosition->value(), colour};
  if (DrawResultGraph(canvas, Result, View, input)) CheckAxis(menuLinearAxis);
  if (toPicture) View.PlotRect = screenPlot;
}

void TFormSpectrum::DrawReadout() {
  shown_ = Bitmap.copy();
  if (Result.Valid != 0 && menuInstValue->isChecked() && GraphShown() && !shown_.isNull()) {
    platform::QtCanvas canvas(shown_);
    canvas.SetFont(ScreenFont());
    DrawResultReadout(canvas, Result, View, menuTextBG->isChecked());
  }
  PaintBox1->update();
}

QImage TFormSpectrum::ShownImage() const { return preview_ ? *preview_ : shown_; }

void TFormSpectrum::PaintBox1Paint(QPainter& painter) { painter.drawImage(0, 0, ShownImage()); }

void TFormSpectrum::ShowPictureOverPaintBox(const platform::Picture& picture) {
  preview_ = platform::PictureOnWhite(PaintBox1->size(), picture);
  PaintBox1->update();
}

void TFormSpectrum::MoveCursor(int32_t cursor, int y, int x) {
  if (Result.Valid == 0) return;
  MoveResultCursor(View, cursor, x, y);
  preview_.reset();
  DrawReadout();
}

void TFormSpectrum::DrawToMetafile() {
  const LiveConfig& c = state_.config;
  std::unique_ptr<platform::QtCanvas> canvas =
      main_.OpenSharedPictureCanvas({PaintBox1->width(), PaintBox1->height()}, logicalDpiY());
  DrawGraph(*canvas, true, c.IsColor != 0);
}

void TFormSpectrum::FillValueGrid() {
  FillResultValueGrid(Grid1->Cells(), Result, View);
  Grid1->Refresh();
  Result.RedrawPending = 0;
}

void TFormSpectrum::menuCopyGraphClick() {
  if (Result.Valid == 0 || !GraphShown()) return;
  TFormGraphType& dialog = main_.GraphTypeDialog();
  dialog.SetCallerPreview(kCallerAnalysisResult, [this] {
    DrawToMetafile();
    ShowPictureOverPaintBox(main_.SharedPicture());
  });
  dialog.FillFromOptions();
  dialog.Caller = kCallerAnalysisResult;
  dialog.setWindowTitle(QStringLiteral("图形格式选项-谱分析结果"));
  const int result = ui_.ShowModal(dialog);
  if (result != platform::kModalOk) {
    Result.RedrawPending = 1;
    return;
  }
  if (state_.config.GraphMetafile != 0) {
    DrawToMetafile();
    ui_.SetClipboardPicture(main_.SharedPicture());
    Result.RedrawPending = 1;
  } else {
    ui_.SetClipboardPicture(platform::QtPicture(Bitmap.copy()));
    // A preview drawn over the graph goes at the next tick.
    if (preview_) Result.RedrawPending = 1;
  }
}

void TFormSpectrum::KeepOnTop() {
  const bool onTop = menuTopWin->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

void TFormSpectrum::menuTopWinClick() {
  menuTopWin->setChecked(!menuTopWin->isChecked());
  KeepOnTop();
}

void TFormSpectrum::ShowGraph(bool graph) {
  menuPic->setChecked(graph);
  Panel1->setVisible(graph);
  Panel2->setVisible(!graph);
}

void TFormSpectrum::menuPicClick() {
  ShowGraph(!menuPic->isChecked());
  if (Result.Valid != 0) Result.RedrawPending = 1;
}

void TFormSpectrum::CheckAxis(QAction* item) {
  for (QAction* axis : {menuLinearAxis, menuHalfLog, menuDualLog}) axis->setChecked(axis == item);
}

void TFormSpectrum::menuLinearAxisClick() {
  CheckAxis(menuLinearAxis);
  View.LogAxis = 0;
  RequestGraphRedraw();
}

void TFormSpectrum::menuHalfLogClick() {
  CheckAxis(menuHalfLog);
  View.LogAxis = 1;
  RequestGraphRedraw();
}

void TFormSpectrum::menuDualLogClick() {
  CheckAxis(menuDualLog);
  View.LogAxis = 1;
  RequestGraphRedraw();
}

void TFormSpectrum::menuXGridClick() {
  menuXGrid->setChecked(!menuXGrid->isChecked());
  View.XGridOn = menuXGrid->isChecked() ? 1 : 0;
  RequestGraphRedraw();
}

void TFormSpectrum::menuYGridClick() {
  menuYGrid->setChecked(!menuYGrid->isChecked());
  View.YGridOn = menuYGrid->isChecked() ? 1 : 0;
  RequestGraphRedraw();
}

void TFormSpectrum::menuInstValueClick() {
  menuInstValue->setChecked(!menuInstValue->isChecked());
  if (Result.Valid != 0 && GraphShown()) DrawReadout();
}

void TFormSpectrum::menuTextBGClick() {
  menuTextBG->setChecked(!menuTextBG->isChecked());
  if (Result.Valid != 0 && GraphShown() && menuInstValue->isChecked()) DrawReadout();
}

void TFormSpectrum::XZoomClick(size_t entry) {
  for (size_t i = 0; i < menuXZooms.size(); ++i) menuXZooms[i]->setChecked(i == entry);
  menuXZoomAny->setChecked(false);
  ApplyXZoom(kResultXZooms[entry]);
}

void TFormSpectrum::ApplyXZoom(int32_t zoom) {
  View.XZoomFactor = zoom;
  menuXZoomAny->setText(QString::fromUtf8("X向展开?倍(%1)").arg(zoom));
  View.VisiblePoints = ResultVisiblePoints(Result.Usable(), zoom);
  ScrollBarXPosition->setPageStep(ResultXLargeChange(View.VisiblePoints));
  RequestGraphRedraw();
}

void TFormSpectrum::menuXZoomAnyClick() {
  for (QAction* item : menuXZooms) item->setChecked(false);
  const std::string current = std::to_string(View.XZoomFactor);
  const std::string text = ui_.InputBox("请输入X方向显示放大倍数", "X方向展开倍数:  ", current).value_or(current);
  const int32_t zoom = TypedResultXZoom(text, View.XZoomFactor, Result.Usable());
  menuXZoomAny->setChecked(true);
  ApplyXZoom(zoom);
}

void TFormSpectrum::menuSetGridStartClick() { ScrollBarGridStart->setValue(ScrollBarXPosition->value()); }

void TFormSpectrum::YZoomClick(size_t entry) {
  for (size_t i = 0; i < menuYZooms.size(); ++i) menuYZooms[i]->setChecked(i == entry);
  View.YZoomFactor = kResultYZooms[entry];
  ScrollBarYPosition->setPageStep(ResultYPage(View.YZoomFactor));
  ScrollBarYPosition->setSingleStep(ResultYPage(View.YZoomFactor));
  ScrollBarYPosition->setValue(SnapResultYPosition(ScrollBarYPosition->value(), View.YZoomFactor));
  RequestGraphRedraw();
}

void TFormSpectrum::ChangeRowBlocks(int32_t by) {
  View.GridRowBlocks = ClampResultGridRowBlocks(View.GridRowBlocks + by);
  ShapeGrid(Result.Valid != 0 ? Result.Curves : 1);
  RequestTableRedraw();
}

void TFormSpectrum::ChangeColumns(int32_t by) {
  View.GridColumns = ClampResultGridColumns(View.GridColumns + by);
  ShapeGrid(Result.Valid != 0 ? Result.Curves : 1);
  RequestTableRedraw();
}

void TFormSpectrum::Panel1Click() {
  ShowGraph(false);
  Result.RedrawPending = 1;
}

void TFormSpectrum::Panel2Click() {
  ShowGraph(true);
  Result.RedrawPending = 1;
}

void TFormSpectrum::ScrollBarXPositionChange() { RequestGraphRedraw(); }

void TFormSpectrum::ScrollBarYPositionChange() {
  if (settingYPosition_) return;
  const int32_t snapped = SnapResultYPosition(ScrollBarYPosition->value(), View.YZoomFactor);
  if (snapped != ScrollBarYPosition->value()) {
    settingYPosition_ = true;
    ScrollBarYPosition->setValue(snapped);
    settingYPosition_ = false;
  }
  RequestGraphRedraw();
}

void TFormSpectrum::ScrollBarGridStartChange() {
  View.GridStart =
      ClampResultGridStart(ScrollBarGridStart->value(), Result.Usable(), View.GridColumns, View.GridRowBlocks);
  if (Result.Valid != 0) FillValueGrid();
}

void TFormSpectrum::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
  if (button == Qt::RightButton || Result.Valid == 0 || !menuInstValue->isChecked()) return;
  PressResultCursor(View, x, y);
  preview_.reset();
  DrawReadout();
}

void TFormSpectrum::PaintBox1MouseMove(int x, int y) {
  if (Result.Valid != 0 && View.CursorDragging != 0) MoveCursor(View.ActiveCursor, y, x);
}

void TFormSpectrum::PaintBox1MouseUp() { View.CursorDragging = 0; }

void TFormSpectrum::FormResize() {
  const int w = std::max(width(), kSmallestClient);
  const int h = std::max(height(), kSmallestClient);
  Panel1->setGeometry(kPanelLeft, kPanelTop, w - kPanelMargin - kPanelLeft, h - kPanelMargin - kPanelTop);
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int frame = Panel1->frameWidth();
  const int innerWidth = std::max(Panel1->width() - 2 * frame, bar + 1);
  const int innerHeight = std::max(Panel1->height() - 2 * frame, bar + 1);
  PaintBox1->setGeometry(frame, frame, innerWidth - bar, innerHeight - bar);
  ScrollBarYPosition->setGeometry(frame + PaintBox1->width(), frame, bar, PaintBox1->height());
  ScrollBarXPosition->setGeometry(frame, frame + PaintBox1->height(), PaintBox1->width(), bar);
  Panel2->setGeometry(Panel1->geometry());
  Grid1->setGeometry(frame, frame, innerWidth, innerHeight - bar);
  ScrollBarGridStart->setGeometry(frame, frame + Grid1->height(), innerWidth, bar);

  const int32_t curves = Result.Valid != 0 ? Result.Curves : 1;
  const ResultGridShape shape = ResultGridShapeFor(Grid1->width(), Grid1->height(), Grid1->Cells().DefaultColWidth(),
                                                   Grid1->verticalHeader()->defaultSectionSize(), curves);
  View.GridColumns = shape.Columns;
  View.GridRowBlocks = shape.RowBlocks;
  ShapeGrid(curves);

  Bitmap = QImage(PaintBox1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  if (Result.Valid != 0) {
    Redraw();
    return;
  }
  preview_.reset();
  Bitmap.fill(Qt::black);
  DrawReadout();
}

void TFormSpectrum::FormShow() { Timer1->start(); }

void TFormSpectrum::FormHide() { Timer1->stop(); }

void TFormSpectrum::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (Panel1 != nullptr) FormResize();
}

void TFormSpectrum::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFormSpectrum::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FormHide();
}

bool TFormSpectrum::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == Panel1) {
      Panel1Click();
      return true;
    }
    if (watched == Panel2) {
      Panel2Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool HandOverAnalysisResult(TFormSpectrum& window, int32_t kind, const std::vector<double>& x,
                            const std::vector<double>& y, const std::string& a, const std::string& b) {
  if (!StoreAnalysisResult(window.Result, kind, x, y, a, b)) return false;
  window.LoadResult();
  window.menuHalfLogClick();
  window.menuXZoom1Click();
  window.menuYZoom1Click();
  window.Result.Valid = 1;
  window.Result.RedrawPending = 1;
  if (window.isHidden()) window.show();
  return true;
}

}  // namespace quelvar
