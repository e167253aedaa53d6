#include "auxwin/FormComposite.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "auxwin/CompositeFile.h"
#include "auxwin/FormConfComposite.h"
#include "platform/RegistryStore.h"
#include "platform/qt/QtCanvas.h"
#include "setup/DialogNumbers.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\CompositeParam"; }

const char* const kDefinitionFilter = "组合显示定义文件 (*.cpd)|*.cpd|所有文件 (*.*)|*.*";

// The paint box: shows the panel's bitmap.
class PaintBox : public QWidget {
 public:
  explicit PaintBox(TFormComposite& form) : QWidget(&form), form_(form) { setObjectName("Image1"); }

 protected:
  void paintEvent(QPaintEvent*) override { form_.Image1Paint(); }

 private:
  TFormComposite& form_;
};

platform::Color ButtonFace(const QWidget& w) {
  const QColor c = w.palette().color(QPalette::Button);
  return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}

}  // namespace

TFormComposite::TFormComposite(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormComposite");
  setWindowTitle(QStringLiteral("组合显示实时值"));
  resize(420, 260);
  Image1 = new PaintBox(*this);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  auto add = [this](const char* name, const char* caption, bool checkable, void (TFormComposite::*handler)()) {
    QAction* item = PopupMenu1->addAction(QString::fromUtf8(caption));
    item->setObjectName(name);
    item->setCheckable(checkable);
    // A check item has toggled itself; its handler does the toggling.
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
    return item;
  };
  menuConfigComposite =
      add("menuConfigComposite", "定义显示格式及内容", false, &TFormComposite::menuConfigCompositeClick);
  menuChangeConfigFile =
      add("menuChangeConfigFile", "选择显示定义文件", false, &TFormComposite::menuChangeConfigFileClick);
  PopupMenu1->addSeparator();
  menuTopMost = add("menuTopMost", "顶层窗口", true, &TFormComposite::menuTopMostClick);
  menuBlackGnd = add("menuBlackGnd", "黑色本底", true, &TFormComposite::menuBlackGndClick);
  menuAutoView = add("menuAutoView", "启动时自动显示", true, &TFormComposite::menuAutoViewClick);
  menuAutoView->setChecked(true);
  menuDisplayInterval = add("menuDisplayInterval", "", false, &TFormComposite::menuDisplayIntervalClick);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(mapToGlobal(at)); });
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  editor_ = new TFormConfComposite(state_, registry_, ui_, this);
  FormCreate();
}

TFormComposite::~TFormComposite() { FormDestroy(); }

void TFormComposite::FormCreate() {
  const std::string key = KeyPath(state_.startup.AppKeyName);
  const bool topMost = registry_.ReadInt32(key, "FormCompositeTopMost").value_or(1) != 0;
  // The commands toggle: start from the opposite state.
  menuTopMost->setChecked(!topMost);
  menuTopMostClick();
  pal_ = registry_.ReadInt32(key, "CompositePal").value_or(0) == 1 ? 0 : 1;
  menuBlackGndClick();
  defFile_ = registry_.ReadString(key, "CompositeDefFile").value_or(kCompositeDefaultFile);
  ReadDefinition();
  menuAutoView->setChecked(registry_.ReadInt32(key, "IDAutoView").value_or(1) != 0);
  displayInterval_ =
      NormalizeCompositeInterval(registry_.ReadInt32(key, "DisplayInterval").value_or(kCompositeDefaultInterval));
  if (displayInterval_ != 0) Timer1->setInterval(displayInterval_);
  CaptionInterval();
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormComposite");
  FormResize();
}

void TFormComposite::FormDestroy() {
  const std::string key = KeyPath(state_.startup.AppKeyName);
  registry_.WriteInt32(key, "FormCompositeTopMost", menuTopMost->isChecked() ? 1 : 0);
  registry_.WriteInt32(key, "CompositePal", pal_);
  std::string error;
  WriteCompositeDef(def_, defFile_, error);  // a failure keeps the file as it was
  registry_.WriteString(key, "CompositeDefFile", defFile_);
  registry_.WriteInt32(key, "IDAutoView", menuAutoView->isChecked() ? 1 : 0);
  registry_.WriteInt32(key, "DisplayInterval", displayInterval_);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormComposite");
}

void TFormComposite::ReadDefinition() {
  if (!ReadCompositeDef(def_, defFile_)) {
    defFile_ = kCompositeDefaultFile;
    DefaultCompositeDef(def_, state_.config);
  }
}

