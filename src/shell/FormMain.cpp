#include "platform/qt/QtText.h"
#include "shell/FormMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>


#include "acquisition/ContinuousSave.h"
#include "acquisition/ScheduleSave.h"
#include "platform/RegistryStore.h"
#include "shell/RecordWriter.h"
#include "platform/UiHost.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"
#include "view/PaintBox.h"

namespace quelvar {

namespace {


// Designed sizes of the main window.
constexpr int kDesignedWidth = 800;
constexpr int kDesignedHeight = 600;
constexpr int kDesignedStatusPanels = 4;
constexpr int kDesignedStatusPanelWidth = 50;
constexpr int kInterfaceTimerMs = 100;

}  // namespace

TFormMain::TFormMain(AppState& state, MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), state_(state), services_(services), screenSaverGuard_(services.screenSaver) {
  BuildComponents();
  FormCreate();
}

TFormMain::~TFormMain() { FormDestroy(); }

void TFormMain::BuildComponents() {
  setObjectName("FormMain");
  setWindowTitle(Q("Quelvar"));
  resize(kDesignedWidth, kDesignedHeight);

  BuildDataArea();
  BuildMenus();

  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  for (int i = 0; i < kDesignedStatusPanels; ++i) AddStatusPanel(kDesignedStatusPanelWidth);

  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(kInterfaceTimerMs);
  connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });

  TimerOscil = new QTimer(this);
  TimerOscil->setObjectName("TimerOscil");
  connect(TimerOscil, &QTimer::timeout, this, [this] { TimerOscilTimer(); });
}

void TFormMain::BuildDataArea() {
  auto* area = new QWidget(this);
  area->setObjectName("DataArea");
  setCentralWidget(area);

  Panel_Waveform = new QWidget(area);
  Panel_Waveform->setObjectName("Panel_Waveform");
  Image1 = new PaintBox(Panel_Waveform);
  Image1->setObjectName("Image1");
  Image1->onPaint = [this](QPainter& painter) { Image1Paint(painter); };
  VScrollBar_YOffset = new QScrollBar(Qt::Vertical, Panel_Waveform);
  VScrollBar_YOffset->setObjectName("VScrollBar_YOffset");
  VScrollBar_YOffset->setRange(-1, 1);
  VScrollBar_Channel = new QScrollBar(Qt::Vertical, Panel_Waveform);
  VScrollBar_Channel->setObjectName("VScrollBar_Channel");
  VScrollBar_Channel->setRange(0, 0);
  // It takes the focus when clicked, so that the digit keys reach it.
  VScrollBar_Channel->setFocusPolicy(Qt::StrongFocus);
  HScrollBar_XPosition = new QScrollBar(Qt::Horizontal, Panel_Waveform);
  HScrollBar_XPosition->setObjectName("HScrollBar_XPosition");
  HScrollBar_XPosition->setToolTip(QStringLiteral("X偏移,右击放大展开"));
  HScrollBar_XPosition->setRange(0, 0);
  connect(HScrollBar_XPosition, &QScrollBar::valueChanged, this, [this] { HScrollBar_XPositionChange(); });
  for (QLabel** label : {&Label_Mark1, &Label_Mark2}) {
    *label = new QLabel(Panel_Waveform);
    (*label)->setToolTip(QStringLiteral("右键改变属性"));
    // No size until the marks are drawn beside the waveform: an empty label
    // shown before would be a bare coloured box in the corner.
    (*label)->setGeometry(0, 0, 0, 0);
    (*label)->hide();
  }
  Label_Mark1->setObjectName("Label_Mark1");
  Label_Mark2->setObjectName("Label_Mark2");
  BuildMarkControls();

  Panel_Grid = new QWidget(area);
  Panel_Grid->setObjectName("Panel_Grid");
  BuildTextGrid();
  Panel_Grid->hide();

  Panel_Report = new QWidget(area);
  Panel_Report->setObjectName("Panel_Report");
  Memo1 = new QPlainTextEdit(Panel_Report);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Panel_Report->hide();

  offscreenBitmap_ = std::make_unique<QImage>(kDesignedWidth, kDesignedHeight, QImage::Format_RGB32);
  offscreenBitmap_->fill(Qt::black);
  sharedPicture_ = std::make_unique<platform::QtVectorPicture>();
  previewPicture_ = std::make_unique<platform::QtVectorPicture>();
}

void TFormMain::AddStatusPanel(int width) {
  auto* panel = new QLabel(StatusBar1);
  panel->setFixedWidth(width);
  panel->setFrameShape(QFrame::StyledPanel);
  StatusBar1->addWidget(panel);
  statusPanels_.push_back(panel);
}

void TFormMain::SetStatusPanelText(int panel, const std::string& text) {
  if (panel < 0 || panel >= StatusPanelCount()) return;
  statusPanels_[static_cast<size_t>(panel)]->setText(Q(text));
}

void TFormMain::StretchLastStatusPanel() {
  // The message panel takes the rest of the bar, so messages are not cut.
  QLabel* last = statusPanels_.back();
  last->setMinimumWidth(kDesignedStatusPanelWidth);
  last->setMaximumWidth(QWIDGETSIZE_MAX);
  StatusBar1->removeWidget(last);
  StatusBar1->addWidget(last, 1);
  last->show();
}

void TFormMain::SetStatusPanelWidth(int panel, int width) {
  if (panel < 0 || panel >= StatusPanelCount()) return;
  statusPanels_[static_cast<size_t>(panel)]->setFixedWidth(width);
}

std::string TFormMain::StatusPanelText(int panel) const {
  if (panel < 0 || panel >= StatusPanelCount()) return {};
  return statusPanels_[static_cast<size_t>(panel)]->text().toStdString();
}

void TFormMain::AppendRunLog(const std::string& line) { Memo1->appendPlainText(Q(line)); }

std::string TFormMain::RunLogText() const { return Memo1->toPlainText().toStdString(); }

void TFormMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  emit Closed();
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormShow();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutMainWindow();
}

void TFormMain::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  // A minimised window is still shown: its housekeeping (clock, the driver's
  // watchdog, the remote link) and status texts go on.
  if (!event->spontaneous()) FormHide();
}

}  // namespace quelvar
