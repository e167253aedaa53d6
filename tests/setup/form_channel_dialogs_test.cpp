#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/ConfigBounds.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "platform/qt/StringGrid.h"
#include "setup/AnalogChannelGrid.h"
#include "setup/FormBin.h"
#include "setup/FormChannel.h"
#include "setup/FormGroup.h"
#include "setup/channel_tables_support.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

int32_t AcceptMultiFreq(int32_t, const int32_t*) { return 0; }

int ResultOf(const QDialog& d) { return d.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }

class FormChannelDialogsTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;

  void SetUp() override {
    LiveConfig& c = state.config;
    c.Analog_Num = 4;
    c.SW_Num = 3;
    c.TotalPages = 3;
    c.ChannelRate = 10000.0f;
    for (int i = 0; i < kMaxAnalogChannels; ++i) c.AnalogChannelTable[i].ChnGroupNo = i;
    for (int j = 0; j < kMaxLines; ++j) c.LineTable[j].APhaseNum = 1;
    c.AnalogChannelTable[1].ChnCoeA = 0.1f;
    c.AnalogChannelTable[1].ChnCoeB = 1.2345678f;
    c.AnalogChannelTable[3].ChnName = "室温";
    c.SwitchChannelTable[1].SWName = "断路器";
  }

  // The group dialog as the main window's opener leaves it.
  std::unique_ptr<TFormGroup> OpenGroup() {
    auto form = std::make_unique<TFormGroup>(state, registry, ui);
    const LiveConfig& c = state.config;
    form->Edit_TotalPages->setText(QString::number(c.TotalPages));
    form->Edit_Analog->setText(QString::number(c.Analog_Num));
    form->Edit_Binary->setText(QString::number(c.SW_Num));
    form->Edit_ACFrq->setText("50.00");
    form->EditEnvTemp->setText("20.00");
    form->KeepOpeningTexts();
    form->FormActivate();
    return form;
  }
};

TEST_F(FormChannelDialogsTest, WindowsCarryTheirNamesAndCaptions) {
  auto group = OpenGroup();
  EXPECT_EQ(group->ButtonBinary->text(), QStringLiteral("开关量设置"));
  EXPECT_EQ(group->ButtonAnalog->text(), QStringLiteral("模拟量设置"));
  EXPECT_FALSE(group->Edit_Group->isEnabled());
  TFormBin& bin = group->FormBin();
  EXPECT_EQ(bin.windowTitle(), QStringLiteral("开关量设置"));
  EXPECT_EQ(bin.Grid_Binary->objectName(), "Grid_Binary");
  EXPECT_EQ(bin.Grid_Binary->toolTip(), QStringLiteral("双击启动方式和压缩方式,改变之"));
  EXPECT_EQ(bin.Grid_Binary->Cells().RowCount(), 65);
  TFormChannel& channel = group->FormChannel();
  EXPECT_EQ(channel.windowTitle(), QStringLiteral("模拟量设置"));
  EXPECT_EQ(channel.Label1->text(), QStringLiteral("通道属性(工程值=系数A+系数B*电压):"));
  EXPECT_EQ(channel.Grid_Channel->toolTip(), QStringLiteral("双击通道属性和压缩方式,可改变之"));
  for (QWidget* hidden : {static_cast<QWidget*>(channel.Grid_Analog), static_cast<QWidget*>(channel.Label2),
                          static_cast<QWidget*>(channel.ButtonCheck)}) {
    EXPECT_FALSE(hidden->isEnabled());
    EXPECT_TRUE(hidden->isHidden());
  }
  EXPECT_EQ(channel.Grid_Analog->Cells().Cell(0, 1), "拥有通道");
}

TEST_F(FormChannelDialogsTest, LockedConfigurationDisablesTheChangingControls) {
  state.startup.ConfigUnlocked = 0;
  auto group = OpenGroup();
  for (QWidget* w : {static_cast<QWidget*>(group->ButtonOK), static_cast<QWidget*>(group->Edit_Analog),
                     static_cast<QWidget*>(group->Edit_Binary), static_cast<QWidget*>(group->Edit_ACFrq),
                     static_cast<QWidget*>(group->Edit_Group)}) {
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  }
  EXPECT_TRUE(group->Edit_TotalPages->isEnabled());
  group->FormBin().FormActivate();
  EXPECT_FALSE(group->FormBin().ButtonOK->isEnabled());
  group->FormChannel().FormActivate();
  EXPECT_TRUE(group->FormChannel().ButtonOK->isEnabled());  // the channel dialog does not look at the lock

  state.startup.ConfigUnlocked = 1;
  group->FormActivate();
  EXPECT_TRUE(group->Edit_Analog->isEnabled());
}

