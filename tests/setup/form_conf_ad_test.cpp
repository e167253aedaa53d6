#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "setup/FormConfAD.h"
#include "shell/record_file_support.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

// The card shares its nominal rate among the analog channels.
float SharedRate(int32_t analogNum, int32_t frqSamp) {
  return static_cast<float>(frqSamp) / static_cast<float>(analogNum);
}

class FormConfADTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;

  void SetUp() override {
    state.driver.DriverUsable = 1;
    state.driver.Entries.ChannelFrq = SharedRate;
    state.driver.CardMinBlockSamples = 1024;
  }
  std::string Status(const TFormConfAD& form) const { return form.StatusText(); }
};

TEST_F(FormConfADTest, ControlsCarryTheirNamesAndCaptions) {
  TFormConfAD form(state, registry, ui);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("配置AD采集板"));
  ASSERT_EQ(form.PageControl1->count(), 2);
  EXPECT_EQ(form.PageControl1->tabText(0), QStringLiteral("基本配置"));
  EXPECT_EQ(form.PageControl1->tabText(1), QStringLiteral("高级配置"));
  for (const char* name : {"Edit_ADCard", "Edit_IOBase", "Edit_PhysAddr", "Edit_IRQNum", "Edit_SampPerChn",
                           "Edit_BegChn", "Edit_NumChn", "Edit_FrqSamp", "Edit_NumBuf", "Edit_ADBit", "Edit_AmpGain",
                           "EditFilterCoe", "EditResampNum"}) {
    EXPECT_NE(form.findChild<QLineEdit*>(name), nullptr) << name;
  }
  EXPECT_FALSE(form.Edit_ADCard->isEnabled());
  EXPECT_FALSE(form.Edit_NumChn->isEnabled());
  // Each edit's label, as the form layout pairs them.
  const std::pair<QLineEdit*, const char*> labels[] = {
      {form.Edit_ADCard, "AD板名称"},        {form.Edit_IOBase, "IO基地址(Hex)"},
      {form.Edit_PhysAddr, "内存地址(Hex)"}, {form.Edit_IRQNum, "占用IRQ号"},
      {form.Edit_SampPerChn, "每通道采样数(每块)"}, {form.Edit_BegChn, "起始通道号"},
      {form.Edit_NumChn, "采样通道数"},      {form.Edit_FrqSamp, "名义采样频率(Hz)"},
      {form.Edit_NumBuf, "中断缓冲区数"},    {form.Edit_ADBit, "AD芯片位数"},
      {form.Edit_AmpGain, "程控放大倍数"}};
  for (const auto& [edit, label] : labels) {
    const auto* layout = qobject_cast<QFormLayout*>(edit->parentWidget()->layout());
    ASSERT_NE(layout, nullptr) << label;
    const auto* caption = qobject_cast<QLabel*>(layout->labelForField(edit));
    ASSERT_NE(caption, nullptr) << label;
    EXPECT_EQ(caption->text(), QString::fromUtf8(label));
  }
  const std::pair<QAbstractButton*, const char*> buttons[] = {
      {form.CheckBoxFilter, "使能模拟通道在线IIR滤波"}, {form.CheckBoxResamp, "使能在线重采样"},
      {form.RadioButtonLastPoint, "保留最后1点"},       {form.RadioButtonAvgValue, "保留平均值"},
      {form.CheckBoxSimulate, "使用虚拟AD板"},          {form.Button_OK, "确定"},
      {form.Button_Cancel, "取消"}};
  for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  for (const char* text : {"系数Coe*1000:", "IIR滤波公式:y(i)=y(i-1)*Coe+x(i)*(1-Coe)", "重采样压缩倍数："}) {
    bool found = false;
    for (const QLabel* l : form.findChildren<QLabel*>()) found = found || l->text() == QString::fromUtf8(text);
    EXPECT_TRUE(found) << text;
  }
  const struct {
    QAction* item;
    const char* name;
    const char* caption;
  } items[] = {{form.menuSimulateAuto, "menuSimulateAuto", "自动周期性数据"},
               {form.menuSimulateRandom, "menuSimulateRandom", "周期数据加随机野点"},
               {form.menuSimulateFile, "menuSimulateFile", "以前记录的数据"},
               {form.menuCurDataFile, "menuCurDataFile", "当前显示的历史数据"},
               {form.menuSimulateInterval, "menuSimulateInterval", "仿真数据块时延(?ms)"}};
  for (const auto& i : items) {
    EXPECT_EQ(i.item->objectName(), i.name);
    EXPECT_EQ(i.item->text(), QString::fromUtf8(i.caption));
    EXPECT_TRUE(form.PopupMenuSimulate->actions().contains(i.item)) << i.name;
  }
  EXPECT_EQ(form.CheckBoxSimulate->contextMenuPolicy(), Qt::CustomContextMenu);
  EXPECT_NE(form.findChild<QStatusBar*>("StatusBar1"), nullptr);
}

