#include "auxwin/FormXYDisplay.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>

#include "platform/RegistryStore.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"
#include "view/FormGraphType.h"
#include "view/PaintBox.h"
#include "view/PictureOptions.h"

namespace quelvar {

namespace {

constexpr int32_t kCallerXYDisplay = 3;
// The designed place and size, used until a place is stored.
constexpr int kDesignedLeft = 300, kDesignedTop = 200, kDesignedWidth = 420, kDesignedHeight = 380;

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\XYDisplay"; }

struct Setting {
  const char* name;
  QAction* TFormXYDisplay::*item;
  bool byDefault;
};
constexpr Setting kSettings[] = {
    {"XYDispTopMost", &TFormXYDisplay::menuTopmost, false},
    {"IdAutoView", &TFormXYDisplay::menuAutoView, true},
    {"IdScatter", &TFormXYDisplay::menuScatterPlot, false},
    {"IdWhiteBG", &TFormXYDisplay::menuWhiteBackground, false},
    {"IdInstCross", &TFormXYDisplay::menuInstCross, false},
};

QAction* CheckItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  item->setCheckable(true);
  return item;
}

}  // namespace

TFormXYDisplay::TFormXYDisplay(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               TFormMain& main, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), ui_(ui), main_(main) {
  setObjectName("FormXYDisplay");
  setWindowTitle(QStringLiteral("X-Y图"));
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Image1 = new PaintBox(Panel1);
  Image1->setObjectName("Image1");
  Image1->setContextMenuPolicy(Qt::CustomContextMenu);
  Image1->onPaint = [this](QPainter& painter) { Image1Paint(painter); };
  Image1->onMouseDown = [this](Qt::MouseButton, int x, int y) { Image1MouseDown(x, y); };
  Image1->onMouseMove = [this](int x, int y) { Image1MouseMove(x, y); };
  Image1->onMouseUp = [this](Qt::MouseButton, int x, int y) { Image1MouseUp(x, y); };

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  menuTopmost = CheckItem(PopupMenu1, "menuTopmost", "顶层窗口");
  menuAutoView = CheckItem(PopupMenu1, "menuAutoView", "启动时自动显示");
  PopupMenu1->addSeparator();
  menuWhiteBackground = CheckItem(PopupMenu1, "menuWhiteBackground", "白色背景");
  menuScatterPlot = CheckItem(PopupMenu1, "menuScatterPlot", "散点图");
  menuInstCross = CheckItem(PopupMenu1, "menuInstCross", "瞬时标线");
  menuInstCross->setVisible(false);
  PopupMenu1->addSeparator();
  menuCopyBitmap = PopupMenu1->addAction(QStringLiteral("拷贝图形到剪贴板"));
  menuCopyBitmap->setObjectName("menuCopyBitmap");
  connect(menuTopmost, &QAction::triggered, this, [this] {
    Toggle(menuTopmost);
    menuTopmostClick();
  });
  connect(menuAutoView, &QAction::triggered, this, [this] {
    Toggle(menuAutoView);
    menuAutoViewClick();
  });
  connect(menuWhiteBackground, &QAction::triggered, this,
          [this] {
    Toggle(menuWhiteBackground);
    menuWhiteBackgroundClick();
  });
  connect(menuScatterPlot, &QAction::triggered, this, [this] {
    Toggle(menuScatterPlot);
    menuScatterPlotClick();
  });
  connect(menuInstCross, &QAction::triggered, this, [this] {
    Toggle(menuInstCross);
    menuInstCrossClick();
  });
  connect(menuCopyBitmap, &QAction::triggered, this, [this] { menuCopyBitmapClick(); });
  connect(Image1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenu1->exec(Image1->mapToGlobal(at));
    // The release went to the menu.
    XYTracking = false;
  });
  FormCreate();
}

TFormXYDisplay::~TFormXYDisplay() { FormDestroy(); }

// The handlers toggle the ticks themselves; a click's own toggle is undone.
void TFormXYDisplay::Toggle(QAction* item) { item->setChecked(!item->isChecked()); }

void TFormXYDisplay::FormCreate() {
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  const std::string key = KeyPath(state_.startup.AppKeyName);
  for (const Setting& s : kSettings) {
    const auto value = registry_.ReadInt32(key, s.name);
    (this->*s.item)->setChecked(value ? *value != 0 : s.byDefault);
  }
  KeepOnTop();
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormXYDisp");
  CrossX = CrossY = 0.0;
  XYMessage = kXYNoAnalog;
  FormResize();
}

void TFormXYDisplay::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  const std::string key = KeyPath(state_.startup.AppKeyName);
  for (const Setting& s : kSettings) registry_.WriteInt32(key, s.name, (this->*s.item)->isChecked() ? 1 : 0);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormXYDisp");
}

