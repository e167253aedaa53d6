#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/GbkText.h"
#include "platform/qt/StringGrid.h"
#include "setup/AlgorithmFile.h"
#include "setup/FormAlgorithm.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "shell/RegistrySettings.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kApp = "\\SOFTWARE\\QuelvarTorque";
const std::string kFormSizeKey = kApp + "\\FormSize";
const std::string kAlgorithmKey = kApp + "\\Algorithm";

std::string S(const QString& text) { return text.toStdString(); }

bool SameTables(const std::array<AlgorithmConfig, kMaxAlgorithms>& a,
                const std::array<AlgorithmConfig, kMaxAlgorithms>& b) {
  return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

AlgorithmConfig Record(int32_t type, const std::string& name) {
  AlgorithmConfig a{};
  SetDefaultAlgorithm(a, 0);
  platform::WriteGbkField(name, a.Name, sizeof a.Name);
  ChooseAlgorithmType(a, "", type);
  return a;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string FileImage(int32_t count, const std::vector<AlgorithmConfig>& records) {
  std::string bytes("ALGO");
  bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
  bytes.append(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(AlgorithmConfig));
  return bytes;
}

class FormAlgorithmTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    test::MainWindowFixture::SetUp();
    Fill();
  }
  // Three algorithms over four analog channels and two switch inputs. A main
  // window reads the settings tree when it is made: fill again after it.
  void Fill() {
    LiveConfig& c = state.config;
    c.Analog_Num = 4;
    c.SW_Num = 2;
    for (int i = 0; i < 4; ++i) c.AnalogChannelTable[i].ChnName = "Ch" + std::to_string(i);
    c.Algorithm_Num = 3;
    c.AlgorithmTable[0] = Record(1, "峰值甲");
    c.AlgorithmTable[0].SetPoint[0] = 0.125f;
    c.AlgorithmTable[1] = Record(15, "低频");
    c.AlgorithmTable[1].SetPoint[0] = 1.0f / 3.0f;
    c.AlgorithmTable[1].SetPoint[1] = 49.999f;
    c.AlgorithmTable[2] = Record(13, "接地");
    c.AlgorithmTable[2].SetPoint[2] = 0.987654f;
  }

  std::unique_ptr<TFormMain> MainWindow() {
    auto main = NewMainWindow();
    Fill();
    return main;
  }
  // The dialog as the opener leaves it: filled, then activated.
  std::unique_ptr<TFormAlgorithm> Opened() {
    auto form = std::make_unique<TFormAlgorithm>(state, registry, ui);
    LoadWorkCopy(state.config, form->Work());
    form->ShowAlgorithms();
    form->FormActivate();
    return form;
  }
  // The dialog as a user meets it through the main window: shown, `act`ed on,
  // and closed with the result `act` gives.
  void Answer(std::function<int(TFormAlgorithm&)> act) {
    ui.modalAnswers.push_back([act](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormAlgorithm&>(d);
      form.FormActivate();
      return act(form);
    });
  }
  static int PressOk(TFormAlgorithm& form) {
    form.setResult(0);
    form.ButtonOKClick();
    return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  }
  static void TypeDetail(TFormAlgorithm& form, int row, const std::string& text) {
    form.Grid_Algorithm_Detail->Cells().EditCell(1, row, text);
    form.Grid_Algorithm_DetailSetEditText(1, row, text);
  }
};

// --- The window ----------------------------------------------------------------

