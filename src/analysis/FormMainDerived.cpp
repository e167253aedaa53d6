// The main window's side of derived data sets: the command, which builds
// the set from the dialog's definitions and puts it on show, and the
// dialog's hand-over.
#include <QAction>

#include "analysis/DerivedSetCommand.h"
#include "analysis/FormDigiIntegrate.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetDigiIntegrateDialog(TFormDigiIntegrate* dialog) {
  digiIntegrateDialog_ = dialog;
  QObject::disconnect(menuDigiIntegrate, &QAction::triggered, this, nullptr);
  if (dialog != nullptr) {
    connect(menuDigiIntegrate, &QAction::triggered, this, [this] { menuDigiIntegrateClick(); });
  }
  menuDigiIntegrate->setEnabled(dialog != nullptr);
}

void TFormMain::menuDigiIntegrateClick() {
  if (digiIntegrateDialog_ == nullptr) return;
  if (const std::optional<std::string> refusal = DerivedCommandRefusal(state_, menuSelectFault->isChecked())) {
    PostStatusText(*refusal);
    return;
  }
  if (services_.ui.ShowModal(*digiIntegrateDialog_) != platform::kModalOk) return;

  // The set is built whole before anything of the shown record changes.
  DerivedSet set;
  if (const std::optional<std::string> refusal =
          BuildShownDerivedSet(state_, digiIntegrateDialog_->DerivedChannelDefs, set)) {
    PostStatusText(*refusal);
    return;
  }
  PutDerivedSetInForce(state_, std::move(set), ShownDerivedSpan(state_));
  RefreshConfigMenus();
  RebuildDisplayLayout();
  menuScopeAllClick();
  XZoomPresetClick(1);  // the whole data on one screen
  state_.wave.RepaintRequested = 1;
  setWindowTitle(Q(state_.config.WinTitle + std::string(kDerivedTitleSuffix)));
}

}  // namespace quelvar
