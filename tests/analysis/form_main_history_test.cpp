#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "RecordFileForTest.h"
#include "analysis/FormFault.h"
#include "analysis/HistoryOpen.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

using Kind = platform::ScriptedUiHost::Kind;

class FormMainHistory : public test::MainWindowFixture {
 protected:
  // A main window past its deferred start-up, the machine's own card named.
  std::unique_ptr<TFormMain> Started() { return Started(state, registry); }
  std::unique_ptr<TFormMain> Started(AppState& own, platform::MemoryRegistry& tree) {
    auto form = std::make_unique<TFormMain>(own, MainWindowServices{tree, ui, screenSaver});
    form->SetRemoteControlPort(0);
    form->SetStationStreamPort(0);
    form->Timer2Timer();
    own.config.CardNameText = "OwnCard";
    return form;
  }
  std::string Record(const char* name, const test::TestRecord& t = {}) {
    return test::WriteTestRecord(dir / name, t);
  }
  // Answers the next record-file manager: `path` chosen in its directory,
  // the range as given, then OK.
  void ChooseInManager(const std::string& path, bool whole = true, int begin = 0, int end = 0) {
    ui.modalAnswers.push_back([path, whole, begin, end](platform::ModalDialog& dialog) {
      auto& manager = dynamic_cast<TFormFault&>(dialog);
      manager.SetCurrentDirectory(fs::path(path).parent_path().string());
      manager.EditFileName->setText(QString::fromStdString(fs::path(path).filename().string()));
      manager.CheckBoxDispAll->setChecked(whole);
      manager.CheckBoxDispAllClick();
      if (!whole) {
        manager.EditBeginBlock->setText(QString::number(begin));
        manager.EditEndBlock->setText(QString::number(end));
      }
      manager.setResult(QDialog::Rejected);  // as a new modal run starts
      manager.ButtonOKClick();
      return manager.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
  // Opens `path` through the record-file manager.
  void Open(TFormMain& form, const std::string& path) {
    ChooseInManager(path);
    form.menuSelectFaultClick();
  }
  // Every value of the settings tree.
  std::map<std::string, platform::RegistryValue> Settings() { return Settings(registry); }
  static std::map<std::string, platform::RegistryValue> Settings(platform::MemoryRegistry& registry) {
    std::map<std::string, platform::RegistryValue> out;
    std::vector<std::string> keys = {"\\SOFTWARE"};
    while (!keys.empty()) {
      const std::string key = keys.back();
      keys.pop_back();
      for (const std::string& sub : registry.SubkeyNames(key)) keys.push_back(key + "\\" + sub);
      for (const std::string& name : registry.ValueNames(key)) out[key + "|" + name] = *registry.ReadValue(key, name);
    }
    return out;
  }
};

TEST_F(FormMainHistory, AnOpenedFileIsShownAsHistoryUnderItsOwnConfiguration) {
  auto form = Started();
  state.config.WinTitle = "Q";
  test::TestRecord t;
  t.numSamp = 50;
  t.blocks = 6;
  t.preBlocks = 2;
  t.triggerPoint = 10;
  t.triggerKind = 1;
  t.triggerChannel = 0;
  t.triggerEdge = 3;
  const std::string path = Record("F20251211080000.DAT", t);
  Open(*form, path);

  const auto dialogs = ui.PromptsOf(Kind::Modal);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].text, "FormFault");
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());

  // The file's configuration is in force, lent.
  EXPECT_EQ(state.config.CardNameText, "Recorder7");
  EXPECT_EQ(state.config.NumSamp, 50);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&P)");
  EXPECT_TRUE(form->menuRestoreConfig->isVisible());
  EXPECT_EQ(state.config.ChannelRate, 5000.0f);

  const HistoryRecord& h = state.history;
  EXPECT_EQ(h.Valid, 1);
  EXPECT_EQ(h.BlockCount, 6);
  EXPECT_EQ(h.TriggerBlock, 2);
  EXPECT_EQ(h.TriggerOffset, 10);
  EXPECT_EQ(h.Comment, "试验记录");
  EXPECT_EQ(h.TriggerType, 1);
  EXPECT_EQ(state.HistoryFilePath, path);

  const DisplayDescriptor& d = state.display;
  EXPECT_TRUE(form->menuSelectFault->isChecked());
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_EQ(d.SelectFault, 1);
  EXPECT_EQ(d.DispValid, 1);
  EXPECT_EQ(d.DispData, h.Samples.data());
  EXPECT_EQ(d.DispBlocks, 6);
  EXPECT_EQ(d.DispRows, 300);
  EXPECT_EQ(d.DispRowWords, h.NumChn);
  EXPECT_EQ(d.DispTriggerBlock, 2);
  EXPECT_EQ(d.DispTriggerPoint, 10);
  EXPECT_EQ(d.DataSourceMode, 0);
  EXPECT_EQ(d.DispCompressed, 0);
  EXPECT_EQ(state.wave.XPosition, std::clamp(2 * 50 + 10 - 2, 0, d.DispPoints - state.wave.DisplayWidth));

  // A switch-triggered record is shown on its trigger page.
  EXPECT_EQ(state.record.TriggerKind, 1);
  EXPECT_TRUE(form->menuScopePage->isChecked());
  EXPECT_EQ(form->StatusPanelText(2), "历史");
  EXPECT_EQ(form->PostedStatusText().rfind("显示历史数据:", 0), 0u);
  EXPECT_EQ(form->windowTitle().toStdString().rfind("Q--历史数据:", 0), 0u);
  EXPECT_NE(form->RunLogText().find("选中历史数据:"), std::string::npos);
  EXPECT_NE(form->RunLogText().find("触发类型为: 开关量通道第 0 号"), std::string::npos);
  EXPECT_NE(form->RunLogText().find(" 触发类型: 上升沿"), std::string::npos);
}

