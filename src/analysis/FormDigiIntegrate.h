#pragma once

#include <QDialog>

#include <vector>

#include "analysis/DerivedChannels.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The definition dialog of derived data sets: every time it opens, each
// analog channel of the shown record gets its default definition with the
// proposed divisors; "确认" reads the grid back into the definitions.
class TFormDigiIntegrate : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormDigiIntegrate(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormDigiIntegrate() override;

  StringGrid* GridDIDef = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  // One per analog channel of the shown record, from one activation to the
  // build that follows.
  std::vector<DerivedChannelDef> DerivedChannelDefs;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormResize();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void GridDIDefDblClick(int col, int row);

  int RunModal() override;
  std::string DialogName() const override { return "FormDigiIntegrate"; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
