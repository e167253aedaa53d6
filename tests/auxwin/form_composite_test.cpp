// The composite value panel as a window: its settings in "\CompositeParam",
// the definition file it keeps, the redraw pacing and its pop-up commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "auxwin/CompositeEditor.h"
#include "auxwin/CompositeFile.h"
#include "auxwin/FormComposite.h"
#include "auxwin/FormConfComposite.h"
#include "platform/qt/StringGrid.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"

namespace {

using namespace quelvar;

const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\CompositeParam";

class FormCompositeTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  std::filesystem::path dir;
  std::vector<uint16_t> block;

  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-formcomposite-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    LiveConfig& c = state.config;
    c.Analog_Num = 4;
    c.SW_Num = 0;
    c.NumChn = 4;
    c.NumSamp = 2;
    for (int i = 0; i < 4; ++i) c.AnalogChannelTable[static_cast<size_t>(i)].ChnName = "U" + std::to_string(i);
    block = {1, 2048, 2048, 2048, 2048, 4095, 0, 2048, 3000};
    // The panel writes its definition back when it goes: into the test's folder.
    CompositeDef def;
    DefaultCompositeDef(def, c);
    std::string error;
    ASSERT_TRUE(WriteCompositeDef(def, DefFile(), error)) << error;
    registry.WriteString(kKey, "CompositeDefFile", DefFile());
  }
  std::string DefFile() const { return (dir / "CompositeDef.CPD").string(); }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(FormCompositeTest, SettingsAreReadAtCreationAndTheDefinitionIsWrittenAtTheEnd) {
  registry.WriteInt32(kKey, "DisplayInterval", 30);
  registry.WriteInt32(kKey, "CompositePal", 1);
  registry.WriteInt32(kKey, "IDAutoView", 0);
  registry.WriteInt32(kKey, "FormCompositeTopMost", 0);
  std::filesystem::remove(DefFile());
  {
    TFormComposite form(state, registry, ui);
    EXPECT_EQ(form.DisplayInterval(), 50);
    EXPECT_EQ(form.menuDisplayInterval->text().toStdString(), "显示刷新间隔(50ms)");
    EXPECT_EQ(form.CompositePal(), 1);
    EXPECT_TRUE(form.menuBlackGnd->isChecked());
    EXPECT_FALSE(form.menuAutoView->isChecked());
    EXPECT_FALSE(form.menuTopMost->isChecked());
    // No file: the default under the default name.
    EXPECT_EQ(form.CompositeDefFile(), kCompositeDefaultFile);
    EXPECT_EQ(form.Definition().Count, 4);
    EXPECT_TRUE(form.menuConfigComposite->isEnabled());
    ui.fileAnswers.push_back(DefFile() + ".none");
    form.menuChangeConfigFileClick();
    // Kept in the test's folder for the write at the end.
    CompositeDef def;
    DefaultCompositeDef(def, state.config);
    def.Count = 2;
    def.Items.resize(2);
    std::string error;
    ASSERT_TRUE(WriteCompositeDef(def, DefFile(), error)) << error;
    ui.fileAnswers.push_back(DefFile());
    form.menuChangeConfigFileClick();
    EXPECT_EQ(form.Definition().Count, 2);
    form.menuBlackGndClick();
  }
  EXPECT_EQ(registry.ReadInt32(kKey, "DisplayInterval"), 50);
  EXPECT_EQ(registry.ReadInt32(kKey, "CompositePal"), 0);
  EXPECT_EQ(registry.ReadInt32(kKey, "IDAutoView"), 0);
  EXPECT_EQ(registry.ReadString(kKey, "CompositeDefFile"), DefFile());
  CompositeDef back;
  ASSERT_TRUE(ReadCompositeDef(back, DefFile()));
  EXPECT_EQ(back.Count, 2);
}

