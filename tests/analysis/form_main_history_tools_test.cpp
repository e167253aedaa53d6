// The main window's skew correction, trigger-point search and playback on
// a history record shown after a live record.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "acquisition/ChannelLayout.h"
#include "acquisition/RecordCompletion.h"
#include "analysis/Playback.h"
#include "platform/GbkText.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/ScreenWaveformInput.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

class FormMainHistoryTools : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> form;

  void SetUp() override {
    MainWindowFixture::SetUp();
    form = NewMainWindow();
    form->Timer2Timer();  // past the deferred start-up
  }
  void TearDown() override {
    form.reset();
    MainWindowFixture::TearDown();
  }

  // A finished record shown as history: four analog channels and one switch
  // word at 1000 rows a second, `blocks` blocks of `numSamp` rows, word w of
  // row r from `word`, the trigger at row 5 of block 1.
  void ShowRecord(int32_t blocks, int32_t numSamp, const std::function<uint16_t(int32_t, int32_t)>& word) {
    LiveConfig& c = state.config;
    c.SW_Num = 16;
    c.NumSamp = numSamp;
    c.ChannelRate = 1000.0f;
    ComputeChannelLayout(c, state.layout, 0, true, {});
    HistoryRecord& h = state.history;
    h.NumChn = c.NumChn;
    h.NumSamp = numSamp;
    h.BlockCount = blocks;
    h.AnalogCount = c.Analog_Num;
    h.SwitchCount = c.SW_Num;
    h.LineCount = c.Total_Line;
    h.FrqSamp = 1000.0f;
    h.TriggerBlock = blocks > 1 ? 1 : 0;
    h.TriggerOffset = 5;
    h.Samples.assign(static_cast<size_t>(blocks) * numSamp * c.NumChn + 1, 0);
    for (int32_t r = 0; r < blocks * numSamp; ++r) {
      for (int32_t w = 0; w < c.NumChn; ++w) h.Samples[static_cast<size_t>(r) * c.NumChn + w] = word(r, w);
    }
    h.Valid = 1;
    h.Synced = 0;
    PointDisplayAtHistory(state);
    form->menuSelectFault->setChecked(true);
    form->RebuildDisplayLayout();
  }
  uint16_t Sample(int32_t row, int32_t word) const {
    return state.history.Samples[static_cast<size_t>(row) * state.history.NumChn + word];
  }
  static uint16_t Ramp(int32_t row, int32_t word) {
    // The switch word (word 4) carries a pattern no interpolation keeps.
    if (word == 4) return row % 2 == 0 ? 0xA5A5 : 0x5A5A;
    return static_cast<uint16_t>(1000 + 8 * row + word);
  }
};

// Skew correction.

TEST_F(FormMainHistoryTools, SkewCorrectionAsksForTheDelayAndCorrectsTheShownRecordOnce) {
  ShowRecord(2, 10, Ramp);
  ui.inputAnswers.push_back("250");
  form->menuSynchronClick();
  const auto inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "通道同步化参数");
  EXPECT_EQ(inputs[0].text, "请输入通道间时间延迟(微秒)    ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"200.00"});  // 1000 us over 5 words
  EXPECT_EQ(state.history.Synced, 1);
  EXPECT_TRUE(form->RepaintRequested());
  for (int32_t r = 0; r < 20; ++r) {
    EXPECT_EQ(Sample(r, 0), Ramp(r, 0)) << r;
    EXPECT_EQ(Sample(r, 1), Ramp(r, 1) - 2) << r;  // a quarter row late on 8 codes a row
    EXPECT_EQ(Sample(r, 3), Ramp(r, 3) - 6) << r;
    EXPECT_EQ(Sample(r, 4), Ramp(r, 4)) << r;
  }

  // A second run on the same record is refused before anything is asked.
  const std::vector<uint16_t> corrected = state.history.Samples;
  form->menuSynchronClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Input).size(), 1u);
  const auto boxes = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "提示:已进行过同步化处理!");
  EXPECT_EQ(boxes[0].caption, "不能进行同步化处理");
  EXPECT_EQ(boxes[0].buttons, platform::MsgButtons::OkCancel);
  EXPECT_EQ(state.history.Samples, corrected);
}

