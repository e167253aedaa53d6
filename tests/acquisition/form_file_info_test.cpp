#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "acquisition/FormExpText.h"
#include "acquisition/FormFileInfo.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "platform/registry_test_support.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

std::string Text(const QPlainTextEdit* memo) { return memo->toPlainText().toStdString(); }

// Makes a directory current for one test and restores the previous one.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
  ~CurrentDirectory() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

// A host whose modal answer runs the dialog for real, with `act` as the user.
platform::ScriptedUiHost HostActingInDialog(TFormFileInfo& form, std::function<void()> act) {
  platform::ScriptedUiHost ui;
  ui.modalAnswers.push_back([&form, act](platform::ModalDialog& dialog) {
    QTimer::singleShot(0, &form, act);
    return dialog.RunModal();
  });
  return ui;
}

TEST(FormFileInfo, WindowHasTheProgramsComponentsAndTexts) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("保存采样结果"));
  EXPECT_EQ(form.DialogName(), "FormFileInfo");
  const struct {
    const char* name;
    QString text;
  } captions[] = {{"Label1", QStringLiteral("请选择文件名")},   {"Label2", QStringLiteral("请输入自定义标识信息：")},
                  {"ButtonOK", QStringLiteral("确定")},         {"ButtonCancel", QStringLiteral("取消")},
                  {"ButtonDefaultInfo", QStringLiteral("缺省信息")}, {"ButtonExpInfo", QStringLiteral("试验信息")}};
  for (const auto& c : captions) {
    const QWidget* w = form.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    const auto* label = qobject_cast<const QLabel*>(w);
    const auto* button = qobject_cast<const QPushButton*>(w);
    EXPECT_EQ(label != nullptr ? label->text() : button->text(), c.text) << c.name;
  }
  for (const char* name : {"LabelPath", "EditFileName", "MemoUserInfo"}) {
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_TRUE(form.ButtonOK->isDefault());
  EXPECT_FALSE(form.ButtonCancel->isDefault());
}

TEST(FormFileInfo, FirstStartProposesTheUsersSaveComment) {
  for (const std::optional<std::string>& stored : {std::optional<std::string>{}, std::optional<std::string>{""}}) {
    AppState state;
    platform::MemoryRegistry registry;
    if (stored) registry.WriteString(kFormSizeKey, "InputUserInfo", *stored);
    TFormFileInfo form(state, registry);
    EXPECT_EQ(form.UserInfo(), "用户保存当前波形!\r\n") << (stored ? "empty" : "missing");
  }
}

TEST(FormFileInfo, CommentOfTheLastSaveIsProposedAtTheNextStart) {
  platform::MemoryRegistry registry;
  AppState state;
  {
    TFormFileInfo form(state, registry);
    platform::ScriptedUiHost ui;
    ui.modalAnswers.push_back([](platform::ModalDialog& d) {
      auto& dialog = dynamic_cast<TFormFileInfo&>(d);
      dialog.MemoUserInfo->setPlainText(QStringLiteral("2号机甩负荷\n第二次"));
      dialog.ButtonOKClick();
      return dialog.result();
    });
    const std::optional<FileInfoChoice> choice = form.AskFileInfo(ui, "F20240102030405.DAT");
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->comment, "2号机甩负荷\r\n第二次");  // lines end as the record file keeps them
  }
  EXPECT_EQ(registry.ReadString(kFormSizeKey, "InputUserInfo"), "2号机甩负荷\r\n第二次");
  {
    TFormFileInfo form(state, registry);
    EXPECT_EQ(form.UserInfo(), "2号机甩负荷\r\n第二次");
    EXPECT_EQ(Text(form.MemoUserInfo), "2号机甩负荷\n第二次");  // one line break each, not two
    // A comment typed and then cancelled is what was left: it comes back too.
    platform::ScriptedUiHost ui;
    ui.modalAnswers.push_back([](platform::ModalDialog& d) {
      auto& dialog = dynamic_cast<TFormFileInfo&>(d);
      dialog.ButtonDefaultInfoClick();
      dialog.ButtonCancelClick();
      return dialog.result();
    });
    EXPECT_FALSE(form.AskFileInfo(ui, "F20240102030406.DAT").has_value());
  }
  TFormFileInfo form(state, registry);
  EXPECT_EQ(form.UserInfo(), "手动保存信息!\r\n");
}

