#include "platform/qt/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>

namespace quelvar::platform {

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_previousTerm;
struct sigaction g_previousInt;

void OnSignal(int signalNumber) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // Non-blocking: if the pipe is full, a close request is already pending.
  [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignalWatcher::TerminationSignalWatcher(QObject* parent) : QObject(parent) {
  if (g_pipe[0] >= 0) return;  // another watcher owns the signals
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &g_previousTerm);
  sigaction(SIGINT, &action, &g_previousInt);
  // A parent may start us with the signals blocked so that none is lost
  // before this point; from here on they are handled.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);

  notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignalWatcher::OnReadable);
}

TerminationSignalWatcher::~TerminationSignalWatcher() {
  if (notifier_ == nullptr) return;
  sigaction(SIGTERM, &g_previousTerm, nullptr);
  sigaction(SIGINT, &g_previousInt, nullptr);
  delete notifier_;
  notifier_ = nullptr;
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignalWatcher::OnReadable() {
  unsigned char byte = 0;
  int last = 0;
  while (read(g_pipe[0], &byte, 1) == 1) last = byte;
  if (last != 0) emit terminationRequested(last);
}

}  // namespace quelvar::platform
