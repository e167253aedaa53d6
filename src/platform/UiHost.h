#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvar::platform {

class Picture;  // platform/Canvas.h

// Everything a handler asks of the user or the desktop goes through UiHost,
// never through a toolkit dialog directly: the Qt host shows real dialogs, the
// scripted host records each prompt and answers from a queue, so handlers can
// be tested without a display.

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Information, Warning, Error, Question };
// The numbers are the button identifiers the program compares against.
enum class MsgResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Modal results of the program's own dialogs.
inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

struct FileDialogRequest {
  std::string title;
  std::string initialDir;
  std::string fileName;
  // The program's filter form: "Description|*.ext;*.ext2|Description 2|*.*".
  std::string filter;
  int filterIndex = 1;  // 1-based, as the program counts
  std::string defaultExt;  // without the dot; appended when the name has none
  // An open dialog that may also name a file not yet made (a file the program
  // is about to write); save dialogs always may.
  bool mustExist = true;
};

struct FontChoice {
  std::string name;
  int size = 9;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint32_t color = 0;  // 0x00BBGGRR, as colours are stored
};

// A window of the program that can be shown modally (its dialogs).
class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  // Runs the dialog until it closes; returns its modal result.
  virtual int RunModal() = 0;
  // The window's name ("FormGroup"), for prompts and diagnostics.
  virtual std::string DialogName() const = 0;
};

class UiHost {
 public:
  virtual ~UiHost() = default;

  virtual MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                               MsgIcon icon = MsgIcon::None) = 0;
  virtual int ShowModal(ModalDialog& dialog) = 0;
  virtual std::optional<std::string> OpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogRequest& request) = 0;
  // The input box: the entered text, or nothing when cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;
  virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& initial) = 0;
  // The printer-setup dialog; true when the user confirmed.
  virtual bool PrinterSetup() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  // Puts a picture on the clipboard in the forms other programs paste
  // (vector and bitmap where the picture has both). A failure is ignored.
  virtual void SetClipboardPicture(const Picture& picture) = 0;
  // Starts another program; with `wait` returns after it ended. False when it
  // could not be started.
  virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                            bool wait) = 0;
};

}  // namespace quelvar::platform