void TFormXYDisplay::KeepOnTop() {
  const bool onTop = menuTopmost->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

XYPlotSource TFormXYDisplay::Source() const {
  return {&state_.config, &state_.layout, &state_.display, &state_.wave, &state_.oscilTool};
}

bool TFormXYDisplay::CrossHairOn() const { return menuInstCross->isChecked(); }

void TFormXYDisplay::DrawXY(platform::Canvas& canvas, bool forPicture, bool colour, bool whiteBackground) {
  const XYDrawOptions options{colour, whiteBackground, menuScatterPlot->isChecked()};
  const XYPlotGeometry g = DrawXYPlot(canvas, Source(), options);
  if (!g.Drawn) XYMessage = g.Message;
  // The screen's plot is what the cross-hair and the mouse refer to; a
  // picture drawn at another size leaves it as it is.
  if (forPicture) return;
  screenPlot_ = g;
  if (!g.Drawn) return;
  PlotLeft = g.PlotLeft;
  PlotWidth = g.PlotWidth;
  PlotTop = g.PlotTop;
  PlotHeight = g.PlotHeight;
  XVoltsPerDiv = g.XVoltsPerDiv;
  XCentreVolts = g.XCentreVolts;
  YVoltsPerDiv = g.YVoltsPerDiv;
  YCentreVolts = g.YCentreVolts;
  XChannel = g.XChannel;
  YChannel = g.YChannel;
}

void TFormXYDisplay::Redraw() {
  preview_.reset();
  if (Picture.isNull()) return;
  {
    platform::QtCanvas canvas(Picture);
    const LiveConfig& c = state_.config;
    canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
    DrawXY(canvas, false, true, menuWhiteBackground->isChecked());
  }
  DrawCrossHair();
}

void TFormXYDisplay::DrawCrossHair() {
  // Image1 shows Picture with the cross-hair over it (ShownImage).
  Image1->update();
}

QImage TFormXYDisplay::ShownImage() const {
  if (preview_) return *preview_;
  QImage shown = Picture.copy();
  if (shown.isNull() || !CrossHairOn() || !HasData() || !screenPlot_.Drawn) return shown;
  platform::QtCanvas canvas(shown);
  const LiveConfig& c = state_.config;
  canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
  DrawXYCrossHair(canvas, screenPlot_, c, CrossX, CrossY);
  return shown;
}

void TFormXYDisplay::ShowPictureOverImage1(const platform::Picture& picture) {
  preview_ = platform::PictureOnWhite(Image1->size(), picture);
  Image1->update();
}

void TFormXYDisplay::MoveCrossHair(int x, int y) {
  if (!HasData() || !CrossHairOn()) return;
  CrossX = XYCrossFraction(x, PlotLeft, PlotWidth);
  CrossY = XYCrossFraction(y, PlotTop, PlotHeight);
  preview_.reset();
  DrawCrossHair();
}

void TFormXYDisplay::DrawToMetafile(int32_t whiteBackground) {
  const LiveConfig& c = state_.config;
  std::unique_ptr<platform::QtCanvas> canvas =
      main_.OpenSharedPictureCanvas({Image1->width(), Image1->height()}, logicalDpiY());
  DrawXY(*canvas, true, c.IsColor != 0, whiteBackground == 1);
}

void TFormXYDisplay::FormResize() {
  Panel1->setGeometry(0, 0, std::max(width() - 3, 2), std::max(height() - 3, 2));
  Image1->setGeometry(1, 1, std::max(Panel1->width() - 2, 1), std::max(Panel1->height() - 2, 1));
  Picture = QImage(Image1->size(), QImage::Format_RGB32);
  if (HasData() && isVisible()) {
    Redraw();
    return;
  }
  preview_.reset();
  platform::QtCanvas canvas(Picture);
  canvas.SetFont({state_.config.ScreenFontName, state_.config.ScreenFontSize, state_.config.ScreenFontStyle,
                  platform::kBlack});
  DrawXYMessage(canvas, XYMessage, menuWhiteBackground->isChecked());
  Image1->update();
}

void TFormXYDisplay::FormShow() {
  if (HasData()) Redraw();
}

void TFormXYDisplay::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (Panel1 != nullptr) FormResize();
}

void TFormXYDisplay::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFormXYDisplay::Image1Paint(QPainter& painter) { painter.drawImage(0, 0, ShownImage()); }

void TFormXYDisplay::menuTopmostClick() {
  Toggle(menuTopmost);
  KeepOnTop();
}

void TFormXYDisplay::menuAutoViewClick() { Toggle(menuAutoView); }

void TFormXYDisplay::menuWhiteBackgroundClick() {
  Toggle(menuWhiteBackground);
  if (HasData()) Redraw();
}

void TFormXYDisplay::menuScatterPlotClick() {
  Toggle(menuScatterPlot);
  if (HasData()) Redraw();
}

void TFormXYDisplay::menuInstCrossClick() {
  Toggle(menuInstCross);
  if (HasData()) Redraw();
}

void TFormXYDisplay::Image1MouseDown(int, int) { XYTracking = true; }

void TFormXYDisplay::Image1MouseMove(int x, int y) {
  if (XYTracking) MoveCrossHair(x, y);
}

void TFormXYDisplay::Image1MouseUp(int x, int y) {
  XYTracking = false;
  MoveCrossHair(x, y);
}

void TFormXYDisplay::menuCopyBitmapClick() {
  if (!HasData()) return;
  TFormGraphType& dialog = main_.GraphTypeDialog();
  dialog.SetCallerPreview(kCallerXYDisplay, [this] {
    DrawToMetafile(state_.config.IDBGWhite);
    ShowPictureOverImage1(main_.SharedPicture());
  });
  dialog.FillFromOptions();
  dialog.Caller = kCallerXYDisplay;
  dialog.setWindowTitle(QStringLiteral("图形格式选项-XY曲线"));
  const int result = ui_.ShowModal(dialog);
  if (result != platform::kModalOk) {
    Redraw();
    return;
  }
  if (state_.config.GraphMetafile != 0) {
    DrawToMetafile(state_.config.IDBGWhite);
    ui_.SetClipboardPicture(main_.SharedPicture());
    Redraw();
  } else {
    ui_.SetClipboardPicture(platform::QtPicture(Picture.copy()));
    // A preview drawn over the plot goes.
    if (preview_) Redraw();
  }
}

}  // namespace quelvar
