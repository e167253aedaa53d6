// The main window's channel scopes, the analog/switch view, the phases'
// axes, the channel scroll bar and the universal page with its five slots.
// The scope items mirror state_.wave.Options.Scope; only the commands here
// (and the trigger page) change it.
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>

#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "auxwin/FormPage.h"
#include "platform/UiHost.h"
#include "setup/FormSelAlgorithm.h"
#include "shell/FormMain.h"
#include "view/ChannelScopes.h"
#include "view/DisplayLayout.h"
#include "view/WaveRows.h"

namespace quelvar {

namespace {

// DataSourceMode of the two-trace oscilloscope, where the universal page
// commands do nothing.
constexpr int32_t kOscilloscopeSource = 2;

// Passes the channel scroll bar's key presses to its handler.
class ChannelBarKeys : public QObject {
 public:
  ChannelBarKeys(TFormMain& form) : QObject(&form), form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) form_.VScrollBar_ChannelKeyDown(static_cast<QKeyEvent*>(event)->key());
    return QObject::eventFilter(watched, event);
  }

 private:
  TFormMain& form_;
};

}  // namespace

void TFormMain::BuildScopeMenus() {
  QAction* const scopeItems[] = {menuScopeChannel, menuScopeLine, menuScope4,       menuScope8,
                                 menuScope16,      menuScopeAll,  menuScopeOverall, menuScopePage};
  void (TFormMain::*const scopeHandlers[])() = {
      &TFormMain::menuScopeChannelClick, &TFormMain::menuScopeLineClick, &TFormMain::menuScope4Click,
      &TFormMain::menuScope8Click,       &TFormMain::menuScope16Click,   &TFormMain::menuScopeAllClick,
      &TFormMain::menuScopeOverallClick, &TFormMain::menuScopePageClick};
  for (size_t i = 0; i < std::size(scopeItems); ++i) {
    connect(scopeItems[i], &QAction::triggered, this, [this, handler = scopeHandlers[i]] {
      // The group has moved the check mark already; it goes back to the
      // recorded scope, and the command decides.
      MirrorScopeItems();
      (this->*handler)();
    });
  }
  // Radio pairs without a group: the click's own toggle is undone first.
  const std::pair<QAction*, void (TFormMain::*)()> pairs[] = {
      {menuViewAnalog, &TFormMain::menuViewAnalogClick},
      {menuViewSwitch, &TFormMain::menuViewSwitchClick},
      {menuPhaseSingle, &TFormMain::menuPhaseSingleClick},
      {menuPhaseMultiple, &TFormMain::menuPhaseMultipleClick}};
  for (const auto& [item, handler] : pairs) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  }
  connect(menuScopeVPage, &QAction::triggered, this, [this] { menuScopeVPageClick(); });
  connect(ToolButtonVPage, &QAction::triggered, this, [this] { menuScopeVPageClick(); });
  const std::pair<QAction*, int32_t> pageSlotItems[] = {
      {menuVPage1, 0}, {menuVPage2, 1}, {menuVPage3, 2}, {menuVPage4, 3}, {menuVPage5, 4}};
  for (const auto& [item, slot] : pageSlotItems) {
    connect(item, &QAction::triggered, this, [this, slot] { UniversalPageSlotClick(slot); });
  }

  // The waveform pop-up's twins (none for one line or analog + switch).
  QMenu* twins = PopupMenuBackGroud->addMenu(QStringLiteral("显示通道选择"));
  twins->setObjectName("PopupMenuScope");
  const std::tuple<QAction*&, const char*, const char*, void (TFormMain::*)()> twinItems[] = {
      {menuScope1P, "menuScope1P", "显示单通道", &TFormMain::menuScope1PClick},
      {menuScope4P, "menuScope4P", "显示四通道", &TFormMain::menuScope4PClick},
      {menuScope8P, "menuScope8P", "显示八通道", &TFormMain::menuScope8PClick},
      {menuScope16P, "menuScope16P", "显示十六通道", &TFormMain::menuScope16PClick},
      {menuScopeAllP, "menuScopeAllP", "显示全部通道", &TFormMain::menuScopeAllPClick},
      {menuScopePageP, "menuScopePageP", "按预定页显示", &TFormMain::menuScopePagePClick},
      {menuScopeVPageP, "menuScopeVPageP", "万能页显示", &TFormMain::menuScopeVPagePClick}};
  for (const auto& [item, name, caption, handler] : twinItems) {
    item = AddItem(twins, name, caption);
    connect(item, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  }

  connect(VScrollBar_Channel, &QScrollBar::valueChanged, this, [this] { VScrollBar_ChannelChange(); });
  VScrollBar_Channel->installEventFilter(new ChannelBarKeys(*this));
}

