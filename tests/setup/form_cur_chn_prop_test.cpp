#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <functional>
#include <memory>

#include "platform/qt/StringGrid.h"
#include "setup/FormCurChnProp.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

class FormCurChnPropTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    state.config.Analog_Num = 4;
    state.config.SW_Num = 8;
    state.config.TotalPages = 2;
  }
  // The waveform drew `analog` analog channels and `switches` switch inputs.
  void Drawn(int32_t analog, int32_t switches, std::initializer_list<int32_t> channels) {
    state.display.DispValid = 1;
    state.wave.DrawnAnalogCount = analog;
    state.wave.DrawnSwitchCount = switches;
    std::copy(channels.begin(), channels.end(), state.wave.DrawnChannels.begin());
  }
  void Answer(std::function<void(TFormCurChnProp&)> act) {
    ui.modalAnswers.push_back([act](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormCurChnProp&>(d);
      form.setResult(0);
      act(form);
      return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
};

TEST_F(FormCurChnPropTest, TheWaveformMenuOpensItOnlyWithDataShown) {
  auto form = NewMainWindow();
  EXPECT_EQ(form->PopupMenuBackGroud->actions().front(), form->menuCurChnProp);
  EXPECT_EQ(form->menuCurChnProp->text(), QStringLiteral("修改当前通道属性"));
  form->menuCurChnProp->trigger();
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  Drawn(1, 0, {2});
  ui.AnswerModal(platform::kModalCancel);
  form->menuCurChnProp->trigger();
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormCurChnProp");
}

TEST_F(FormCurChnPropTest, OkStoresTheEditsAndAsksForARepaint) {
  auto form = NewMainWindow();
  Drawn(2, 1, {3, 1, 4 + 5});
  bool switchShown = false;
  QWidget* front = nullptr;
  Answer([&](TFormCurChnProp& d) {
    switchShown = d.SwitchPageShown();
    front = d.PageControl1->currentWidget();
    d.GridAnalog->SetCellText(1, kCurRowCoeA, "0.25");
    d.GridAnalog->SetCellText(1, kCurRowCoeB, "1.5");
    d.GridAnalog->SetCellText(2, kCurRowPreAmp, "-3");
    d.GridAnalog->SetCellText(2, kCurRowDigits, "15");
    d.GridSW->SetCellText(1, kCurSwRowName, "油泵");
    d.ButtonOK->click();
  });
  state.wave.RepaintRequested = 0;
  form->menuCurChnPropClick();
  EXPECT_TRUE(switchShown);
  EXPECT_EQ(front, form->findChild<TFormCurChnProp*>()->TabSheetAnalog);
  EXPECT_EQ(state.config.AnalogChannelTable[3].ChnCoeA, 0.25f);
  EXPECT_EQ(state.config.AnalogChannelTable[3].ChnCoeB, 1.5f);
  EXPECT_EQ(state.config.AnalogChannelTable[1].ChnPreAmp, 1.0f);
  EXPECT_EQ(state.config.AnalogChannelTable[1].ChnDigiPoint, 15);
  EXPECT_EQ(state.config.SwitchChannelTable[5].SWName, "油泵");
  EXPECT_EQ(state.wave.RepaintRequested, 1);
}

TEST_F(FormCurChnPropTest, CancelStoresNothing) {
  auto form = NewMainWindow();
  Drawn(1, 0, {0});
  Answer([](TFormCurChnProp& d) {
    d.GridAnalog->SetCellText(1, kCurRowName, "changed");
    d.ButtonCancel->click();
  });
  state.wave.RepaintRequested = 0;
  const std::string before = state.config.AnalogChannelTable[0].ChnName;
  form->menuCurChnPropClick();
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnName, before);
  EXPECT_EQ(state.wave.RepaintRequested, 0);
}

TEST_F(FormCurChnPropTest, OnlyThePagesOfTheDrawnKindsShow) {
  TFormCurChnProp d(state, registry);
  d.LoadChannels(3, 0, {0, 1, 2});
  EXPECT_TRUE(d.AnalogPageShown());
  EXPECT_FALSE(d.SwitchPageShown());
  EXPECT_EQ(d.GridAnalog->Cells().ColCount(), 4);
  d.LoadChannels(0, 2, {4, 6});
  EXPECT_FALSE(d.AnalogPageShown());
  EXPECT_TRUE(d.SwitchPageShown());
  EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheetSW);
  EXPECT_EQ(d.GridSW->Cells().Cell(2, kCurSwRowChannel), "2");
}

TEST_F(FormCurChnPropTest, ADoubleClickOnTheAxisZeroShowsTheZeroCode) {
  state.config.VZero = 2047.6f;
  TFormCurChnProp d(state, registry);
  d.LoadChannels(1, 0, {1});
  d.GridAnalog->Cells().SetCurrent(1, kCurRowAxialZero);
  d.GridAnalogDblClick();
  EXPECT_EQ(d.GridAnalog->Cells().Cell(1, kCurRowAxialZero), "2047");
}

}  // namespace
