#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>

#include "analysis/FormFault.h"
#include "analysis/record_file_manager_support.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;
using test::kManagedName;

class FormFaultTest : public ::testing::Test {
 protected:
  test::RecordDir dir;
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;

  void SetUp() override { state.config.SavePath = dir.Str(); }
};

TEST_F(FormFaultTest, ControlsCarryTheirNamesAndCaptions) {
  TFormFault form(state, registry, ui);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("历史数据库管理"));
  const std::pair<QPushButton*, const char*> buttons[] = {{form.ButtonOK, "确定"},
                                                          {form.ButtonCancel, "取消"},
                                                          {form.ButtonDelete, "删除文件"},
                                                          {form.ButtonUpdateUserInfo, "更新标识"},
                                                          {form.ButtonFixFile, "修复文件"}};
  for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  EXPECT_EQ(form.ButtonOK->toolTip(), QStringLiteral("退出,选定当前历史文件"));
  EXPECT_FALSE(form.ButtonFixFile->isEnabled());
  EXPECT_EQ(form.CheckBoxDispAll->text(), QStringLiteral("显示全范围"));
  EXPECT_TRUE(form.CheckBoxDispAll->isChecked());
  EXPECT_FALSE(form.EditBeginBlock->isEnabled());
  EXPECT_EQ(form.EditEndBlock->toolTip(), QStringLiteral("范围为0～？"));
  EXPECT_EQ(form.EditFileName->text(), QStringLiteral("F*.DAT"));
  EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("文件内容"));
  EXPECT_EQ(form.Memo2->toPlainText(), QStringLiteral("标识信息"));
  EXPECT_EQ(form.FilterComboBox1->itemText(0), QStringLiteral("历史数据文件 (F*.DAT)"));
  // The list starts in the save path.
  EXPECT_EQ(form.CurrentDirectory(), dir.Str());
  EXPECT_EQ(form.Label_Dir->text().toStdString(), dir.Str());
}

TEST_F(FormFaultTest, AFirstRunNeverShownStoresAUsableSizeNotTheMinimum) {
  {
    TFormFault form(state, registry, ui);
    EXPECT_GE(form.width(), 400);
    EXPECT_GE(form.height(), 300);
  }  // never shown: its place is still written at the end
  const auto width = registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\FormSize", "FormFault_Width");
  ASSERT_TRUE(width.has_value());
  EXPECT_GE(*width, 400) << "the next start must not open a 150-pixel window";
}

TEST_F(FormFaultTest, ChoosingAFileChecksItAndFillsTheRange) {
  test::WriteManaged(dir, test::ManagedPackage(5, "第一行\r\n第二行"));
  TFormFault form(state, registry, ui);
  form.SetCurrentDirectory(dir.Str());
  ASSERT_EQ(form.FileListBox1->count(), 1);
  form.FileListBox1->setCurrentRow(0);  // as a click in the list does
  EXPECT_EQ(form.EditFileName->text().toStdString(), kManagedName);
  EXPECT_EQ(state.HistoryFilePath, dir.File(kManagedName));
  EXPECT_EQ(form.ReportText().rfind("结论: 可使用本历史数据文件!", 0), 0u) << form.ReportText();
  EXPECT_EQ(form.UserText(), "第一行\r\n第二行");
  EXPECT_EQ(form.EditBeginBlock->text(), QStringLiteral("0"));
  EXPECT_EQ(form.EditEndBlock->text(), QStringLiteral("4"));
  EXPECT_EQ(form.EditEndBlock->toolTip(), QStringLiteral("范围为0~4"));
  EXPECT_FALSE(form.ButtonFixFile->isEnabled());

  // A range of one's own, kept within the blocks.
  form.CheckBoxDispAll->setChecked(false);
  form.CheckBoxDispAllClick();
  EXPECT_TRUE(form.EditEndBlock->isEnabled());
  form.EditEndBlock->setText(QStringLiteral("99"));
  EXPECT_EQ(form.EditEndBlock->text(), QStringLiteral("4"));
  form.EditBeginBlock->setText(QStringLiteral("3"));
  form.EditEndBlock->setText(QStringLiteral("1"));
  EXPECT_EQ(form.EditEndBlock->text(), QStringLiteral("3"));
  form.CheckBoxDispAll->setChecked(true);
  form.CheckBoxDispAllClick();
  EXPECT_EQ(form.EditBeginBlock->text(), QStringLiteral("0"));
  EXPECT_EQ(form.EditEndBlock->text(), QStringLiteral("4"));
}