TEST_F(FormChannelDialogsTest, ActivationChoosesTheMultiplierMode) {
  auto group = OpenGroup();
  EXPECT_EQ(group->MultiFreqMode, 0);
  state.driver.Entries.SetMultiFreq = AcceptMultiFreq;
  group->FormActivate();
  EXPECT_EQ(group->MultiFreqMode, 1);
  state.configInForce.TempConfigActive = 1;
  state.config.MaxMultiFreq = 1;
  group->FormActivate();
  EXPECT_EQ(group->MultiFreqMode, 0);
}

TEST_F(FormChannelDialogsTest, FrequencyReadOutAndTemperatureHintFollowTheEdits) {
  auto group = OpenGroup();
  group->Edit_ACFrq->setText("40");
  EXPECT_EQ(group->Edit_SampPerPeriod->text(), "250");
  group->Edit_ACFrq->setText("0.5");
  EXPECT_EQ(group->Edit_SampPerPeriod->text(), "20000");
  group->EditEnvTemp->setText("-103");
  EXPECT_EQ(group->EditEnvTemp->toolTip(), QStringLiteral("<=-100时用室温探头:室温"));
  group->EditEnvTemp->setText("-104");
  EXPECT_EQ(group->EditEnvTemp->toolTip(), QStringLiteral("<=-100时用室温探头:?"));
}

TEST_F(FormChannelDialogsTest, SwitchOpenerFillsTheGridAndOkStoresTheEdits) {
  auto group = OpenGroup();
  group->Edit_TotalPages->setText("2");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& bin = dynamic_cast<TFormBin&>(d);
    platform::CellGrid& cells = bin.Grid_Binary->Cells();
    EXPECT_EQ(cells.RowCount(), 4);
    EXPECT_EQ(cells.Cell(0, 1), "0");
    EXPECT_EQ(cells.Cell(1, 2), "断路器");
    EXPECT_EQ(cells.Cell(2, 2), "不启动");
    bin.FormShow();
    EXPECT_EQ(bin.Label1->text(), QStringLiteral("开关量通道0: 不启动记录; 压缩记录方式：区间中点值"));
    cells.SetCurrent(2, 2);
    bin.Grid_BinaryClick();
    EXPECT_EQ(bin.SelectedRow(), 1);
    bin.Grid_BinaryDblClick();
    EXPECT_EQ(cells.Cell(2, 2), "高电平");
    EXPECT_EQ(bin.Label1->text(), QStringLiteral("开关量通道1: 高电平(开)启动记录; 压缩记录方式：区间中点值"));
    cells.EditCell(6, 3, "9");
    bin.ButtonOKClick();
    return ResultOf(bin);
  });
  group->ButtonBinaryClick();
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(state.config.TotalPages, 2);  // written with the table its pages were kept below
  EXPECT_EQ(state.config.SwitchChannelTable[1].SWStartID, 1);
  EXPECT_EQ(state.config.SwitchChannelTable[2].SWPageNo, 1);
  EXPECT_EQ(state.config.SwitchChannelTable[1].SWName, "断路器");
}

// The page count used to be written as a sub-dialog opened, so a Cancel (of
// the sub-dialog or of the group) or a refused count still changed it, and
// the opener saved it.
TEST_F(FormChannelDialogsTest, CancelledSubDialogsStoreNothing) {
  auto group = OpenGroup();
  const LiveConfig before = state.config;
  group->Edit_TotalPages->setText("1");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& bin = dynamic_cast<TFormBin&>(d);
    bin.Grid_Binary->Cells().EditCell(1, 1, "改");
    bin.ButtonCancelClick();
    return ResultOf(bin);
  });
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& channel = dynamic_cast<TFormChannel&>(d);
    channel.Grid_Channel->Cells().EditCell(1, kChnRowCoeA, "7");
    channel.ButtonCancelClick();
    return ResultOf(channel);
  });
  group->ButtonBinaryClick();
  group->ButtonAnalogClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 2u);
  // No sub-dialog is shown for no switch inputs, nor for an unreadable count.
  group->Edit_Binary->setText("0");
  group->ButtonBinaryClick();
  group->Edit_Binary->setText("-4");
  group->ButtonBinaryClick();
  group->Edit_Analog->setText("x");
  group->ButtonAnalogClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 2u);
  group->ButtonCancelClick();
  EXPECT_NE(group->result(), QDialog::Accepted);
  testing_support::ExpectSameChannelSettings(state.config, before);
}

