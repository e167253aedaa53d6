#pragma once

#include <QApplication>

#include <string>

namespace quelvar::platform {
class UiHost;
}

namespace quelvar {

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

 private:
  platform::UiHost* ui_ = nullptr;
  std::string helpFile_;
};

}  // namespace quelvar
