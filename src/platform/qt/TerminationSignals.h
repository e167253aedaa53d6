#pragma once

#include <QObject>

class QSocketNotifier;

namespace quelvar::platform {

// SIGTERM and SIGINT ask the program to close its main window, so the whole
// shut-down runs as with the close box. The handler only writes a byte to a
// pipe; the GUI thread reads it in its event loop. A signal that arrives
// before the loop runs waits in the pipe. Only one watcher may exist.
class TerminationSignalWatcher : public QObject {
  Q_OBJECT
 public:
  explicit TerminationSignalWatcher(QObject* parent = nullptr);
  ~TerminationSignalWatcher() override;

  bool IsActive() const { return notifier_ != nullptr; }

 signals:
  void terminationRequested(int signalNumber);

 private:
  void OnReadable();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quelvar::platform
