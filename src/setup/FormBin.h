#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QLabel;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The switch-input dialog: every switch input's settings in a grid, a row per
// input, stored into the live switch table on OK. The channel-group dialog
// sizes and fills the grid before it shows it.
class TFormBin : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormBin(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormBin() override;

  StringGrid* Grid_Binary = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void FormActivate();
  void Grid_BinaryClick();
  void Grid_BinaryDblClick();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ShowRowSummary();

  // Sizes the grid for `count` switch inputs and fills it from the live table;
  // OK keeps the pages below `totalPages` and then makes it the live page
  // count, so the stored pages and the count agree.
  void FillFromTable(int32_t count, int32_t totalPages);
  // The row the summary describes (0 for the first input), kept between
  // openings.
  int32_t SelectedRow() const { return selectedRow_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormBin"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  int32_t selectedRow_ = 0;
  int32_t totalPages_ = 1;
  bool destroyed_ = false;
};

}  // namespace quelvar
