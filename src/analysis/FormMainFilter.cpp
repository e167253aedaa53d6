// The main window's side of the offline filter: its command and the panel's
// hand-over.
#include <QAction>

#include "analysis/FilterPass.h"
#include "analysis/FormFilter.h"
#include "platform/UiHost.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetFilterPanel(TFormFilter* panel) {
  if (filterPanel_ != nullptr) filterPanel_->StatusSink = nullptr;
  filterPanel_ = panel;
  if (panel != nullptr) panel->StatusSink = [this](const std::string& text) { PostStatusText(text); };
  QObject::disconnect(menuDigiFilter, &QAction::triggered, this, nullptr);
  if (panel != nullptr) connect(menuDigiFilter, &QAction::triggered, this, [this] { menuDigiFilterClick(); });
  menuDigiFilter->setEnabled(panel != nullptr);
}

void TFormMain::menuDigiFilterClick() {
  if (filterPanel_ == nullptr) return;
  if (const std::optional<std::string> refusal = FilterCommandRefusal(state_)) {
    PostStatusText(*refusal);
    return;
  }
  services_.ui.ShowModal(*filterPanel_);
}

}  // namespace quelvar
