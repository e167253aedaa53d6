#pragma once

#include <QObject>

class QTimer;

namespace quelvar::platform {

class SerialPort;

// Keeps a serial port's output moving without blocking the GUI thread: when
// a write leaves bytes queued, a timer pumps the port until they are all
// handed to the device, then stops. The port may outlive the pump or die
// before it (its handler holds only a guarded pointer to the pump), but the
// port must not be destroyed while the event loop can still run the pump's
// timer: keep both owned by the same window.
class QtSerialPump : public QObject {
  Q_OBJECT
 public:
  // At 19200 baud the line takes under 40 bytes in this time, while the
  // kernel holds a few KiB: the device never runs dry between ticks.
  static constexpr int kPumpIntervalMs = 20;

  explicit QtSerialPump(SerialPort& port, QObject* parent = nullptr);

  bool Pumping() const;

 private:
  void Tick();

  SerialPort& port_;
  QTimer* timer_;
};

}  // namespace quelvar::platform
