#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/DayTime.h"
#include "platform/MemoryRegistry.h"
#include "platform/RecordingPrintTarget.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "acquisition/ForeignRecordForTest.h"
#include "acquisition/FormSetPath.h"
#include "auxwin/FormTool.h"
#include "acquisition/FormFileInfo.h"
#include <QPlainTextEdit>
#include <fstream>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include "acquisition/ContinuousSave.h"
#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"
#include "acquisition/ChannelLayout.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

class FormMainAcquisition : public test::MainWindowFixture {
 protected:
  void TearDown() override {
    MainWindowFixture::TearDown();
    for (const char* v : {"SIMCARD_BLOCK_MS", "SIMCARD_MAX_BLOCKS", "SIMCARD_FAIL_INITIAL"}) unsetenv(v);
  }
  std::unique_ptr<TFormMain> Start() { return NewMainWindow(); }
};

TEST_F(FormMainAcquisition, WithoutADriverOrVirtualCardTheStartIsRefused) {
  auto form = Start();
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(form->PostedStatusText(), "未安装AD板驱动程序!");
  EXPECT_FALSE(form->TimerOscil->isActive());
}

TEST_F(FormMainAcquisition, VirtualCardRecordsPacedBlocksUntilStopped) {
  auto form = Start();
  state.config.SimulateAD = 1;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  EXPECT_TRUE(form->TimerOscil->isActive());
  EXPECT_EQ(form->TimerOscil->interval(), 30);  // 300 rows at 10000 Hz
  EXPECT_EQ(form->menuStartQuelvar->text().toStdString(), "停止记录示波器");
  EXPECT_EQ(form->PostedStatusText(), "记录示波器开始工作!");
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.acq.LastSeqNo, 2);
  EXPECT_EQ(state.acq.RingWriteBlock, 3);
  EXPECT_TRUE(form->RepaintRequested());
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_FALSE(form->TimerOscil->isActive());
  EXPECT_EQ(form->menuStartQuelvar->text().toStdString(), "启动记录示波器");
  EXPECT_NE(form->RunLogText().find("停止记录示波器于:"), std::string::npos);
}

TEST_F(FormMainAcquisition, SimulatedDriverDeliversEveryBlockInOrder) {
  fs::copy_file(fs::path(QUELVAR_DRIVER_DIR) / "ADCard.DLL", dir / "ADCard.DLL");
  setenv("SIMCARD_BLOCK_MS", "0", 1);
  setenv("SIMCARD_MAX_BLOCKS", "5", 1);
  auto form = Start();
  ASSERT_EQ(state.driver.DriverUsable, 1);
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  ASSERT_TRUE(QTest::qWaitFor([&] { return state.acq.BlocksReceived >= 5; }, 60000));
  EXPECT_EQ(state.acq.LastSeqNo, 4);
  EXPECT_EQ(state.acq.RunDataGap, 0);
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  QCoreApplication::processEvents();  // posts still queued find the run stopped
  EXPECT_EQ(state.acq.BlocksReceived, 5u);
}

TEST_F(FormMainAcquisition, DriverFailureNamesItsReason) {
  fs::copy_file(fs::path(QUELVAR_DRIVER_DIR) / "ADCard.DLL", dir / "ADCard.DLL");
  setenv("SIMCARD_FAIL_INITIAL", "1", 1);
  auto form = Start();
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(form->PostedStatusText().rfind("AD板初始化错误,原因：", 0), 0u) << form->PostedStatusText();
  // The oscilloscope's text has an ASCII colon.
  form->menuStartOscilClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(form->PostedStatusText().rfind("AD板初始化错误,原因:", 0), 0u) << form->PostedStatusText();
  EXPECT_FALSE(form->TimerOscil->isActive());
}

