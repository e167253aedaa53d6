// The program's end: however the main window is closed, the message loop ends
// with code 0, whatever other windows are still shown.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

#include "MainWindowFixture.h"
#include "auxwin/FormTool.h"
#include "net/FormRemoteControl.h"
#include "net/FormServer.h"
#include "platform/qt/TerminationSignals.h"
#include "shell/FormAbout.h"
#include "shell/QuelvarApplication.h"

namespace {

using namespace quelvar;

// The worst another window can do: refuse to close and stay on the screen.
class RefusingWindow : public QWidget {
 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

enum class Way { TerminationSignal, ExitCommand, CloseBox };

const char* NameOf(Way way) {
  switch (way) {
    case Way::TerminationSignal: return "SIGTERM";
    case Way::ExitCommand: return "退出(&X)";
    case Way::CloseBox: return "close box";
  }
  return "?";
}

class ProgramEnd : public test::MainWindowFixture {
 protected:
  // Runs the message loop with the program's windows open, asks for the end
  // from inside it with `request`, and returns the loop's code. Should the
  // loop go on after the main window has closed, a later queued call ends it
  // with -1 instead, so a cancelled end fails the test and never hangs it.
  int RunAndEnd(const std::function<void(TFormMain&, platform::TerminationSignalWatcher&)>& request) {
    auto* app = qobject_cast<QuelvarApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
      ADD_FAILURE() << "no application object";
      return -2;
    }
    platform::TerminationSignalWatcher termination;
    auto formMain = NewMainWindow();
    // The station role on, its window shown (it only hides itself when asked
    // to close), the about box still up as the splash, and the other free
    // windows.
    TFormServer station(state, registry);
    formMain->SetStationWindow(&station);
    formMain->menuServerClick();
    EXPECT_EQ(state.NetworkRole, kRoleStation);
    EXPECT_TRUE(station.isVisible());
    TFormAbout about(state, registry);
    TFormRemoteControl remote(*formMain, state, registry, ui, 0);
    remote.show();
    TFormTool tool(state, registry);
    tool.show();
    RefusingWindow refusing;
    refusing.show();
    EXPECT_TRUE(about.isVisible());

    app->EndWithMainWindow(*formMain, termination);
    QObject guard;  // drops the fallback once the loop has ended
    QTimer::singleShot(0, &guard, [&] {
      request(*formMain, termination);
      // Two hops: calls queued while queued calls are being delivered wait
      // for the next round, which a loop told to end never starts.
      QMetaObject::invokeMethod(
          &guard,
          [&guard] {
            QMetaObject::invokeMethod(&guard, [] { QCoreApplication::exit(-1); }, Qt::QueuedConnection);
          },
          Qt::QueuedConnection);
    });
    const int code = QCoreApplication::exec();
    formMain->SetStationWindow(nullptr);
    return code;
  }
};

TEST_F(ProgramEnd, EveryWayOfClosingTheMainWindowEndsTheLoopWhileOtherWindowsAreShown) {
  for (Way way : {Way::TerminationSignal, Way::ExitCommand, Way::CloseBox}) {
    const int code = RunAndEnd([way](TFormMain& formMain, platform::TerminationSignalWatcher& termination) {
      switch (way) {
        case Way::TerminationSignal: emit termination.terminationRequested(SIGTERM); break;
        case Way::ExitCommand: formMain.menuExitClick(); break;
        case Way::CloseBox:
          formMain.show();
          formMain.windowHandle()->close();  // as the window system delivers it
          break;
      }
    });
    EXPECT_EQ(code, 0) << NameOf(way);
  }
}

TEST_F(ProgramEnd, TerminationWhileAModalDialogRunsItsOwnLoopEndsBothLoops) {
  bool dialogReturned = false;
  const int code = RunAndEnd([&](TFormMain& formMain, platform::TerminationSignalWatcher& termination) {
    QDialog dialog(&formMain);
    QTimer::singleShot(0, &dialog, [&termination] { emit termination.terminationRequested(SIGTERM); });
    dialog.exec();
    dialogReturned = true;
  });
  EXPECT_TRUE(dialogReturned);
  EXPECT_EQ(code, 0);
}

TEST_F(ProgramEnd, ClosingTheMainWindowStopsARunningAcquisitionFirst) {
  // The close handler's work is not skipped by the quick end.
  const int code = RunAndEnd([&](TFormMain& formMain, platform::TerminationSignalWatcher& termination) {
    state.config.SimulateAD = 1;
    formMain.menuStartOscilClick();
    EXPECT_EQ(state.RunState, kRunOscilloscope);
    emit termination.terminationRequested(SIGTERM);
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(state.RunState, kRunIdle);
}

}  // namespace
