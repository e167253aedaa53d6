#include "shell/QuelvarApplication.h"

#include <cstdio>
#include <exception>

#include "platform/UiHost.h"

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

}  // namespace quelvar
