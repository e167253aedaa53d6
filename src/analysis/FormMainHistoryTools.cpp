// The main window's history-review tools: skew correction, the trigger-point
// search and playback. The work is done by the core; these handlers read the
// menus and the scroll bar, ask through UiHost and write the results back.
#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "analysis/Playback.h"
#include "analysis/SkewCorrection.h"
#include "analysis/TriggerPointSearch.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildPlaybackMenuItems() {
  menuPlayForward = AddItem(menuView, "menuPlayForward", "持续显示以前的波形");
  connect(menuPlayForward, &QAction::triggered, this, [this] { menuPlayForwardClick(); });
  menuPlayBack = AddItem(menuView, "menuPlayBack", "持续显示后面的波形");
  connect(menuPlayBack, &QAction::triggered, this, [this] { menuPlayBackClick(); });
  menuViewHMEPanel = AddItem(menuView, "menuViewHMEPanel", "人机环实验面板(&H)");
  menuViewHMEPanel->setVisible(false);

  PopupMenuPlaySpeed = new QMenu(this);
  PopupMenuPlaySpeed->setObjectName("PopupMenuPlaySpeed");
  menuSpeedPlay = AddItem(PopupMenuPlaySpeed, "menuSpeedPlay", "加快播放速度");
  connect(menuSpeedPlay, &QAction::triggered, this, [this] { menuSpeedPlayClick(); });
  menuSlowPlay = AddItem(PopupMenuPlaySpeed, "menuSlowPlay", "减慢播放速度");
  connect(menuSlowPlay, &QAction::triggered, this, [this] { menuSlowPlayClick(); });
  PopupMenuPlaySpeed->addSeparator();
  menuPlayInc = AddItem(PopupMenuPlaySpeed, "menuPlayInc", "每次移动整屏的1/?");
  connect(menuPlayInc, &QAction::triggered, this, [this] { menuPlayIncClick(); });
  menuPlayInterval = AddItem(PopupMenuPlaySpeed, "menuPlayInterval", "播放时间间隔(?ms)");
  connect(menuPlayInterval, &QAction::triggered, this, [this] { menuPlayIntervalClick(); });
}

void TFormMain::BuildHistoryTools() {
  // The play buttons stay down while they play; the handlers set both.
  ToolButtonPlayForward = new QAction(QStringLiteral("向前播放"), this);
  ToolButtonPlayForward->setObjectName("ToolButtonPlayForward");
  ToolButtonPlayForward->setToolTip(QStringLiteral("持续显示以前的波形/速度设置"));
  ToolButtonPlayForward->setCheckable(true);
  ToolButtonPlayForward->setMenu(PopupMenuPlaySpeed);
  ToolBar1->addAction(ToolButtonPlayForward);
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(ToolButtonPlayForward))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  connect(ToolButtonPlayForward, &QAction::triggered, this, [this] { ToolButtonPlayForwardClick(); });
  ToolButtonPlayBack = ToolBar1->addAction(QStringLiteral("向后播放"));
  ToolButtonPlayBack->setObjectName("ToolButtonPlayBack");
  ToolButtonPlayBack->setToolTip(QStringLiteral("持续显示后面的波形"));
  ToolButtonPlayBack->setCheckable(true);
  connect(ToolButtonPlayBack, &QAction::triggered, this, [this] { ToolButtonPlayBackClick(); });

  TimerPlay = new QTimer(this);
  TimerPlay->setObjectName("TimerPlay");
  connect(TimerPlay, &QTimer::timeout, this, [this] { TimerPlayTimer(); });

  menuSynchron = AddItem(menuAnalysis, "menuSynchron", "数据同步化处理(&Y)");
  connect(menuSynchron, &QAction::triggered, this, [this] { menuSynchronClick(); });
  // Created hidden; nothing shows it.
  menuSearchAlgorithm = AddItem(menuAnalysis, "menuSearchAlgorithm", "搜索所有算法触发点(&T)");
  menuSearchAlgorithm->setVisible(false);
  connect(menuSearchAlgorithm, &QAction::triggered, this, [this] { menuSearchAlgorithmClick(); });
}

// Skew correction and trigger-point search.

void TFormMain::menuSynchronClick() {
  HistoryRecord& h = state_.history;
  // Only the record's own copy is ever corrected, so the display must be
  // showing it.
  const bool shown = menuSelectFault->isChecked() && state_.display.DispData != nullptr &&
                     state_.display.DispData == h.Samples.data();
  const SkewPreconditions pre{shown, state_.RunState};
  if (const std::optional<std::string> refusal = SkewRefusal(pre, h)) {
    services_.ui.MessageBox(*refusal, std::string(kSkewRefusalCaption), platform::MsgButtons::OkCancel);
    return;
  }
  const double offered = DefaultSkewDelay(h);
  const std::optional<std::string> answer =
      services_.ui.InputBox("通道同步化参数", "请输入通道间时间延迟(微秒)    ", SkewDelayText(offered));
  if (!answer) return;  // Cancel leaves the record as it is
  if (!CorrectChannelSkew(h, SkewDelayFromAnswer(*answer, offered))) return;
  state_.wave.RepaintRequested = 1;
  RequestSecondDispRepaint();
}

