// The text table of the shown data: on the clipboard and in a file; the run log on the clipboard.
#include <QAction>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>

#include <memory>

#include "platform/UiHost.h"
#include "shell/FormMain.h"
#include "view/TextTable.h"

namespace quelvar {

namespace {

using platform::MsgButtons;

// A long table shows its progress once it has taken this long.
constexpr int kProgressDelayMs = 1000;

// The table's progress in a dialog, made only for tables long enough to
// need one. While nothing is acquired the window keeps painting meanwhile;
// user input and socket events wait until the table is done, so nothing can
// change the data under it. While acquiring no events run at all: the rows
// must not mix blocks that arrive during the command, and a dialog that is
// never painted would only stand as a dead window, so none is made.
class TableProgressDialog {
 public:
  TableProgressDialog(QWidget* parent, bool processEvents) : parent_(parent), processEvents_(processEvents) {}

  void operator()(int64_t done, int64_t total) {
    if (!processEvents_) return;
    if (dialog_ == nullptr) {
      if (total <= kTextTableProgressRows) return;
      dialog_ = std::make_unique<QProgressDialog>(QString(), QString(), 0,
                                                  static_cast<int>(std::min<int64_t>(total, INT32_MAX)), parent_);
      dialog_->setObjectName("TextTableProgress");
      dialog_->setWindowModality(Qt::NonModal);
      dialog_->setMinimumDuration(kProgressDelayMs);
      dialog_->setCancelButton(nullptr);
      dialog_->setAutoClose(false);
      dialog_->setAutoReset(false);
    }
    dialog_->setValue(static_cast<int>(std::min<int64_t>(done, INT32_MAX)));
    if (processEvents_) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    }
  }

 private:
  QWidget* parent_;
  bool processEvents_;
  std::unique_ptr<QProgressDialog> dialog_;
};

TextTableMenus MenusOf(const TFormMain& form, bool oscilloscope) {
  TextTableMenus menus;
  menus.Mode = form.menuGridHex->isChecked()           ? GridMode::Hex
               : form.menuGridDirectValue->isChecked() ? GridMode::DirectValue
                                                       : GridMode::Engineering;
  menus.Oscilloscope = oscilloscope;
  return menus;
}

}  // namespace

void TFormMain::BuildTextExportCommands() {
  connect(menuCopyText, &QAction::triggered, this, [this] { menuCopyTextClick(); });
  connect(menuCopyReport, &QAction::triggered, this, [this] { menuCopyReportClick(); });
  connect(menuSaveAsText, &QAction::triggered, this, [this] { menuSaveAsTextClick(); });
}

int64_t TFormMain::BuildTextTable(bool oscilloscope, const TextTableSink& sink) {
  const TextTableMenus menus = MenusOf(*this, oscilloscope);
  TextTableSource source{{state_.config, state_.torque, state_.display, state_.layout}, state_.wave,
                         state_.oscilTool};
  // No start or stop, local or remote, while the table is read.
  const StartStopScope busy(startStopBusy_);
  TableProgressDialog dialog(this, state_.RunState == kRunIdle);
  return quelvar::TextTableOfView(source, menus, sink, [&](int64_t done, int64_t total) { dialog(done, total); });
}

std::string TFormMain::TextTableOfView(const TextTableSink& sink) {
  if (state_.display.DataSourceMode == 2) return TextTableOfOscilloscope(sink);
  std::string text;
  BuildTextTable(false, sink ? sink : [&](std::string_view piece) { text.append(piece); });
  return text;
}

std::string TFormMain::TextTableOfOscilloscope(const TextTableSink& sink) {
  std::string text;
  BuildTextTable(true, sink ? sink : [&](std::string_view piece) { text.append(piece); });
  return text;
}

int TFormMain::WriteTextTableFile(const std::string& fileName) {
  const TextTableMenus menus = MenusOf(*this, state_.display.DataSourceMode == 2);
  TextTableSource source{{state_.config, state_.torque, state_.display, state_.layout}, state_.wave,
                         state_.oscilTool};
  const StartStopScope busy(startStopBusy_);
  TableProgressDialog dialog(this, state_.RunState == kRunIdle);
  return quelvar::WriteTextTableFile(fileName, source, menus, state_.RunState, state_.history.Comment,
                                     [&](int64_t done, int64_t total) { dialog(done, total); });
}

void TFormMain::menuCopyTextClick() {
  if (state_.display.DispValid != 1) {
    PostStatusText("提示：没有波形！");
    return;
  }
  // The whole table is held twice over on its way to the clipboard; a file
  // takes it row by row and needs no such limit.
  const TextTableSource source{{state_.config, state_.torque, state_.display, state_.layout}, state_.wave,
                               state_.oscilTool};
  if (TextTableSizeBound(source, MenusOf(*this, state_.display.DataSourceMode == 2)) > kTextTableClipboardLimit) {
    PostStatusText("提示：数据太多，不能拷贝于剪贴板！");
    return;
  }
  services_.ui.SetClipboardText(TextTableOfView());
  PostStatusText("提示：波形文字已在剪贴板！");
}

void TFormMain::menuCopyReportClick() {
  services_.ui.SetClipboardText(Memo1->toPlainText().toStdString());
  PostStatusText("提示：运行日志已在剪贴板！");
}

void TFormMain::menuSaveAsTextClick() {
  if (state_.RunState != kRunIdle) {
    PostStatusText("提示：采集过程中不能存盘！");
    return;
  }
  if (state_.display.DispValid != 1) {
    services_.ui.MessageBox("无显示波形数据", "警告!不能存盘", MsgButtons::OkCancel);
    return;
  }
  platform::FileDialogRequest request;
  request.title = "指定要保存的文本方式数据文件名";
  request.initialDir = state_.startup.DialogInitialDir;
  request.defaultExt = "TXT";
  request.filter = "数据文件 (*.txt)|*.txt|EXCEL文件 (*.xls)|*.xls|所有文件 (*.*)|*.*";
  request.mustExist = false;
  const auto fileName = services_.ui.SaveFileName(request);
  if (!fileName) return;
  if (WriteTextTableFile(*fileName) == 0) services_.ui.MessageBox("文件操作失败!", "保存结果错误", MsgButtons::Ok);
}

}  // namespace quelvar