TEST_F(FormConfADTest, ActivationShowsTheLiveSettings) {
  LiveConfig& c = state.config;
  c.IOBase = 0x2A0;
  c.PhysAddr = 0xD8000;
  c.IRQNum = 7;
  c.BegChn = 2;
  c.NumChn = 3;
  c.NumSamp = 400;
  c.FrqSamp = 12000;
  c.NumBuf = 12;
  c.AmpGain = 4;
  c.OnlineFilter = 1;
  c.FilterCoe = 900;
  c.ResampNum = 6;
  c.ResampMode = 0;
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  EXPECT_EQ(form.Edit_IOBase->text(), "2A0");
  EXPECT_EQ(form.Edit_PhysAddr->text(), "D8000");
  EXPECT_EQ(form.Edit_IRQNum->text(), "7");
  EXPECT_EQ(form.Edit_BegChn->text(), "2");
  EXPECT_EQ(form.Edit_NumChn->text(), "3");
  EXPECT_EQ(form.Edit_SampPerChn->text(), "400");
  EXPECT_EQ(form.Edit_FrqSamp->text(), "12000");
  EXPECT_EQ(form.Edit_NumBuf->text(), "12");
  EXPECT_EQ(form.Edit_AmpGain->text(), "4");
  EXPECT_EQ(form.Edit_ADBit->text(), "12");
  EXPECT_EQ(form.Label_SampPerChn->toolTip(), QStringLiteral("最小值=341"));
  EXPECT_FALSE(form.Edit_ADBit->isEnabled());  // the driver gives the resolution
  EXPECT_TRUE(form.CheckBoxFilter->isChecked());
  EXPECT_EQ(form.EditFilterCoe->text(), "900");
  EXPECT_FALSE(form.CheckBoxResamp->isChecked());
  EXPECT_EQ(form.EditResampNum->text(), "6");
  EXPECT_TRUE(form.RadioButtonAvgValue->isChecked());
  EXPECT_FALSE(form.RadioButtonLastPoint->isChecked());
  EXPECT_FALSE(form.menuCurDataFile->isVisible());
  EXPECT_TRUE(form.Button_OK->isEnabled());
  EXPECT_EQ(Status(form), "每通道采样频率=3000 Hz");  // 12000 Hz over 4 analog channels
  EXPECT_FLOAT_EQ(form.KeptChannelRate(), 3000.0f);

  state.driver.DriverUsable = 0;
  state.startup.ConfigUnlocked = 0;
  state.display.SelectFault = 1;
  form.FormActivate();
  EXPECT_TRUE(form.Edit_ADBit->isEnabled());
  EXPECT_FALSE(form.Button_OK->isEnabled());  // locked by the command line
  EXPECT_TRUE(form.menuCurDataFile->isVisible());
  EXPECT_TRUE(form.CheckBoxSimulate->isChecked());
  EXPECT_EQ(Status(form), "提示：无驱动程序");
}

