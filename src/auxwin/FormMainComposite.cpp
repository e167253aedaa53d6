#include <QAction>
#include <QMenu>

#include "auxwin/FormComposite.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildCompositeCommands() {
  menuViewComposite = menuView->addAction(QStringLiteral("组合显示面板(&D)"));
  menuViewComposite->setObjectName("menuViewComposite");
  connect(menuViewComposite, &QAction::triggered, this, [this] { menuViewCompositeClick(); });
}

void TFormMain::menuViewCompositeClick() {
  if (compositePanel_ == nullptr) return;
  compositePanel_->show();
  compositePanel_->raise();
}

std::function<void(const uint16_t*)> TFormMain::CompositeSink() {
  if (compositePanel_ == nullptr) return {};
  // Asked at every block: the panel may be shown or hidden meanwhile.
  return [panel = compositePanel_](const uint16_t* block) {
    if (panel->isVisible()) panel->DrawCompositeValues(block);
  };
}

}  // namespace quelvar