TEST_F(FormAlgorithmTest, ControlsCarryTheirNamesCaptionsAndHints) {
  TFormAlgorithm form(state, registry, ui);
  EXPECT_EQ(form.objectName(), "FormAlgorithm");
  EXPECT_EQ(S(form.windowTitle()), "录波启动算法设置");
  const std::pair<QAbstractButton*, const char*> buttons[] = {
      {form.CheckBox_Binary, "使能开关量启动"}, {form.CheckBox_Analog, "使能模拟量启动"},
      {form.CheckBox_SameAlgorithm, "禁止重复启动"}, {form.ButtonOK, "确认"}, {form.ButtonCancel, "取消"},
      {form.ButtonSummary, "总结"}, {form.ButtonSave, "存文件"}, {form.ButtonRead, "文件读"}};
  for (const auto& [button, caption] : buttons) EXPECT_EQ(S(button->text()), caption);
  for (const char* name : {"Edit_Algorithm_Num", "EditTriggerUpNum", "EditTriggerTimeRange", "EditTriggerNum"}) {
    EXPECT_NE(form.findChild<QLineEdit*>(name), nullptr) << name;
  }
  for (const char* name : {"ComboBox1", "ComboBoxAnalog"}) EXPECT_NE(form.findChild<QComboBox*>(name), nullptr) << name;
  for (const char* name : {"Grid_Algorithm", "Grid_Algorithm_Detail"}) {
    EXPECT_NE(form.findChild<StringGrid*>(name), nullptr) << name;
  }
  EXPECT_NE(form.findChild<QLabel*>("Label_Algorithm_No"), nullptr);
  for (const char* text : {"使用启动算法数目", "算法类型:", "触发次数上限", "限定时间(秒)内", "触发验证次数", "模拟通道查询"}) {
    bool found = false;
    for (const QLabel* l : form.findChildren<QLabel*>()) found = found || S(l->text()) == text;
    EXPECT_TRUE(found) << text;
  }
  EXPECT_EQ(S(form.EditTriggerUpNum->toolTip()), "0表示不限制触发次数上限");
  EXPECT_EQ(S(form.EditTriggerTimeRange->toolTip()), "0表示整个录波过程");
  // The choosable types: 0 to 6, the first selected.
  ASSERT_EQ(form.ComboBox1->count(), 7);
  EXPECT_EQ(S(form.ComboBox1->itemText(0)), "空算法");
  EXPECT_EQ(S(form.ComboBox1->itemText(6)), "交流信号过小");
  EXPECT_EQ(form.ComboBox1->currentIndex(), 0);
  EXPECT_TRUE(form.Grid_Algorithm->Editable());
  EXPECT_TRUE(form.Grid_Algorithm_Detail->Editable());
}

TEST_F(FormAlgorithmTest, DetailColumnWidthsComeFromAndGoBackToTheSettingsTree) {
  {
    TFormAlgorithm form(state, registry, ui);
    const int fallback = form.Grid_Algorithm->Cells().DefaultColWidth();
    EXPECT_EQ(form.Grid_Algorithm_Detail->Cells().ColWidth(1), fallback);
    EXPECT_EQ(form.Grid_Algorithm_Detail->Cells().ColWidth(2), fallback);
  }
  registry.WriteInt32(kFormSizeKey, "Grid2Width1", 140);
  registry.WriteInt32(kFormSizeKey, "Grid2Width2", 260);
  {
    TFormAlgorithm form(state, registry, ui);
    EXPECT_EQ(form.Grid_Algorithm_Detail->Cells().ColWidth(1), 140);
    EXPECT_EQ(form.Grid_Algorithm_Detail->Cells().ColWidth(2), 260);
    form.Grid_Algorithm_Detail->Cells().SetColWidth(2, 300);
  }
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "Grid2Width2"), 300);
  EXPECT_TRUE(registry.ReadInt32(kFormSizeKey, "FormAlgorithm_Width").has_value());
}

TEST_F(FormAlgorithmTest, ActivationFillsTheLookUpListAndLocksALockedConfiguration) {
  state.config.AnalogChannelTable[1].ChnIDDC = 0;
  state.config.ConfirmTriggerNum = 6;
  auto form = Opened();
  ASSERT_EQ(form->ComboBoxAnalog->count(), 4);
  EXPECT_EQ(S(form->ComboBoxAnalog->itemText(1)), "1: Ch1 [交]");
  EXPECT_EQ(form->ComboBoxAnalog->currentIndex(), 0);
  EXPECT_EQ(S(form->EditTriggerNum->text()), "6");
  EXPECT_TRUE(form->ButtonOK->isEnabled());
  EXPECT_TRUE(form->ButtonRead->isEnabled());
  state.startup.ConfigUnlocked = 0;
  form->FormActivate();
  EXPECT_FALSE(form->ButtonOK->isEnabled());
  EXPECT_FALSE(form->ButtonRead->isEnabled());
  EXPECT_TRUE(form->ButtonSave->isEnabled());
  EXPECT_TRUE(form->ButtonSummary->isEnabled());
}