TEST_F(FormConfADTest, ShowingTheDialogActivatesIt) {
  TFormConfAD form(state, registry, ui);
  state.config.FrqSamp = 6000;
  form.show();
  EXPECT_EQ(form.Edit_FrqSamp->text(), "6000");
  EXPECT_EQ(Status(form), "每通道采样频率=1500 Hz");
  form.hide();
}

TEST_F(FormConfADTest, ActivationWarnsOfAResolutionThatDoesNotMatchTheZero) {
  TFormConfAD form(state, registry, ui);
  state.config.VZero = 2048.0f;
  form.FormActivate();
  EXPECT_EQ(Status(form), "每通道采样频率=2500 Hz");
  state.config.ADBit = 16;
  form.FormActivate();
  EXPECT_EQ(Status(form), "警告：ADBit与VZero不匹配!");
  // A resolution of 17 read from the settings forces the virtual card.
  state.config.ADBit = 17;
  form.FormActivate();
  EXPECT_TRUE(form.CheckBoxSimulate->isChecked());
  EXPECT_EQ(Status(form), "提示：要求AD位数<=16,但实际为17");
}

TEST_F(FormConfADTest, FrequencyLineFollowsTheEditsAndTheResampling) {
  state.config.OnlineResamp = 1;
  state.config.ResampNum = 4;
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  EXPECT_EQ(Status(form), "每通道采样频率=625 Hz");  // 10000 / 4 channels / 4
  form.Edit_FrqSamp->setText("20000");
  EXPECT_EQ(Status(form), "每通道采样频率=1250 Hz");
  form.EditResampNum->setText("5000");
  form.EditResampNumExit();
  EXPECT_EQ(form.EditResampNum->text(), "1000");
  EXPECT_EQ(Status(form), "每通道采样频率=5 Hz");
  form.CheckBoxResamp->setChecked(false);
  form.CheckBoxResampClick();
  EXPECT_EQ(Status(form), "每通道采样频率=5000 Hz");
  EXPECT_FLOAT_EQ(form.KeptChannelRate(), 5000.0f);

  // Under a lent configuration the nominal rate is shown as it is.
  state.configInForce.TempConfigActive = 1;
  form.Edit_FrqSampExit();
  EXPECT_EQ(Status(form), "每通道采样频率=20000 Hz");

  form.Edit_NumChn->setText("-3");
  EXPECT_EQ(form.Edit_NumChn->text(), "1");
}

TEST_F(FormConfADTest, FieldExitsWriteBackTheirClampedValues) {
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  form.Edit_NumChn->setText("3");
  form.Edit_SampPerChn->setText("300");
  form.Edit_SampPerChnExit();
  EXPECT_EQ(form.Edit_SampPerChn->text(), "342");
  form.EditFilterCoe->setText("1000");
  form.EditFilterCoeExit();
  EXPECT_EQ(form.EditFilterCoe->text(), "999");
  form.EditFilterCoe->setText("soft");
  form.EditFilterCoeExit();
  EXPECT_EQ(form.EditFilterCoe->text(), "950");
}

TEST_F(FormConfADTest, VirtualCardTakesTheFilterAndTheResamplingAway) {
  state.config.OnlineFilter = 1;
  state.config.OnlineResamp = 1;
  state.config.ResampNum = 4;
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  ASSERT_EQ(Status(form), "每通道采样频率=625 Hz");
  form.CheckBoxSimulate->setChecked(true);
  form.CheckBoxSimulateClick();
  EXPECT_FALSE(form.CheckBoxFilter->isChecked());
  EXPECT_FALSE(form.CheckBoxResamp->isChecked());
  EXPECT_FALSE(form.CheckBoxFilter->isEnabled());
  EXPECT_FALSE(form.CheckBoxResamp->isEnabled());
  // The rate no longer counts the resampling the box has lost.
  EXPECT_EQ(Status(form), "每通道采样频率=2500 Hz");
  form.CheckBoxResamp->setChecked(true);
  form.CheckBoxResampClick();
  form.CheckBoxFilter->setChecked(true);
  form.CheckBoxFilterClick();
  EXPECT_FALSE(form.CheckBoxResamp->isChecked());
  EXPECT_FALSE(form.CheckBoxFilter->isChecked());

  form.CheckBoxSimulate->setChecked(false);
  form.CheckBoxSimulateClick();
  EXPECT_TRUE(form.CheckBoxFilter->isEnabled());
  EXPECT_TRUE(form.CheckBoxResamp->isEnabled());
}

