#include "shell/QuelvarApplication.h"

#include <cstdio>
#include <exception>

#include "platform/UiHost.h"
#include "platform/qt/TerminationSignals.h"
#include "shell/FormMain.h"

namespace quelvar {

namespace {
const char* const kApplicationTitle = "Quelvar";
}

QuelvarApplication::QuelvarApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(kApplicationTitle);
  // Closing the main window ends the program even while another window (the
  // about box, a panel) is still shown; the caller wires that up.
  setQuitOnLastWindowClosed(false);
}

bool QuelvarApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowError(e.what());
  } catch (...) {
    ShowError("Unknown error");
  }
  return false;
}

void QuelvarApplication::ShowError(const std::string& text) {
  if (ui_ == nullptr) {
    std::fprintf(stderr, "%s: %s\n", kApplicationTitle, text.c_str());
    return;
  }
  ui_->MessageBox(text, kApplicationTitle, platform::MsgButtons::Ok, platform::MsgIcon::Error);
}

void QuelvarApplication::EndWithMainWindow(TFormMain& mainWindow, platform::TerminationSignalWatcher& termination) {
  connect(&termination, &platform::TerminationSignalWatcher::terminationRequested, &mainWindow,
          [&mainWindow](int) { mainWindow.close(); });
  // exit(), not quit(): quit() first asks every shown window to close and
  // gives up when one refuses, leaving the process running without a main
  // window. Queued, so a close before the loop runs is not lost.
  connect(
      &mainWindow, &TFormMain::Closed, this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace quelvar