void TFormMain::MirrorScopeItems() {
  QAction* const items[] = {menuScopeChannel, menuScopeLine, menuScope4,       menuScope8,
                            menuScope16,      menuScopeAll,  menuScopeOverall, menuScopePage};
  const auto scope = static_cast<size_t>(state_.wave.Options.Scope);
  for (size_t i = 0; i < std::size(items); ++i) items[i]->setChecked(i == scope);
}

void TFormMain::CheckScope(ChannelScope scope) {
  state_.wave.Options.Scope = scope;
  MirrorScopeItems();
}

void TFormMain::SelectScope(ChannelScope scope, bool refusedInSwitchView) {
  if (state_.wave.Options.Scope == scope) return;
  if (refusedInSwitchView && state_.wave.Options.ViewSwitch) return;
  CheckScope(scope);
  UpdateChannelScrollRange();
  if (state_.display.DispValid == 1 && menuViewWave->isChecked()) state_.wave.RepaintRequested = 1;
}

void TFormMain::menuScopeChannelClick() { SelectScope(ChannelScope::Channel, false); }
void TFormMain::menuScopeLineClick() { SelectScope(ChannelScope::Line, false); }
void TFormMain::menuScope4Click() { SelectScope(ChannelScope::Four, false); }
void TFormMain::menuScope8Click() { SelectScope(ChannelScope::Eight, false); }
void TFormMain::menuScope16Click() { SelectScope(ChannelScope::Sixteen, false); }
void TFormMain::menuScopeAllClick() { SelectScope(ChannelScope::All, false); }
void TFormMain::menuScopeOverallClick() { SelectScope(ChannelScope::Overall, true); }
void TFormMain::menuScopePageClick() { SelectScope(ChannelScope::Page, true); }

void TFormMain::menuPhaseSingleClick() {
  if (!state_.wave.Options.PhaseMultiple) return;
  SetViewOption(&ViewOptions::PhaseMultiple, false);
  menuPhaseSingle->setChecked(true);
  UpdateChannelScrollRange();
  if (state_.display.DispValid == 1 && menuViewAnalog->isChecked() && menuViewWave->isChecked()) {
    state_.wave.RepaintRequested = 1;
  }
}

void TFormMain::menuPhaseMultipleClick() {
  if (state_.wave.Options.PhaseMultiple) return;
  SetViewOption(&ViewOptions::PhaseMultiple, true);
  menuPhaseSingle->setChecked(false);
  UpdateChannelScrollRange();
  if (state_.display.DispValid == 1 && menuViewAnalog->isChecked() && menuViewWave->isChecked()) {
    state_.wave.RepaintRequested = 1;
  }
}

void TFormMain::menuViewAnalogClick() {
  if (!state_.wave.Options.ViewSwitch) return;
  SetViewOption(&ViewOptions::ViewSwitch, false);
  menuViewAnalog->setChecked(true);
  UpdateChannelScrollRange();
  if (state_.display.DispValid == 1 && menuViewWave->isChecked()) state_.wave.RepaintRequested = 1;
}

void TFormMain::menuViewSwitchClick() {
  if (state_.config.SW_Num <= 0) {
    PostStatusText("提示：无开关量。");
    return;
  }
  if (state_.wave.Options.ViewSwitch) return;
  SetViewOption(&ViewOptions::ViewSwitch, true);
  menuViewAnalog->setChecked(false);
  UpdateChannelScrollRange();
  if (state_.display.DispValid == 1 && menuViewWave->isChecked()) state_.wave.RepaintRequested = 1;
  // Those two scopes show analog rows; the switch inputs are shown all.
  const ChannelScope scope = state_.wave.Options.Scope;
  if (scope == ChannelScope::Overall || scope == ChannelScope::Page) menuScopeAllClick();
}