TEST_F(FormAlgorithmTest, ListClicksAndMovedColumnsShowTheirAlgorithm) {
  auto form = Opened();
  EXPECT_EQ(S(form->Label_Algorithm_No->text()), "0号启动算法:");
  EXPECT_EQ(form->Grid_Algorithm->Cells().ColCount(), 4);
  form->Grid_AlgorithmClick(2);
  EXPECT_EQ(form->Work().CurrentAlgorithmIndex, 1);
  EXPECT_EQ(S(form->ComboBox1->currentText()), "");  // type 15 has no entry
  EXPECT_EQ(form->ComboBox1->currentIndex(), -1);
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().Cell(0, 4), "频率阈值");

  form->Grid_Algorithm->Cells().MoveCol(3, 1);
  form->Grid_AlgorithmColumnMoved(3, 1);
  EXPECT_EQ(form->Work().CurrentAlgorithmIndex, 2);
  EXPECT_EQ(S(form->Label_Algorithm_No->text()), "2号启动算法:");

  // Mended: lowering the count below the current algorithm brings it back
  // to 0 in the count's own handler, with algorithm 0's details shown.
  form->Edit_Algorithm_Num->setText("75");
  form->Edit_Algorithm_NumExit();
  EXPECT_EQ(S(form->Edit_Algorithm_Num->text()), "60");
  EXPECT_EQ(form->Work().CurrentAlgorithmIndex, 2);
  form->Edit_Algorithm_Num->setText("1");
  form->Edit_Algorithm_NumExit();
  EXPECT_EQ(S(form->Edit_Algorithm_Num->text()), "1");
  EXPECT_EQ(form->Work().CurrentAlgorithmIndex, 0);
  EXPECT_EQ(S(form->Label_Algorithm_No->text()), "0号启动算法:");
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().Cell(0, 4), "峰值");
  TypeDetail(*form, 4, "7.5");
  ASSERT_TRUE(form->Grid_Algorithm_DetailExit());
  EXPECT_EQ(form->Work().WorkAlgorithmTable[0].SetPoint[0], 7.5f);
}

TEST_F(FormAlgorithmTest, MendedReturnNeverClosesTheDialog) {
  auto form = Opened();
  form->show();
  for (QPushButton* button : form->findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->autoDefault()) << S(button->objectName());
    EXPECT_FALSE(button->isDefault()) << S(button->objectName());
  }
  form->Edit_Algorithm_Num->setText("1");
  QTest::keyClick(form->Edit_Algorithm_Num, Qt::Key_Return);
  EXPECT_EQ(form->Grid_Algorithm->Cells().ColCount(), 2);  // the count's handler ran
  EXPECT_TRUE(form->isVisible());
  EXPECT_NE(form->result(), QDialog::Accepted);
  QTest::keyClick(form->Grid_Algorithm_Detail, Qt::Key_Return);
  EXPECT_TRUE(form->isVisible());
  EXPECT_NE(form->result(), QDialog::Accepted);
  form->hide();
}

TEST_F(FormAlgorithmTest, MendedATypeChosenAfterAColumnMovedNamesItsOwnColumn) {
  auto form = Opened();
  const platform::CellGrid& list = form->Grid_Algorithm->Cells();
  form->Grid_Algorithm->Cells().MoveCol(3, 1);  // algorithm 2 to the front
  form->Grid_AlgorithmColumnMoved(3, 1);
  ASSERT_EQ(form->Work().CurrentAlgorithmIndex, 2);
  const std::string second = list.Cell(3, 2);  // algorithm 1, now in column 3
  form->ComboBox1->setCurrentIndex(6);
  form->ComboBox1Click();
  EXPECT_EQ(list.Cell(1, 0), "2");
  EXPECT_EQ(list.Cell(1, 2), "交流信号过小");
  EXPECT_EQ(list.Cell(3, 2), second);
  EXPECT_EQ(form->Work().WorkAlgorithmTable[2].Type, 6);
}

TEST_F(FormAlgorithmTest, ChoosingATypeRebuildsTheDetailsAndTheListCell) {
  auto form = Opened();
  form->Grid_AlgorithmClick(3);  // stator earth fault
  form->ComboBox1->setCurrentIndex(6);
  form->ComboBox1Click();
  const AlgorithmConfig& a = form->Work().WorkAlgorithmTable[2];
  EXPECT_EQ(a.Type, 6);
  EXPECT_EQ(a.UsedChn, 1);
  EXPECT_EQ(form->Grid_Algorithm->Cells().Cell(3, 2), "交流信号过小");
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().RowCount(), 19);
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().Cell(0, 2), "AC");
  EXPECT_EQ(state.config.AlgorithmTable[2].Type, 13);  // only the working copy
}

