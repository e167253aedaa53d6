#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <memory>

#include "platform/MemoryRegistry.h"
#include "platform/RegistryKey.h"
#include "platform/ScriptedUiHost.h"
#include "setup/FormFBuff.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kQuelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";
const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

class FormFBuffTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;

  void SetUp() override {
    LiveConfig& c = state.config;
    c.ChannelRate = 1000.0f;
    c.ACFrq = 50.0f;
    c.SamplesPerCycle = 20;
    c.NumChn = 4;
    c.NumSamp = 300;
  }
  // The recorder fields as the opener fills them from the settings.
  static void Fill(TFormFBuff& form, const LiveConfig& c) {
    form.EditMaxBlock->setText(QString::number(c.MaxBlock));
    form.EditFaultBlock->setText(QString::number(c.FaultBlockNum));
    form.EditCompressFaultBlock->setText(QString::number(c.CompressFaultBlockNum));
    form.EditFileNum->setText(QString::number(c.FileNum));
    form.EditEndBlock->setText(QString::number(c.EndBlock));
    form.EditDispFrq->setText(QString::number(c.QuelvarDispFrq));
    form.Edit_CompressRatio->setText(QString::number(c.CompressRatio));
    form.ComboBox_CompressType->setCurrentIndex(c.CompressType);
  }
  std::optional<std::string> Stored(const std::string& name) const {
    return platform::RegistryKey(const_cast<platform::MemoryRegistry&>(registry), kQuelvarKey).ReadString(name);
  }
  std::optional<int32_t> StoredInt(const std::string& name) const {
    return platform::RegistryKey(const_cast<platform::MemoryRegistry&>(registry), kQuelvarKey).ReadInteger(name);
  }
  static std::string Hint(const QWidget* w) { return w->toolTip().toStdString(); }
};

TEST_F(FormFBuffTest, ControlsCarryTheirNamesCaptionsAndHints) {
  TFormFBuff form(state, registry, ui);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("录波器缓冲区设置"));
  for (const char* name : {"EditNumChn", "EditNumSamp", "EditChnFrq", "EditMaxBlock", "EditFaultBlock",
                           "EditCompressFaultBlock", "Edit_CompressRatio", "EditFileNum", "EditStartNum",
                           "EditEndBlock", "EditDispFrq", "EditFileName", "EditSafeSaveTime", "EditSafeSaveFileName"}) {
    EXPECT_NE(form.findChild<QLineEdit*>(name), nullptr) << name;
  }
  for (QLineEdit* shownOnly : {form.EditNumChn, form.EditNumSamp, form.EditChnFrq}) EXPECT_FALSE(shownOnly->isEnabled());
  for (const char* caption : {"总采样通道数", "每块每通道采样数", "每通道采样频率(Hz)", "内存缓冲区块数", "故障记录块数",
                              "压缩记录块数", "压缩记录的压缩比例", "压缩记录方式", "保留的最大文件数", "启动次数统计"}) {
    bool found = false;
    for (const QLabel* l : form.findChildren<QLabel*>()) found = found || l->text() == QString::fromUtf8(caption);
    EXPECT_TRUE(found) << caption;
  }
  const std::pair<QWidget*, const char*> named[] = {
      {form.Label_EndBlock, "Label_EndBlock"}, {form.LabelDispFrq, "LabelDispFrq"},
      {form.LabelSafeSave, "LabelSafeSave"},   {form.LabelMemory, "LabelMemory"},
      {form.StatusBar1, "StatusBar1"},         {form.ComboBox_CompressType, "ComboBox_CompressType"}};
  for (const auto& [w, name] : named) EXPECT_EQ(w->objectName(), name);
  EXPECT_EQ(form.Label_EndBlock->text(), QStringLiteral("处理块数上限"));
  EXPECT_EQ(form.LabelDispFrq->text(), QStringLiteral("显示刷新时间(ms)"));
  EXPECT_EQ(form.LabelSafeSave->text(), QStringLiteral("文件名"));

  const struct {
    QAbstractButton* button;
    const char *name, *caption, *hint;
  } buttons[] = {
      {form.CheckBoxAutoStart, "CheckBoxAutoStart", "启动自动录波", "程序启动时自动开始录波"},
      {form.CheckBoxAutoPrint, "CheckBoxAutoPrint", "故障自动打印波形", "发生故障时自动打印输出故障波形"},
      {form.CheckBoxAutoRestore, "CheckBoxAutoRestore", "退出自动恢复原配置",
       "程序退出时自动放弃临时参数、远程参数，恢复原配置"},
      {form.CheckBoxContinuousSave, "CheckBoxContinuousSave", "连续记录到文件", ""},
      {form.CheckBoxSafeSave, "CheckBoxSafeSave", "定时备份时间(分)", ""},
      {form.ButtonOpen, "ButtonOpen", "选新文件名", "选择特定路径的文件名"},
      {form.ButtonCurTime, "ButtonCurTime", "以当前时间", "以当前时间为文件名"},
      {form.ButtonNewBakFile, "ButtonNewBakFile", "选新文件名", ""},
      {form.ButtonDefaultBAKFile, "ButtonDefaultBAKFile", "使用缺省名称", ""},
      {form.ButtonOK, "ButtonOK", "确定", ""},
      {form.ButtonCancel, "ButtonCancel", "取消", ""}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button->objectName(), b.name);
    EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption)) << b.name;
    EXPECT_EQ(Hint(b.button), b.hint) << b.name;
  }
  EXPECT_TRUE(form.ButtonOK->isDefault());
  EXPECT_EQ(Hint(form.EditFaultBlock), "手动触发故障时记录的块数");
  EXPECT_EQ(Hint(form.EditEndBlock), "记录此块数时自动停止，0表示不限制");
  EXPECT_EQ(Hint(form.EditFileName), "双击选新文件名");
  EXPECT_EQ(Hint(form.EditSafeSaveFileName), "双击选新备份文件名");
  EXPECT_EQ(Hint(form.LabelSafeSave), "双击自动产生备份文件名");

  // The compression kind is kept but not shown.
  EXPECT_TRUE(form.ComboBox_CompressType->isHidden());
  EXPECT_TRUE(form.Label_CompressType->isHidden());
  ASSERT_EQ(form.ComboBox_CompressType->count(), 5);
  const char* kinds[] = {"区间交流有效值", "区间中点值", "区间平均值", "区间最大值", "区间最小值"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(form.ComboBox_CompressType->itemText(i), QString::fromUtf8(kinds[i]));
  EXPECT_EQ(form.ComboBox_CompressType->currentIndex(), 0);
}

