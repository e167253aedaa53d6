#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "view/Palette.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The colour-and-font dialog. It edits a working copy of the palette that
// its opener fills; OK puts the copy in force, Cancel drops it. The two font
// buttons change the live fonts at once, outside the working copy.
class TFormColor : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormColor(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormColor() override;

  QLineEdit* EditColorNum = nullptr;
  QTableWidget* Grid_Color = nullptr;
  QLabel* LabelColorNo = nullptr;
  QLabel* LabelColor = nullptr;   // black-background colour of the slot
  QLabel* LabelColor1 = nullptr;  // white-background colour of the slot
  QLabel* LabelChn = nullptr;
  QLabel* LabelNote = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonRestore = nullptr;
  QPushButton* ButtonScreenFont = nullptr;
  QPushButton* ButtonPrinterFont = nullptr;

  // The working copy, filled by the opener before each showing.
  int32_t WorkColorNum = kMinColorNum;
  PaletteRows WorkColorPalette{};
  // The slot of the detail line; kept between openings.
  int SelectedColorSlot = 0;

  void FormCreate();
  void FormShow();
  void FormResize();
  void FormDestroy();
  void ShowPalette();
  void ShowSlot();
  void Grid_ColorClick();
  // A cell's text was edited.
  void Grid_ColorSetEditText(int column, int row, const std::string& text);
  void LabelColorDblClick();
  void LabelColor1DblClick();
  void EditColorNumExit();
  void ButtonRestoreClick();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ButtonScreenFontClick();
  void ButtonPrinterFontClick();

  std::string Cell(int row, int column) const;

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormColor"; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseSlotColor(int row, QLabel* label, int column);
  void SetCell(int row, int column, const std::string& text);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  bool filling_ = false;  // the grid is being filled, not edited
  bool destroyed_ = false;
};

}  // namespace quelvar
