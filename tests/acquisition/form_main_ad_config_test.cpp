#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "acquisition/ChannelLayout.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "setup/FormConfAD.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "acquisition/ForeignRecordForTest.h"
#include "shell/RecordFile.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kCardKey = "\\SOFTWARE\\QuelvarTorque\\ADCard";

// The card shares its nominal rate among the analog channels.
float SharedRate(int32_t analogNum, int32_t frqSamp) {
  return static_cast<float>(frqSamp) / static_cast<float>(analogNum);
}

// What the dialog showed when it opened.
struct Opened {
  bool okEnabled = false;
  std::string status, cardName, delayCaption;
  bool simulate = false, randomSpikes = false;
};

class FormMainADConfig : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> Start() { return NewMainWindow(); }
  void GiveDriver() {
    state.driver.DriverUsable = 1;
    state.driver.Entries.ChannelFrq = SharedRate;
  }
  // The dialog as a user meets it: shown, `change`d, then closed with OK.
  void AnswerOk(std::function<void(TFormConfAD&)> change = {}) {
    ui.modalAnswers.push_back([change](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormConfAD&>(d);
      form.FormActivate();
      if (change) change(form);
      form.setResult(0);
      form.Button_OKClick();
      return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
  void CaptureOpening(Opened& seen, int result) {
    ui.modalAnswers.push_back([&seen, result](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormConfAD&>(d);
      seen.okEnabled = form.Button_OK->isEnabled();
      seen.status = form.StatusText();
      seen.cardName = form.Edit_ADCard->text().toStdString();
      seen.delayCaption = form.menuSimulateInterval->text().toStdString();
      seen.simulate = form.CheckBoxSimulate->isChecked();
      seen.randomSpikes = form.menuSimulateRandom->isChecked();
      return result;
    });
  }
  std::unique_ptr<ConfigRecord> Snapshot() const {
    auto record = std::make_unique<ConfigRecord>();
    BuildConfigRecord(state.config, BuildExtrasOf(state), *record);
    return record;
  }
};

TEST_F(FormMainADConfig, MenuItemFollowsTheChannelGroupItemAndOpensTheDialog) {
  auto form = Start();
  ASSERT_NE(form->menuADConfig, nullptr);
  EXPECT_EQ(form->menuADConfig->objectName(), "menuADConfig");
  EXPECT_EQ(form->menuADConfig->text(), QStringLiteral("采集板参数配置(&A)"));
  const QList<QAction*> items = form->menuSysParam->actions();
  const qsizetype at = items.indexOf(form->menuBusConfig);
  ASSERT_GE(at, 0);
  ASSERT_LT(at + 1, items.size());
  EXPECT_EQ(items[at + 1], form->menuADConfig);
  form->menuADConfig->trigger();
  const auto modals = ui.PromptsOf(Kind::Modal);
  ASSERT_EQ(modals.size(), 1u);
  EXPECT_EQ(modals[0].text, "FormConfAD");
}

TEST_F(FormMainADConfig, OpenerFillsTheDialogAndRefreshesTheRate) {
  auto form = Start();
  GiveDriver();
  state.config.CardNameText = "PCI9";
  state.config.SimulateInterval = -7;
  state.config.SimulateRandom = 1;
  state.config.ChannelRate = 10000.0f;  // refreshed from the driver before showing
  state.RunState = kRunRecording;
  Opened running;
  CaptureOpening(running, platform::kModalCancel);
  form->menuADConfigClick();
  EXPECT_FALSE(running.okEnabled);
  EXPECT_EQ(running.status, "每通道采样频率=2500.000 Hz");
  EXPECT_EQ(running.cardName, "PCI9");
  EXPECT_EQ(running.delayCaption, "仿真数据块时延(0ms)");
  EXPECT_EQ(state.config.SimulateInterval, 0);
  EXPECT_FLOAT_EQ(state.config.ChannelRate, 2500.0f);
  EXPECT_FALSE(running.simulate);
  EXPECT_TRUE(running.randomSpikes);

  state.RunState = kRunIdle;
  state.config.OnlineResamp = 1;
  state.config.ResampNum = 5;
  state.config.SimulateAD = 1;
  Opened idle;
  CaptureOpening(idle, platform::kModalCancel);
  form->menuADConfigClick();
  EXPECT_TRUE(idle.okEnabled);
  EXPECT_EQ(idle.status, "每通道采样频率=500.000 Hz");
  EXPECT_TRUE(idle.simulate);
}

TEST_F(FormMainADConfig, WithoutADriverTheVirtualCardIsForced) {
  auto form = Start();
  ASSERT_EQ(state.driver.DriverUsable, 0);
  state.config.FrqSamp = 8000;
  Opened seen;
  CaptureOpening(seen, platform::kModalCancel);
  form->menuADConfigClick();
  EXPECT_EQ(seen.status, "不能驱动AD板:无驱动程序");
  EXPECT_TRUE(seen.simulate);
  EXPECT_EQ(state.config.SimulateAD, 1);
  EXPECT_FLOAT_EQ(state.config.ChannelRate, 8000.0f);  // no rate entry: the nominal rate
}

TEST_F(FormMainADConfig, CancelChangesNothing) {
  auto form = Start();
  GiveDriver();
  state.config.ChannelRate = 2500.0f;
  state.display.DispValid = 1;
  state.display.DataSourceMode = 1;
  state.acq.BufferLayoutValid = 1;
  const auto before = Snapshot();
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& dialog = dynamic_cast<TFormConfAD&>(d);
    dialog.FormActivate();
    dialog.Edit_FrqSamp->setText("40000");
    dialog.Edit_IRQNum->setText("9");
    dialog.Button_CancelClick();
    return platform::kModalCancel;
  });
  form->menuADConfigClick();
  EXPECT_EQ(std::memcmp(before.get(), Snapshot().get(), sizeof(ConfigRecord)), 0);
  EXPECT_EQ(state.display.DispValid, 1);
  EXPECT_EQ(state.display.DataSourceMode, 1);
  EXPECT_EQ(state.acq.BufferLayoutValid, 1);
  EXPECT_FALSE(registry.ReadInt32(kCardKey, "FrqSamp"));
}