TEST_F(FormCompositeTest, TheIntervalCommandTakesZeroAndRaisesShortValues) {
  TFormComposite form(state, registry, ui);
  struct Case {
    std::optional<std::string> answer;
    int32_t want;
  } cases[] = {{"0", 0}, {"30", 50}, {"abc", 1000}, {"250", 250}, {std::nullopt, 250}};
  for (const Case& c : cases) {
    ui.inputAnswers.push_back(c.answer);
    form.menuDisplayIntervalClick();
    EXPECT_EQ(form.DisplayInterval(), c.want);
    EXPECT_EQ(form.menuDisplayInterval->text().toStdString(), "显示刷新间隔(" + std::to_string(c.want) + "ms)");
  }
}

TEST_F(FormCompositeTest, BlocksAreDrawnOncePerTickOrEveryOneAtIntervalZero) {
  TFormComposite form(state, registry, ui);
  form.resize(400, 200);
  form.FormResize();
  EXPECT_TRUE(form.RedrawPending());
  form.DrawCompositeValues(block.data());
  EXPECT_FALSE(form.RedrawPending());
  form.Timer1Timer();
  EXPECT_TRUE(form.RedrawPending());
  ui.inputAnswers.push_back("0");
  form.menuDisplayIntervalClick();
  form.DrawCompositeValues(block.data());
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(FormCompositeTest, AChosenFileThatCannotBeReadFallsBackToTheDefault) {
  TFormComposite form(state, registry, ui);
  CompositeDef def;
  DefaultCompositeDef(def, state.config);
  def.Count = 1;
  def.Items.resize(1);
  const std::string good = (dir / "one.cpd").string();
  std::string error;
  ASSERT_TRUE(WriteCompositeDef(def, good, error)) << error;
  ui.fileAnswers.push_back(good);
  form.menuChangeConfigFileClick();
  EXPECT_EQ(form.CompositeDefFile(), good);
  EXPECT_EQ(form.Definition().Count, 1);
  ui.fileAnswers.push_back((dir / "missing.cpd").string());
  form.menuChangeConfigFileClick();
  EXPECT_EQ(form.CompositeDefFile(), kCompositeDefaultFile);
  EXPECT_EQ(form.Definition().Count, 4);
  ui.fileAnswers.push_back(good);  // the panel writes its file when it goes
  form.menuChangeConfigFileClick();
}

TEST_F(FormCompositeTest, TheEditorWritesItsDefinitionAndThePanelRereadsIt) {
  TFormComposite form(state, registry, ui);
  const std::string other = (dir / "other.cpd").string();
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    auto& editor = dynamic_cast<TFormConfComposite&>(dialog);
    editor.FormShow();
    EXPECT_EQ(editor.EditFileName, DefFile());
    EXPECT_EQ(editor.EditItemNum->text().toStdString(), "4");
    EXPECT_TRUE(editor.ButtonDefaultDef->isEnabled());
    // Six items, the new two filled with their defaults; a switch item typed in.
    editor.EditItemNum->setText("6");
    editor.EditItemNumExit();
    editor.GridCompositeDefDblClick(6, kCompositeRowKind);
    editor.EditFileName = other;
    editor.ButtonOKClick();
    return editor.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  });
  form.menuConfigCompositeClick();
  EXPECT_EQ(form.CompositeDefFile(), other);
  ASSERT_EQ(form.Definition().Count, 6);
  EXPECT_EQ(form.Definition().Items[5].Kind, kCompositeAverage);
  EXPECT_EQ(CompositeItemName(form.Definition().Items[4]), "U3V");  // 4 channels: the last

  // Cancel keeps the file; the panel reads it again all the same.
  state.startup.ConfigUnlocked = 0;
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    auto& editor = dynamic_cast<TFormConfComposite&>(dialog);
    editor.FormShow();
    EXPECT_FALSE(editor.ButtonDefaultDef->isEnabled());
    return platform::kModalCancel;
  });
  form.menuConfigCompositeClick();
  EXPECT_EQ(form.CompositeDefFile(), other);
  EXPECT_EQ(form.Definition().Count, 6);
}

}  // namespace