TEST(FormFileInfo, InfoButtonsReplaceTheComment) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  form.MemoUserInfo->setPlainText(QStringLiteral("旧的说明"));
  form.ButtonDefaultInfo->click();
  EXPECT_EQ(form.UserInfo(), "手动保存信息!\r\n");

  // Without an experiment window the text in force is taken.
  state.ExpText = "缺省试验条件";
  form.ButtonExpInfo->click();
  EXPECT_EQ(form.UserInfo(), "缺省试验条件");
}

TEST(FormFileInfo, ExperimentInfoIsCopiedFromTheHiddenExperimentWindow) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  {
    TFormExpText expWindow(state, registry);
    form.SetExpTextWindow(&expWindow);
    expWindow.show();
    expWindow.MemoExpText->setPlainText(QStringLiteral("1号机 额定负荷\n油温 45℃"));
    expWindow.ButtonHide->click();
    ASSERT_FALSE(expWindow.isVisible());
    form.ButtonExpInfo->click();
    EXPECT_EQ(form.UserInfo(), "1号机 额定负荷\r\n油温 45℃");

    expWindow.MemoExpText->setPlainText(QStringLiteral("改过的条件"));  // the memo as it is now
    form.ButtonExpInfoClick();
    EXPECT_EQ(form.UserInfo(), "改过的条件");
  }
  // Once the window is gone the text in force stands in for it.
  state.ExpText = "关闭后的条件";
  form.ButtonExpInfoClick();
  EXPECT_EQ(form.UserInfo(), "关闭后的条件");
}

TEST(FormFileInfo, ModalResultAndAnswerFollowHowTheDialogCloses) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  const struct Case {
    const char* how;
    std::function<void(TFormFileInfo&)> act;
    int result;
    bool answered;
  } cases[] = {
      {"OK button", [](TFormFileInfo& f) { f.ButtonOK->click(); }, platform::kModalOk, true},
      {"Enter in the name field", [](TFormFileInfo& f) { QTest::keyClick(f.EditFileName, Qt::Key_Return); },
       platform::kModalOk, true},
      {"Cancel button", [](TFormFileInfo& f) { f.ButtonCancel->click(); }, platform::kModalCancel, false},
      {"Escape", [](TFormFileInfo& f) { QTest::keyClick(&f, Qt::Key_Escape); }, platform::kModalCancel, false},
      {"close box", [](TFormFileInfo& f) { f.close(); }, platform::kModalCancel, false},
  };
  for (const Case& c : cases) {
    int result = -1;
    std::optional<FileInfoChoice> choice;
    platform::ScriptedUiHost ui;
    ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
      QTimer::singleShot(0, &form, [&] {
        EXPECT_EQ(form.EditFileName->text(), QStringLiteral("F20240102030405.DAT")) << c.how;  // proposed
        form.EditFileName->setText(QStringLiteral("试验1.DAT"));
        form.MemoUserInfo->setPlainText(QStringLiteral("第一行\n第二行"));
        c.act(form);
      });
      result = dialog.RunModal();
      return result;
    });
    choice = form.AskFileInfo(ui, "F20240102030405.DAT");
    EXPECT_EQ(result, c.result) << c.how;
    ASSERT_EQ(choice.has_value(), c.answered) << c.how;
    if (choice) {
      EXPECT_EQ(choice->fileName, "试验1.DAT") << c.how;
      EXPECT_EQ(choice->comment, "第一行\r\n第二行") << c.how;
    }
    EXPECT_FALSE(form.isVisible()) << c.how;
  }
  // Enter in the comment starts a new line; it does not close the dialog.
  platform::ScriptedUiHost ui = HostActingInDialog(form, [&form] {
    form.MemoUserInfo->setPlainText(QStringLiteral("a"));
    form.MemoUserInfo->moveCursor(QTextCursor::End);
    QTest::keyClick(form.MemoUserInfo, Qt::Key_Return);
    const bool stillOpen = form.isVisible();
    form.ButtonOK->click();
    EXPECT_TRUE(stillOpen);
  });
  const std::optional<FileInfoChoice> choice = form.AskFileInfo(ui, "F1.DAT");
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->comment, "a\r\n");
  EXPECT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).front().text, "FormFileInfo");
}

