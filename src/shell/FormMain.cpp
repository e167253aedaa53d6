#include "shell/FormMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>


#include "acquisition/ContinuousSave.h"
#include "acquisition/ScheduleSave.h"
#include "platform/RegistryStore.h"
#include "shell/RecordWriter.h"
#include "platform/UiHost.h"

namespace quelvar {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

  BuildMenus();

  auto* split = new QSplitter(Qt::Vertical, this);
  Image1 = new QLabel(split);
  Image1->setObjectName("Image1");
  Image1->setMinimumSize(200, 120);
  Image1->setAutoFillBackground(true);
  Image1->setStyleSheet("background-color: black;");
  Memo1 = new QPlainTextEdit(split);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  split->addWidget(Image1);
  split->addWidget(Memo1);
  split->setStretchFactor(0, 4);
  split->setStretchFactor(1, 1);
  setCentralWidget(split);

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

void TFormMain::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  FormHide();
}

}  // namespace quelvar
