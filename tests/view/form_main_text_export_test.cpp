// The main window's text table commands: the table on the clipboard, the
// run log on the clipboard and the table in a text file.
#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QProgressDialog>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "MainWindowWithData.h"
#include "platform/GbkText.h"
#include "view/TextTable.h"

namespace {

using namespace quelvar;
using platform::MsgButtons;
using platform::ScriptedUiHost;
using Kind = ScriptedUiHost::Kind;

class FormMainTextExport : public test::MainWindowWithData {
 protected:
  // Data on display, the four channels painted once so the table has its
  // columns, showing points 11 .. 30.
  std::unique_ptr<TFormMain> Shown() {
    auto form = WithData();
    form->menuScope4->trigger();
    state.wave.XPosition = 10;
    state.wave.DisplayWidth = 20;
    form->Timer2Timer();
    return form;
  }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static size_t Rows(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1; }
};

TEST_F(FormMainTextExport, CopyTextPutsTheTableOfTheShownPointsOnTheClipboard) {
  auto form = Shown();
  ASSERT_GT(state.wave.DrawnAnalogCount, 0);
  form->menuCopyText->trigger();
  const std::string& text = ui.clipboardText;
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "时间\t通道名：\tChn0\tChn1\tChn2\tChn3");
  EXPECT_EQ(Rows(text), 2u + 20u);
  EXPECT_NE(text.find("\r\n(ms)\t点\\单位：\tV\tV\tV\tV\r\n"), std::string::npos);
  // The first data row is point 11's.
  const std::string first = text.substr(text.find("\r\n", text.find("单位")) + 2);
  EXPECT_EQ(first.substr(first.find('\t'), 4), "\t11\t");
  EXPECT_EQ(form->PostedStatusText(), "提示：波形文字已在剪贴板！");
  // The grid's raw-code mode gives raw codes.
  form->menuGridHex->trigger();
  form->menuCopyTextClick();
  EXPECT_NE(ui.clipboardText.find("\t[原始值]\t[原始值]"), std::string::npos);
}

TEST_F(FormMainTextExport, InTheOscilloscopeDisplayTheTracesAreTheColumns) {
  auto form = Shown();
  state.display.DataSourceMode = 2;
  state.oscilTool.UseChn1 = 1;
  state.oscilTool.ChnAd1 = 2;
  state.oscilTool.UseChn2 = 1;
  state.oscilTool.ChnAD2 = 0;
  form->menuCopyTextClick();
  EXPECT_EQ(ui.clipboardText.substr(0, ui.clipboardText.find("\r\n")), "时间\t通道名：\tChn2\tChn0");
  EXPECT_EQ(form->TextTableOfOscilloscope(), ui.clipboardText);
}

TEST_F(FormMainTextExport, CopyTextWithoutDataOnlyTellsSo) {
  auto form = NewMainWindow();
  form->menuCopyTextClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：没有波形！");
  EXPECT_TRUE(ui.prompts.empty());
}

// A zoomed-out view of millions of points would be held whole twice over on
// its way to the clipboard: a table whose size bound passes the limit is
// refused before any of it is built; the file takes it row by row.
TEST_F(FormMainTextExport, CopyTextRefusesATableTooLargeForTheClipboard) {
  auto form = Shown();
  ui.clipboardText = "earlier";
  // Ten million shown points of four channels: the bound reads no data.
  state.display.DispPoints = 10'000'000;
  state.display.DispRows = 10'000'000;
  state.wave.XPosition = 0;
  state.wave.DisplayWidth = 10'000'000;
  const TextTableSource source{{state.config, state.torque, state.display, state.layout}, state.wave,
                               state.oscilTool};
  ASSERT_GT(TextTableSizeBound(source, {}), kTextTableClipboardLimit);
  form->menuCopyTextClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：数据太多，不能拷贝于剪贴板！");
  EXPECT_EQ(ui.clipboardText, "earlier");
  // The oscilloscope's two traces are under the same limit.
  state.display.DataSourceMode = 2;
  state.oscilTool.UseChn1 = 1;
  state.oscilTool.ChnAd1 = 0;
  form->PostStatusText("");
  form->menuCopyTextClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：数据太多，不能拷贝于剪贴板！");
  EXPECT_EQ(ui.clipboardText, "earlier");
}