TEST_F(FormAlgorithmTest, TypingAChannelShowsItsRemarkAndLeavingStoresIt) {
  auto form = Opened();
  TypeDetail(*form, 2, "7");
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().Cell(2, 2), "非法通道值");
  ASSERT_TRUE(form->Grid_Algorithm_DetailExit());
  EXPECT_EQ(form->Work().WorkAlgorithmTable[0].Channel[0], 0);
  TypeDetail(*form, 2, "3");
  EXPECT_EQ(form->Grid_Algorithm_Detail->Cells().Cell(2, 2), "[直] Ch3: *1.00V");
  ASSERT_TRUE(form->Grid_Algorithm_DetailExit());
  EXPECT_EQ(form->Work().WorkAlgorithmTable[0].Channel[0], 3);
}

// --- The opener ------------------------------------------------------------------

TEST_F(FormAlgorithmTest, MenuItemOpensTheEditorFilledFromTheLiveSettings) {
  auto main = MainWindow();
  ASSERT_TRUE(main->menuAlgorithm->isEnabled());
  state.config.IDStartBin = 1;
  state.config.IDStartAnalog = 0;
  state.config.IDPreventSameAlgorithm = 1;
  state.config.TriggerUpNum = 3;
  state.config.TriggerTimeRange = 20;
  struct Seen {
    bool bin = false, analog = true, same = false;
    std::string upNum, timeRange, count, label;
  } seen;
  Answer([&seen](TFormAlgorithm& form) {
    seen = {form.CheckBox_Binary->isChecked(), form.CheckBox_Analog->isChecked(),
            form.CheckBox_SameAlgorithm->isChecked(), S(form.EditTriggerUpNum->text()),
            S(form.EditTriggerTimeRange->text()), S(form.Edit_Algorithm_Num->text()),
            S(form.Label_Algorithm_No->text())};
    return platform::kModalCancel;
  });
  main->menuAlgorithm->trigger();
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormAlgorithm");
  EXPECT_TRUE(seen.bin);
  EXPECT_FALSE(seen.analog);
  EXPECT_TRUE(seen.same);
  EXPECT_EQ(seen.upNum, "3");
  EXPECT_EQ(seen.timeRange, "20");
  EXPECT_EQ(seen.count, "3");
  EXPECT_EQ(seen.label, "0号启动算法:");
}

TEST_F(FormAlgorithmTest, RefusedWhileAcquiring) {
  auto main = MainWindow();
  state.RunState = kRunRecording;
  main->menuAlgorithmClick();
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_FALSE(registry.ReadInt32(kAlgorithmKey, "Algorithm_Num").has_value());
}

TEST_F(FormAlgorithmTest, CancelStoresNothingButTheSettingsAreSaved) {
  auto main = MainWindow();
  const LiveConfig before = state.config;
  Answer([](TFormAlgorithm& form) {
    form.Edit_Algorithm_Num->setText("5");
    form.Edit_Algorithm_NumExit();
    form.ComboBox1->setCurrentIndex(3);
    form.ComboBox1Click();
    TypeDetail(form, 4, "9.5");
    form.Grid_Algorithm_DetailExit();
    form.CheckBox_Binary->setChecked(true);
    form.EditTriggerNum->setText("9");
    form.ButtonCancelClick();
    return platform::kModalCancel;
  });
  main->menuAlgorithmClick();
  EXPECT_EQ(state.config.Algorithm_Num, 3);
  EXPECT_TRUE(SameTables(state.config.AlgorithmTable, before.AlgorithmTable));
  EXPECT_EQ(state.config.IDStartBin, before.IDStartBin);
  EXPECT_EQ(state.config.ConfirmTriggerNum, before.ConfirmTriggerNum);
  // Whatever the result, the configuration goes to the settings tree.
  EXPECT_EQ(registry.ReadInt32(kAlgorithmKey, "Algorithm_Num"), 3);
}