TEST_F(FormMainHistory, TheManagersRangeIsOpened) {
  auto form = Started();
  test::TestRecord t;
  t.compressBlocks = 3;
  t.compressRatio = 4;
  const std::string path = Record("F1.DAT", t);
  struct Case {
    bool whole;
    int32_t begin, end;
    int32_t blocks, firstBlock, triggerBlock, compressed, compressStart;
  } cases[] = {
      {true, 0, 0, 10, 0, 3, 1, 7},
      {false, 0, 4, 5, 0, 3, 0, 0},
      {false, 6, 9, 4, 6, 0, 1, 1},
      {false, 7, 42, 3, 7, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.begin);
    ChooseInManager(path, c.whole, c.begin, c.end);
    form->menuSelectFaultClick();
    EXPECT_EQ(state.history.BlockCount, c.blocks);
    EXPECT_EQ(state.history.Samples.front(), test::TestWord(c.firstBlock, 0, 0));
    EXPECT_EQ(state.display.DispBlocks, c.blocks);
    EXPECT_EQ(state.display.DispTriggerBlock, c.triggerBlock);
    EXPECT_EQ(state.display.DispCompressed, c.compressed);
    if (c.compressed) {
      EXPECT_EQ(state.display.DispCompressStart, c.compressStart);
    }
  }
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 4u);
}

TEST_F(FormMainHistory, ASecondOpenKeepsTheOwnConfigurationAsideOnceAndRestoreBringsItBack) {
  auto form = Started();
  const int32_t ownNumSamp = state.config.NumSamp;
  test::TestRecord first;
  first.numSamp = 50;
  test::TestRecord second;
  second.card = "Recorder9";
  second.numSamp = 60;
  second.analog = 3;
  const auto settingsBefore = Settings();

  Open(*form, Record("F1.DAT", first));
  ASSERT_EQ(state.configInForce.TempConfigActive, 1);
  const std::vector<uint8_t> own = state.configInForce.OwnConfigRecord;
  ASSERT_EQ(own.size(), sizeof(ConfigRecord));
  Open(*form, Record("F2.DAT", second));
  EXPECT_EQ(state.config.CardNameText, "Recorder9");
  EXPECT_EQ(state.config.NumSamp, 60);
  EXPECT_EQ(state.configInForce.OwnConfigRecord, own);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&P)");
  // A lent configuration is never saved as the machine's.
  EXPECT_EQ(Settings(), settingsBefore);

  form->menuRestoreConfigClick();
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(state.config.CardNameText, "OwnCard");
  EXPECT_EQ(state.config.NumSamp, ownNumSamp);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "系统参数(&P)");
  EXPECT_FALSE(form->menuRestoreConfig->isVisible());
  // Mended: the record no longer fits; commands that need history data must
  // not take it for shown.
  EXPECT_EQ(state.display.DispValid, 0);
  EXPECT_FALSE(form->menuSelectFault->isChecked());
  EXPECT_EQ(state.display.SelectFault, 0);
}

// What an open may change, taken before and after a refused one.
struct Snapshot {
  const uint16_t* samples;
  size_t words;
  int32_t blocks, valid;
  std::string comment, historyFile, card, caption, title;
  int32_t numSamp, temp, dispValid, dispBlocks, selectFault;
  bool checked;
  std::vector<uint8_t> own;
  std::string runLog;
};

Snapshot Take(const AppState& s, const TFormMain& form) {
  return {s.history.Samples.data(), s.history.Samples.size(), s.history.BlockCount, s.history.Valid,
          s.history.Comment, s.HistoryFilePath, s.config.CardNameText, s.configInForce.SysParamCaption,
          form.windowTitle().toStdString(), s.config.NumSamp, s.configInForce.TempConfigActive,
          s.display.DispValid, s.display.DispBlocks, s.display.SelectFault, form.menuSelectFault->isChecked(),
          s.configInForce.OwnConfigRecord, form.RunLogText()};
}