TEST_F(FormMainADConfig, OkRecomputesTheRateDropsTheDataAndSavesTheOwnConfiguration) {
  struct Case {
    const char* what;
    bool driver, temporary, resampling;
    int32_t frqSamp;
    float channelRate;
    float expected;
  } cases[] = {
      {"the driver's rate", true, false, false, 10000, 2500.0f, 5000.0f},
      {"the driver's rate, resampled", true, false, true, 10000, 1250.0f, 2500.0f},
      {"lent: the remembered rate scaled", true, true, false, 10000, 9000.0f, 18000.0f},
      {"lent, nothing remembered to scale", true, true, false, 0, 9000.0f, 20000.0f},
      {"no rate entry: the nominal rate", false, false, false, 10000, 10000.0f, 20000.0f},
  };
  for (const Case& c : cases) {
    AppState fresh;
    platform::MemoryRegistry reg;
    TFormMain form(fresh, MainWindowServices{reg, ui, screenSaver});
    if (c.driver) {
      fresh.driver.DriverUsable = 1;
      fresh.driver.Entries.ChannelFrq = SharedRate;
    }
    LiveConfig& live = fresh.config;
    live.NumSamp = 1000;  // a block rate the dialog does not ask about
    live.FrqSamp = c.frqSamp;
    live.ChannelRate = c.channelRate;
    live.OnlineResamp = c.resampling ? 1 : 0;
    fresh.configInForce.TempConfigActive = c.temporary ? 1 : 0;
    fresh.display.DispValid = 1;
    fresh.display.DataSourceMode = 1;
    fresh.acq.BufferLayoutValid = 1;
    AnswerOk([](TFormConfAD& d) { d.Edit_FrqSamp->setText("20000"); });
    form.menuADConfigClick();
    EXPECT_EQ(live.FrqSamp, 20000) << c.what;
    EXPECT_FLOAT_EQ(live.ChannelRate, c.expected) << c.what;
    EXPECT_EQ(fresh.display.DispValid, 0) << c.what;
    EXPECT_EQ(fresh.display.DataSourceMode, 0) << c.what;
    EXPECT_EQ(fresh.acq.BufferLayoutValid, 0) << c.what;
    // A lent configuration is never saved as the machine's own.
    const std::optional<int32_t> saved = reg.ReadInt32(kCardKey, "FrqSamp");
    if (c.temporary) {
      EXPECT_FALSE(saved) << c.what;
    } else {
      EXPECT_EQ(saved, 20000) << c.what;
    }
  }
}


TEST_F(FormMainADConfig, ReplayFilesConfigurationIsLentAfterOk) {
  const std::string file = test::WriteForeignRecord(dir, 2, 5000);
  auto form = Start();
  state.display.DispValid = 1;
  ui.fileAnswers.push_back(file);
  AnswerOk([](TFormConfAD& d) {
    d.menuSimulateFileClick();
    d.CheckBoxSimulate->setChecked(true);
  });
  form->menuADConfigClick();
  EXPECT_EQ(state.config.SimulateType, 1);
  EXPECT_EQ(state.config.SimulateFile, file);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&P)");
  EXPECT_TRUE(form->menuRestoreConfig->isVisible());
  EXPECT_EQ(state.config.NumSamp, 50);
  EXPECT_EQ(state.config.Analog_Num, 2);
  EXPECT_EQ(state.config.FrqSamp, 5000);
  // The rate before the dialog (the nominal 10000 Hz without a rate entry),
  // scaled to the file's nominal rate.
  EXPECT_FLOAT_EQ(state.config.ChannelRate, 5000.0f);
  EXPECT_EQ(state.display.DispValid, 0);
  EXPECT_FALSE(registry.ReadInt32(kCardKey, "FrqSamp"));
  EXPECT_FALSE(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Recorder7", "FrqSamp"));

  // Back to the own configuration, the lent one again: the caption of a
  // configuration already lent stays as it is.
  form->menuRestoreConfigClick();
  ASSERT_EQ(state.configInForce.TempConfigActive, 0);
  EnterTemporaryConfig(state, *Snapshot(), kRemoteConfigCaption);
  form->RefreshConfigMenus();
  AnswerOk();
  form->menuADConfigClick();
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "远程参数(&P)");
  EXPECT_EQ(state.config.NumSamp, 50);
}

TEST_F(FormMainADConfig, UnreadableReplayFileLeavesTheConfigurationAlone) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SimulateType = 1;
  state.config.SimulateFile = (dir / "gone.DAT").string();
  AnswerOk([](TFormConfAD& d) { d.Edit_SampPerChn->setText("700"); });
  form->menuADConfigClick();
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(state.config.NumSamp, 700);
  EXPECT_EQ(registry.ReadInt32(kCardKey, "NumSamp"), 700);
}

TEST_F(FormMainADConfig, FirstHousekeepingCallMarksTheVirtualCardsSource) {
  auto form = Start();
  auto* dialog = new TFormConfAD(state, registry, ui, form.get());
  form->SetConfADDialog(dialog);
  dialog->ShowSimulateSource(0);
  state.config.SimulateType = 1;
  form->Timer1Timer();
  EXPECT_TRUE(dialog->menuSimulateFile->isChecked());
  EXPECT_FALSE(dialog->menuSimulateAuto->isChecked());
}

}  // namespace