TEST_F(FormMainHistoryTools, MendedCancellingTheDelayLeavesTheRecordUncorrected) {
  ShowRecord(2, 10, Ramp);
  const std::vector<uint16_t> before = state.history.Samples;
  ui.inputAnswers.push_back(std::nullopt);
  form->menuSynchronClick();
  EXPECT_EQ(state.history.Samples, before);
  EXPECT_EQ(state.history.Synced, 0);
  // Text that is not a number takes the offered delay.
  ui.inputAnswers.push_back("abc");
  form->menuSynchronClick();
  EXPECT_EQ(state.history.Synced, 1);
  EXPECT_EQ(Sample(7, 1), Ramp(7, 1) - 2);  // 200 us: a fifth of 8 codes, 1.6, truncated
}

TEST_F(FormMainHistoryTools, MendedSkewCorrectionWritesOnlyIntoTheShownHistoryAndNeverDuringARun) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* text;
  };
  const Case cases[] = {
      {"no history shown", [this] { form->menuSelectFault->setChecked(false); }, "提示:未选中历史数据!"},
      {"the display shows other data",
       [this] {
         state.acq.RingBuffer.assign(state.history.Samples.size(), 0);
         state.display.DispData = state.acq.RingBuffer.data();
       },
       "提示:未选中历史数据!"},
      {"recording", [this] { state.RunState = kRunRecording; }, "提示:采集过程中不能进行同步化处理!"},
      {"oscilloscope", [this] { state.RunState = kRunOscilloscope; }, "提示:采集过程中不能进行同步化处理!"},
  };
  for (const Case& c : cases) {
    ShowRecord(2, 10, Ramp);
    c.arrange();
    const std::vector<uint16_t> before = state.history.Samples;
    ui.prompts.clear();
    ui.inputAnswers.push_back("250");
    form->menuSynchronClick();
    const auto boxes = ui.PromptsOf(Kind::Message);
    ASSERT_EQ(boxes.size(), 1u) << c.name;
    EXPECT_EQ(boxes[0].text, c.text) << c.name;
    EXPECT_TRUE(ui.PromptsOf(Kind::Input).empty()) << c.name;
    EXPECT_EQ(state.history.Samples, before) << c.name;
    EXPECT_EQ(state.history.Synced, 0) << c.name;
    ui.inputAnswers.clear();
    state.RunState = kRunIdle;
  }
}

// Trigger-point search.

TEST_F(FormMainHistoryTools, SearchLogsTheFiringPointsAndTheViewMarksThem) {
  // Channel 0 rises 300 codes above the zero line at row 37.
  ShowRecord(5, 20, [](int32_t row, int32_t word) -> uint16_t {
    return word == 0 && row >= 37 ? 2348 : 2048;
  });
  LiveConfig& c = state.config;
  c.Algorithm_Num = 1;
  AlgorithmConfig& a = c.AlgorithmTable[0];
  a.Type = 1;
  a.UsedChn = 1;
  a.Channel[0] = 0;
  a.SetPoint[0] = static_cast<float>(200.0 / (c.ADMax - c.VZero) * 5.0 * c.AnalogChannelTable[0].ChnCoeB);
  platform::WriteGbkField("过流", a.Name, sizeof a.Name);
  form->resize(900, 700);
  form->show();
  form->Timer2->stop();  // the test ticks
  QApplication::processEvents();
  form->SetXPointCount(60);
  form->HScrollBar_XPosition->setValue(20);
  form->RepaintView();
  const QColor yellow(255, 255, 0);
  auto topYellow = [&] {
    const QImage top = form->OffscreenBitmap().copy(0, 0, form->OffscreenBitmap().width(), 30);
    int n = 0;
    for (int y = 0; y < top.height(); ++y) {
      for (int x = 0; x < top.width(); ++x) n += top.pixelColor(x, y) == yellow ? 1 : 0;
    }
    return n;
  };
  const int before = topYellow();

  form->menuSearchAlgorithmClick();
  const std::string log = form->RunLogText();
  EXPECT_NE(log.find("注：开始搜索所有算法的触发点，计算采用Fourier整数算法。"), std::string::npos) << log;
  // The origin is row 5 of block 1: point 25.
  EXPECT_NE(log.find("算法0: 过流,类型:峰值超过"), std::string::npos) << log;
  EXPECT_NE(log.find("触发于点 37,12.00 ms"), std::string::npos) << log;
  EXPECT_NE(log.find("注：共搜索到 1 个触发点！"), std::string::npos) << log;
  ASSERT_EQ(state.foundPoints.TriggerPointCount, 1);
  EXPECT_EQ(state.foundPoints.TriggerPointList[0].Point, 37);
  EXPECT_EQ(ScreenWaveformInput(state).TriggerPoints.size(), 1u);
  ASSERT_TRUE(form->RepaintRequested());
  form->Timer2Timer();
  EXPECT_GT(topYellow(), before + 20);
}

