#pragma once

#include <QDialog>

#include <string>

#include "auxwin/CompositeDef.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The composite definition editor: its grid holds one column per item. The
// panel puts its file name into EditFileName and shows it modally; the
// dialog leaves there the file it last loaded. The grid's rules are in
// CompositeEditor.
class TFormConfComposite : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormConfComposite(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                     QWidget* parent = nullptr);
  ~TFormConfComposite() override;

  QLabel* Label1 = nullptr;
  QComboBox* ComboBoxChnName = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* EditItemNum = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* EditColNum = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* EditFontSize = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* EditCharNum = nullptr;
  StringGrid* GridCompositeDef = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonExit = nullptr;
  QPushButton* ButtonSave = nullptr;
  QPushButton* ButtonLoad = nullptr;
  QPushButton* ButtonDefaultDef = nullptr;
  // The definition file; the panel sets it before showing the dialog.
  std::string EditFileName;

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void FormResize();
  void ButtonSaveClick();
  void ButtonLoadClick();
  void ButtonDefaultDefClick();
  void ButtonOKClick();
  void ButtonExitClick() { reject(); }
  void EditItemNumExit();
  void GridCompositeDefDblClick(int col, int row);
  void GridCompositeDefSetEditText(int col, int row);

  const CompositeDef& EditingCopy() const { return def_; }

  int RunModal() override;
  std::string DialogName() const override { return "FormConfComposite"; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowDefinition();
  void ReadGrid();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  CompositeDef def_;
};

}  // namespace quelvar