TEST_F(FormAlgorithmTest, ALentConfigurationIsNotSaved) {
  auto main = MainWindow();
  state.configInForce.TempConfigActive = 1;
  Answer([](TFormAlgorithm& form) { return PressOk(form); });
  main->menuAlgorithmClick();
  EXPECT_FALSE(registry.ReadInt32(kAlgorithmKey, "Algorithm_Num").has_value());
}

TEST_F(FormAlgorithmTest, OkWritesTheEditsAndTheTriggerSettings) {
  auto main = MainWindow();
  Answer([](TFormAlgorithm& form) {
    form.Grid_AlgorithmClick(2);
    TypeDetail(form, 5, "48");      // the second set point of type 15
    TypeDetail(form, 7, "250");     // its pre-trigger time
    form.CheckBox_Analog->setChecked(false);
    form.EditTriggerUpNum->setText("-4");
    form.EditTriggerTimeRange->setText("15");
    form.EditTriggerNum->setText("12");
    const int result = PressOk(form);
    EXPECT_EQ(S(form.EditTriggerUpNum->text()), "0");
    return result;
  });
  main->menuAlgorithmClick();
  const AlgorithmConfig& a = state.config.AlgorithmTable[1];
  EXPECT_EQ(a.SetPoint[1], 48.0f);
  EXPECT_EQ(a.SetPoint[0], 1.0f / 3.0f);
  EXPECT_EQ(a.PreRecordTime, 250);
  EXPECT_EQ(state.config.IDStartAnalog, 0);
  EXPECT_EQ(state.config.TriggerUpNum, 0);
  EXPECT_EQ(state.config.TriggerTimeRange, 15);
  EXPECT_EQ(state.config.ConfirmTriggerNum, 10);
  EXPECT_EQ(registry.ReadInt32(kAlgorithmKey, "PreRecordTime1"), 250);
}

TEST_F(FormAlgorithmTest, ViewingEveryAlgorithmThenOkLeavesTheSetPointsBitForBit) {
  auto main = MainWindow();
  const LiveConfig before = state.config;
  Answer([](TFormAlgorithm& form) {
    for (int col = 1; col <= 3; ++col) {
      form.Grid_AlgorithmClick(col);
      EXPECT_TRUE(form.Grid_Algorithm_DetailExit());
    }
    return PressOk(form);
  });
  main->menuAlgorithmClick();
  EXPECT_TRUE(SameTables(state.config.AlgorithmTable, before.AlgorithmTable));
  EXPECT_EQ(state.config.AlgorithmTable[0].SetPoint[0], 0.125f);  // not 0.13
}

TEST_F(FormAlgorithmTest, ARefusedValueKeepsTheDialogOpenAndStoresNothing) {
  auto main = MainWindow();
  const LiveConfig before = state.config;
  bool stayed = false;
  Answer([&stayed](TFormAlgorithm& form) {
    TypeDetail(form, 2, "1");       // a valid channel typed before the refused value
    TypeDetail(form, 4, "abc");     // the set point of type 1
    stayed = PressOk(form) != platform::kModalOk;
    EXPECT_EQ(form.Work().WorkAlgorithmTable[0].Channel[0], 0);
    return platform::kModalCancel;
  });
  main->menuAlgorithmClick();
  EXPECT_TRUE(stayed);
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "峰值: 'abc' is not a valid floating point value");
  EXPECT_TRUE(SameTables(state.config.AlgorithmTable, before.AlgorithmTable));
}

TEST_F(FormAlgorithmTest, MendedARefusedValueIsSaidOnceUntilTypedAgain) {
  auto main = MainWindow();
  Answer([](TFormAlgorithm& form) {
    TypeDetail(form, 4, "abc");
    EXPECT_FALSE(form.Grid_Algorithm_DetailExit());  // the focus left the grid for OK
    EXPECT_NE(PressOk(form), platform::kModalOk);
    EXPECT_NE(PressOk(form), platform::kModalOk);   // pressed again, nothing typed
    TypeDetail(form, 4, "abcd");
    EXPECT_NE(PressOk(form), platform::kModalOk);
    return platform::kModalCancel;
  });
  main->menuAlgorithmClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, "峰值: 'abcd' is not a valid floating point value");
}

