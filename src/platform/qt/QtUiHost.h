#pragma once

#include <memory>

#include "platform/UiHost.h"

class QWidget;
class QPrinter;

namespace quelvar::platform {

// The real user interaction: Qt dialogs, clipboard and processes. Texts stay
// UTF-8 std::string on the program side.
class QtUiHost : public UiHost {
 public:
  QtUiHost();
  ~QtUiHost() override;

  // Dialogs are shown over this window (the main window once it exists).
  void SetParentWindow(QWidget* parent) { parent_ = parent; }
  // The printer the printer-setup dialog edits; printing uses the same one.
  QPrinter& Printer();

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
  // A vector picture goes as SVG (image/svg+xml) and as a bitmap; a raster
  // picture as a bitmap only. Bitmaps are scaled down proportionally to at
  // most kClipboardBitmapSide pixels on their longer side.
  void SetClipboardPicture(const Picture& picture) override;
  static constexpr int kClipboardBitmapSide = 4096;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    bool wait) override;

 private:
  std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save);

  QWidget* parent_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace quelvar::platform