TEST_F(FormMainAcquisition, VirtualCardPacingHasAFloorExceptForSnapshots) {
  struct Case {
    int32_t interval, numSamp, maxBlock, dispFrq;
    int expected;
  } cases[] = {
      {0, 300, 200, 1000, 30},  // a block's real duration
      {0, 10, 200, 1000, 5},    // never faster than 5 ms
      {12, 300, 200, 1000, 12}, // a set delay wins
      {0, 10, 1, 2, 2},         // snapshot display: its own interval, no floor
  };
  for (const Case& c : cases) {
    AppState fresh;
    platform::MemoryRegistry reg;
    TFormMain form(fresh, MainWindowServices{reg, ui, screenSaver});
    fresh.config.SimulateAD = 1;
    fresh.config.SimulateInterval = c.interval;
    fresh.config.NumSamp = c.numSamp;
    fresh.config.MaxBlock = c.maxBlock;
    fresh.config.QuelvarDispFrq = c.dispFrq;
    form.menuStartQuelvarClick();
    ASSERT_EQ(fresh.RunState, kRunRecording);
    EXPECT_EQ(form.TimerOscil->interval(), c.expected) << c.numSamp << " rows";
    form.menuStartQuelvarClick();
  }
}

TEST_F(FormMainAcquisition, UnworkableConfigurationIsRefusedWithAReason) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.NumSamp = 0;
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(form->PostedStatusText(), "系统参数设置错误!");
  EXPECT_NE(form->RunLogText().find("错误：每块采样数NumSamp设置不能工作"), std::string::npos);
}

TEST_F(FormMainAcquisition, WatchdogPollsTheDriverWhenNotificationsStayAway) {
  fs::copy_file(fs::path(QUELVAR_DRIVER_DIR) / "ADCard.DLL", dir / "ADCard.DLL");
  setenv("SIMCARD_BLOCK_MS", "0", 1);
  setenv("SIMCARD_MAX_BLOCKS", "3", 1);
  auto form = Start();
  form->Timer1Timer();  // the deferred start-up
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  // The notifications wait in the event queue, unprocessed; the blocks wait in the driver.
  const AdQueryBufFn queued = state.driver.Entries.QueryBuf;
  for (int i = 0; i < 1000 && queued() < 3; ++i) QTest::qSleep(10);
  ASSERT_EQ(queued(), 3);
  for (int call = 1; call <= 4; ++call) {
    form->Timer1Timer();
    EXPECT_EQ(state.acq.NotifyWatchdog, call);
    EXPECT_EQ(state.acq.BlocksReceived, 0u);
  }
  form->Timer1Timer();  // the fifth call polls
  EXPECT_GT(state.acq.BlocksReceived, 0u);
  EXPECT_EQ(state.acq.NotifyWatchdog, 0);
  form->menuStartQuelvarClick();
}

TEST_F(FormMainAcquisition, ReplayLendsTheFilesConfigurationAndStopsAfterItsLastBlock) {
  // A record file of another card, three blocks of a two-channel layout.
  const std::string file = test::WriteForeignRecord(dir, 3);
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SimulateType = 1;
  state.config.SimulateFile = file;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&P)");
  EXPECT_EQ(state.config.NumSamp, 50);
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.RunState, kRunIdle);  // the file's last block ended the run
  EXPECT_EQ(state.acq.RingBuffer[0], 2100);
  EXPECT_EQ(state.acq.LastSeqNo, 2);

  // The oscilloscope replays it too, and stops after the tick that took the last block.
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  EXPECT_NE(form->RunLogText().find("注：试图按非本机配置进行启动..."), std::string::npos);
  for (int i = 0; i < 2; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.RunState, kRunOscilloscope);
  form->TimerOscilTimer();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(state.acq.LastSeqNo, 2);
}

TEST_F(FormMainAcquisition, WithAutomaticPrintingEveryCompletedRecordIsPrinted) {
  auto form = Start();
  platform::RecordingPrintTarget printer(4800, 6800, 600);
  form->SetPrintTarget(&printer);
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.config.AutoPrint = 1;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  form->menuTriggerFaultClick();
  for (int i = 0; i < 12; ++i) form->TimerOscilTimer();
  form->JoinRecordWriters();
  ASSERT_EQ(state.history.Valid, 1);
  EXPECT_EQ(printer.DocumentsBegun(), 1);
  EXPECT_EQ(printer.DocumentsEnded(), 1);
  EXPECT_FALSE(printer.Pages().empty());
  EXPECT_NE(form->RunLogText().find(" 自动打印波形于:"), std::string::npos);
  // Recording goes on.
  EXPECT_EQ(state.RunState, kRunRecording);
  form->menuStartQuelvarClick();
}

