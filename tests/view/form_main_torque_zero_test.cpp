// The main window's torque-zero tool button.
#include <gtest/gtest.h>

#include <QAction>

#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;

class FormMainTorqueZero : public test::MainWindowFixture {
 protected:
  // A latest block of 2 rows of the default 4 words, channel 1 a torque channel.
  void AcquiredBlock(int32_t dataSourceMode) {
    state.config.NumSamp = 2;
    state.config.Analog_Num = 4;
    state.layout.NumChn = 4;
    state.layout.MultiFreqTable.fill(1);
    state.config.AnalogChannelTable[1].ChnIDDC = kChannelTorque2;
    state.config.AnalogChannelTable[1].ChnCoeA = 5.0f;
    state.acq.BlockWithPrefix = {0, 9, 3000, 3100, 3200, 3300, 3400, 3500, 3600, 3700};
    state.acq.CurrentBlockOffset = 1;
    state.display.DataSourceMode = dataSourceMode;
  }
};

TEST_F(FormMainTorqueZero, ButtonZeroesTheTorqueChannelAndPostsTheOutcome) {
  auto form = NewMainWindow();
  AcquiredBlock(1);
  form->ToolButtonTorqueZero->trigger();
  EXPECT_EQ(form->PostedStatusText(), "提示：扭矩置0成功!");
  const LiveConfig& c = state.config;
  const double mean = (RawToEngineering(c, state.torque, c.AnalogChannelTable[1], 3100) +
                       RawToEngineering(c, state.torque, c.AnalogChannelTable[1], 3500)) /
                      2;
  EXPECT_NEAR(mean, 0.0, 1e-6);
  EXPECT_EQ(form->ToolButtonTorqueZero->toolTip().toStdString(), "扭矩传感器置0");
}

TEST_F(FormMainTorqueZero, StoredDataOnDisplayOnlyWarns) {
  auto form = NewMainWindow();
  AcquiredBlock(0);
  form->ToolButtonTorqueZeroClick();
  EXPECT_EQ(form->PostedStatusText(), "警告：无采集结果。扭矩置0无法完成!");
  EXPECT_EQ(state.config.AnalogChannelTable[1].ChnCoeA, 5.0f);
}

}  // namespace
