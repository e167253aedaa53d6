// The two dialogs of the marks' value kinds: the algorithm picker and the
// analog-speed settings.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/BinaryLayouts.h"
#include "platform/GbkText.h"
#include "platform/MemoryRegistry.h"
#include "setup/FormAnalSpeedConf.h"
#include "setup/FormSelAlgorithm.h"

namespace {

using namespace quelvar;

TEST(FormSelAlgorithm, ListsTheConfiguredAlgorithmsAndSelectsThePassedNumber) {
  AppState state;
  state.config.Algorithm_Num = 4;
  AlgorithmConfig& a = state.config.AlgorithmTable[3];
  a.Type = 5;
  platform::WriteGbkField("过流", a.Name, sizeof a.Name);
  a.UsedChn = 2;
  TFormSelAlgorithm form(state);
  EXPECT_EQ(form.windowTitle().toStdString(), "选择启动/触发算法号");
  EXPECT_FALSE(form.EditAlgorithmNo->isVisibleTo(&form));
  form.EditAlgorithmNo->setText("3");
  form.FormActivate();
  ASSERT_EQ(form.ComboBoxAlgorithmList->count(), 4);
  EXPECT_EQ(form.ComboBoxAlgorithmList->itemText(3).toStdString(), "3: 过流,类型:交流信号过大");
  EXPECT_EQ(form.ComboBoxAlgorithmList->currentIndex(), 3);
  EXPECT_EQ(form.LabelChnNum->text().toStdString(), "注：算法 3 使用 2 通道");
  // A choice in the list goes into the edit.
  form.ComboBoxAlgorithmList->setCurrentIndex(1);
  form.ComboBoxAlgorithmListChange();
  EXPECT_EQ(form.EditAlgorithmNo->text().toStdString(), "1");
  // A number typed beyond the list is limited to its last entry.
  form.EditAlgorithmNo->setText("9");
  EXPECT_EQ(form.EditAlgorithmNo->text().toStdString(), "3");
  EXPECT_EQ(form.ComboBoxAlgorithmList->currentIndex(), 3);
}

TEST(FormSelAlgorithm, WithoutAlgorithmsTheEditFallsBackToZero) {
  AppState state;
  state.config.AlgorithmTable[0].UsedChn = 1;
  state.config.AlgorithmTable[0].AssAnalogChnNum = 2;
  TFormSelAlgorithm form(state);
  form.EditAlgorithmNo->setText("5");
  form.FormActivate();
  EXPECT_EQ(form.ComboBoxAlgorithmList->count(), 0);
  EXPECT_EQ(form.EditAlgorithmNo->text().toStdString(), "0");
  EXPECT_EQ(form.LabelChnNum->text().toStdString(), "注：算法 0 使用 1 通道");
  EXPECT_EQ(form.LabelAss->text().toStdString(), "关联2模拟通道,0开关通道");
}

TEST(FormSelAlgorithm, ANumberBeyondTheListAtActivationSelectsNothing) {
  AppState state;
  state.config.Algorithm_Num = 2;
  TFormSelAlgorithm form(state);
  form.FormActivate();
  // The table shrank since the number was passed in.
  state.config.Algorithm_Num = 5;
  form.EditAlgorithmNo->setText("4");
  state.config.Algorithm_Num = 2;
  form.FormActivate();
  EXPECT_EQ(form.ComboBoxAlgorithmList->currentIndex(), -1);
  EXPECT_EQ(form.EditAlgorithmNo->text().toStdString(), "0");
}

TEST(FormAnalSpeedConf, TheThresholdShowsItsVoltageAndOkClosesWithOk) {
  AppState state;
  state.config.VZero = 2048.0f;
  state.config.ADMax = 4095.0f;
  platform::MemoryRegistry registry;
  TFormAnalSpeedConf form(state, registry);
  EXPECT_EQ(form.windowTitle().toStdString(), "模拟量转速通道属性配置");
  EXPECT_EQ(form.LabelVolt->text().toStdString(), "等价电压:-1.0V");
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"3071", "等价电压2.5V"}, {"5000", "等价电压5.0V"}, {"abc", "等价电压0.0V"}};
  for (const auto& c : cases) {
    form.EditThresholdV->setText(c.typed);
    EXPECT_EQ(form.LabelVolt->text().toStdString(), c.shown) << c.typed;
  }
  form.SetEdits({"2", "3", "3071", "1.50", "rpm"});
  const AnalogSpeedEdits read = form.Edits();
  EXPECT_EQ(read.NumP, "2");
  EXPECT_EQ(read.NumS, "3");
  EXPECT_EQ(read.Scale, "1.50");
  EXPECT_EQ(read.Units, "rpm");
  form.open();
  form.ButtonOK->click();
  EXPECT_EQ(form.result(), platform::kModalOk);
}

TEST(FormAnalSpeedConf, KeepsItsPlaceInTheSettings) {
  AppState state;
  platform::MemoryRegistry registry;
  {
    TFormAnalSpeedConf form(state, registry);
    form.setGeometry(40, 50, 420, 260);
  }
  EXPECT_TRUE(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\FormSize", "FormAnalSpeedConf_Width").has_value());
}

}  // namespace