// While acquiring no events run during the table, so a progress dialog would
// stand unpainted: none is made then; idle, a long table has one.
TEST_F(FormMainTextExport, ALongTableHasAProgressDialogOnlyWhenEventsRun) {
  auto form = WithData(1500);
  form->menuScope4->trigger();
  state.wave.XPosition = 0;
  state.wave.DisplayWidth = 6000;
  form->Timer2Timer();
  ASSERT_GT(state.wave.DisplayWidth, kTextTableProgressRows);
  for (const int32_t runState : {kRunIdle, kRunRecording}) {
    state.RunState = runState;
    bool dialogSeen = false;
    form->TextTableOfView([&](std::string_view) {
      if (form->findChild<QProgressDialog*>("TextTableProgress") != nullptr) dialogSeen = true;
    });
    EXPECT_EQ(dialogSeen, runState == kRunIdle) << runState;
    EXPECT_EQ(form->findChild<QProgressDialog*>("TextTableProgress"), nullptr);  // gone with the table
  }
  state.RunState = kRunIdle;
}

TEST_F(FormMainTextExport, CopyReportPutsTheRunLogOnTheClipboard) {
  auto form = NewMainWindow();
  form->Memo1->setPlainText(QStringLiteral("开始采集\n停止采集"));
  form->menuCopyReport->trigger();
  EXPECT_EQ(ui.clipboardText, "开始采集\n停止采集");
  EXPECT_EQ(form->PostedStatusText(), "提示：运行日志已在剪贴板！");
}

TEST_F(FormMainTextExport, SaveAsTextWritesTheCommentAndTheTableInGbk) {
  auto form = Shown();
  state.history.Comment = "试验一";
  const std::string table = form->TextTableOfView();
  const std::filesystem::path file = dir / "data.txt";
  ui.fileAnswers.push_back(file.string());
  form->menuSaveAsText->trigger();
  const auto dialogs = ui.PromptsOf(Kind::SaveFile);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].file.title, "指定要保存的文本方式数据文件名");
  EXPECT_EQ(dialogs[0].file.defaultExt, "TXT");
  EXPECT_EQ(dialogs[0].file.filter, "数据文件 (*.txt)|*.txt|EXCEL文件 (*.xls)|*.xls|所有文件 (*.*)|*.*");
  EXPECT_EQ(dialogs[0].file.fileName, "");
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());
  EXPECT_EQ(Read(file), platform::Utf8ToGbk("试验一\r\r\n" + table));
}

TEST_F(FormMainTextExport, SaveAsTextWhileAcquiringIsRefusedWithoutADialog) {
  auto form = Shown();
  state.RunState = kRunRecording;
  form->menuSaveAsTextClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：采集过程中不能存盘！");
  EXPECT_TRUE(ui.prompts.empty());
  // Called directly, the file is refused too.
  EXPECT_EQ(form->WriteTextTableFile((dir / "a.txt").string()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "a.txt"));
}

TEST_F(FormMainTextExport, SaveAsTextWithoutDataWarnsWithOkAndCancel) {
  auto form = NewMainWindow();
  form->menuSaveAsTextClick();
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].kind, Kind::Message);
  EXPECT_EQ(ui.prompts[0].text, "无显示波形数据");
  EXPECT_EQ(ui.prompts[0].caption, "警告!不能存盘");
  EXPECT_EQ(ui.prompts[0].buttons, MsgButtons::OkCancel);
}

TEST_F(FormMainTextExport, AFileThatCannotBeMadeIsReportedAndCancellingWritesNothing) {
  auto form = Shown();
  ui.fileAnswers.push_back(std::nullopt);
  form->menuSaveAsTextClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());
  ui.fileAnswers.push_back((dir / "missing" / "a.txt").string());
  form->menuSaveAsTextClick();
  const auto boxes = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "文件操作失败!");
  EXPECT_EQ(boxes[0].caption, "保存结果错误");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 0);
}

}  // namespace
