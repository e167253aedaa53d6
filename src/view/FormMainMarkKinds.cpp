// The marks' value kinds: the labels' pop-up menus, the kind handlers with
// their parameter prompts and dialogs, the start-up's restore of the stored
// kinds, and the command that makes a mark's instant the time origin.
#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <span>

#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "setup/AnalogSpeedSettings.h"
#include "setup/DialogNumbers.h"
#include "setup/FormAnalSpeedConf.h"
#include "setup/FormSelAlgorithm.h"
#include "shell/FormMain.h"
#include "view/MarkKindRules.h"
#include "view/MarkValues.h"

namespace quelvar {

namespace {

// A kind of one mark: its item and its handler.
struct KindEntry {
  int32_t kind;
  QAction* TFormMain::*item;
  void (TFormMain::*handler)();
};

// In menu order.
constexpr KindEntry kMark1Kinds[] = {
    {kMarkInstant, &TFormMain::menuMarkInst1, &TFormMain::menuMarkInst1Click},
    {kMarkHexCode, &TFormMain::menuMarkHexAD1, &TFormMain::menuMarkHexAD1Click},
    {kMarkMean, &TFormMain::menuMarkAvg1, &TFormMain::menuMarkAvg1Click},
    {kMarkRms, &TFormMain::menuMarkEffective1, &TFormMain::menuMarkEffective1Click},
    {kMarkPhase, &TFormMain::menuMarkPhase1, &TFormMain::menuMarkPhase1Click},
    {kMarkFrequency1, &TFormMain::menuMark1PerFrq1, &TFormMain::menuMark1PerFrq1Click},
    {kMarkFrequency2, &TFormMain::menuMark2PerFrq1, &TFormMain::menuMark2PerFrq1Click},
    {kMarkFrequency4, &TFormMain::menuMark4PerFrq1, &TFormMain::menuMark4PerFrq1Click},
    {kMarkSpeed, &TFormMain::menuMarkAnalSpeed1, &TFormMain::menuMarkAnalSpeed1Click},
    {kMarkSumBetween, &TFormMain::menuMarkRangeSum1, &TFormMain::menuMarkRangeSum1Click},
    {kMarkMeanBetween, &TFormMain::menuMarkRangeAvg1, &TFormMain::menuMarkRangeAvg1Click},
    {kMarkIncrement, &TFormMain::menuMarkIncN1, &TFormMain::menuMarkIncN1Click},
    {kMarkHarmonic, &TFormMain::menuMarkHarmonicsN1, &TFormMain::menuMarkHarmonicsN1Click},
    {kMarkAlgorithmList, &TFormMain::menuMarkAlgorithmList1, &TFormMain::menuMarkAlgorithmList1Click},
    {kMarkAlgorithmValue, &TFormMain::menuMarkAlgorithmValue1, &TFormMain::menuMarkAlgorithmValue1Click},
};

constexpr KindEntry kMark2Kinds[] = {
    {kMarkInstant, &TFormMain::menuMarkInst2, &TFormMain::menuMarkInst2Click},
    {kMarkHexCode, &TFormMain::menuMarkHexAD2, &TFormMain::menuMarkHexAD2Click},
    {kMarkMean, &TFormMain::menuMarkAvg2, &TFormMain::menuMarkAvg2Click},
    {kMarkRms, &TFormMain::menuMarkEffective2, &TFormMain::menuMarkEffective2Click},
    {kMarkPhase, &TFormMain::menuMarkPhase2, &TFormMain::menuMarkPhase2Click},
    {kMarkFrequency1, &TFormMain::menuMark1PerFrq2, &TFormMain::menuMark1PerFrq2Click},
    {kMarkFrequency2, &TFormMain::menuMark2PerFrq2, &TFormMain::menuMark2PerFrq2Click},
    {kMarkFrequency4, &TFormMain::menuMark4PerFrq2, &TFormMain::menuMark4PerFrq2Click},
    {kMarkSpeed, &TFormMain::menuMarkAnalSpeed2, &TFormMain::menuMarkAnalSpeed2Click},
    {kMarkSumBetween, &TFormMain::menuMarkRangeSum2, &TFormMain::menuMarkRangeSum2Click},
    {kMarkMeanBetween, &TFormMain::menuMarkRangeAvg2, &TFormMain::menuMarkRangeAvg2Click},
    {kMarkRate, &TFormMain::menuMarkRatio2, &TFormMain::menuMarkRatio2Click},
    {kMarkRelativeRate, &TFormMain::menuMarkRatioR2, &TFormMain::menuMarkRatioR2Click},
    {kMarkPeriod, &TFormMain::menuMarkPeriod2, &TFormMain::menuMarkPeriod2Click},
    {kMarkIncrement, &TFormMain::menuMarkIncN2, &TFormMain::menuMarkIncN2Click},
    {kMarkHarmonic, &TFormMain::menuMarkHarmonicsN2, &TFormMain::menuMarkHarmonicsN2Click},
    {kMarkAlgorithmList, &TFormMain::menuMarkAlgorithmList2, &TFormMain::menuMarkAlgorithmList2Click},
    {kMarkAlgorithmValue, &TFormMain::menuMarkAlgorithmValue2, &TFormMain::menuMarkAlgorithmValue2Click},
};

// Mark 1's kinds up to the separator; mark 2 has the same first ones.
constexpr int kCommonKinds = 11;

std::span<const KindEntry> KindsOf(int mark) {
  if (mark == 1) return kMark1Kinds;
  return kMark2Kinds;
}

const KindEntry* FindKind(int mark, int32_t kind) {
  for (const KindEntry& e : KindsOf(mark)) {
    if (e.kind == kind) return &e;
  }
  return nullptr;
}

// Where the background menu opens a label's menu: just inside the label.
constexpr int kKindMenuOffsetX = 20;
constexpr int kKindMenuOffsetY = 15;

}  // namespace

void TFormMain::BuildMarkKindMenus() {
  Label_Mark1->setToolTip(QStringLiteral("右键改变属性"));
  Label_Mark2->setToolTip(QStringLiteral("右键改变属性"));
  PopupMenuMark1 = new QMenu(this);
  PopupMenuMark1->setObjectName("PopupMenuMark1");
  PopupMenuMark2 = new QMenu(this);
  PopupMenuMark2->setObjectName("PopupMenuMark2");
  // A click toggles a checkable item before its handler runs; the handlers
  // set the marks themselves, so that toggle is undone first.
  auto command = [this](QAction* item, void (TFormMain::*handler)()) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  };
  auto addKinds = [&](QMenu* menu, int mark, std::span<const KindEntry> kinds) {
    for (const KindEntry& e : kinds) {
      const MarkKindItem* info = FindMarkKindItem(e.kind);
      QAction*& item = this->*e.item;
      item = AddCheckItem(menu, mark == 1 ? info->name1 : info->name2, info->caption, e.kind == kMarkInstant);
      command(item, e.handler);
    }
  };
  auto separator = [](QMenu* menu, const char* name) {
    QAction* line = menu->addSeparator();
    line->setObjectName(name);
    return line;
  };

