#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "auxwin/PageEditor.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The universal page dialog. A waveform window puts its page into the
// scratch record state.UniversalPage and shows the dialog modally; OK
// writes the edited page back there, Cancel leaves it. The two lists are
// kept by a UniversalPageEditor; the handlers copy the widgets into it, run
// its rule and show the result.
class TFormPage : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormPage(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormPage() override;

  QLabel* Label1 = nullptr;
  QLineEdit* EditAnalogNum = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* EditBinNum = nullptr;
  QTableWidget* GridAnalog = nullptr;
  QTableWidget* GridBin = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* ComboBoxAnalog = nullptr;
  QLabel* LabelBinary = nullptr;
  QComboBox* ComboBoxBinary = nullptr;
  QLabel* Label4 = nullptr;
  QComboBox* ComboBoxRecentFile = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonRestore = nullptr;
  QPushButton* ButtonSave = nullptr;
  QPushButton* ButtonRead = nullptr;
  QPushButton* ButtonAlgorithm = nullptr;
  QMenu* PopupMenuAnalog = nullptr;
  QMenu* PopupMenuBin = nullptr;
  QAction* menuIncChn = nullptr;
  QAction* menuIncBinChn = nullptr;

  // The trigger-algorithm picker: shows it modally with the current number
  // and gives the number text it closed on with OK, nothing otherwise.
  // Until one is set the algorithm button stays disabled.
  using AlgorithmChooser = std::function<std::optional<std::string>()>;
  void SetAlgorithmChooser(AlgorithmChooser chooser);

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormResize();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ButtonRestoreClick();
  void EditAnalogNumExit();
  void EditBinNumExit();
  // A cell was edited, or the list was left: that list's grid check.
  void GridAnalogSetEditText();
  void GridBinSetEditText();
  void GridAnalogExit() { GridAnalogSetEditText(); }
  void GridBinExit() { GridBinSetEditText(); }
  void CheckAnalogGrid();
  void CheckBinGrid();
  void ButtonSaveClick();
  void ButtonReadClick();
  void ComboBoxRecentFileDblClick();
  void ButtonAlgorithmClick();
  void menuIncChnClick();
  void menuIncBinChnClick();

  // The recent page files, oldest first.
  std::vector<std::string> RecentFiles() const;
  // A cell's text (row 0 is the heading row).
  std::string Cell(const QTableWidget* grid, int row, int column) const;

  int RunModal() override;
  std::string DialogName() const override { return "FormPage"; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The widgets into the editor, and the editor back into the widgets.
  void ReadLists();
  void ShowLists();
  void ShowList(QTableWidget* grid, const std::vector<std::string>& cells, int firstPosition, bool analog);
  // The read rule on a file; true when it was a page file.
  bool ReadPageFileNamed(const std::string& path);
  void AddRecentFile(const std::string& path);
  platform::FileDialogRequest FileRequest(const char* title) const;

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  UniversalPageEditor editor_;
  AlgorithmChooser algorithmChooser_;
  bool filling_ = false;  // the grids are being filled, not edited
  bool destroyed_ = false;
};

}  // namespace quelvar
