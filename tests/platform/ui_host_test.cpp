#include <gtest/gtest.h>

#include "platform/FileDialogText.h"
#include "platform/ScriptedUiHost.h"

namespace {

using namespace quelvar::platform;
using Kind = ScriptedUiHost::Kind;

class FakeDialog : public ModalDialog {
 public:
  int RunModal() override { return kModalOk; }
  std::string DialogName() const override { return "FormGroup"; }
  std::string field = "old";
};

TEST(ScriptedUiHost, RecordsEveryPromptInOrderWithItsDetails) {
  ScriptedUiHost host;
  host.messageAnswers.push_back(MsgResult::Yes);
  host.inputAnswers.push_back(std::string("新标题"));
  EXPECT_EQ(host.MessageBox("模拟通道数大于AD板总通道数!", "模拟通道设置错误", MsgButtons::YesNo, MsgIcon::Warning),
            MsgResult::Yes);
  EXPECT_EQ(host.InputBox("定制窗口标题", "请输入新的标题    ", "Quelvar"), std::optional<std::string>("新标题"));
  host.SetClipboardText("a\tb\r\n");
  ASSERT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(host.prompts[0].kind, Kind::Message);
  EXPECT_EQ(host.prompts[0].text, "模拟通道数大于AD板总通道数!");
  EXPECT_EQ(host.prompts[0].caption, "模拟通道设置错误");
  EXPECT_EQ(host.prompts[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(host.prompts[1].kind, Kind::Input);
  EXPECT_EQ(host.prompts[1].arguments, std::vector<std::string>{"Quelvar"});
  EXPECT_EQ(host.clipboardText, "a\tb\r\n");
  EXPECT_EQ(host.PromptsOf(Kind::Clipboard).size(), 1u);
}

TEST(ScriptedUiHost, UnscriptedPromptsGetTheCautiousAnswer) {
  struct Case {
    MsgButtons buttons;
    MsgResult expected;
  } cases[] = {
      {MsgButtons::Ok, MsgResult::Ok},          {MsgButtons::OkCancel, MsgResult::Cancel},
      {MsgButtons::YesNo, MsgResult::No},       {MsgButtons::YesNoCancel, MsgResult::Cancel},
      {MsgButtons::RetryCancel, MsgResult::Cancel}, {MsgButtons::AbortRetryIgnore, MsgResult::Abort},
  };
  ScriptedUiHost host;
  for (const auto& c : cases) EXPECT_EQ(host.MessageBox("t", "c", c.buttons), c.expected);
  FakeDialog dialog;
  EXPECT_EQ(host.ShowModal(dialog), kModalCancel);
  EXPECT_FALSE(host.OpenFileName({}).has_value());
  EXPECT_FALSE(host.SaveFileName({}).has_value());
  EXPECT_FALSE(host.InputBox("c", "p", "d").has_value());
  EXPECT_FALSE(host.ChooseColor(0xFF).has_value());
  EXPECT_FALSE(host.ChooseFont({}).has_value());
  EXPECT_FALSE(host.PrinterSetup());
}

TEST(ScriptedUiHost, ModalScriptCanFillTheDialogBeforeItCloses) {
  ScriptedUiHost host;
  host.modalAnswers.push_back([](ModalDialog& d) {
    static_cast<FakeDialog&>(d).field = "edited";
    return kModalOk;
  });
  host.AnswerModal(kModalCancel);
  FakeDialog dialog;
  EXPECT_EQ(host.ShowModal(dialog), kModalOk);
  EXPECT_EQ(dialog.field, "edited");
  EXPECT_EQ(host.ShowModal(dialog), kModalCancel);
  EXPECT_EQ(host.PromptsOf(Kind::Modal).front().text, "FormGroup");
}

TEST(FileDialogText, ProgramFilterBecomesToolkitFilter) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"配置文件(*.QCG)|*.QCG", "配置文件(*.QCG) (*.QCG)"},
      {"Text|*.txt;*.csv|All|*.*", "Text (*.txt *.csv);;All (*.*)"},
      {"", ""},
      {"Dangling description", ""},
      {"A|*.a|B", "A (*.a)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToolkitFileFilter(c.in), c.out) << c.in;
}

TEST(FileDialogText, DefaultExtensionOnlyWhenNameHasNone) {
  struct Case {
    const char* name;
    const char* ext;
    const char* out;
  } cases[] = {
      {"F001", "DAT", "F001.DAT"},          {"F001.DAT", "DAT", "F001.DAT"},
      {"page.vpc", "GRD", "page.vpc"},      {"/tmp/a.b/order", "GRD", "/tmp/a.b/order.GRD"},
      {"order", "", "order"},               {"", "DAT", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithDefaultExtension(c.name, c.ext), c.out) << c.name;
}

}  // namespace