// A record whose own counts are below its type's: what is typed into the
// type's rows is stored and comes back at the next start.
TEST_F(FormAlgorithmTest, MendedEditsBeyondARecordsOwnCountsSurviveTheSettingsTree) {
  auto main = MainWindow();
  state.config.AlgorithmTable[1].UsedChn = 0;
  state.config.AlgorithmTable[1].SetPointNum = 1;
  Answer([](TFormAlgorithm& form) {
    form.Grid_AlgorithmClick(2);  // type 15: 1 input, 2 set points
    TypeDetail(form, 2, "3");
    TypeDetail(form, 5, "48");
    return PressOk(form);
  });
  main->menuAlgorithmClick();
  AppState fresh;
  LoadAlgorithmSettings(registry, RegistryContext{}, fresh.config);
  const AlgorithmConfig& a = fresh.config.AlgorithmTable[1];
  EXPECT_EQ(a.Channel[0], 3);
  EXPECT_EQ(a.SetPoint[1], 48.0f);
  EXPECT_EQ(a.UsedChn, 1);
  EXPECT_EQ(a.SetPointNum, 2);
}

// Records whose counts differ from their type, from the settings tree: the
// grid, its remark and its parse-back use the type's rows.
TEST_F(FormAlgorithmTest, RecordFromTheSettingsTreeWithOtherCountsIsEditedByItsTypesRows) {
  registry.WriteInt32(kAlgorithmKey, "Algorithm_Num", 1);
  registry.WriteInt32(kAlgorithmKey, "Type0", 1);
  registry.WriteInt32(kAlgorithmKey, "UsedChn0", 3);
  registry.WriteInt32(kAlgorithmKey, "Channel0_0", 1);
  registry.WriteInt32(kAlgorithmKey, "Channel0_1", 2);
  registry.WriteInt32(kAlgorithmKey, "Channel0_2", 3);
  registry.WriteInt32(kAlgorithmKey, "SetPointNum0", 4);
  LoadAlgorithmSettings(registry, RegistryContext{}, state.config);
  ASSERT_EQ(state.config.AlgorithmTable[0].UsedChn, 3);
  const AlgorithmConfig loaded = state.config.AlgorithmTable[0];

  auto form = Opened();
  const platform::CellGrid& detail = form->Grid_Algorithm_Detail->Cells();
  ASSERT_EQ(detail.RowCount(), 19);
  EXPECT_EQ(detail.Cell(0, 4), "峰值");
  TypeDetail(*form, 4, "2.5");
  EXPECT_EQ(detail.Cell(2, 4), "");  // no channel remark on a set-point row
  TypeDetail(*form, 6, "90");
  ASSERT_TRUE(form->Grid_Algorithm_DetailExit());
  const AlgorithmConfig& a = form->Work().WorkAlgorithmTable[0];
  EXPECT_EQ(a.SetPoint[0], 2.5f);
  EXPECT_EQ(a.PreRecordTime, 90);
  EXPECT_EQ(a.Channel[1], loaded.Channel[1]);
  EXPECT_EQ(a.Channel[2], loaded.Channel[2]);
  EXPECT_EQ(a.SetPoint[1], loaded.SetPoint[1]);
  EXPECT_EQ(a.RecordTime, loaded.RecordTime);
}

// --- Summary and files -------------------------------------------------------------

TEST_F(FormAlgorithmTest, SummaryGoesToTheClipboard) {
  auto form = Opened();
  form->Edit_Algorithm_Num->setText("1");
  form->Edit_Algorithm_NumExit();
  form->ButtonSummaryClick();
  EXPECT_EQ(ui.clipboardText, AlgorithmSummaryText(form->Work(), state.config));
  EXPECT_NE(ui.clipboardText.find("第0号算法: [类型]峰值超过"), std::string::npos);
  EXPECT_EQ(ui.clipboardText.find("第1号算法"), std::string::npos);
}