TEST_F(FormFBuffTest, CreationTakesTheStoredNamesButNeverSwitchesSavingOn) {
  platform::RegistryKey key(registry, kQuelvarKey);
  key.WriteString("ContinuousSaveFile", "/data/run.DAT");
  key.WriteString("SafeSaveFileName", "/data/run_BAK.DAT");
  key.WriteInteger("SafeSaveTime", 5);
  key.WriteInteger("idContinuousSave", 1);
  key.WriteInteger("idSafeSave", 1);
  state.saving.idContinuousSave = 1;
  TFormFBuff form(state, registry, ui);
  EXPECT_EQ(state.saving.ContinuousSaveFile, "/data/run.DAT");
  EXPECT_EQ(state.saving.SafeSaveFileName, "/data/run_BAK.DAT");
  EXPECT_EQ(state.saving.SafeSaveTime, 5);
  EXPECT_EQ(state.saving.idContinuousSave, 0);
  EXPECT_EQ(state.saving.idSafeSave, 0);
  EXPECT_EQ(form.EditFileName->text(), "/data/run.DAT");
  EXPECT_EQ(form.EditSafeSaveFileName->text(), "/data/run_BAK.DAT");
  EXPECT_EQ(form.EditSafeSaveTime->text(), "5");
  EXPECT_FALSE(form.CheckBoxContinuousSave->isChecked());
  EXPECT_FALSE(form.CheckBoxSafeSave->isChecked());
  for (QWidget* w : std::initializer_list<QWidget*>{form.CheckBoxSafeSave, form.EditSafeSaveTime,
                                                    form.EditSafeSaveFileName, form.LabelSafeSave,
                                                    form.ButtonNewBakFile, form.ButtonDefaultBAKFile}) {
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  }
  // The display refresh waits behind the end block.
  EXPECT_TRUE(form.EditDispFrq->isHidden());
  EXPECT_TRUE(form.LabelDispFrq->isHidden());
  EXPECT_FALSE(form.EditEndBlock->isHidden());
}