TEST(FormFileInfo, PathLabelNamesTheDirectoryCurrentAtEachShow) {
  platform::test::TempDir temp;
  const fs::path first = temp.Path() / "记录";
  const fs::path second = temp.Path() / "other";
  fs::create_directories(first);
  fs::create_directories(second);
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  for (const fs::path& dir : {first, second}) {
    CurrentDirectory cd(dir);
    QString shown;
    platform::ScriptedUiHost ui = HostActingInDialog(form, [&form, &shown] {
      shown = form.LabelPath->text();
      form.ButtonCancel->click();
    });
    form.AskFileInfo(ui, "F1.DAT");
    EXPECT_EQ(shown.toStdString(), "当前路径：" + dir.string());
  }
}

TEST(FormFileInfo, FieldsFollowTheEdgesAndShrinkingStopsAt150) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormFileInfo form(state, registry);
  const struct {
    QSize asked;
    QSize client;
  } cases[] = {{{400, 300}, {400, 300}}, {{720, 540}, {720, 540}}, {{150, 150}, {150, 150}},
               {{100, 80}, {150, 150}},  {{120, 400}, {150, 400}}, {{500, 20}, {500, 150}}};
  const auto check = [&form](const QSize& client, const char* how) {
    EXPECT_EQ(form.size(), client) << how;
    const auto right = [](const QWidget* w) { return w->x() + w->width(); };
    EXPECT_EQ(right(form.EditFileName), client.width() - 12) << how;
    EXPECT_EQ(right(form.MemoUserInfo), client.width() - 12) << how;
    EXPECT_EQ(right(form.ButtonDefaultInfo), client.width() - 12) << how;
    EXPECT_EQ(form.MemoUserInfo->y() + form.MemoUserInfo->height(), client.height() - 13) << how;
  };
  for (const auto& c : cases) {
    form.resize(c.asked);
    form.FormResize();
    check(c.client, "hidden");
  }
  form.show();  // a shown window lays itself out when resized
  for (const auto& c : cases) {
    form.resize(c.asked);
    check(c.client, "shown");
  }
  form.hide();
}

TEST(FormFileInfo, GeometryComesBackAtTheNextStart) {
  platform::MemoryRegistry registry;
  AppState state;
  {
    TFormFileInfo form(state, registry);
    form.move(40, 30);
    form.resize(420, 260);
  }
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormFileInfo_Top"), 30);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormFileInfo_Left"), 40);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormFileInfo_Width"), 420);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormFileInfo_Height"), 260);
  TFormFileInfo form(state, registry);
  EXPECT_EQ(form.pos(), QPoint(40, 30));
  EXPECT_EQ(form.size(), QSize(420, 260));
  EXPECT_EQ(form.MemoUserInfo->y() + form.MemoUserInfo->height(), 260 - 13);  // laid out before it is shown

  // Unlike the main window's, a small stored size is not raised to 200.
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Width", 160);
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Height", 170);
  TFormFileInfo small(state, registry);
  EXPECT_EQ(small.size(), QSize(160, 170));
}

TEST(FormFileInfo, StoredPlaceOffTheOnlyScreenIsMovedOntoIt) {
  if (QGuiApplication::screens().size() != 1) GTEST_SKIP() << "the correction applies to one monitor only";
  platform::MemoryRegistry registry;
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Top", -40);
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Left", 100000);
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Width", 300);
  registry.WriteInt32(kFormSizeKey, "FormFileInfo_Height", 200);
  AppState state;
  TFormFileInfo form(state, registry);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form.size(), QSize(300, 200));
  EXPECT_EQ(form.x(), screen.width() - 300);
  EXPECT_EQ(form.y(), 0);
}

}  // namespace
