#pragma once

#include <QDialog>

#include "acquisition/ScheduleDialogRules.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The scheduled-saving dialog: up to ten schedules, each a column of the grid.
// Creation loads the schedules from the registry into the live settings,
// OK writes the grid straight into them, destruction stores them again.
class TFormScheduleSave : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormScheduleSave(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormScheduleSave() override;

  QLabel* Label1 = nullptr;
  QLineEdit* EditScheduleNum = nullptr;
  QCheckBox* CheckBoxMaskSchedule = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QLabel* LabelPrompt = nullptr;
  StringGrid* GridSchedule = nullptr;

  void FormCreate();
  void FillScheduleGrid();
  void FormShow();
  void EditScheduleNumExit();
  void GridScheduleDblClick();
  void GridScheduleClick() { RefreshPrompt(); }
  void GridScheduleEnter() { RefreshPrompt(); }
  void GridScheduleExit() { RefreshPrompt(); }
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void FormResize();
  void FormDestroy();

  // Columns in use: the title column and one per schedule up to the count.
  // Columns beyond it are hidden and keep their texts.
  int ColCount() const { return colCount_; }
  // The grid's cells in (row, column) order; writes show at once.
  std::string Cell(int row, int column) const;
  void SetCell(int row, int column, const std::string& text);

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormScheduleSave"; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ScheduleColumn ReadColumn(int column) const;
  void SetColCount(int count);
  void RefreshPrompt();

  AppState& state_;
  platform::RegistryStore& registry_;
  int colCount_ = kScheduleGridColumns;
  bool destroyed_ = false;
};

}  // namespace quelvar