TEST_F(FormMainAcquisition, ManualRecordOnTheVirtualCardLandsAsAValidFile) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  form->menuTriggerFaultClick();
  for (int i = 0; i < 12; ++i) form->TimerOscilTimer();  // the trigger block and FaultBlockNum - 1 more
  form->JoinRecordWriters();
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() == ".DAT") files.push_back(e.path());
  }
  ASSERT_EQ(files.size(), 1u) << form->RunLogText();
  EXPECT_TRUE(IsValidRecordFile(files[0].string()));
  EXPECT_NE(form->RunLogText().find("  手动触发记录!"), std::string::npos);
  EXPECT_NE(form->RunLogText().find("  保存记录/历史数据块数=11"), std::string::npos) << form->RunLogText();
  EXPECT_EQ(state.history.Valid, 1);
  EXPECT_EQ(form->StatusPanelText(2), "历史");
  // The record is on display as history; a manual record keeps the width.
  EXPECT_TRUE(form->menuSelectFault->isChecked());
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_EQ(state.display.DispValid, 1);
  EXPECT_EQ(state.display.DispData, state.history.Samples.data());
  EXPECT_EQ(state.display.DataSourceMode, 0);
  EXPECT_EQ(state.wave.XZoom, 4);
  // The view starts just before the trigger.
  const int32_t triggerPoint = state.history.TriggerBlock * state.config.NumSamp + state.history.TriggerOffset;
  EXPECT_EQ(state.wave.XPosition,
            std::clamp(triggerPoint - 2, 0, state.display.DispPoints - state.wave.DisplayWidth));
  EXPECT_GT(state.wave.XPosition, 0);
  EXPECT_EQ(form->windowTitle().toStdString().find("--历史数据:") != std::string::npos, true);
  for (int i = 0; i < 5; ++i) form->TimerOscilTimer();  // the ring moves on
  form->menuStartQuelvarClick();

  // Mended: saving the view of a history record saves the record's blocks,
  // not the ring blocks of the same numbers.
  const LiveConfig& c = state.config;
  const size_t blockWords = static_cast<size_t>(c.NumSamp) * c.NumChn;
  state.wave.XPosition = 0;
  state.wave.DisplayWidth = 2 * c.NumSamp;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    dynamic_cast<TFormFileInfo&>(d).EditFileName->setText(QStringLiteral("history.dat"));
    return platform::kModalOk;
  });
  form->menuSaveCurrentClick();
  std::ifstream in(dir / "history.dat", std::ios::binary);
  ASSERT_TRUE(in.good()) << form->RunLogText();
  in.seekg(static_cast<std::streamoff>(sizeof(RecordFileHeader) + sizeof(ConfigRecord)));
  std::vector<uint16_t> samples(2 * blockWords);
  in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), state.history.Samples.begin()));
}

TEST_F(FormMainAcquisition, ContinuousSavingKeepsTheWholeRunInOneFileWithItsBackup) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.config.EndBlock = 100;
  state.config.ChannelRate = 1000.0f;
  state.config.FrqSamp = 1000;
  state.saving.idContinuousSave = 1;
  state.saving.idSafeSave = 1;
  state.saving.SafeSaveTime = 1;  // 200 blocks of 0.3 s: only the close copies
  ui.messageAnswers.push_back(platform::MsgResult::Ok);
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  const auto asked = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  ASSERT_EQ(asked.size(), 1u);
  // 100 blocks of 300 rows of 4 words and the 40832 bytes in front: 280 KB.
  EXPECT_EQ(asked[0].text, "真要保存到 F001.DAT ?\r\n  且每1分钟自动备份到F001-BAK.DAT\r\n存盘文件大小:280KB, 记录时间约30s");
  EXPECT_EQ(asked[0].caption, "您要自动连续保存、并安全备份AD数据");
  EXPECT_NE(form->RunLogText().find("连续保存采集结果到：F001.DAT"), std::string::npos);
  for (int i = 0; i < 100 && state.RunState == kRunRecording; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.RunState, kRunIdle);  // EndBlock ended the run
  EXPECT_EQ(form->PostedStatusText(), "连续存盘成功完成！");
  for (const char* name : {"F001.DAT", "F001-BAK.DAT"}) {
    const fs::path file = dir / name;
    EXPECT_TRUE(IsValidRecordFile(file.string())) << name;
    const uint64_t comment = std::string(name) == "F001.DAT" ? 26 : 32;
    EXPECT_EQ(fs::file_size(file), 104u + 40728u + 100u * 300u * 4u * 2u + 4u + comment) << name;
  }
}