TEST_F(FormMainHistoryTools, SearchWithoutAFiringOrWithoutHistorySaysSo) {
  ShowRecord(2, 20, [](int32_t, int32_t) -> uint16_t { return 2048; });
  state.config.Algorithm_Num = 1;
  state.config.AlgorithmTable[0].Type = 1;
  state.config.AlgorithmTable[0].UsedChn = 1;
  state.config.AlgorithmTable[0].SetPoint[0] = 100.0f;
  state.foundPoints.Append({0, 1, 3});  // from an earlier search
  form->menuSearchAlgorithmClick();
  EXPECT_EQ(state.foundPoints.TriggerPointCount, 0);
  EXPECT_EQ(form->PostedStatusText(), "注：未搜索到触发点!");
  EXPECT_NE(form->RunLogText().find("注：未搜索到触发点!"), std::string::npos);

  form->menuSelectFault->setChecked(false);
  const std::string log = form->RunLogText();
  form->menuSearchAlgorithmClick();
  EXPECT_EQ(form->PostedStatusText(), "错误：请先选中历史数据!");
  EXPECT_EQ(form->RunLogText(), log);
}

TEST_F(FormMainHistoryTools, ALiveRecordDropsThePointsFoundInTheRecordShownBefore) {
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  state.foundPoints.Append({0, 1, 3});
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  form->menuTriggerFaultClick();
  form->TimerOscilTimer();
  EXPECT_EQ(state.foundPoints.TriggerPointCount, 0);
  state.foundPoints.Append({0, 1, 3});
  for (int i = 0; i < 12; ++i) form->TimerOscilTimer();
  form->JoinRecordWriters();
  ASSERT_EQ(state.display.DispData, state.history.Samples.data()) << form->RunLogText();
  EXPECT_EQ(state.foundPoints.TriggerPointCount, 0);
  form->menuStartQuelvarClick();
}

// Playback.

TEST_F(FormMainHistoryTools, PlayingTowardsLaterDataStopsWithTheLastScreenShownExactly) {
  ShowRecord(2, 1000, Ramp);
  form->SetXPointCount(400);
  state.view.AutoPlayInc = 4;  // 100 points a tick
  form->HScrollBar_XPosition->setValue(1450);
  form->ToolButtonPlayBackClick();
  EXPECT_EQ(state.PlaybackDirection, kPlayLater);
  EXPECT_TRUE(form->ToolButtonPlayBack->isChecked());
  EXPECT_FALSE(form->ToolButtonPlayForward->isChecked());
  EXPECT_TRUE(form->TimerPlay->isActive());
  EXPECT_EQ(form->TimerPlay->interval(), 500);
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 1550);
  EXPECT_EQ(state.PlaybackDirection, kPlayLater);
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 1600);
  EXPECT_EQ(form->HScrollBar_XPosition->value(), 1600);
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
  EXPECT_FALSE(form->TimerPlay->isActive());
  EXPECT_FALSE(form->ToolButtonPlayBack->isChecked());
}

