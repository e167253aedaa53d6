// The main window's history review: opening a stored record file and
// showing the history record.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "acquisition/RecordCompletion.h"
#include "analysis/FormFault.h"
#include "analysis/HistoryOpen.h"
#include "auxwin/FormTool.h"
#include "platform/DayTime.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"

namespace quelvar {

std::optional<RecordOpenChoice> TFormMain::ChooseRecordFile() {
  if (recordFileManager_) return recordFileManager_();
  // The record-file manager, shown with the whole range ticked, accepts only
  // a file it has just checked; its choice is the checked path and range.
  if (RunRecordFileManager() != platform::kModalOk) return std::nullopt;
  const TFormFault& manager = *FaultManager();
  RecordOpenChoice choice;
  choice.path = state_.HistoryFilePath;
  choice.wholeRange = manager.CheckBoxDispAll->isChecked();
  choice.begin = manager.EditBeginBlock->text().toInt();
  choice.end = manager.EditEndBlock->text().toInt();
  return choice;
}

void TFormMain::menuSelectFaultClick() {
  if (state_.RunState == kRunRecording || state_.RunState == kRunOscilloscope) return;
  const std::optional<RecordOpenChoice> choice = ChooseRecordFile();
  if (!choice) return;

  // Checked again and taken before anything changes (the file may have
  // changed since the manager's check): a refusal leaves the record on show,
  // the configuration and the settings as they were.
  OpenedRecordFile opened;
  switch (ReadRecordForHistory(*choice, opened)) {
    case RecordOpenStatus::Ok:
      break;
    case RecordOpenStatus::OutOfMemory:
      PostStatusText("分配内存失败!");
      return;
    case RecordOpenStatus::CannotOpen:
    case RecordOpenStatus::NotARecord:
      services_.ui.MessageBox("未选定有效文件", "确定操作无效", platform::MsgButtons::OkCancel);
      return;
  }

  // The file's configuration is lent; the own one is kept aside only before
  // the first foreign one.
  EnterTemporaryConfig(state_, *opened.config, kTemporaryConfigCaption);
  RefreshConfigMenus();
  // The ring was laid out for the configuration before.
  state_.acq.BufferLayoutValid = 0;

  HistoryRecord& h = state_.history;
  TakeOpenedRecord(opened, state_.config, h);
  state_.HistoryFilePath = choice->path;
  state_.acq.BlockTime = h.StartTime;
  AppendRunLog(OpenedRecordLogText(opened.header, platform::PageStampText(h.StartTime)));
  SetOpenedRecordCompression(opened, state_.display);
  ShowHistoryMode();

  RecordState& r = state_.record;
  r.TriggerKind = opened.header.TriggerKind;
  r.TriggerChannel = opened.header.TriggerChannel;
  r.TriggerAlgorithm = opened.header.TriggerAlgorithm;
  if (r.TriggerKind != 0) SetupTriggerPage();
  AnnounceHistory();
}

void TFormMain::ShowHistoryMode() {
  const LiveConfig& c = state_.config;
  const HistoryRecord& h = state_.history;
  menuSelectFault->setChecked(true);
  // The live display goes off first: its texts would otherwise overwrite
  // the history's.
  menuMonitor->setChecked(true);
  menuMonitorClick();
  PointDisplayAtHistory(state_);
  // The points found in the record shown before do not belong to this one.
  state_.foundPoints.TriggerPointCount = 0;
  RebuildDisplayLayout();
  Label_Mark1->setVisible(menuViewTrace->isChecked());
  Label_Mark2->setVisible(menuViewTrace->isChecked());
  menuViewOscilTool->setVisible(false);
  SetRecorderViewItemsVisible(true);
  if (oscilTool_ != nullptr) oscilTool_->hide();
  // The screen starts two points before the trigger row.
  HScrollBar_XPosition->setValue(HistoryScrollPoint(h, c.NumSamp, c.MaxMultiFreq));
  HScrollBar_XPositionChange();  // also when the bar stood there already
  state_.wave.RepaintRequested = 1;
  RequestSecondDispRepaint();
  state_.history.Synced = 0;
}

void TFormMain::AnnounceHistory() {
  const std::string when = platform::PageStampText(state_.history.StartTime);
  SetStatusPanelText(2, "历史");
  PostStatusText("显示历史数据:" + when);
  setWindowTitle(Q(state_.config.WinTitle + "--历史数据:" + when + HistoryTitleSuffix));
}

}  // namespace quelvar