TEST_F(FormAlgorithmTest, SaveWritesTheWorkingAlgorithmsOrSaysItCannot) {
  auto form = Opened();
  const fs::path path = dir / "set.alg";
  ui.fileAnswers.push_back(path.string());
  form->ButtonSaveClick();
  const auto requests = ui.PromptsOf(Kind::SaveFile);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].file.title, "指定要保存的算法文件名");
  EXPECT_EQ(requests[0].file.defaultExt, "ALG");
  EXPECT_EQ(requests[0].file.filter, "算法文件 (*.alg)|*.alg|所有文件 (*.*)|*.*");
  EXPECT_EQ(requests[0].file.fileName, "");
  const AlgorithmFileResult read = ReadAlgorithmFile(path.string());
  ASSERT_EQ(read.Status, AlgorithmFileStatus::Ok);
  ASSERT_EQ(read.Records.size(), 3u);
  EXPECT_EQ(std::memcmp(read.Records.data(), state.config.AlgorithmTable.data(), 3 * sizeof(AlgorithmConfig)), 0);

  ui.fileAnswers.push_back((dir / "missing" / "set.alg").string());
  form->ButtonSaveClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "不能创建新文件!");
  EXPECT_EQ(messages[0].caption, "打开配置文件错误");
  EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
}

TEST_F(FormAlgorithmTest, ReadingAFileFillsOnlyTheWorkingCopy) {
  std::vector<AlgorithmConfig> records;
  for (int i = 0; i < 61; ++i) records.push_back(Record(i % 7, "F" + std::to_string(i)));
  records[1].UsedChn = 3;  // counts of its own: kept
  records[2].Type = 77;    // beyond the table: sanitised
  const fs::path many = dir / "many.alg", nine = dir / "nine.alg", eight = dir / "eight.alg", bad = dir / "bad.alg";
  WriteBytes(many, FileImage(61, records));
  WriteBytes(nine, FileImage(0, {}) + "x");
  WriteBytes(eight, FileImage(0, {}));
  WriteBytes(bad, "ALGX" + FileImage(0, {}).substr(4));

  auto form = Opened();
  form->Grid_AlgorithmClick(3);
  const AlgorithmWorkCopy before = form->Work();
  struct Case {
    fs::path path;
    const char* message;
  };
  const Case refused[] = {{nine, "文件大小不对!"}, {bad, "文件头标志错误!"}, {eight, nullptr}, {dir / "none.alg", nullptr}};
  for (const Case& c : refused) {
    ui.prompts.clear();
    ui.fileAnswers.push_back(c.path.string());
    form->ButtonReadClick();
    const auto messages = ui.PromptsOf(Kind::Message);
    if (c.message == nullptr) {
      EXPECT_TRUE(messages.empty()) << c.path;
    } else {
      ASSERT_EQ(messages.size(), 1u) << c.path;
      EXPECT_EQ(messages[0].text, c.message);
      EXPECT_EQ(messages[0].caption, "打开算法配置文件错误");
      EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
    }
    EXPECT_TRUE(SameTables(form->Work().WorkAlgorithmTable, before.WorkAlgorithmTable)) << c.path;
    EXPECT_EQ(form->Work().WorkAlgorithmNum, 3);
  }
  EXPECT_EQ(ui.PromptsOf(Kind::OpenFile).back().file.title, "选定要读取的算法配置文件名");

  ui.fileAnswers.push_back(many.string());
  form->ButtonReadClick();
  EXPECT_EQ(form->Work().WorkAlgorithmNum, 60);
  EXPECT_EQ(S(form->Edit_Algorithm_Num->text()), "60");
  EXPECT_EQ(form->Grid_Algorithm->Cells().ColCount(), 61);
  EXPECT_EQ(form->Grid_Algorithm->Cells().Cell(60, 1), "F59");
  EXPECT_EQ(form->Work().CurrentAlgorithmIndex, 2);  // still inside the list
  EXPECT_EQ(form->Work().WorkAlgorithmTable[2].Type, 0);
  EXPECT_EQ(form->Work().WorkAlgorithmTable[1].UsedChn, 3);
  EXPECT_EQ(state.config.Algorithm_Num, 3);  // OK still has to be pressed
  EXPECT_EQ(state.config.AlgorithmTable[0].Type, 1);

  // The file's record with counts of its own is edited by its type's rows.
  form->Grid_AlgorithmClick(2);
  TypeDetail(*form, 4, "3.75");
  ASSERT_TRUE(form->Grid_Algorithm_DetailExit());
  EXPECT_EQ(form->Work().WorkAlgorithmTable[1].SetPoint[0], 3.75f);
  EXPECT_EQ(form->Work().WorkAlgorithmTable[1].Channel[1], records[1].Channel[1]);
}

}  // namespace
