#pragma once

#include <QApplication>

#include <string>

namespace quelvar::platform {
class TerminationSignalWatcher;
class UiHost;
}

namespace quelvar {

class TFormMain;

// The application object. An exception that escapes an event handler is
// shown in the standard error message box and the message loop goes on.
class QuelvarApplication : public QApplication {
  Q_OBJECT
 public:
  QuelvarApplication(int& argc, char** argv);

  void SetUiHost(platform::UiHost* host) { ui_ = host; }
  void SetHelpFile(const std::string& name) { helpFile_ = name; }
  const std::string& HelpFile() const { return helpFile_; }

  bool notify(QObject* receiver, QEvent* event) override;

  // The standard error message box: the application's title as caption, the
  // error's text, an error icon and an OK button. Without a UI host the text
  // goes to standard error.
  void ShowError(const std::string& text);

  // The program's end: SIGTERM and SIGINT close the main window as its close
  // box does, and the main window's close, however it came, ends the message
  // loop with exit code 0. Other windows still shown (the about box, the
  // station window, which only hides itself, a dialog) are not asked first:
  // none of them may cancel the end. A close that comes before the loop runs
  // ends it as soon as it starts.
  void EndWithMainWindow(TFormMain& mainWindow, platform::TerminationSignalWatcher& termination);

 private:
  platform::UiHost* ui_ = nullptr;
  std::string helpFile_;
};

}  // namespace quelvar
