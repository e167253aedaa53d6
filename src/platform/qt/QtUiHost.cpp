#include "platform/qt/QtText.h"
#include "platform/qt/QtUiHost.h"

#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QMimeData>
#include <QProcess>

#include <algorithm>
#include <exception>
#include <memory>

#include "platform/FileDialogText.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"

namespace quelvar::platform {

namespace {

std::string S(const QString& s) { return s.toStdString(); }

QMessageBox::StandardButtons ToQt(MsgButtons b) {
  switch (b) {
    case MsgButtons::Ok:
      return QMessageBox::Ok;
    case MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(MsgIcon i) {
  switch (i) {
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Error:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

MsgResult FromQt(int button, MsgButtons shown) {
  switch (button) {
    case QMessageBox::Ok:
      return MsgResult::Ok;
    case QMessageBox::Yes:
      return MsgResult::Yes;
    case QMessageBox::No:
      return MsgResult::No;
    case QMessageBox::Retry:
      return MsgResult::Retry;
    case QMessageBox::Abort:
      return MsgResult::Abort;
    case QMessageBox::Ignore:
      return MsgResult::Ignore;
    case QMessageBox::Cancel:
      return MsgResult::Cancel;
  }
  // Closed with the window's close box or Escape.
  return shown == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

// Colours are kept as 0x00BBGGRR.
QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t FromQColor(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

}  // namespace

QtUiHost::QtUiHost() = default;
QtUiHost::~QtUiHost() = default;

QPrinter& QtUiHost::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

MsgResult QtUiHost::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                               MsgIcon icon) {
  QMessageBox box(ToQt(icon), Q(caption), Q(text), ToQt(buttons), parent_);
  return FromQt(box.exec(), buttons);
}

int QtUiHost::ShowModal(ModalDialog& dialog) { return dialog.RunModal(); }

std::optional<std::string> QtUiHost::FileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent_, Q(request.title), Q(request.initialDir), Q(ToolkitFileFilter(request.filter)));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(Q(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(Q(request.fileName));
  const QStringList filters = dialog.nameFilters();
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters.at(request.filterIndex - 1));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return WithDefaultExtension(S(dialog.selectedFiles().first()), request.defaultExt);
}

std::optional<std::string> QtUiHost::OpenFileName(const FileDialogRequest& request) {
  return FileDialog(request, false);
}

std::optional<std::string> QtUiHost::SaveFileName(const FileDialogRequest& request) {
  return FileDialog(request, true);
}

std::optional<std::string> QtUiHost::InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, Q(caption), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
  if (!ok) return std::nullopt;
  return S(text);
}

std::optional<uint32_t> QtUiHost::ChooseColor(uint32_t initial) {
  const QColor c = QColorDialog::getColor(ToQColor(initial), parent_);
  if (!c.isValid()) return std::nullopt;
  return FromQColor(c);
}

std::optional<FontChoice> QtUiHost::ChooseFont(const FontChoice& initial) {
  QFont font(Q(initial.name), initial.size);
  font.setBold(initial.bold);
  font.setItalic(initial.italic);
  font.setUnderline(initial.underline);
  font.setStrikeOut(initial.strikeOut);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font, parent_);
  if (!ok) return std::nullopt;
  FontChoice out = initial;
  out.name = S(chosen.family());
  out.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
  out.bold = chosen.bold();
  out.italic = chosen.italic();
  out.underline = chosen.underline();
  out.strikeOut = chosen.strikeOut();
  return out;
}

bool QtUiHost::PrinterSetup() {
  QPrintDialog dialog(&Printer(), parent_);
  return dialog.exec() == QDialog::Accepted;
}

void QtUiHost::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(Q(text));
}

void QtUiHost::SetClipboardPicture(const Picture& picture) {
  // Whatever goes wrong (no clipboard, no memory for the bitmap), the copy
  // is simply not made.
  try {
    auto data = std::make_unique<QMimeData>();
    if (const auto* vector = dynamic_cast<const QtVectorPicture*>(&picture)) {
      if (vector->Width() <= 0 || vector->Height() <= 0) return;
      data->setData(QStringLiteral("image/svg+xml"), vector->ToSvg());
      data->setImageData(vector->ToImage(kClipboardBitmapSide));
    } else if (const auto* raster = dynamic_cast<const QtPicture*>(&picture)) {
      QImage image = raster->Image();
      if (image.isNull()) return;
      if (std::max(image.width(), image.height()) > kClipboardBitmapSide) {
        image = image.scaled(kClipboardBitmapSide, kClipboardBitmapSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      }
      data->setImageData(image);
    } else {
      return;
    }
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setMimeData(data.release());
  } catch (const std::exception&) {
  }
}

bool QtUiHost::StartProgram(const std::string& program, const std::vector<std::string>& arguments, bool wait) {
  QStringList args;
  for (const std::string& a : arguments) args << Q(a);
  if (wait) return QProcess::execute(Q(program), args) >= 0;
  return QProcess::startDetached(Q(program), args);
}

}  // namespace quelvar::platform