  const std::span<const KindEntry> first(kMark1Kinds);
  addKinds(PopupMenuMark1, 1, first.first(kCommonKinds));
  separator(PopupMenuMark1, "N21");
  addKinds(PopupMenuMark1, 1, first.subspan(kCommonKinds));
  menuHarmonicAccurate = AddCheckItem(PopupMenuMark1, "menuHarmonicAccurate", "精确算法校验", false);
  menuHarmonicFourier = AddCheckItem(PopupMenuMark1, "menuHarmonicFourier", "Fourier算法校验", true);
  separator(PopupMenuMark1, "N22");
  PopupMenuMark1->addAction(menuBGTrans);
  menuViewV = AddCheckItem(PopupMenuMark1, "menuViewV", "显示横标线", false);
  command(menuViewV, &TFormMain::menuViewVClick);
  menuMarkTimeOrig1 = AddItem(PopupMenuMark1, "menuMarkTimeOrig1", "当前时刻为时标零点");
  command(menuMarkTimeOrig1, &TFormMain::menuMarkTimeOrig1Click);

  const std::span<const KindEntry> second(kMark2Kinds);
  addKinds(PopupMenuMark2, 2, second.first(kCommonKinds));
  // The mark-2 rates come back only from a stored kind.
  separator(PopupMenuMark2, "N23")->setVisible(false);
  addKinds(PopupMenuMark2, 2, second.subspan(kCommonKinds, 3));
  separator(PopupMenuMark2, "N24");
  addKinds(PopupMenuMark2, 2, second.subspan(kCommonKinds + 3));
  separator(PopupMenuMark2, "N25");
  menuMarkTimeOrig2 = AddItem(PopupMenuMark2, "menuMarkTimeOrig2", "当前时刻为时标零点");
  command(menuMarkTimeOrig2, &TFormMain::menuMarkTimeOrig2Click);