void TFormMain::menuSearchAlgorithmClick() {
  if (!menuSelectFault->isChecked()) {
    PostStatusText("错误：请先选中历史数据!");
    return;
  }
  state_.foundPoints.TriggerPointCount = 0;
  const TriggerPointSearchResult result =
      SearchTriggerPoints(state_.config, state_.layout, state_.display, menuHarmonicAccurate->isChecked());
  for (const std::string& entry : result.runLog) AppendRunLog(entry);
  state_.foundPoints = result.found;
  if (result.found.TriggerPointCount > 0) {
    state_.wave.RepaintRequested = 1;
  } else {
    PostStatusText(result.statusText);
  }
}

// Playback.

void TFormMain::StartOrStopPlayback(int32_t direction) {
  if (state_.PlaybackDirection != kPlayStopped) {
    StopPlayback();
    return;
  }
  // The click has toggled the button; it goes down only when playing.
  ToolButtonPlayForward->setChecked(false);
  ToolButtonPlayBack->setChecked(false);
  if (const std::optional<std::string> refusal = PlayStartRefusal(state_.display.DispValid, state_.RunState)) {
    PostStatusText(*refusal);
    return;
  }
  state_.PlaybackDirection = direction;
  (direction == kPlayEarlier ? ToolButtonPlayForward : ToolButtonPlayBack)->setChecked(true);
  TimerPlay->setInterval(state_.view.AutoPlayInterval);
  TimerPlay->start();
}

void TFormMain::ToolButtonPlayForwardClick() { StartOrStopPlayback(kPlayEarlier); }

void TFormMain::ToolButtonPlayBackClick() { StartOrStopPlayback(kPlayLater); }

void TFormMain::menuPlayForwardClick() { ToolButtonPlayForwardClick(); }

void TFormMain::menuPlayBackClick() { ToolButtonPlayBackClick(); }

void TFormMain::StopPlayback() {
  state_.PlaybackDirection = kPlayStopped;
  ToolButtonPlayForward->setChecked(false);
  ToolButtonPlayBack->setChecked(false);
  TimerPlay->stop();
}

void TFormMain::TimerPlayTimer() {
  if (printJobOpen_) return;  // the job holds the view's range
  const DisplayDescriptor& d = state_.display;
  WaveViewState& v = state_.wave;
  if (d.DispValid == 0 || state_.RunState != kRunIdle) {
    StopPlayback();
    return;
  }
  // The text grid and the run log suspend the scrolling; the timer runs on.
  if (v.ViewMode != 0) return;
  const int32_t step = PlaybackStep(v.DisplayWidth, state_.view.AutoPlayInc);
  const PlaybackMove move =
      PlaybackTick(state_.PlaybackDirection, HScrollBar_XPosition->value(), step, d.DispPoints, v.DisplayWidth);
  if (move.stop) StopPlayback();
  HScrollBar_XPosition->setValue(move.position);
  HScrollBar_XPositionChange();  // also when the bar stood there already
  RepaintView();
}

void TFormMain::menuSpeedPlayClick() {
  MainViewSettings& s = state_.view;
  s.AutoPlayInterval = FasterPlayInterval(s.AutoPlayInterval);
  menuPlayInterval->setText(Q(PlayIntervalCaption(s.AutoPlayInterval)));
}

void TFormMain::menuSlowPlayClick() {
  MainViewSettings& s = state_.view;
  s.AutoPlayInterval = SlowerPlayInterval(s.AutoPlayInterval);
  menuPlayInterval->setText(Q(PlayIntervalCaption(s.AutoPlayInterval)));
}

void TFormMain::menuPlayIntervalClick() {
  MainViewSettings& s = state_.view;
  const std::optional<std::string> answer =
      services_.ui.InputBox("设置播放时间间隔", "间隔(ms):   ", std::to_string(s.AutoPlayInterval));
  s.AutoPlayInterval = PlayIntervalFromAnswer(answer, s.AutoPlayInterval);
  menuPlayInterval->setText(Q(PlayIntervalCaption(s.AutoPlayInterval)));
}

void TFormMain::menuPlayIncClick() {
  MainViewSettings& s = state_.view;
  const std::optional<std::string> answer =
      services_.ui.InputBox("设置播放移动幅度", "整屏的1/?:   ", std::to_string(s.AutoPlayInc));
  s.AutoPlayInc = PlayIncFromAnswer(answer, s.AutoPlayInc);
  menuPlayInc->setText(Q(PlayIncCaption(s.AutoPlayInc)));
}

}  // namespace quelvar