TEST_F(FormFBuffTest, DestructionStoresWhatTheControlsHoldAndThePlace) {
  {
    TFormFBuff form(state, registry, ui);
    form.CheckBoxContinuousSave->setChecked(true);
    form.CheckBoxSafeSave->setChecked(true);
    form.EditFileName->setText("/data/a.DAT");
    form.EditSafeSaveFileName->setText("/data/a_BAK.DAT");
    form.EditSafeSaveTime->setText("0");
    form.move(123, 77);
  }
  EXPECT_EQ(Stored("ContinuousSaveFile"), "/data/a.DAT");
  EXPECT_EQ(Stored("SafeSaveFileName"), "/data/a_BAK.DAT");
  EXPECT_EQ(StoredInt("SafeSaveTime"), 1);
  EXPECT_EQ(StoredInt("idContinuousSave"), 1);
  EXPECT_EQ(StoredInt("idSafeSave"), 1);
  EXPECT_TRUE(platform::RegistryKey(registry, kFormSizeKey).ReadInteger("FormFBuff_Left").has_value());
}

TEST_F(FormFBuffTest, MendedABackupIntervalThatIsNoNumberAtTheEndStillLetsEverythingBeStored) {
  {
    TFormFBuff form(state, registry, ui);
    form.CheckBoxContinuousSave->setChecked(true);
    form.EditSafeSaveTime->setText("soon");
  }
  EXPECT_EQ(StoredInt("SafeSaveTime"), 1);
  EXPECT_EQ(StoredInt("idContinuousSave"), 1);
  EXPECT_EQ(StoredInt("idSafeSave"), 0);
  EXPECT_TRUE(platform::RegistryKey(registry, kFormSizeKey).ReadInteger("FormFBuff_Width").has_value());
}

TEST_F(FormFBuffTest, ABlockCountOfOneShowsTheDisplayRefreshInsteadOfTheEndBlock) {
  TFormFBuff form(state, registry, ui);
  for (const char* text : {"1", "200", "x", " 1", ""}) {
    form.EditMaxBlock->setText(QString::fromUtf8(text));
    const bool snapshot = std::string(text) == "1" || std::string(text) == " 1";
    EXPECT_EQ(!form.EditDispFrq->isHidden(), snapshot) << '"' << text << '"';
    EXPECT_EQ(!form.LabelDispFrq->isHidden(), snapshot) << '"' << text << '"';
    EXPECT_EQ(form.EditEndBlock->isHidden(), snapshot) << '"' << text << '"';
    EXPECT_EQ(form.Label_EndBlock->isHidden(), snapshot) << '"' << text << '"';
  }
}

TEST_F(FormFBuffTest, ReadoutsFollowTheFieldsAndStoreNothing) {
  TFormFBuff form(state, registry, ui);
  state.config.CompressRatio = 20;
  form.EditMaxBlock->setText("100");
  form.EditFaultBlock->setText("10");
  form.EditCompressFaultBlock->setText("2");
  form.Edit_CompressRatio->setText("1");
  EXPECT_EQ(form.StatusText(), "实时波形内存=240KB, 等价采样时间=30.0s, 手动记录时间=15.3s");
  EXPECT_EQ(Hint(form.EditFaultBlock), "等价采样时间3.0s");
  EXPECT_EQ(Hint(form.EditCompressFaultBlock), "等价压缩时间12.0s");
  form.Edit_CompressRatio->setText("40");
  EXPECT_EQ(Hint(form.EditCompressFaultBlock), "等价压缩时间24.0s");
  // Mended: what is typed is only shown until OK takes it.
  EXPECT_EQ(state.config.CompressRatio, 20);

  form.EditEndBlock->setText("100");
  EXPECT_EQ(Hint(form.Label_EndBlock), "约0.2MB数据");
  form.EditEndBlock->setText("0");
  EXPECT_EQ(Hint(form.Label_EndBlock), "处理数据无限制");
}