  for (QAction* hidden : {menuMarkIncN1, menuMarkRatio2, menuMarkRatioR2, menuMarkPeriod2, menuMarkIncN2}) {
    hidden->setVisible(false);
  }
}

QAction* TFormMain::MarkKindMenuItem(int mark, int32_t kind) const {
  const KindEntry* e = FindKind(mark, kind);
  return e == nullptr ? nullptr : this->*e->item;
}

void TFormMain::SelectMarkKind(int mark, int32_t kind) {
  WaveViewState& v = state_.wave;
  (mark == 1 ? v.MarkType1 : v.MarkType2) = kind;
  for (const KindEntry& e : KindsOf(mark)) (this->*e.item)->setChecked(e.kind == kind);
  if (ParameterPromptOf(kind, mark)) {
    AskMarkParameter(mark, kind);
  } else if (kind == kMarkAlgorithmValue) {
    AskAlgorithmNumber(mark);
  } else if (kind == kMarkSpeed) {
    AskAnalogSpeed(mark);
  }
  if (state_.display.DispValid == 1) RedrawMarks();
}

void TFormMain::AskMarkParameter(int mark, int32_t kind) {
  const std::optional<MarkParameterPrompt> prompt = ParameterPromptOf(kind, mark);
  int32_t& value = *MarkParameter(state_.wave, kind, mark);
  std::optional<std::string> answer;
  // The start-up's restore only captions what was stored.
  if (state_.startup.StartupPending != 1) {
    answer = services_.ui.InputBox(prompt->caption, prompt->prompt, std::to_string(value));
  }
  value = ParameterAnswer(answer, value, prompt->minimum);
  MarkKindMenuItem(mark, kind)->setText(Q(ParameterCaption(prompt->captionPrefix, value)));
}

TFormSelAlgorithm& TFormMain::SelAlgorithmDialog() {
  if (selAlgorithmDialog_ == nullptr) selAlgorithmDialog_ = new TFormSelAlgorithm(state_, this);
  return *selAlgorithmDialog_;
}

void TFormMain::AskAlgorithmNumber(int mark) {
  int32_t& number = *MarkParameter(state_.wave, kMarkAlgorithmValue, mark);
  if (state_.startup.StartupPending != 1) {
    TFormSelAlgorithm& picker = SelAlgorithmDialog();
    picker.EditAlgorithmNo->setText(QString::number(number));
    if (services_.ui.ShowModal(picker) == platform::kModalOk) {
      number = ParseDialogInteger(picker.EditAlgorithmNo->text().toStdString()).value_or(number);
    }
  }
  number = ClampAlgorithmNumber(number, state_.config.Algorithm_Num);
  MarkKindMenuItem(mark, kMarkAlgorithmValue)->setText(Q(ParameterCaption(kAlgorithmCaptionPrefix, number)));
}

void TFormMain::AskAnalogSpeed(int mark) {
  if (analSpeedDialog_ == nullptr) analSpeedDialog_ = new TFormAnalSpeedConf(state_, services_.registry, this);
  analSpeedDialog_->SetEdits(AnalogSpeedEditsOf(state_.wave, mark));
  // The edits are taken whichever way the dialog closes.
  services_.ui.ShowModal(*analSpeedDialog_);
  ApplyAnalogSpeedEdits(analSpeedDialog_->Edits(), state_.config.VZero, state_.config.ADMax, mark, state_.wave);
}

void TFormMain::RestoreMarkKinds() {
  // Every parameter item shows its stored value, also those of kinds not
  // chosen now.
  for (int mark : {1, 2}) {
    for (int32_t kind : {kMarkHarmonic, kMarkAlgorithmValue, kMarkRate, kMarkRelativeRate, kMarkPeriod,
                         kMarkIncrement}) {
      if (!MarkOffersKind(mark, kind)) continue;
      const int32_t value = *MarkParameter(state_.wave, kind, mark);
      const std::optional<MarkParameterPrompt> prompt = ParameterPromptOf(kind, mark);
      const std::string prefix = prompt ? prompt->captionPrefix : kAlgorithmCaptionPrefix;
      MarkKindMenuItem(mark, kind)->setText(Q(ParameterCaption(prefix, value)));
    }
  }
  for (int mark : {1, 2}) {
    const int32_t stored = mark == 1 ? state_.wave.MarkType1 : state_.wave.MarkType2;
    (this->*FindKind(mark, RestoredMarkKind(mark, stored))->handler)();
  }
}

void TFormMain::menuMarkTimeOrig1Click() {
  MoveTimeOriginToMark(state_.wave, state_.display, state_.config.NumSamp, state_.layout.MaxMultiFreq, 1);
}