TEST_F(FormFaultTest, RepairButtonOnlyForALengthFaultAndTheCopyIsCheckedAtOnce) {
  const std::string path = test::WriteManaged(dir, test::ManagedPackage());
  std::string bytes = test::ReadBytes(path);
  bytes.resize(test::kManagedCommentAt - 10);
  test::WriteBytes(path, bytes);
  TFormFault form(state, registry, ui);
  form.EditFileName->setText(QString::fromUtf8(kManagedName));
  EXPECT_TRUE(form.ButtonFixFile->isEnabled());
  EXPECT_NE(form.ReportText().find("错误:文件尺寸不匹配"), std::string::npos);

  form.ButtonFixFileClick();
  EXPECT_EQ(form.EditFileName->text(), QStringLiteral("F20240305140709-Fix.DAT"));
  EXPECT_EQ(state.HistoryFilePath, dir.File("F20240305140709-Fix.DAT"));
  EXPECT_TRUE(form.Manager().CheckedFileValid()) << form.ReportText();
  EXPECT_EQ(form.EditEndBlock->text(), QStringLiteral("1"));
  EXPECT_FALSE(form.ButtonFixFile->isEnabled());
  EXPECT_EQ(test::ReadBytes(path), bytes);
  EXPECT_EQ(form.FileListBox1->currentItem()->text(), QStringLiteral("F20240305140709-Fix.DAT"));
}

TEST_F(FormFaultTest, OkOnlyForAPassedFileAndTheNextVisitReselectsIt) {
  test::WriteManaged(dir, test::ManagedPackage());
  test::WriteBytes(dir.File("F1.DAT"), std::string(200, 'x'));
  TFormFault form(state, registry, ui);
  form.EditFileName->setText(QStringLiteral("F1.DAT"));
  EXPECT_EQ(form.ReportText().rfind("结论: 本历史数据文件不可用(未知格式)!", 0), 0u) << form.ReportText();
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].caption, "确定操作无效");

  form.EditFileName->setText(QString::fromUtf8(kManagedName));
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.Manager().FaultFileSelection, kManagedName);

  form.EditFileName->setText(QStringLiteral("F1.DAT"));
  form.FormActivate();
  EXPECT_EQ(form.EditFileName->text().toStdString(), kManagedName);
  EXPECT_TRUE(form.Manager().CheckedFileValid());
  EXPECT_EQ(form.FileListBox1->currentItem()->text().toStdString(), kManagedName);
}

TEST_F(FormFaultTest, UserTextAndDeleteGoThroughTheBoxAndTheQuestion) {
  const std::string path = test::WriteManaged(dir, test::ManagedPackage());
  TFormFault form(state, registry, ui);
  form.EditFileName->setText(QString::fromUtf8(kManagedName));
  form.Memo2->setPlainText(QStringLiteral("新的\n说明"));
  form.ButtonUpdateUserInfoClick();
  EXPECT_EQ(CheckRecordFileReport(path, kManagedName).userText, "新的\r\n说明");

  ui.messageAnswers.push_back(platform::MsgResult::No);
  form.ButtonDeleteClick();
  EXPECT_TRUE(std::filesystem::exists(path));
  ui.messageAnswers.push_back(platform::MsgResult::Yes);
  form.ButtonDeleteClick();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(form.FileListBox1->count(), 0);
  EXPECT_EQ(ui.PromptsOf(Kind::Message).size(), 2u);
}

using MainWindowRecordFiles = test::MainWindowFixture;

TEST_F(MainWindowRecordFiles, ShowsTheManagerModallyWithTheWholeRangeTicked) {
  auto main = NewMainWindow();
  TFormFault* manager = main->FaultManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(main->FaultManager(), manager);  // one window for the whole run
  manager->CheckBoxDispAll->setChecked(false);
  bool tickedWhenShown = false;
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    tickedWhenShown = static_cast<TFormFault&>(dialog).CheckBoxDispAll->isChecked();
    return platform::kModalOk;
  });
  EXPECT_EQ(main->RunRecordFileManager(), platform::kModalOk);
  EXPECT_TRUE(tickedWhenShown);
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormFault");
  ui.AnswerModal(platform::kModalCancel);
  EXPECT_EQ(main->RunRecordFileManager(), platform::kModalCancel);
}

}  // namespace
