#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>

#include <memory>

#include "common/ChannelVocabularies.h"
#include "platform/RegistryStore.h"
#include "platform/qt/StringGrid.h"
#include "setup/FormCalibrate.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "shell/WindowGeometry.h"
#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

int stops = 0;
int32_t CardInitial(uint32_t, uint32_t, uint32_t, uint32_t) { return 1; }
int32_t CardStartSnapshot(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
  return 1;
}
int32_t CardStopIntr() {
  ++stops;
  return 1;
}

class FormCalibrateTest : public test::MainWindowFixture {
 protected:
  // The main window with its calibration dialog, as start-up makes them,
  // then the channels and the card of the case (the window's creation reads
  // its own settings).
  std::unique_ptr<TFormMain> Start() {
    auto form = NewMainWindow();
    stops = 0;
    LiveConfig& c = state.config;
    c.Analog_Num = 3;
    c.ChannelRate = 1000.0f;
    c.ACFrq = 50.0f;
    c.AnalogChannelTable[0].ChnCoeA = 0.5f;
    c.AnalogChannelTable[0].ChnCoeB = 2.0f;
    c.AnalogChannelTable[1].ChnIDDC = kChannelKType;
    AdDriver& d = state.driver.Entries;
    d.Initial = CardInitial;
    d.StartSnapshot = CardStartSnapshot;
    d.StopIntr = CardStopIntr;
    dialog = new TFormCalibrate(state, registry, ui, form.get());
    form->SetCalibrateDialog(dialog);
    return form;
  }
  std::string Cell(int col, int dataRow) const {
    return dialog->GridCalibrate->Cells().Cell(col, dataRow + kCalibrateHeadingRows);
  }
  TFormCalibrate* dialog = nullptr;
};

TEST_F(FormCalibrateTest, IdleOpeningIsModalWithSamplingAndTheChannelsFilled) {
  auto form = Start();
  bool sampling = false;
  int rows = 0;
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& f = dynamic_cast<TFormCalibrate&>(d);
    sampling = f.ButtonTest1->isEnabled() && f.ButtonTest2->isEnabled();
    rows = f.GridCalibrate->Cells().RowCount();
    return platform::kModalCancel;
  });
  form->menuChannelCalibration->trigger();  // the menu item runs the command
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormCalibrate");
  EXPECT_TRUE(sampling);
  EXPECT_EQ(rows, 5);
  EXPECT_EQ(Cell(kCalColType, 1), ChannelTypeText(kChannelKTypeCompensated));
  EXPECT_EQ(Cell(kCalColCoeA, 0), "0.5");
  EXPECT_EQ(Cell(kCalColCoeB, 0), "2");
  EXPECT_EQ(dialog->windowTitle().toStdString(), "通道校准平台");
}

TEST_F(FormCalibrateTest, WhileRunningItStaysOnTopWithoutSampling) {
  auto form = Start();
  state.RunState = kRunOscilloscope;
  form->menuChannelCalibrationClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(dialog->ButtonTest1->isEnabled());
  EXPECT_FALSE(dialog->ButtonTest2->isEnabled());
  dialog->ButtonCancel->click();
  EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FormCalibrateTest, VirtualCardOffersNoSampling) {
  auto form = Start();
  state.config.SimulateAD = 1;
  bool sampling = true;
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    sampling = dynamic_cast<TFormCalibrate&>(d).ButtonTest1->isEnabled();
    return platform::kModalCancel;
  });
  form->menuChannelCalibrationClick();
  EXPECT_FALSE(sampling);
}

TEST_F(FormCalibrateTest, SamplingButtonsRunTheTimerAndExitStopsTheCard) {
  auto form = Start();
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& f = dynamic_cast<TFormCalibrate&>(d);
    f.ButtonTest1->click();
    EXPECT_EQ(f.ButtonTest1->text().toStdString(), "停下限信号");
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.Timer1->interval(), 100);
    f.ButtonTest2->click();
    EXPECT_EQ(f.ButtonTest1->text().toStdString(), "采下限信号");
    EXPECT_EQ(f.ButtonTest2->text().toStdString(), "停上限信号");
    EXPECT_EQ(stops, 1);
    f.ButtonCancelClick();
    EXPECT_EQ(stops, 2);
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.ButtonTest2->text().toStdString(), "采上限信号");
    return f.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  });
  form->menuChannelCalibrationClick();
  EXPECT_EQ(dialog->Calibration().CalibrateState, kCalibrateIdle);
}

TEST_F(FormCalibrateTest, ResetThenStoreWritesTheIdentityCoefficients) {
  auto form = Start();
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& f = dynamic_cast<TFormCalibrate&>(d);
    f.ButtonCoeff->click();
    f.ButtonCalibrate->click();
    return platform::kModalCancel;
  });
  form->menuChannelCalibrationClick();
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnCoeA, 0.0f);
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnCoeB, 1.0f);
}

TEST_F(FormCalibrateTest, DoubleClickOnTheTypeCellCyclesIt) {
  auto form = Start();
  dialog->FillForOpening();
  platform::CellGrid& grid = dialog->GridCalibrate->Cells();
  grid.SetCurrent(kCalColType, 2);
  dialog->GridCalibrateDblClick();
  EXPECT_EQ(Cell(kCalColType, 0), NextChannelTypeText(ChannelTypeText(kChannelDC)));
}

TEST_F(FormCalibrateTest, DestructionKeepsTheRowOrderAndColumnWidths) {
  {
    auto form = Start();
    dialog->FillForOpening();
    dialog->GridCalibrate->Cells().MoveRow(4, 2);
    dialog->GridCalibrateRowMoved(4, 2);
  }
  const std::string key = FormSizeKeyPath(state.startup.AppKeyName);
  const auto order = registry.ReadBinary(key, "CalibrateGridOrder", 200);
  ASSERT_TRUE(order);
  EXPECT_EQ((*order)[0], 2);
  EXPECT_EQ((*order)[2], 0);
  EXPECT_EQ((*order)[4], 1);
  EXPECT_EQ((*order)[198], 99);
  EXPECT_EQ(registry.ReadInt32(key, "GridCalibrateWidth1"), 80);
  EXPECT_FALSE(registry.ReadInt32(key, "GridCalibrateWidth0"));
}

}  // namespace