void TFormMain::menuMarkTimeOrig2Click() {
  MoveTimeOriginToMark(state_.wave, state_.display, state_.config.NumSamp, state_.layout.MaxMultiFreq, 2);
}

void TFormMain::menuChangeYellowMarkClick() {
  PopupMenuMark1->popup(Label_Mark1->mapToGlobal(QPoint(kKindMenuOffsetX, kKindMenuOffsetY)));
}

void TFormMain::menuChangeRedMarkClick() {
  PopupMenuMark2->popup(Label_Mark2->mapToGlobal(QPoint(kKindMenuOffsetX, kKindMenuOffsetY)));
}

void TFormMain::menuViewVClick() {
  SetViewOption(&ViewOptions::ViewV, !state_.wave.Options.ViewV);
  RedrawMarks();
}

void TFormMain::menuMarkInst1Click() { SelectMarkKind(1, kMarkInstant); }
void TFormMain::menuMarkAvg1Click() { SelectMarkKind(1, kMarkMean); }
void TFormMain::menuMarkEffective1Click() { SelectMarkKind(1, kMarkRms); }
void TFormMain::menuMarkPhase1Click() { SelectMarkKind(1, kMarkPhase); }
void TFormMain::menuMark1PerFrq1Click() { SelectMarkKind(1, kMarkFrequency1); }
void TFormMain::menuMark2PerFrq1Click() { SelectMarkKind(1, kMarkFrequency2); }
void TFormMain::menuMark4PerFrq1Click() { SelectMarkKind(1, kMarkFrequency4); }
void TFormMain::menuMarkHexAD1Click() { SelectMarkKind(1, kMarkHexCode); }
void TFormMain::menuMarkHarmonicsN1Click() { SelectMarkKind(1, kMarkHarmonic); }
void TFormMain::menuMarkAlgorithmList1Click() { SelectMarkKind(1, kMarkAlgorithmList); }
void TFormMain::menuMarkAlgorithmValue1Click() { SelectMarkKind(1, kMarkAlgorithmValue); }
void TFormMain::menuMarkIncN1Click() { SelectMarkKind(1, kMarkIncrement); }
void TFormMain::menuMarkAnalSpeed1Click() { SelectMarkKind(1, kMarkSpeed); }
void TFormMain::menuMarkRangeSum1Click() { SelectMarkKind(1, kMarkSumBetween); }
void TFormMain::menuMarkRangeAvg1Click() { SelectMarkKind(1, kMarkMeanBetween); }
void TFormMain::menuMarkInst2Click() { SelectMarkKind(2, kMarkInstant); }
void TFormMain::menuMarkAvg2Click() { SelectMarkKind(2, kMarkMean); }
void TFormMain::menuMarkEffective2Click() { SelectMarkKind(2, kMarkRms); }
void TFormMain::menuMarkPhase2Click() { SelectMarkKind(2, kMarkPhase); }
void TFormMain::menuMark1PerFrq2Click() { SelectMarkKind(2, kMarkFrequency1); }
void TFormMain::menuMark2PerFrq2Click() { SelectMarkKind(2, kMarkFrequency2); }
void TFormMain::menuMark4PerFrq2Click() { SelectMarkKind(2, kMarkFrequency4); }
void TFormMain::menuMarkHexAD2Click() { SelectMarkKind(2, kMarkHexCode); }
void TFormMain::menuMarkHarmonicsN2Click() { SelectMarkKind(2, kMarkHarmonic); }
void TFormMain::menuMarkAlgorithmList2Click() { SelectMarkKind(2, kMarkAlgorithmList); }
void TFormMain::menuMarkAlgorithmValue2Click() { SelectMarkKind(2, kMarkAlgorithmValue); }
void TFormMain::menuMarkRatio2Click() { SelectMarkKind(2, kMarkRate); }
void TFormMain::menuMarkRatioR2Click() { SelectMarkKind(2, kMarkRelativeRate); }
void TFormMain::menuMarkPeriod2Click() { SelectMarkKind(2, kMarkPeriod); }
void TFormMain::menuMarkIncN2Click() { SelectMarkKind(2, kMarkIncrement); }
void TFormMain::menuMarkAnalSpeed2Click() { SelectMarkKind(2, kMarkSpeed); }
void TFormMain::menuMarkRangeSum2Click() { SelectMarkKind(2, kMarkSumBetween); }
void TFormMain::menuMarkRangeAvg2Click() { SelectMarkKind(2, kMarkMeanBetween); }

}  // namespace quelvar