TEST_F(FormFBuffTest, TickingContinuousSavingPreparesTheRingAndOpensTheBackupControls) {
  TFormFBuff form(state, registry, ui);
  form.EditMaxBlock->setText("1");
  form.EditEndBlock->setText("0");
  form.CheckBoxContinuousSave->click();
  EXPECT_EQ(form.EditMaxBlock->text(), "10");
  EXPECT_EQ(form.EditEndBlock->text(), "10");
  EXPECT_FALSE(form.EditEndBlock->isHidden());  // no longer snapshot mode
  EXPECT_EQ(form.StatusText(), " 连续记录文件大小:64KB, 等价采样时间：3.0s");
  const std::initializer_list<QWidget*> backup = {form.CheckBoxSafeSave, form.EditSafeSaveTime,
                                                  form.EditSafeSaveFileName, form.LabelSafeSave,
                                                  form.ButtonNewBakFile, form.ButtonDefaultBAKFile};
  for (QWidget* w : backup) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  form.CheckBoxSafeSave->setChecked(true);

  form.CheckBoxContinuousSave->click();
  EXPECT_FALSE(form.CheckBoxSafeSave->isChecked());
  for (QWidget* w : backup) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_EQ(form.StatusText().rfind("实时波形内存=", 0), 0u);
}

TEST_F(FormFBuffTest, FileButtonsAskForNamesAndMakeThem) {
  state.startup.DialogInitialDir = "/opt/quelvar/";
  TFormFBuff form(state, registry, ui);
  form.CheckBoxContinuousSave->click();
  ui.fileAnswers.push_back(std::string("/data/run.dat"));
  form.ButtonOpenClick();
  ui.fileAnswers.push_back(std::nullopt);  // cancelled: the name stays
  QTest::mouseDClick(form.EditFileName, Qt::LeftButton);
  EXPECT_EQ(form.EditFileName->text(), "/data/run.dat");
  ui.fileAnswers.push_back(std::string("/data/copy.dat"));
  QTest::mouseDClick(form.EditSafeSaveFileName, Qt::LeftButton);
  EXPECT_EQ(form.EditSafeSaveFileName->text(), "/data/copy.dat");
  const auto asked = ui.PromptsOf(Kind::OpenFile);
  ASSERT_EQ(asked.size(), 3u);
  for (size_t i = 0; i < asked.size(); ++i) {
    EXPECT_EQ(asked[i].caption, i < 2 ? "选定连续记录AD数据文件名" : "选定连续记录时备份AD数据文件名");
    EXPECT_EQ(asked[i].file.defaultExt, "DAT");
    EXPECT_EQ(asked[i].file.filter, "AD记录文件 (*.dat)|*.dat|所有文件 (*.*)|*.*");
    EXPECT_EQ(asked[i].file.fileName, "");
    EXPECT_EQ(asked[i].file.initialDir, "/opt/quelvar/");
    // Both files are usually about to be made: a new name must be choosable.
    EXPECT_FALSE(asked[i].file.mustExist);
  }

  form.EditFileName->setText("/data/run.d/F001");
  QTest::mouseDClick(form.LabelSafeSave, Qt::LeftButton);
  EXPECT_EQ(form.EditSafeSaveFileName->text(), "/data/run.d/F001_BAK");
  form.EditFileName->setText("/data/F001.DAT");
  form.ButtonDefaultBAKFile->click();
  EXPECT_EQ(form.EditSafeSaveFileName->text(), "/data/F001_BAK.DAT");

  form.ButtonCurTime->click();
  EXPECT_TRUE(QRegularExpression("^F\\d{14}\\.DAT$").match(form.EditFileName->text()).hasMatch())
      << form.EditFileName->text().toStdString();
}

TEST_F(FormFBuffTest, LeavingTheRunCounterStoresItAtOnce) {
  TFormFBuff form(state, registry, ui);
  form.EditStartNum->setText("77");
  form.EditStartNumExit();
  EXPECT_EQ(state.config.StartNum, 77);
  EXPECT_EQ(StoredInt("StartNum"), 77);
  form.EditStartNum->setText("many");
  form.EditStartNumExit();
  EXPECT_EQ(state.config.StartNum, 0);
}

TEST_F(FormFBuffTest, ActivationShowsTheMemoryAndLocksOkWhenConfigurationIsLocked) {
  state.startup.ConfigUnlocked = 0;
  TFormFBuff form(state, registry, ui);
  Fill(form, state.config);
  form.FormActivate();
  const std::string memory = form.LabelMemory->text().toStdString();
  EXPECT_TRUE(QRegularExpression("^注: 物理内存 [0-9,]+ KB, 可用 \\d+ %$").match(form.LabelMemory->text()).hasMatch())
      << memory;
  EXPECT_FALSE(form.ButtonOK->isEnabled());
  EXPECT_EQ(form.StatusText().rfind("实时波形内存=", 0), 0u);
}