TEST_F(FormChannelDialogsTest, SubDialogOkWritesThePageCountItsPagesWereKeptBelow) {
  state.config.AnalogChannelTable[2].ChnPageNo = 2;
  state.config.SwitchChannelTable[1].SWPageNo = 2;
  auto group = OpenGroup();
  group->Edit_TotalPages->setText("2");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& channel = dynamic_cast<TFormChannel&>(d);
    channel.ButtonOKClick();
    return ResultOf(channel);
  });
  group->ButtonAnalogClick();
  EXPECT_EQ(state.config.TotalPages, 2);
  EXPECT_EQ(state.config.AnalogChannelTable[2].ChnPageNo, 1);

  // A page count beyond the page tables is brought within them.
  group->Edit_TotalPages->setText("5000");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& bin = dynamic_cast<TFormBin&>(d);
    bin.ButtonOKClick();
    return ResultOf(bin);
  });
  group->ButtonBinaryClick();
  EXPECT_EQ(state.config.TotalPages, 292);
  EXPECT_EQ(state.config.SwitchChannelTable[1].SWPageNo, 2);

  // A refused channel OK writes neither the table nor the page count.
  group->Edit_TotalPages->setText("1");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& channel = dynamic_cast<TFormChannel&>(d);
    channel.Grid_Channel->Cells().EditCell(1, kChnRowCoeA, "a");
    channel.ButtonOKClick();
    return ResultOf(channel);
  });
  group->ButtonAnalogClick();
  EXPECT_EQ(state.config.TotalPages, 292);
  EXPECT_EQ(state.config.AnalogChannelTable[2].ChnPageNo, 1);
}

// Shown with two decimals, the frequency and the temperature used to be read
// back on OK, so merely viewing them changed them.
TEST_F(FormChannelDialogsTest, GroupOkReadsFrequencyAndTemperatureOnlyWhenChanged) {
  state.config.ACFrq = 0.004f;
  state.config.EnvTemp = 20.125f;
  auto group = OpenGroup();
  group->Edit_ACFrq->setText("0.00");
  group->EditEnvTemp->setText("20.13");
  group->KeepOpeningTexts();  // as the opener shows them
  group->ButtonOKClick();
  ASSERT_EQ(group->result(), QDialog::Accepted);
  EXPECT_EQ(state.config.ACFrq, 0.004f);
  EXPECT_EQ(state.config.EnvTemp, 20.125f);

  group->Edit_ACFrq->setText("60");
  group->ButtonOKClick();
  EXPECT_EQ(state.config.ACFrq, 60.0f);
  EXPECT_EQ(state.config.EnvTemp, 20.125f);
}

TEST_F(FormChannelDialogsTest, GroupOkRefusesARowTheCardCannotTake) {
  state.config.AnalogChannelTable[0].MultiFreq = kMaxMultiFreq;
  state.config.AnalogChannelTable[1].MultiFreq = kMaxMultiFreq;
  const LiveConfig before = state.config;
  auto group = OpenGroup();
  group->Edit_TotalPages->setText("2");
  group->ButtonOKClick();
  EXPECT_NE(group->result(), QDialog::Accepted);
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ui.prompts.back().caption, "不允许退出");
  testing_support::ExpectSameChannelSettings(state.config, before);
}

TEST_F(FormChannelDialogsTest, OpenersRefuseCountsThatAreNotNumbers) {
  auto group = OpenGroup();
  group->Edit_Binary->setText("abc");
  group->ButtonBinaryClick();
  group->Edit_Analog->setText("4x");
  group->ButtonAnalogClick();
  group->Edit_Binary->setText("0");  // no switch inputs: nothing to show
  group->ButtonBinaryClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "开关量个数: 'abc' is not a valid integer value");
  EXPECT_EQ(messages[1].text, "模拟通道数: '4x' is not a valid integer value");
}