TEST_F(FormMainAcquisition, AFailedContinuousWriteIsLoggedOnceBeforeTheStopThatNamesItsBlock) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.config.EndBlock = 10;
  state.config.ChannelRate = 1000.0f;
  state.config.FrqSamp = 1000;
  state.saving.idContinuousSave = 1;
  ui.messageAnswers.push_back(platform::MsgResult::Ok);
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  SetWriteFaultForTesting(5);  // the fifth block's write fails
  for (int i = 0; i < 6; ++i) form->TimerOscilTimer();
  // Written off this thread, the failure is told here as soon as it happened.
  const std::string line = "连续记录到 4 块时失败！";
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->RunLogText().find(line) != std::string::npos; }, 60000));
  for (int i = 0; i < 10 && state.RunState == kRunRecording; ++i) form->TimerOscilTimer();
  SetWriteFaultForTesting(0);
  ASSERT_EQ(state.RunState, kRunIdle);
  const std::string log = form->RunLogText();
  const size_t failed = log.find(line);
  ASSERT_NE(failed, std::string::npos) << log;
  EXPECT_EQ(log.find(line, failed + 1), std::string::npos) << "told more than once";
  EXPECT_LT(failed, log.find("停止记录示波器于:"));
  EXPECT_EQ(form->PostedStatusText(), "连续存盘失败于块4");
  const fs::path file = dir / "F001.DAT";
  EXPECT_TRUE(IsValidRecordFile(file.string()));
  EXPECT_EQ(fs::file_size(file), 104u + 40728u + 4u * 300u * 4u * 2u);
}

TEST_F(FormMainAcquisition, ContinuousSavingAnsweredCancelOrUnopenableRefusesTheStart) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.saving.idContinuousSave = 1;
  ui.messageAnswers.push_back(platform::MsgResult::Cancel);
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).back().caption, "您要自动连续保存AD数据");
  EXPECT_FALSE(fs::exists(dir / "F001.DAT"));

  fs::create_directory(dir / "F001.DAT");  // a directory where the file should go
  ui.messageAnswers.push_back(platform::MsgResult::Ok);
  form->menuStartQuelvarClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  const auto last = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).back();
  EXPECT_EQ(last.text, "打开连续保存文件失败！");
  EXPECT_EQ(last.caption, "出错提示");
  EXPECT_FALSE(form->TimerOscil->isActive());
}

TEST_F(FormMainAcquisition, OscilloscopeRunsAOneBlockRingWithoutTriggersOrSaving) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.config.MaxBlock = 200;
  state.oscilTool.Interval = 77;
  // Armed triggers and schedules of the recorder stay out of the oscilloscope.
  state.config.IDStartBin = 1;
  state.config.SwitchChannelTable[0].SWStartID = 3;
  state.config.NumScheduleSave = 1;
  state.config.ScheduleTable[0].Type = 2;
  state.config.ScheduleTable[0].Second = 1;
  state.saving.idContinuousSave = 1;
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  EXPECT_EQ(form->TimerOscil->interval(), 77);
  EXPECT_EQ(form->PostedStatusText(), "双踪示波器开始工作!");
  EXPECT_EQ(form->menuStartOscil->text().toStdString(), "停止双踪示波器");
  EXPECT_TRUE(form->menuPause->isVisible());
  EXPECT_TRUE(form->menuViewOscilTool->isVisible());
  EXPECT_TRUE(form->menuMonitor->isChecked());
  EXPECT_EQ(state.acq.RingBlocks, 1);
  EXPECT_EQ(state.acq.AutoTriggerActive, 0);
  EXPECT_EQ(state.acq.ScheduledSaveActive, 0);
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).empty());  // no continuous-save question

  form->menuStartQuelvarClick();  // the recorder command does nothing meanwhile
  EXPECT_EQ(state.RunState, kRunOscilloscope);
  for (int i = 0; i < 4; ++i) form->TimerOscilTimer();
  EXPECT_EQ(state.acq.LastSeqNo, 3);
  EXPECT_EQ(state.acq.RingWriteBlock, 0);

  form->menuPauseClick();
  EXPECT_EQ(form->menuPause->text().toStdString(), "继续双踪示波器(&C)");
  form->TimerOscilTimer();
  EXPECT_EQ(state.acq.LastSeqNo, 3);  // frozen on the last block
  form->menuStartOscilClick();
  EXPECT_EQ(state.RunState, kRunIdle);
  EXPECT_EQ(state.acq.OscilPaused, 0);
  EXPECT_FALSE(form->menuPause->isVisible());
  EXPECT_FALSE(form->TimerOscil->isActive());
  EXPECT_EQ(form->PostedStatusText(), "双踪示波器被停止!");
  EXPECT_TRUE(fs::is_empty(dir));  // nothing was recorded to file
}