void ExpectSame(const Snapshot& a, const Snapshot& b) {
  EXPECT_EQ(a.samples, b.samples);
  EXPECT_EQ(a.words, b.words);
  EXPECT_EQ(a.blocks, b.blocks);
  EXPECT_EQ(a.valid, b.valid);
  EXPECT_EQ(a.comment, b.comment);
  EXPECT_EQ(a.historyFile, b.historyFile);
  EXPECT_EQ(a.card, b.card);
  EXPECT_EQ(a.caption, b.caption);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.numSamp, b.numSamp);
  EXPECT_EQ(a.temp, b.temp);
  EXPECT_EQ(a.dispValid, b.dispValid);
  EXPECT_EQ(a.dispBlocks, b.dispBlocks);
  EXPECT_EQ(a.selectFault, b.selectFault);
  EXPECT_EQ(a.checked, b.checked);
  EXPECT_EQ(a.own, b.own);
  EXPECT_EQ(a.runLog, b.runLog);
}

TEST_F(FormMainHistory, ATruncatedOrForeignFileIsRefusedAndNothingChanges) {
  const std::vector<uint8_t> good = test::BuildTestRecord(test::TestRecord{}).bytes;
  struct Case {
    const char* what;
    bool recordOnShow;  // a record was opened before
    std::vector<uint8_t> bytes;
    bool exists;
    // The file is damaged or removed after the manager checked it: the open
    // itself refuses it.
    bool afterCheck;
  } cases[] = {
      {"truncated, nothing on show", false, std::vector<uint8_t>(good.begin(), good.end() - 40), true, false},
      {"truncated, a record on show", true, std::vector<uint8_t>(good.begin(), good.end() - 40), true, false},
      {"foreign", true, std::vector<uint8_t>{'M', 'Z', 0x90, 0, 3, 0}, true, false},
      {"cut short after the check", true, std::vector<uint8_t>(good.begin(), good.end() - 40), true, true},
      {"removed after the check", true, {}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AppState own;
    platform::MemoryRegistry tree;
    auto form = Started(own, tree);
    if (c.recordOnShow) Open(*form, Record("F1.DAT"));
    const fs::path bad = dir / "F2.DAT";
    fs::remove(bad);
    if (c.exists) test::WriteBytes(bad, c.bytes);
    const Snapshot before = Take(own, *form);
    const auto settingsBefore = Settings(tree);
    ui.prompts.clear();

    if (c.afterCheck) {
      form->SetRecordFileManager([path = bad.string()] { return RecordOpenChoice{path, true, 0, 0}; });
      form->menuSelectFaultClick();
    } else {
      Open(*form, bad.string());
    }
    const auto boxes = ui.PromptsOf(Kind::Message);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "未选定有效文件");
    EXPECT_EQ(boxes[0].caption, "确定操作无效");
    EXPECT_EQ(boxes[0].buttons, platform::MsgButtons::OkCancel);
    // The manager names the file it checked last, whatever its verdict.
    Snapshot after = Take(own, *form);
    if (!c.afterCheck) after.historyFile = before.historyFile;
    ExpectSame(before, after);
    EXPECT_EQ(Settings(tree), settingsBefore);
  }
}

TEST_F(FormMainHistory, NothingIsAskedWhileAcquiringOrChangedWhenTheDialogIsCancelled) {
  auto form = Started();
  const std::string path = Record("F1.DAT");
  for (int32_t run : {kRunRecording, kRunOscilloscope}) {
    state.RunState = run;
    form->menuSelectFaultClick();
    EXPECT_TRUE(ui.prompts.empty());
  }
  state.RunState = kRunIdle;
  const Snapshot before = Take(state, *form);
  ui.AnswerModal(platform::kModalCancel);
  form->menuSelectFaultClick();
  ExpectSame(before, Take(state, *form));
  EXPECT_EQ(state.history.Valid, 0);
}

TEST_F(FormMainHistory, TheMenuItemAndToolButtonRunTheCommandAndTheMarkFollowsTheRecord) {
  auto form = Started();
  ASSERT_TRUE(form->menuSelectFault->isEnabled());
  ASSERT_TRUE(form->ToolButtonSelectFault->isEnabled());
  // A cancelled choice leaves the mark as it was, whatever the click did to it.
  ui.AnswerModal(platform::kModalCancel);
  form->menuSelectFault->trigger();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_FALSE(form->menuSelectFault->isChecked());
  ChooseInManager(Record("F1.DAT"));
  form->ToolButtonSelectFault->trigger();
  EXPECT_TRUE(form->menuSelectFault->isChecked());
  // Choosing again and cancelling keeps the record on show and its mark.
  ui.AnswerModal(platform::kModalCancel);
  form->menuSelectFault->trigger();
  EXPECT_TRUE(form->menuSelectFault->isChecked());
  EXPECT_EQ(state.display.DispValid, 1);
}

}  // namespace
