#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/RecordFileHeader.h"
#include "platform/RegistryKey.h"
#include "setup/FormFBuff.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "shell/RecordFileCheck.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kQuelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";

// What the dialog showed when it opened.
struct Opened {
  std::string numChn, numSamp, chnFrq, maxBlock, fault, compressed, fileNum, startNum, endBlock, dispFrq, ratio;
  int compressType = -2;
  bool autoStart = false, autoRestore = false, autoPrint = false;
  std::string endBlockHint, status;
};

class FormMainSetup : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    LiveConfig& c = state.config;
    c.ChannelRate = 1000.0f;
    c.FrqSamp = 1000;
    c.ACFrq = 50.0f;
  }
  std::unique_ptr<TFormMain> Start() { return NewMainWindow(); }
  // The dialog as a user meets it: shown, `change`d, then OK pressed; the
  // modal result is the dialog's.
  void AnswerOk(std::function<void(TFormFBuff&)> change = {}) {
    ui.modalAnswers.push_back([change](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormFBuff&>(d);
      form.FormActivate();
      if (change) change(form);
      form.setResult(0);
      form.ButtonOKClick();
      return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
  void CaptureOpening(Opened& seen) {
    ui.modalAnswers.push_back([&seen](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormFBuff&>(d);
      const auto t = [](const QLineEdit* e) { return e->text().toStdString(); };
      seen = {t(form.EditNumChn), t(form.EditNumSamp), t(form.EditChnFrq), t(form.EditMaxBlock),
              t(form.EditFaultBlock), t(form.EditCompressFaultBlock), t(form.EditFileNum), t(form.EditStartNum),
              t(form.EditEndBlock), t(form.EditDispFrq), t(form.Edit_CompressRatio),
              form.ComboBox_CompressType->currentIndex(), form.CheckBoxAutoStart->isChecked(),
              form.CheckBoxAutoRestore->isChecked(), form.CheckBoxAutoPrint->isChecked(),
              form.Label_EndBlock->toolTip().toStdString(), form.StatusText()};
      return platform::kModalCancel;
    });
  }
  std::optional<int32_t> StoredInt(const std::string& name) {
    return platform::RegistryKey(registry, kQuelvarKey).ReadInteger(name);
  }
};

TEST_F(FormMainSetup, TheCommandIsRefusedWhileAcquiring) {
  auto form = Start();
  for (const int32_t running : {kRunRecording, kRunOscilloscope}) {
    state.RunState = running;
    form->menuQuelvarConfigClick();
    EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  }
  state.RunState = kRunIdle;
  form->menuQuelvarConfig->trigger();  // the menu item runs the command
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormFBuff");
}

TEST_F(FormMainSetup, OpeningShowsTheSettingsAndACancelKeepsOnlyTheCycleRatio) {
  auto form = Start();
  LiveConfig& c = state.config;
  c.ChannelRate = 10000.0f;  // 200 samples per cycle at 50 Hz
  c.NumChn = 4;
  c.NumSamp = 300;
  c.MaxBlock = 100;
  c.FaultBlockNum = 12;
  c.CompressFaultBlockNum = 3;
  c.FileNum = 50;
  c.StartNum = 9;
  c.EndBlock = 0;
  c.QuelvarDispFrq = 700;
  c.CompressRatio = 1;
  c.CompressType = 3;
  c.AutoStart = 2;  // only 1 ticks the box
  c.AutoRestoreCfg = 5;
  c.AutoPrint = 1;
  Opened seen;
  CaptureOpening(seen);
  form->menuQuelvarConfigClick();
  EXPECT_EQ(seen.numChn, "4");
  EXPECT_EQ(seen.numSamp, "300");
  EXPECT_EQ(seen.chnFrq, "10000.0");
  EXPECT_EQ(seen.maxBlock, "100");
  EXPECT_EQ(seen.fault, "12");
  EXPECT_EQ(seen.compressed, "3");
  EXPECT_EQ(seen.fileNum, "50");
  EXPECT_EQ(seen.startNum, "9");
  EXPECT_EQ(seen.endBlock, "0");
  EXPECT_EQ(seen.dispFrq, "700");
  EXPECT_EQ(seen.ratio, "200");
  EXPECT_EQ(seen.compressType, 3);
  EXPECT_FALSE(seen.autoStart);
  EXPECT_TRUE(seen.autoRestore);
  EXPECT_TRUE(seen.autoPrint);
  EXPECT_EQ(seen.endBlockHint, "处理无限制");
  EXPECT_EQ(seen.status.rfind("实时波形内存=240KB, 等价采样时间=3.0s", 0), 0u) << seen.status;
  // A ratio of 1 meant one cycle; it stays the cycle's samples.
  EXPECT_EQ(c.CompressRatio, 200);
  EXPECT_EQ(c.SamplesPerCycle, 200);
  EXPECT_EQ(c.MaxBlock, 100);
  EXPECT_EQ(c.FaultBlockNum, 12);
  EXPECT_FALSE(StoredInt("MaxBlock").has_value());

  c.EndBlock = 100;
  c.CompressType = 9;  // no entry of the list: none selected
  CaptureOpening(seen);
  form->menuQuelvarConfigClick();
  EXPECT_EQ(seen.endBlockHint, "约0.2MB数据");
  EXPECT_EQ(seen.compressType, -1);
}

TEST_F(FormMainSetup, OkIsKeptInTheSettingsTreeUnlessAConfigurationIsLent) {
  auto form = Start();
  AnswerOk([](TFormFBuff& f) { f.EditFileNum->setText("33"); });
  form->menuQuelvarConfigClick();
  EXPECT_EQ(state.config.FileNum, 33);
  EXPECT_EQ(StoredInt("FileNum"), 33);

  state.configInForce.TempConfigActive = 1;
  AnswerOk([](TFormFBuff& f) { f.EditFileNum->setText("44"); });
  form->menuQuelvarConfigClick();
  EXPECT_EQ(state.config.FileNum, 44);
  EXPECT_EQ(StoredInt("FileNum"), 33);
}

TEST_F(FormMainSetup, MendedARefusedOkThenCancelLeavesSettingsAndTreeAsTheyWere) {
  auto form = Start();
  const int32_t fileNum = state.config.FileNum;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& f = dynamic_cast<TFormFBuff&>(d);
    f.FormActivate();
    f.EditFileNum->setText("99");
    f.EditMaxBlock->setText("1");
    f.EditDispFrq->setText("-1");
    f.ButtonOKClick();  // refused: the dialog stays open
    f.ButtonCancelClick();
    return platform::kModalCancel;
  });
  form->menuQuelvarConfigClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(state.config.FileNum, fileNum);
  EXPECT_EQ(state.config.MaxBlock, LiveConfig{}.MaxBlock);
  EXPECT_FALSE(StoredInt("FileNum").has_value());
}