TEST_F(FormMainAcquisition, OscilloscopeTakesSnapshotsFromTheDriverWhateverTheRingSize) {
  fs::copy_file(fs::path(QUELVAR_DRIVER_DIR) / "ADCard.DLL", dir / "ADCard.DLL");
  setenv("SIMCARD_BLOCK_MS", "0", 1);
  auto form = Start();
  ASSERT_EQ(state.driver.DriverUsable, 1);
  state.config.MaxBlock = 200;
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        form->TimerOscilTimer();
        return state.acq.LastSeqNo != 0xFFFF;
      },
      60000));
  EXPECT_EQ(state.acq.RingWriteBlock, 0);
  form->menuStartOscilClick();
  EXPECT_EQ(state.RunState, kRunIdle);
}

TEST_F(FormMainAcquisition, OscilloscopeStartLoadsThePanelForAOneChannelCard) {
  auto form = Start();
  TFormTool panel(state, registry);
  form->SetOscilToolPanel(&panel);
  state.config.SimulateAD = 1;
  state.config.Analog_Num = 1;
  state.config.Total_Line = 1;
  state.config.LineTable[0].APhaseNum = 1;
  state.oscilTool.YZoom1 = 1000;
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  EXPECT_TRUE(panel.isVisible());
  EXPECT_FALSE(panel.GroupBoxChn2->isEnabled());
  EXPECT_TRUE(panel.CheckBoxUseChn1->isChecked());
  EXPECT_FALSE(panel.CheckBoxUseChn2->isChecked());
  EXPECT_EQ(panel.ButtonFixChn->text().toStdString(), "踪1");
  EXPECT_EQ(panel.UpDownYZoom1->value(), 10);
  EXPECT_EQ(panel.LabelYZoom1->text().toStdString(), "0.002");
  EXPECT_EQ(panel.Edit_Interval->text().toStdString(), "150");
  // A period typed on the panel paces the running oscilloscope at once.
  panel.Edit_Interval->setText("60");
  panel.Edit_IntervalExit();
  EXPECT_EQ(form->TimerOscil->interval(), 60);
  EXPECT_TRUE(form->TimerOscil->isActive());
  form->menuStartOscilClick();
  form->menuStartQuelvarClick();  // the recorder's start hides the panel
  EXPECT_FALSE(panel.isVisible());
  EXPECT_FALSE(form->menuViewOscilTool->isVisible());
  form->menuStartQuelvarClick();
  form->SetOscilToolPanel(nullptr);
}

TEST_F(FormMainAcquisition, ScheduleCommandShowsTheScheduleDialogModally) {
  auto form = Start();
  ui.AnswerModal(2);  // cancelled
  form->menuScheduleSaveClick();
  const auto shown = ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "FormScheduleSave");
  EXPECT_EQ(form->menuScheduleSave->text().toStdString(), "定时记录设定(&E)");
}

