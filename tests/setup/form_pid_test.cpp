#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>

#include "setup/FormPID.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

class FormPIDTest : public test::MainWindowFixture {
 protected:
  // Shows the dialog as a user meets it, lets `act` work on it and returns
  // the modal result its buttons gave.
  void Answer(std::function<void(TFormPID&)> act) {
    ui.modalAnswers.push_back([act](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormPID&>(d);
      form.FormActivate();
      form.setResult(0);
      act(form);
      return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
};

TEST_F(FormPIDTest, TheMenuItemOpensTheDialogOnlyWhileIdle) {
  auto form = NewMainWindow();
  form->menuPIDConfig->setVisible(true);  // as in PID mode
  EXPECT_TRUE(form->menuPIDConfig->isEnabled());
  state.RunState = kRunRecording;
  form->menuPIDConfigClick();
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  state.RunState = kRunIdle;
  ui.AnswerModal(platform::kModalCancel);
  form->menuPIDConfig->trigger();
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormPID");
}

TEST_F(FormPIDTest, OkStoresTheFieldsAndCancelStoresNothing) {
  auto form = NewMainWindow();
  state.config.FrqSamp = 2000;
  state.config.DANumChn = 2;
  state.config.IOBaseDA = 0x1A0;
  std::string shownBase, shownPeriod;
  bool periodEditable = true;
  Answer([&](TFormPID& d) {
    shownBase = d.Edit_IOBaseDA->text().toStdString();
    shownPeriod = d.Edit_T->text().toStdString();
    periodEditable = d.Edit_T->isEnabled();
    d.Edit_DANumChn->setText("3");
    d.Edit_DAiChn->setText("9");
    d.Edit_Kp->setText("2.5");
    d.CheckBoxPID->setChecked(true);
    d.ButtonOK->click();
  });
  form->menuPIDConfigClick();
  EXPECT_EQ(shownBase, "1A0");
  EXPECT_EQ(shownPeriod, "0.5000");  // no driver: 1000 / FrqSamp
  EXPECT_FALSE(periodEditable);
  EXPECT_FLOAT_EQ(state.acq.PidPeriodMs, 0.5f);
  EXPECT_EQ(state.config.DANumChn, 3);
  EXPECT_EQ(state.config.DAiChn, 2);
  EXPECT_EQ(state.config.Kp, 2.5f);
  EXPECT_EQ(state.config.PIDEnable, 1);

  Answer([](TFormPID& d) {
    d.Edit_DANumChn->setText("7");
    d.Edit_IOBaseDA->setText("300");
    d.CheckBoxPID->setChecked(false);
    d.ButtonCancel->click();
  });
  form->menuPIDConfigClick();
  EXPECT_EQ(state.config.DANumChn, 3);
  EXPECT_EQ(state.config.IOBaseDA, 0x1A0);
  EXPECT_EQ(state.config.PIDEnable, 1);
}

TEST_F(FormPIDTest, ALockedConfigurationLeavesOnlyCancel) {
  auto form = NewMainWindow();
  state.startup.ConfigUnlocked = 0;  // as -L gives
  bool okEnabled = true;
  Answer([&](TFormPID& d) {
    okEnabled = d.ButtonOK->isEnabled();
    d.Edit_DANumChn->setText("4");
    d.ButtonOKClick();  // even called directly it stores nothing
    if (d.result() == 0) d.ButtonCancel->click();
  });
  form->menuPIDConfigClick();
  EXPECT_FALSE(okEnabled);
  EXPECT_EQ(state.config.DANumChn, 1);
}

}  // namespace