int32_t TFormMain::LineOfChannel(int32_t channel) const { return quelvar::LineOfChannel(state_.config, channel); }

void TFormMain::VScrollBar_ChannelChange() {
  WaveViewState& v = state_.wave;
  if (state_.display.DispValid == 0) return;
  const ChannelScrollStart start =
      ScrolledChannelStart(state_.config, v.Options, VScrollBar_Channel->value(), VScrollBar_Channel->maximum());
  v.CurrentLine = start.CurrentLine;
  if (start.BegDispChannel == v.BegDispChannel) return;
  v.BegDispChannel = start.BegDispChannel;
  if (v.ViewMode == 0) v.RepaintRequested = 1;
}

void TFormMain::VScrollBar_ChannelKeyDown(int key) {
  constexpr int kDigit0 = 48, kDigit9 = 57;
  if (key < kDigit0 || key > kDigit9) return;
  {
    const QSignalBlocker quiet(VScrollBar_Channel);
    VScrollBar_Channel->setValue(key - kDigit0);
  }
  VScrollBar_ChannelChange();
}

TFormPage* TFormMain::PageDialog() {
  if (pageDialog_ == nullptr) {
    pageDialog_ = new TFormPage(state_, services_.registry, services_.ui, this);
    // The page dialog fills its lists from the algorithm the picker names.
    pageDialog_->SetAlgorithmChooser([this]() -> std::optional<std::string> {
      TFormSelAlgorithm& picker = SelAlgorithmDialog();
      if (services_.ui.ShowModal(picker) != platform::kModalOk) return std::nullopt;
      return picker.EditAlgorithmNo->text().toStdString();
    });
  }
  return pageDialog_;
}

void TFormMain::menuScopeVPageClick() {
  if (state_.display.DataSourceMode == kOscilloscopeSource || state_.display.DispValid == 0) return;
  CopyUniversalPageToScratch(state_.pages, state_.UniversalPage);
  if (services_.ui.ShowModal(*PageDialog()) != platform::kModalOk) return;
  if (menuViewSwitch->isChecked()) menuViewAnalogClick();
  TakeUniversalPageFromScratch(state_.UniversalPage, state_.pages);
  FillUniversalPage(state_.pages, state_.config, state_.wave.PageLayout);
  SelectUniversalPage();
}

int TFormMain::SelectUniversalPage() {
  if (state_.display.DataSourceMode == kOscilloscopeSource || state_.display.DispValid == 0) return 0;
  // The switch view has no pages: its scroll range would cut the page number.
  if (menuViewSwitch->isChecked()) menuViewAnalogClick();
  CheckScope(ChannelScope::Page);
  UpdateChannelScrollRange();
  {
    const QSignalBlocker quiet(VScrollBar_Channel);
    VScrollBar_Channel->setValue(state_.config.TotalPages);
  }
  VScrollBar_ChannelChange();
  if (state_.display.DispValid == 1 && menuViewWave->isChecked()) state_.wave.RepaintRequested = 1;
  return 1;
}

void TFormMain::UniversalPageSlotClick(int32_t slot) {
  const int32_t old = state_.pages.VPageNum;
  state_.pages.VPageNum = slot;
  QAction* const items[] = {menuVPage1, menuVPage2, menuVPage3, menuVPage4, menuVPage5};
  for (int32_t k = 0; k < kStoredUniversalPages; ++k) items[k]->setChecked(k == slot);
  SwitchUniversalPageSlot(old, slot);
}

void TFormMain::SwitchUniversalPageSlot(int32_t oldSlot, int32_t newSlot) {
  quelvar::SwitchUniversalPageSlot(state_.pages, oldSlot, newSlot);
  FillUniversalPage(state_.pages, state_.config, state_.wave.PageLayout);
  SelectUniversalPage();
  state_.wave.RepaintRequested = 1;
}

}  // namespace quelvar