TEST_F(FormConfADTest, ReplayFileBecomesTheSourceOnlyWhenValid) {
  test::RecordDir dir;
  const std::string good = dir.File("F1.DAT");
  ASSERT_TRUE(WriteRecordFileAs(good, test::MakePackage(0, 2, 10, 4, test::SomeStartTime())).ok);
  const std::string bad = dir.File("F2.DAT");
  test::WriteBytes(bad, "short");
  state.config.SimulateFile = "/old/F0.DAT";
  TFormConfAD form(state, registry, ui);
  form.ShowSimulateSource(0);

  ui.fileAnswers.push_back(bad);
  form.menuSimulateFileClick();
  const auto files = ui.PromptsOf(Kind::OpenFile);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].file.title, "选定波形文件");
  EXPECT_EQ(files[0].file.defaultExt, "DAT");
  EXPECT_EQ(files[0].file.filter, "历史数据文件 (*.DAT)|*.DAT|所有文件 (*.*)|*.*");
  EXPECT_EQ(files[0].file.fileName, "/old/F0.DAT");
  auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "所选记录文件格式不对!");
  EXPECT_EQ(messages[0].caption, "操作失败");
  EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
  EXPECT_EQ(state.config.SimulateFile, bad);
  EXPECT_EQ(state.config.SimulateType, 0);
  EXPECT_TRUE(form.menuSimulateAuto->isChecked());

  ui.fileAnswers.push_back(good);
  form.menuSimulateFileClick();
  EXPECT_EQ(state.config.SimulateFile, good);
  EXPECT_EQ(state.config.SimulateType, 1);
  EXPECT_TRUE(form.menuSimulateFile->isChecked());
  EXPECT_FALSE(form.menuSimulateAuto->isChecked());
  EXPECT_EQ(Status(form), "仿真数据自:" + good);

  form.menuSimulateFileClick();  // cancelled: nothing changes
  EXPECT_EQ(state.config.SimulateFile, good);

  form.menuSimulateAuto->trigger();
  EXPECT_EQ(state.config.SimulateType, 0);
  EXPECT_TRUE(form.menuSimulateAuto->isChecked());
  EXPECT_FALSE(form.menuSimulateFile->isChecked());
}

TEST_F(FormConfADTest, ShownHistoryRecordCanBeReplayed) {
  test::RecordDir dir;
  const std::string shown = dir.File("F3.DAT");
  ASSERT_TRUE(WriteRecordFileAs(shown, test::MakePackage(0, 1, 10, 4, test::SomeStartTime())).ok);
  TFormConfAD form(state, registry, ui);
  state.HistoryFilePath = shown;
  form.menuCurDataFileClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "没有选中历史数据文件!");
  EXPECT_EQ(messages[0].caption, "不能操作");
  EXPECT_EQ(state.config.SimulateType, 0);

  state.display.SelectFault = 1;
  form.menuCurDataFileClick();
  EXPECT_EQ(state.config.SimulateFile, shown);
  EXPECT_EQ(state.config.SimulateType, 1);
  EXPECT_TRUE(form.menuSimulateFile->isChecked());
}