void TFormComposite::CaptionInterval() {
  menuDisplayInterval->setText(QString::fromStdString("显示刷新间隔(" + std::to_string(displayInterval_) + "ms)"));
}

void TFormComposite::ApplyInterval() {
  if (displayInterval_ == 0) {
    Timer1->stop();
  } else {
    Timer1->setInterval(displayInterval_);
    if (isVisible()) Timer1->start();
  }
}

void TFormComposite::FormShow() {
  if (displayInterval_ != 0) Timer1->start(displayInterval_);
}

void TFormComposite::FormHide() { Timer1->stop(); }

void TFormComposite::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFormComposite::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FormHide();
}

void TFormComposite::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TFormComposite::FormResize() {
  Image1->setGeometry(0, 0, std::max(width() - 5, 1), std::max(height() - 10, 1));
  bitmap_ = QImage(Image1->size(), QImage::Format_RGB32);
  // The panel's own background, dark or light, until the next block.
  const platform::Color back = CompositePaletteColor(pal_, 0, ButtonFace(*this));
  bitmap_.fill(QColor(back.red, back.green, back.blue));
  redraw_ = true;
  RedrawCurrentBlock();
}

void TFormComposite::RedrawCurrentBlock() {
  if (state_.display.DataSourceMode == 0 || state_.acq.BlockWithPrefix.empty()) return;
  // The block in hand must be a whole block of the layout in force.
  const LiveConfig& c = state_.config;
  const uint64_t words = 1 + static_cast<uint64_t>(std::max(c.NumSamp, 0)) * static_cast<uint64_t>(std::max(c.NumChn, 0));
  if (state_.acq.CurrentBlockOffset + words > state_.acq.BlockWithPrefix.size()) return;
  redraw_ = true;
  DrawCompositeValues(state_.acq.CurrentBlock());
}

void TFormComposite::DrawCompositeValues(const uint16_t* block) {
  if (displayInterval_ != 0 && !redraw_) return;
  redraw_ = false;
  ComputeCompositeCells(def_, {state_.config, state_.layout, state_.torque, block}, cells_);
  if (bitmap_.isNull()) return;
  {
    platform::QtCanvas canvas(bitmap_);
    DrawCompositePanel(canvas, def_, cells_, pal_, ButtonFace(*this));
  }
  Image1->update();
}

void TFormComposite::Image1Paint() {
  QPainter painter(Image1);
  painter.drawImage(0, 0, bitmap_);
}

void TFormComposite::menuTopMostClick() {
  const bool on = !menuTopMost->isChecked();
  menuTopMost->setChecked(on);
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (shown) show();
}

void TFormComposite::menuBlackGndClick() {
  pal_ = pal_ == 0 ? 1 : 0;
  menuBlackGnd->setChecked(pal_ == 1);
  QPalette p = palette();
  const platform::Color back = CompositePaletteColor(pal_, 0, ButtonFace(*this));
  p.setColor(QPalette::Window, QColor(back.red, back.green, back.blue));
  setPalette(p);
  setAutoFillBackground(true);
  RedrawCurrentBlock();
}

void TFormComposite::menuAutoViewClick() { menuAutoView->setChecked(!menuAutoView->isChecked()); }

void TFormComposite::menuDisplayIntervalClick() {
  const std::string current = std::to_string(displayInterval_);
  const std::string text = ui_.InputBox("显示刷新时间", "间隔时间ms  ", current).value_or(current);
  displayInterval_ = NormalizeCompositeInterval(ParseDialogInteger(text).value_or(kCompositeDefaultInterval));
  ApplyInterval();
  CaptionInterval();
}

void TFormComposite::menuConfigCompositeClick() {
  editor_->EditFileName = defFile_;
  if (ui_.ShowModal(*editor_) == platform::kModalOk) defFile_ = editor_->EditFileName;
  ReadDefinition();
  RedrawCurrentBlock();
}

void TFormComposite::menuChangeConfigFileClick() {
  platform::FileDialogRequest request;
  request.title = "选定要使用的组合显示定义文件";
  request.defaultExt = "CPD";
  request.filter = kDefinitionFilter;
  const auto chosen = ui_.OpenFileName(request);
  if (!chosen) return;
  defFile_ = *chosen;
  ReadDefinition();
  RedrawCurrentBlock();
}

}  // namespace quelvar