TEST_F(FormMainHistoryTools, PlayingTowardsEarlierDataStopsAtPointZeroAndTheMenuEntryDoesTheSame) {
  ShowRecord(2, 1000, Ramp);
  form->SetXPointCount(400);
  state.view.AutoPlayInc = 4;
  form->HScrollBar_XPosition->setValue(150);
  form->menuPlayForwardClick();
  EXPECT_EQ(state.PlaybackDirection, kPlayEarlier);
  EXPECT_TRUE(form->ToolButtonPlayForward->isChecked());
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 50);
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 0);
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
  EXPECT_FALSE(form->TimerPlay->isActive());
  EXPECT_FALSE(form->ToolButtonPlayForward->isChecked());
}

TEST_F(FormMainHistoryTools, EitherPlayCommandStopsARunningPlaybackInsteadOfReversingIt) {
  ShowRecord(2, 1000, Ramp);
  form->SetXPointCount(400);
  form->HScrollBar_XPosition->setValue(800);
  form->ToolButtonPlayForwardClick();
  ASSERT_EQ(state.PlaybackDirection, kPlayEarlier);
  form->menuPlayBackClick();
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
  EXPECT_FALSE(form->TimerPlay->isActive());
  EXPECT_FALSE(form->ToolButtonPlayForward->isChecked());
  EXPECT_FALSE(form->ToolButtonPlayBack->isChecked());
  EXPECT_EQ(state.wave.XPosition, 800);
}

TEST_F(FormMainHistoryTools, MendedDataShorterThanTheScreenPlayToPointZeroAndStop) {
  ShowRecord(1, 6, Ramp);
  form->SetXPointCount(10);
  ASSERT_GT(state.wave.DisplayWidth, state.display.DispPoints);
  form->ToolButtonPlayBackClick();
  ASSERT_EQ(state.PlaybackDirection, kPlayLater);
  form->TimerPlayTimer();
  EXPECT_EQ(form->HScrollBar_XPosition->value(), 0);
  EXPECT_GE(state.wave.XPosition, 0);
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
}

TEST_F(FormMainHistoryTools, PlaybackIsRefusedWithoutDataOrWhileAcquiringAndStopsWhenARunStarts) {
  ShowRecord(2, 1000, Ramp);
  state.display.DispValid = 0;
  form->ToolButtonPlayBackClick();
  EXPECT_EQ(form->PostedStatusText(), "警告：无波形可显示!");
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
  EXPECT_FALSE(form->ToolButtonPlayBack->isChecked());
  EXPECT_FALSE(form->TimerPlay->isActive());

  state.display.DispValid = 1;
  state.RunState = kRunRecording;
  form->ToolButtonPlayForward->setChecked(true);  // as the click leaves it
  form->ToolButtonPlayForwardClick();
  EXPECT_EQ(form->PostedStatusText(), "警告：采集过程中不能持续显示波形!");
  EXPECT_FALSE(form->ToolButtonPlayForward->isChecked());
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);

  state.RunState = kRunIdle;
  form->ToolButtonPlayBackClick();
  ASSERT_EQ(state.PlaybackDirection, kPlayLater);
  state.RunState = kRunRecording;
  form->TimerPlayTimer();
  EXPECT_EQ(state.PlaybackDirection, kPlayStopped);
  EXPECT_FALSE(form->TimerPlay->isActive());
  state.RunState = kRunIdle;
}

