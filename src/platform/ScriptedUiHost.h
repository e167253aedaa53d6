#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/UiHost.h"

namespace quelvar::platform {

// Test double: records every prompt in order and answers from per-kind
// queues. An empty queue gives the cautious answer: OK for a box with only an
// OK button, otherwise Cancel or No; dialogs are cancelled.
class ScriptedUiHost : public UiHost {
 public:
  enum class Kind { Message, Modal, OpenFile, SaveFile, Input, Color, Font, PrinterSetup, Clipboard, Program };

  struct Prompt {
    Kind kind;
    std::string text;     // message text, dialog name, prompt, clipboard text or program
    std::string caption;  // caption or dialog title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    FileDialogRequest file;
    std::vector<std::string> arguments;
    // A clipboard picture's size (its text is then empty).
    int pictureWidth = 0;
    int pictureHeight = 0;
  };

  // A modal answer may act on the dialog (fill its fields) before it returns
  // the modal result.
  using ModalScript = std::function<int(ModalDialog&)>;

  std::deque<MsgResult> messageAnswers;
  std::deque<ModalScript> modalAnswers;
  std::deque<std::optional<std::string>> fileAnswers;  // open and save dialogs
  std::deque<std::optional<std::string>> inputAnswers;
  std::deque<std::optional<uint32_t>> colorAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;
  std::deque<bool> printerAnswers;
  bool startProgramSucceeds = true;

  std::vector<Prompt> prompts;
  std::string clipboardText;

  void AnswerModal(int result) {
    modalAnswers.push_back([result](ModalDialog&) { return result; });
  }
  // Prompts of one kind, in order.
  std::vector<Prompt> PromptsOf(Kind kind) const;

  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon = MsgIcon::None) override;
  int ShowModal(ModalDialog& dialog) override;
  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  bool PrinterSetup() override;
  void SetClipboardText(const std::string& text) override;
  // Recorded as a Clipboard prompt with the picture's size.
  void SetClipboardPicture(const Picture& picture) override;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    bool wait) override;

 private:
  std::optional<std::string> FileAnswer(Kind kind, const FileDialogRequest& request);
};

}  // namespace quelvar::platform