TEST_F(FormMainAcquisition, WholeBufferSaveWritesTheRingUnderTheNameTheUserGives) {
  auto form = Start();
  form->menuSaveClick();  // nothing acquired yet
  auto messages = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "警告!不能存盘");
  EXPECT_EQ(messages[0].caption, "实时波形缓冲区内无波形数据");

  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.config.MaxBlock = 12;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  form->menuSaveClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：采集过程中不能存盘！");
  for (int i = 0; i < 15; ++i) form->TimerOscilTimer();  // the ring wraps
  form->menuStartQuelvarClick();

  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& info = dynamic_cast<TFormFileInfo&>(d);
    EXPECT_EQ(info.EditFileName->text().left(1).toStdString(), "F");  // the proposed name
    info.EditFileName->setText(QStringLiteral("ring.dat"));
    info.MemoUserInfo->setPlainText(QStringLiteral("整个缓冲区"));
    return platform::kModalOk;
  });
  form->menuSaveClick();
  ASSERT_TRUE(fs::exists(dir / "ring.dat")) << form->RunLogText();
  EXPECT_TRUE(IsValidRecordFile((dir / "ring.dat").string()));
  RecordFileHeader header{};
  std::ifstream(dir / "ring.dat", std::ios::binary).read(reinterpret_cast<char*>(&header), sizeof header);
  EXPECT_EQ(header.BlockCount, 12);  // the whole ring
  EXPECT_EQ(header.TriggerKind, 0);
  // The texts name the file written.
  EXPECT_NE(form->RunLogText().find("当前缓冲区波形存盘于:"), std::string::npos);
  EXPECT_NE(form->RunLogText().find("  文件名:" + (dir / "ring.dat").string()), std::string::npos);
  EXPECT_EQ(form->PostedStatusText(), "保存的波形文件名为: ring.dat");

  // Mended: cancelled, nothing is written and the texts no longer claim a file.
  ui.AnswerModal(platform::kModalCancel);
  const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
  const std::string logBefore = form->RunLogText();
  form->menuSaveClick();
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), before);
  EXPECT_EQ(form->PostedStatusText(), "提示：存盘已取消，波形未保存");
  EXPECT_EQ(form->RunLogText(), logBefore);

  // Mended: a failed write says so, in the status bar and in the run log.
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    dynamic_cast<TFormFileInfo&>(d).EditFileName->setText(QStringLiteral("ring.dat/inner.dat"));
    return platform::kModalOk;
  });
  form->menuSaveClick();
  EXPECT_EQ(form->PostedStatusText(), "错误：波形文件" + (dir / "ring.dat" / "inner.dat").string() + "保存失败!");
  EXPECT_NE(form->RunLogText().find("错误：记录文件写入失败："), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), before);
}