TEST_F(FormChannelDialogsTest, AnalogOpenerFillsTheGridsAndOkStoresTheEdits) {
  state.driver.Entries.SetMultiFreq = AcceptMultiFreq;
  auto group = OpenGroup();
  group->Edit_Analog->setText("3");
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& channel = dynamic_cast<TFormChannel&>(d);
    channel.FormActivate();
    channel.FormShow();
    platform::CellGrid& cells = channel.Grid_Channel->Cells();
    EXPECT_EQ(cells.ColCount(), 4);
    EXPECT_EQ(cells.RowCount(), 13);
    EXPECT_EQ(cells.Cell(2, kChnRowCoeA), "0.1");
    EXPECT_EQ(cells.Cell(2, kChnRowCoeB), "1.234568");
    EXPECT_EQ(cells.Cell(2, kChnRowMultiFreq), "1");
    EXPECT_EQ(channel.Grid_Analog->Cells().Cell(3, 1), "2");
    EXPECT_EQ(channel.LabelChnProp->text(), QStringLiteral("通道0: 直流通道; 压缩记录方式：区间中点值"));
    cells.SetCurrent(3, kChnRowType);
    channel.Grid_ChannelClick();
    channel.Grid_ChannelDblClick();  // 直流 -> 计数
    EXPECT_EQ(channel.LabelChnProp->text(), QStringLiteral("通道2: (0~4095)计数通道; 压缩记录方式：区间中点值"));
    cells.EditCell(3, kChnRowMultiFreq, "4");
    channel.ButtonOKClick();
    return ResultOf(channel);
  });
  group->ButtonAnalogClick();
  EXPECT_EQ(group->Edit_Group->text(), "3");
  const LiveConfig& c = state.config;
  EXPECT_EQ(c.AnalogChannelTable[2].ChnIDDC, 2);
  EXPECT_EQ(c.AnalogChannelTable[2].MultiFreq, 4);
  EXPECT_EQ(testing_support::Bits(c.AnalogChannelTable[1].ChnCoeA), testing_support::Bits(0.1f));
  EXPECT_EQ(testing_support::Bits(c.AnalogChannelTable[1].ChnCoeB), testing_support::Bits(1.2345678f));
}

TEST_F(FormChannelDialogsTest, RefusedChannelOkKeepsTheDialogOpenAndTheTablesAsTheyWere) {
  auto group = OpenGroup();
  const LiveConfig before = state.config;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& channel = dynamic_cast<TFormChannel&>(d);
    channel.Grid_Channel->Cells().EditCell(1, kChnRowName, "改");
    channel.Grid_Channel->Cells().EditCell(3, kChnRowCoeB, "b");
    channel.ButtonOKClick();
    EXPECT_NE(channel.result(), QDialog::Accepted);
    return ResultOf(channel);
  });
  group->ButtonAnalogClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "通道2系数B: 'b' is not a valid floating point value");
  testing_support::ExpectSameChannelSettings(state.config, before);
}

TEST_F(FormChannelDialogsTest, RefusedGroupOkWritesNothing) {
  auto group = OpenGroup();
  const LiveConfig before = state.config;
  group->Edit_ACFrq->setText("60");
  group->Edit_TotalPages->setText("5");
  group->Edit_Binary->setText("many");
  group->ButtonOKClick();
  EXPECT_NE(group->result(), QDialog::Accepted);
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ui.prompts.back().text, "开关量个数: 'many' is not a valid integer value");
  testing_support::ExpectSameChannelSettings(state.config, before);
}

TEST_F(FormChannelDialogsTest, DoubleClickOnAHeadingChangesNoCell) {
  auto group = OpenGroup();
  TFormChannel& channel = group->FormChannel();
  channel.FillFromTables(2, 3);
  platform::CellGrid& cells = channel.Grid_Channel->Cells();
  cells.SetCurrent(1, kChnRowType);
  emit channel.Grid_Channel->CellDoubleClicked(0, kChnRowType);  // the row's heading
  EXPECT_EQ(cells.Cell(1, kChnRowType), "直流");
  emit channel.Grid_Channel->CellDoubleClicked(1, kChnRowType);
  EXPECT_EQ(cells.Cell(1, kChnRowType), "计数");

  TFormBin& bin = group->FormBin();
  bin.FillFromTable(2, 3);
  bin.Grid_Binary->Cells().SetCurrent(2, 1);
  emit bin.Grid_Binary->CellDoubleClicked(2, 0);
  EXPECT_EQ(bin.Grid_Binary->Cells().Cell(2, 1), "不启动");
  EXPECT_EQ(bin.Grid_Binary->Cells().Cell(2, 0), "启动标志");
}

TEST_F(FormChannelDialogsTest, PlacesAndColumnWidthsAreKept) {
  registry.WriteInt32(kFormSizeKey, "FormBin_GridColWidth3", 150);
  registry.WriteInt32(kFormSizeKey, "FormBin_GridColWidth4", 0);  // unusable: the default stays
  {
    auto group = OpenGroup();
    platform::CellGrid& cells = group->FormBin().Grid_Binary->Cells();
    EXPECT_EQ(cells.ColWidth(3), 150);
    EXPECT_EQ(cells.ColWidth(4), 64);
    cells.SetColWidth(1, 123);
  }
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormBin_GridColWidth1"), 123);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormBin_GridColWidth8"), 64);
  for (const char* name : {"FormGroup_Width", "FormBin_Height", "FormChannel_Top"}) {
    EXPECT_TRUE(registry.ReadInt32(kFormSizeKey, name).has_value()) << name;
  }
}

}  // namespace
