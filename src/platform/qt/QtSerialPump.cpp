#include "platform/qt/QtSerialPump.h"

#include <QPointer>
#include <QTimer>

#include "platform/SerialPort.h"

namespace quelvar::platform {

QtSerialPump::QtSerialPump(SerialPort& port, QObject* parent) : QObject(parent), port_(port), timer_(new QTimer(this)) {
  timer_->setInterval(kPumpIntervalMs);
  connect(timer_, &QTimer::timeout, this, &QtSerialPump::Tick);
  port_.SetOutputWaitingHandler([pump = QPointer<QtSerialPump>(this)] {
    if (pump) pump->timer_->start();
  });
}

bool QtSerialPump::Pumping() const { return timer_->isActive(); }

void QtSerialPump::Tick() {
  if (!port_.Pump()) timer_->stop();
}

}  // namespace quelvar::platform