TEST_F(FormMainAcquisition, CurrentViewSaveWritesTheBlocksOnScreenIntoTheSavePath) {
  auto form = Start();
  form->menuSaveCurrentClick();  // nothing on display
  auto messages = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "无显示波形数据");
  EXPECT_EQ(messages[0].caption, "警告!不能存盘");

  fs::create_directories(dir / "save");
  state.config.SimulateAD = 1;
  state.config.SavePath = (dir / "save").string();
  state.config.MaxBlock = 12;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  form->menuSaveCurrentClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：采集过程中不能存盘！");
  for (int i = 0; i < 15; ++i) form->TimerOscilTimer();  // the ring wraps
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.display.DispValid, 1);

  const LiveConfig& c = state.config;
  const int32_t first = state.display.DispFirstBlock;
  state.wave.XPosition = 2 * c.NumSamp + 10;  // display blocks 2 and 3
  state.wave.DisplayWidth = c.NumSamp;
  ASSERT_EQ(chdir(dir.c_str()), 0);
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    dynamic_cast<TFormFileInfo&>(d).EditFileName->setText(QStringLiteral("view.dat"));
    return platform::kModalOk;
  });
  form->menuSaveCurrentClick();
  const fs::path file = dir / "save" / "view.dat";
  ASSERT_TRUE(fs::exists(file)) << form->RunLogText();
  EXPECT_TRUE(IsValidRecordFile(file.string()));
  std::ifstream in(file, std::ios::binary);
  RecordFileHeader header{};
  in.read(reinterpret_cast<char*>(&header), sizeof header);
  EXPECT_EQ(header.BlockCount, 2);
  in.seekg(static_cast<std::streamoff>(sizeof header + sizeof(ConfigRecord)));
  const size_t blockWords = static_cast<size_t>(c.NumSamp) * c.NumChn;
  std::vector<uint16_t> samples(2 * blockWords);
  in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
  for (int b = 0; b < 2; ++b) {
    const size_t ringBlock = static_cast<size_t>((first + 2 + b) % 12);
    EXPECT_TRUE(std::equal(samples.begin() + static_cast<std::ptrdiff_t>(b * blockWords),
                           samples.begin() + static_cast<std::ptrdiff_t>((b + 1) * blockWords),
                           state.acq.RingBuffer.begin() + static_cast<std::ptrdiff_t>(ringBlock * blockWords)))
        << b;
  }
  EXPECT_NE(form->RunLogText().find("当前显示范围波形存盘于:"), std::string::npos);
  EXPECT_NE(form->RunLogText().find("  文件名:" + file.string()), std::string::npos);
  EXPECT_EQ(form->PostedStatusText(), "保存的波形文件名为: view.dat");

  // Mended: the same name again is replaced only once the user says yes.
  const uintmax_t size = fs::file_size(file);
  for (const platform::MsgResult answer : {platform::MsgResult::No, platform::MsgResult::Yes}) {
    state.wave.DisplayWidth = 2 * c.NumSamp;  // one block more: a file of another size
    ui.modalAnswers.push_back([](platform::ModalDialog& d) {
      dynamic_cast<TFormFileInfo&>(d).EditFileName->setText(QStringLiteral("view.dat"));
      return platform::kModalOk;
    });
    ui.messageAnswers.push_back(answer);
    form->menuSaveCurrentClick();
    EXPECT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).back().text, "文件view.dat已存在。\r\n要替换它吗?");
    if (answer == platform::MsgResult::No) {
      EXPECT_EQ(fs::file_size(file), size);
      EXPECT_EQ(form->PostedStatusText(), "提示：未替换已有文件view.dat，波形未保存");
    } else {
      EXPECT_EQ(fs::file_size(file), size + static_cast<uintmax_t>(c.NumSamp) * c.NumChn * 2);
      EXPECT_EQ(form->PostedStatusText(), "保存的波形文件名为: view.dat");
    }
  }
}

