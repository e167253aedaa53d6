#include "platform/ScriptedUiHost.h"

#include "platform/Canvas.h"

namespace quelvar::platform {

namespace {

template <typename T, typename D>
T Pop(std::deque<T>& queue, D fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

ScriptedUiHost::Prompt MakePrompt(ScriptedUiHost::Kind kind, std::string text, std::string caption) {
  ScriptedUiHost::Prompt p;
  p.kind = kind;
  p.text = std::move(text);
  p.caption = std::move(caption);
  return p;
}

MsgResult CautiousAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgResult::Ok;
    case MsgButtons::YesNo:
      return MsgResult::No;
    case MsgButtons::AbortRetryIgnore:
      return MsgResult::Abort;
    default:
      return MsgResult::Cancel;
  }
}

}  // namespace

std::vector<ScriptedUiHost::Prompt> ScriptedUiHost::PromptsOf(Kind kind) const {
  std::vector<Prompt> out;
  for (const Prompt& p : prompts) {
    if (p.kind == kind) out.push_back(p);
  }
  return out;
}

MsgResult ScriptedUiHost::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                     MsgIcon icon) {
  Prompt p = MakePrompt(Kind::Message, text, caption);
  p.buttons = buttons;
  p.icon = icon;
  prompts.push_back(std::move(p));
  return Pop(messageAnswers, CautiousAnswer(buttons));
}

int ScriptedUiHost::ShowModal(ModalDialog& dialog) {
  prompts.push_back(MakePrompt(Kind::Modal, dialog.DialogName(), {}));
  ModalScript script = Pop(modalAnswers, ModalScript{});
  return script ? script(dialog) : kModalCancel;
}

std::optional<std::string> ScriptedUiHost::FileAnswer(Kind kind, const FileDialogRequest& request) {
  Prompt p = MakePrompt(kind, request.fileName, request.title);
  p.file = request;
  prompts.push_back(std::move(p));
  return Pop(fileAnswers, std::optional<std::string>{});
}

std::optional<std::string> ScriptedUiHost::OpenFileName(const FileDialogRequest& request) {
  return FileAnswer(Kind::OpenFile, request);
}

std::optional<std::string> ScriptedUiHost::SaveFileName(const FileDialogRequest& request) {
  return FileAnswer(Kind::SaveFile, request);
}

std::optional<std::string> ScriptedUiHost::InputBox(const std::string& caption, const std::string& prompt,
                                                    const std::string& initial) {
  Prompt p = MakePrompt(Kind::Input, prompt, caption);
  p.arguments = {initial};
  prompts.push_back(std::move(p));
  return Pop(inputAnswers, std::optional<std::string>{});
}

std::optional<uint32_t> ScriptedUiHost::ChooseColor(uint32_t initial) {
  prompts.push_back(MakePrompt(Kind::Color, std::to_string(initial), {}));
  return Pop(colorAnswers, std::optional<uint32_t>{});
}

std::optional<FontChoice> ScriptedUiHost::ChooseFont(const FontChoice& initial) {
  prompts.push_back(MakePrompt(Kind::Font, initial.name, {}));
  return Pop(fontAnswers, std::optional<FontChoice>{});
}

bool ScriptedUiHost::PrinterSetup() {
  prompts.push_back(MakePrompt(Kind::PrinterSetup, {}, {}));
  return Pop(printerAnswers, false);
}

void ScriptedUiHost::SetClipboardText(const std::string& text) {
  prompts.push_back(MakePrompt(Kind::Clipboard, text, {}));
  clipboardText = text;
}

void ScriptedUiHost::SetClipboardPicture(const Picture& picture) {
  Prompt p = MakePrompt(Kind::Clipboard, {}, {});
  p.pictureWidth = picture.Width();
  p.pictureHeight = picture.Height();
  prompts.push_back(std::move(p));
}

bool ScriptedUiHost::StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                                  bool wait) {
  Prompt p = MakePrompt(Kind::Program, program, wait ? "wait" : "");
  p.arguments = arguments;
  prompts.push_back(std::move(p));
  return startProgramSucceeds;
}

}  // namespace quelvar::platform