TEST_F(FormFBuffTest, OkPutsTheClampedFieldsInForceAndTellsAboutContinuousSaving) {
  TFormFBuff form(state, registry, ui);
  Fill(form, state.config);
  form.FormActivate();
  form.EditMaxBlock->setText("10");
  form.EditFaultBlock->setText("20");
  form.EditFileNum->setText("5");
  form.Edit_CompressRatio->setText("1");
  form.CheckBoxAutoStart->setChecked(true);
  form.CheckBoxContinuousSave->click();  // end block 0 becomes the block count
  form.EditFileName->setText("run.DAT");
  form.EditSafeSaveTime->setText("0");
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  const LiveConfig& c = state.config;
  EXPECT_EQ(c.MaxBlock, 15);
  EXPECT_EQ(c.FaultBlockNum, 5);
  EXPECT_EQ(c.FileNum, 20);
  EXPECT_EQ(c.EndBlock, 10);
  EXPECT_EQ(c.CompressRatio, 20);
  EXPECT_EQ(c.SamplesPerCycle, 20);
  EXPECT_EQ(c.AutoStart, 1);
  EXPECT_EQ(state.saving.idContinuousSave, 1);
  EXPECT_EQ(state.saving.ContinuousSaveFile, "run.DAT");
  EXPECT_EQ(state.saving.SafeSaveTime, 1);
  EXPECT_EQ(form.EditSafeSaveTime->text(), "1");  // written back
  const auto told = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].text, "请确保磁盘空间、记录长度等参数适当！");
  EXPECT_EQ(told[0].caption, "您选择了自动连续存盘功能");
}

TEST_F(FormFBuffTest, ContinuousSavingWithoutAnEndBlockIsSwitchedOffOnOk) {
  TFormFBuff form(state, registry, ui);
  Fill(form, state.config);
  form.CheckBoxContinuousSave->click();
  form.CheckBoxSafeSave->setChecked(true);
  form.EditEndBlock->setText("0");
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(state.saving.idContinuousSave, 0);
  EXPECT_EQ(state.saving.idSafeSave, 0);
  EXPECT_FALSE(form.CheckBoxContinuousSave->isChecked());
  EXPECT_FALSE(form.CheckBoxSafeSave->isChecked());
  EXPECT_FALSE(form.EditSafeSaveTime->isEnabled());
  EXPECT_EQ(ui.PromptsOf(Kind::Message).back().text, "由于内存缓冲区块数＝1\n 或处理块上限=0\n而屏蔽自动连续存盘功能！");
}

TEST_F(FormFBuffTest, MendedARefusedOkStoresNothing) {
  TFormFBuff form(state, registry, ui);
  Fill(form, state.config);
  const LiveConfig before = state.config;
  const ContinuousSaveSettings savingBefore = state.saving;
  form.EditMaxBlock->setText("1");
  form.EditFaultBlock->setText("0");
  form.EditFileNum->setText("5");
  form.EditDispFrq->setText("-100");
  form.CheckBoxAutoPrint->setChecked(true);
  form.setResult(0);
  form.ButtonOKClick();
  EXPECT_NE(form.result(), QDialog::Accepted);
  const auto told = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].text, "显示刷新时间(ms)不能为负数！");
  EXPECT_EQ(RecorderSettingsOf(state.config, state.saving), RecorderSettingsOf(before, savingBefore));
}

TEST_F(FormFBuffTest, CancelStoresNothingAndPutsTheSavingControlsBack) {
  TFormFBuff form(state, registry, ui);
  Fill(form, state.config);
  const LiveConfig before = state.config;
  const ContinuousSaveSettings savingBefore = state.saving;
  form.FormActivate();
  form.EditMaxBlock->setText("500");
  form.Edit_CompressRatio->setText("60");
  form.CheckBoxContinuousSave->click();
  form.CheckBoxSafeSave->setChecked(true);
  form.EditFileName->setText("other.DAT");
  form.ButtonCancel->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(RecorderSettingsOf(state.config, state.saving), RecorderSettingsOf(before, savingBefore));
  EXPECT_FALSE(form.CheckBoxContinuousSave->isChecked());
  EXPECT_FALSE(form.CheckBoxSafeSave->isChecked());
  EXPECT_EQ(form.EditFileName->text(), "F001.DAT");
  EXPECT_FALSE(form.EditSafeSaveFileName->isEnabled());
}

}  // namespace