TEST_F(FormMainAcquisition, MendedARingThatTookNoBlockIsNotSaved) {
  // A start refused after its preparation leaves a ring of nothing.
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.saving.idContinuousSave = 1;
  ui.messageAnswers.push_back(platform::MsgResult::Cancel);
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunIdle);
  ASSERT_EQ(state.acq.BufferLayoutValid, 1);
  form->menuSaveClick();
  auto messages = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  EXPECT_EQ(messages.back().text, "警告!不能存盘");
  EXPECT_EQ(messages.back().caption, "实时波形缓冲区内无波形数据");

  // The live display switched on shows that ring; its view is refused too.
  if (form->menuMonitor->isChecked()) form->menuMonitorClick();
  form->menuMonitorClick();
  ASSERT_EQ(state.display.DispValid, 1);
  form->menuSaveCurrentClick();
  messages = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  EXPECT_EQ(messages.back().text, "无显示波形数据");
  EXPECT_EQ(messages.back().caption, "警告!不能存盘");
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).empty());  // no name was asked for
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(FormMainAcquisition, MendedARefusedStartIsNotLoggedAsStarted) {
  struct Case {
    const char* what;
    std::function<void(AppState&, platform::ScriptedUiHost&)> arrange;
    bool oscilloscope = false;
  } cases[] = {
      {"no driver, virtual card off", [](AppState&, platform::ScriptedUiHost&) {}},
      {"an unworkable configuration", [](AppState& s, platform::ScriptedUiHost&) {
         s.config.SimulateAD = 1;
         s.config.NumSamp = 0;
       }},
      {"continuous saving cancelled", [](AppState& s, platform::ScriptedUiHost& u) {
         s.config.SimulateAD = 1;
         s.saving.idContinuousSave = 1;
         u.messageAnswers.push_back(platform::MsgResult::Cancel);
       }},
      {"replay file missing", [](AppState& s, platform::ScriptedUiHost&) {
         s.config.SimulateAD = 1;
         s.config.SimulateType = 1;
         s.config.SimulateFile = "missing.DAT";
       }},
      {"oscilloscope without a driver", [](AppState&, platform::ScriptedUiHost&) {}, true},
  };
  for (const Case& c : cases) {
    AppState fresh;
    platform::MemoryRegistry reg;
    platform::ScriptedUiHost host;
    TFormMain form(fresh, MainWindowServices{reg, host, screenSaver});
    fresh.config.SavePath = dir.string();
    c.arrange(fresh, host);
    c.oscilloscope ? form.menuStartOscilClick() : form.menuStartQuelvarClick();
    EXPECT_EQ(fresh.RunState, kRunIdle) << c.what;
    EXPECT_EQ(form.RunLogText().find("启动记录示波器于:"), std::string::npos) << c.what << ": " << form.RunLogText();
    EXPECT_EQ(form.RunLogText().find("启动双踪示波器于:"), std::string::npos) << c.what << ": " << form.RunLogText();
  }

  // A start that goes through is logged once, and its stop after it.
  auto form = Start();
  state.config.SimulateAD = 1;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  form->menuStartQuelvarClick();
  const std::string log = form->RunLogText();
  const size_t started = log.find("启动记录示波器于:" + platform::PageStampText(state.acq.RunStartTime));
  ASSERT_NE(started, std::string::npos) << log;
  EXPECT_EQ(log.find("启动记录示波器于:", started + 1), std::string::npos);
  EXPECT_GT(log.find("停止记录示波器于:"), started);
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope);
  EXPECT_NE(form->RunLogText().find("启动双踪示波器于:"), std::string::npos);
  form->menuStartOscilClick();
}

TEST_F(FormMainAcquisition, StoppingMidRecordStillWritesTheRecord) {
  auto form = Start();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  form->menuStartQuelvarClick();
  form->TimerOscilTimer();
  form->menuTriggerFaultClick();
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  form->menuStartQuelvarClick();  // stop while collecting
  form->JoinRecordWriters();
  int records = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() == ".DAT") {
      ++records;
      EXPECT_TRUE(IsValidRecordFile(e.path().string()));
    }
  }
  EXPECT_EQ(records, 1);
}

TEST_F(FormMainAcquisition, SavePathDialogChoosesTheRecordDirectory) {
  auto form = Start();
  const fs::path target = dir / "records";
  fs::create_directories(target);
  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& dialog = dynamic_cast<TFormSetPath&>(d);
    EXPECT_TRUE(dialog.SetDirectory(target.string()));
    return platform::kModalOk;
  });
  form->menuSetSavePathClick();
  EXPECT_EQ(state.config.SavePath, target.string() + "/");
  EXPECT_EQ(fs::current_path(), target);
  EXPECT_EQ(form->PostedStatusText(), "提示:存盘位置为: " + target.string() + "/");
  EXPECT_NE(form->RunLogText().find("采样数据存盘路径为：" + target.string()), std::string::npos);

  ui.modalAnswers.push_back([&](platform::ModalDialog& d) {
    auto& dialog = dynamic_cast<TFormSetPath&>(d);
    dialog.ButtonProgPathClick();  // the directory current at start-up
    EXPECT_EQ(dialog.LabelPath->text().toStdString() + "/", state.startup.ProgramDir);
    return platform::kModalCancel;
  });
  form->menuSetSavePathClick();
  EXPECT_EQ(state.config.SavePath, target.string() + "/");  // cancel keeps it

  state.config.SimulateAD = 1;
  form->menuStartQuelvarClick();
  ui.prompts.clear();
  form->menuSetSavePathClick();
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).empty());
  form->menuStartQuelvarClick();
}

TEST_F(FormMainAcquisition, ClosingTheWindowStopsTheRun) {
  auto form = Start();
  state.config.SimulateAD = 1;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  form->close();
  EXPECT_EQ(state.RunState, kRunIdle);
}

}  // namespace