TEST_F(FormConfADTest, DelayAndRandomSpikesComeFromThePopUpMenu) {
  state.config.SimulateInterval = 15;
  TFormConfAD form(state, registry, ui);
  ui.inputAnswers.push_back(std::string("40"));
  form.menuSimulateInterval->trigger();
  const auto inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "请设定仿真数据块产生速度(0ms表示实际速度)");
  EXPECT_EQ(inputs[0].text, "时延(ms):   ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"15"});
  EXPECT_EQ(state.config.SimulateInterval, 40);
  EXPECT_EQ(form.menuSimulateInterval->text(), QStringLiteral("仿真数据块时延(40ms)"));

  ui.inputAnswers.push_back(std::string("soon"));
  form.menuSimulateIntervalClick();
  EXPECT_EQ(state.config.SimulateInterval, 40);
  ui.inputAnswers.push_back(std::string("-8"));
  form.menuSimulateIntervalClick();
  EXPECT_EQ(state.config.SimulateInterval, 0);
  EXPECT_EQ(form.menuSimulateInterval->text(), QStringLiteral("仿真数据块时延(0ms)"));

  // One click, one toggle; the setting itself changes on OK only.
  form.menuSimulateRandom->trigger();
  EXPECT_TRUE(form.menuSimulateRandom->isChecked());
  EXPECT_EQ(state.config.SimulateRandom, 0);
  form.menuSimulateRandom->trigger();
  EXPECT_FALSE(form.menuSimulateRandom->isChecked());
}

TEST_F(FormConfADTest, OkStoresTheFieldsAndCloses) {
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  form.Edit_IRQNum->setText("16");
  form.Edit_FrqSamp->setText("4000");
  form.menuSimulateRandom->setChecked(true);
  form.setResult(0);
  form.Button_OKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(state.config.IRQNum, 5);
  EXPECT_EQ(state.config.FrqSamp, 4000);
  EXPECT_EQ(state.config.SimulateRandom, 1);
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FormConfADTest, FieldThatHoldsNoNumberKeepsTheDialogOpen) {
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  form.Edit_IOBase->setText("300");
  form.Edit_NumBuf->setText("many");
  form.Edit_FrqSamp->setText("4000");
  form.setResult(0);
  form.Button_OKClick();
  EXPECT_EQ(form.result(), 0);
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "'many' is not a valid integer value");
  EXPECT_EQ(messages[0].icon, platform::MsgIcon::Error);
  EXPECT_EQ(state.config.IOBase, 0x300);  // stored before the stop
  EXPECT_EQ(state.config.FrqSamp, 10000);  // not reached
}

TEST_F(FormConfADTest, FastBlocksAskBeforeClosing) {
  state.driver.CardMinBlockSamples = 1;
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  form.Edit_FrqSamp->setText("80000");  // 20000 Hz per channel
  form.Edit_SampPerChn->setText("100");  // 200 blocks per second
  form.setResult(0);
  ui.messageAnswers.push_back(platform::MsgResult::Cancel);
  form.Button_OKClick();
  EXPECT_EQ(form.result(), 0);
  auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "对当前采集率来说，录波器方式下每通道采样数可能太小，继续否？");
  EXPECT_EQ(messages[0].caption, "请再次确认");
  EXPECT_EQ(state.config.NumSamp, 100);  // stored all the same
  ui.messageAnswers.push_back(platform::MsgResult::Ok);
  form.Button_OKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);

  // The virtual card is never asked about.
  ui.prompts.clear();
  form.setResult(0);
  form.CheckBoxSimulate->setChecked(true);
  form.Button_OKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FormConfADTest, WithoutADriverOkTicksTheVirtualCard) {
  TFormConfAD form(state, registry, ui);
  form.FormActivate();
  state.driver.DriverUsable = 0;
  form.CheckBoxSimulate->setChecked(false);
  form.Button_OKClick();
  EXPECT_TRUE(form.CheckBoxSimulate->isChecked());
  EXPECT_EQ(state.config.SimulateAD, 1);
}

TEST_F(FormConfADTest, PlaceIsKeptUnderFormSize) {
  {
    TFormConfAD form(state, registry, ui);
    form.move(40, 30);
    form.resize(520, 600);
  }  // destruction stores the place
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormConfAD_Left"), 40);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormConfAD_Top"), 30);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormConfAD_Width"), 520);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormConfAD_Height"), 600);
  TFormConfAD again(state, registry, ui);
  EXPECT_EQ(again.pos(), QPoint(40, 30));
  EXPECT_EQ(again.size(), QSize(520, 600));
}

}  // namespace