TEST_F(FormMainSetup, ANewRingSizeEmptiesTheDisplayOtherChangesKeepIt) {
  auto form = Start();
  const auto showing = [this] {
    state.display.DispValid = 1;
    state.display.DataSourceMode = 1;
    state.acq.BufferLayoutValid = 1;
  };
  showing();
  AnswerOk([](TFormFBuff& f) { f.EditFaultBlock->setText("7"); });
  form->menuQuelvarConfigClick();
  EXPECT_EQ(state.config.FaultBlockNum, 7);
  EXPECT_EQ(state.display.DispValid, 1);
  EXPECT_EQ(state.display.DataSourceMode, 1);
  EXPECT_EQ(state.acq.BufferLayoutValid, 1);

  AnswerOk([](TFormFBuff& f) { f.EditMaxBlock->setText("300"); });
  form->menuQuelvarConfigClick();
  EXPECT_EQ(state.config.MaxBlock, 300);
  EXPECT_EQ(state.display.DispValid, 0);
  EXPECT_EQ(state.display.DataSourceMode, 0);
  EXPECT_EQ(state.acq.BufferLayoutValid, 0);
}

TEST_F(FormMainSetup, ContinuousSavingSwitchedOnInTheDialogMakesTheNextRunWriteItsFile) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  AnswerOk([](TFormFBuff& f) {
    f.CheckBoxContinuousSave->click();
    f.EditEndBlock->setText("20");
    f.EditFileName->setText("run.DAT");
  });
  ui.messageAnswers.push_back(platform::MsgResult::Ok);  // the dialog's word on continuous saving
  form->menuQuelvarConfigClick();
  ASSERT_EQ(state.saving.idContinuousSave, 1);
  EXPECT_EQ(state.config.EndBlock, 20);

  ui.messageAnswers.push_back(platform::MsgResult::Ok);  // the start's question
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  EXPECT_EQ(ui.PromptsOf(Kind::Message).back().caption, "您要自动连续保存AD数据");
  for (int i = 0; i < 40 && state.RunState == kRunRecording; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.RunState, kRunIdle);  // the end block ended the run
  EXPECT_EQ(form->PostedStatusText(), "连续存盘成功完成！");
  const fs::path file = dir / "run.DAT";
  ASSERT_TRUE(fs::exists(file));
  EXPECT_TRUE(IsValidRecordFile(file.string()));
  // 20 blocks of 300 rows of 4 words behind the header and configuration.
  EXPECT_GE(fs::file_size(file), kRecordFileDataOffset + 20u * 300u * 4u * 2u);
}

}  // namespace