TEST_F(FormMainHistoryTools, TheTextViewSuspendsTheScrollingWithoutStoppingTheTimer) {
  ShowRecord(2, 1000, Ramp);
  form->SetXPointCount(400);
  state.view.AutoPlayInc = 4;
  form->HScrollBar_XPosition->setValue(500);
  form->ToolButtonPlayBackClick();
  form->menuViewTextClick();
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 500);
  EXPECT_TRUE(form->TimerPlay->isActive());
  form->menuViewWaveClick();
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 600);
  form->StopPlayback();
}

TEST_F(FormMainHistoryTools, IntervalAndStepFollowTheirCommandsAndANewIntervalWaitsForTheNextStart) {
  ShowRecord(2, 1000, Ramp);
  form->SetXPointCount(400);
  form->HScrollBar_XPosition->setValue(500);
  form->ToolButtonPlayBackClick();
  form->menuSlowPlayClick();
  EXPECT_EQ(state.view.AutoPlayInterval, 1000);
  EXPECT_EQ(form->menuPlayInterval->text().toStdString(), "播放时间间隔(1000ms)");
  EXPECT_EQ(form->TimerPlay->interval(), 500);
  form->ToolButtonPlayBackClick();  // stop
  form->ToolButtonPlayBackClick();  // start again
  EXPECT_EQ(form->TimerPlay->interval(), 1000);
  form->StopPlayback();

  form->menuSpeedPlayClick();
  form->menuSpeedPlayClick();
  form->menuSpeedPlayClick();
  form->menuSpeedPlayClick();
  EXPECT_EQ(state.view.AutoPlayInterval, 100);
  ui.inputAnswers.push_back("250");
  form->menuPlayIntervalClick();
  auto inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "设置播放时间间隔");
  EXPECT_EQ(inputs[0].text, "间隔(ms):   ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"100"});
  EXPECT_EQ(state.view.AutoPlayInterval, 250);
  EXPECT_EQ(form->menuPlayInterval->text().toStdString(), "播放时间间隔(250ms)");

  ui.inputAnswers.push_back("5");
  form->menuPlayIncClick();
  inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[1].caption, "设置播放移动幅度");
  EXPECT_EQ(inputs[1].text, "整屏的1/?:   ");
  EXPECT_EQ(inputs[1].arguments, std::vector<std::string>{"9"});
  EXPECT_EQ(form->menuPlayInc->text().toStdString(), "每次移动整屏的1/5");
  // A step of a fifth of the screen.
  form->HScrollBar_XPosition->setValue(500);
  form->ToolButtonPlayBackClick();
  form->TimerPlayTimer();
  EXPECT_EQ(state.wave.XPosition, 580);
  form->StopPlayback();

  // The settings tree keeps both.
  form.reset();
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "AutoPlayInterval"), 250);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "AutoPlayInc"), 5);
}

TEST_F(FormMainHistoryTools, ThePlayButtonsSpeedMenuHoldsTheSettingsAndTheSearchEntryIsHidden) {
  ASSERT_EQ(form->ToolButtonPlayForward->menu(), form->PopupMenuPlaySpeed);
  const QList<QAction*> items = form->PopupMenuPlaySpeed->actions();
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(items[0], form->menuSpeedPlay);
  EXPECT_EQ(items[1], form->menuSlowPlay);
  EXPECT_TRUE(items[2]->isSeparator());
  EXPECT_EQ(items[3], form->menuPlayInc);
  EXPECT_EQ(items[4], form->menuPlayInterval);
  EXPECT_EQ(form->ToolButtonPlayForward->toolTip().toStdString(), "持续显示以前的波形/速度设置");
  EXPECT_EQ(form->ToolButtonPlayBack->toolTip().toStdString(), "持续显示后面的波形");
  EXPECT_FALSE(form->TimerPlay->isActive());
  EXPECT_FALSE(form->menuSearchAlgorithm->isVisible());
  EXPECT_TRUE(form->menuSynchron->isVisible());
  EXPECT_FALSE(form->menuViewHMEPanel->isVisible());
  EXPECT_EQ(form->menuPlayInterval->text().toStdString(), "播放时间间隔(500ms)");
}

}  // namespace
