#include "shell/FormAbout.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "common/Version.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {
constexpr int kSplashTimerMs = 2000;
constexpr int kDesignedWidth = 380;
constexpr int kDesignedHeight = 260;

// The box's own picture until a branding file brings a logo.
QPixmap DefaultPicture() {
  QPixmap picture(360, 150);
  QPainter painter(&picture);
  QLinearGradient sky(0, 0, 0, picture.height());
  sky.setColorAt(0, QColor(10, 30, 70));
  sky.setColorAt(1, QColor(0, 0, 0));
  painter.fillRect(picture.rect(), sky);
  painter.setPen(QPen(QColor(0, 200, 0), 2));
  for (int x = 0; x + 4 < picture.width(); x += 4) {
    const double t0 = x / 28.0, t1 = (x + 4) / 28.0;
    painter.drawLine(x, 105 + static_cast<int>(25 * std::sin(t0)), x + 4, 105 + static_cast<int>(25 * std::sin(t1)));
  }
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPointSize(22);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(0, 10, picture.width(), 60), Qt::AlignCenter, QStringLiteral("Quelvar"));
  return picture;
}
// The box hides on the tick after this many: about eight seconds.
constexpr int kSplashTicksShown = 2;
}  // namespace

TFormAbout::TFormAbout(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormAbout");
  setWindowTitle(QStringLiteral("关于本软件"));
  setWindowFlag(Qt::Tool);
  resize(kDesignedWidth, kDesignedHeight);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->setMinimumSize(240, 120);
  Image1->setPixmap(DefaultPicture());
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Button1 = new QPushButton(QStringLiteral("确定"), this);
  Button1->setObjectName("Button1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Image1);
  layout->addWidget(Label1);
  layout->addWidget(Button1);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kSplashTimerMs);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  Timer1->start();
  FormCreate();
}

TFormAbout::~TFormAbout() { FormDestroy(); }

void TFormAbout::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormAbout");
  Label1->setText(QString::fromStdString("网络录波器/示波器 " + VersionText() + "版本"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  state_.startup.AboutBoxReady = 1;
  show();
  FormActivate();
}

void TFormAbout::FormActivate() {
  state_.startup.SplashTicks = 0;
  Timer1->start();
}

void TFormAbout::Timer1Timer() {
  if (state_.startup.SplashTicks <= kSplashTicksShown) {
    ++state_.startup.SplashTicks;
    return;
  }
  state_.startup.SplashTicks = 0;
  if (isVisible()) {
    hide();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    Timer1->stop();
  }
}

void TFormAbout::Button1Click() {
  Timer1->stop();
  hide();
}

void TFormAbout::ShowFromMenu() {
  show();
  raise();
  activateWindow();
  FormActivate();
}

void TFormAbout::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFormAbout::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormAbout");
  state_.startup.AboutBoxReady = 0;
}

}  // namespace quelvar
