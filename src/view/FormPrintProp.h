#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "view/PrintSettings.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QResizeEvent;
class QShowEvent;
class QTabWidget;

namespace quelvar::platform {
class PrintTarget;
class RegistryStore;
}  // namespace quelvar::platform

namespace quelvar {

// The print settings dialog: made once at start (reads "\PrintProp"), shown
// by the print command before every print, destroyed at exit (writes them
// back). OK and Cancel both take the edits into the settings; only the
// print command tells them apart. The page model and the preview follow the
// printer the window hands over with SetPrintTarget.
class TFormPrintProp : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormPrintProp(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                 QWidget* parent = nullptr);
  ~TFormPrintProp() override;

  // The printer the page model measures; none: no margin limits, no page.
  void SetPrintTarget(platform::PrintTarget* printer) { printer_ = printer; }
  // What the preview button and its pop-up run after reading the dialog
  // (draws page PreviewPage); without it they are disabled.
  void SetPreviewCommand(std::function<void()> command);
  // The printer-setup dialog the printer button runs (the UiHost's by
  // default); true when confirmed.
  void SetPrinterSetupCommand(std::function<bool()> command) { printerSetup_ = std::move(command); }
  // The width of the scale labels in a printed picture (picture font at the
  // printer's resolution), for the page model when the scale stands outside
  // the plot; without it the screen-measured picture width stands in.
  void SetPictureLabelWidthSource(std::function<int32_t()> source) { pictureLabelWidth_ = std::move(source); }

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheetContent = nullptr;
  QWidget* TabSheetPage = nullptr;
  QWidget* TabSheetCover = nullptr;
  // Content.
  QLineEdit* EditLineSpace = nullptr;
  QGroupBox* GroupBoxWave = nullptr;
  QCheckBox* CheckBoxWaveColor = nullptr;
  QCheckBox* CheckBoxIncludeInst = nullptr;
  QCheckBox* CheckBoxFixScale = nullptr;
  QLineEdit* EditScaleNum = nullptr;
  QLineEdit* EditLineWidth = nullptr;
  QLabel* LabelWavePage = nullptr;
  QLineEdit* EditWavePage = nullptr;
  QLabel* LabelPerPoint = nullptr;
  QLineEdit* EditPerPoint = nullptr;
  QLabel* LabelPoints = nullptr;
  QLineEdit* EditPerTime = nullptr;
  QLabel* LabelPerTime = nullptr;
  QLabel* LabelPageWidth = nullptr;
  QLabel* LabelActualPages = nullptr;
  QLabel* LabelNumSamp = nullptr;
  // Page.
  QLabel* LabelPrinterName = nullptr;
  QPushButton* ButtonPrinterProperty = nullptr;
  QPushButton* ButtonSelectFont = nullptr;
  QPushButton* ButtonWMFFont = nullptr;
  QLineEdit* EditPageSpaceUp = nullptr;
  QLineEdit* EditPageSpaceBottom = nullptr;
  QLineEdit* EditPageSpaceLeft = nullptr;
  QLineEdit* EditPageSpaceRight = nullptr;
  QLineEdit* EditPageHeader = nullptr;
  QCheckBox* CheckBoxDate = nullptr;
  QLineEdit* EditPageFooter = nullptr;
  QCheckBox* CheckBoxPageNo = nullptr;
  // Cover.
  QCheckBox* CheckBoxAutoCover = nullptr;
  QPushButton* ButtonSpecialPrint = nullptr;
  QPushButton* ButtonSelectTextFile = nullptr;
  QLabel* LabelTextFile = nullptr;
  QPushButton* ButtonCreateTextFile = nullptr;
  QPushButton* ButtonSelectProgram = nullptr;
  QLabel* LabelProgFile = nullptr;
  QPushButton* ButtonSelectDataFile = nullptr;
  QLabel* LabelDataFile = nullptr;
  // Buttons and the preview's pop-up menu.
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonPreview = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* menuPreviewScale = nullptr;
  QAction* menuPreviewPrevPage = nullptr;
  QAction* menuPreviewNextPage = nullptr;
  QAction* menuPreviewFirstPage = nullptr;
  QAction* menuPreviewLastPage = nullptr;

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void FormResize();
  void ReadSettings();
  void UpdatePageModel();
  void UpdatePreviewHint();

  void ButtonOKClick();
  void ButtonCancelClick();
  void ButtonPreviewClick();
  void menuPreviewPrevPageClick();
  void menuPreviewNextPageClick();
  void menuPreviewFirstPageClick();
  void menuPreviewLastPageClick();
  void menuPreviewScaleClick();
  void CheckBoxFixScaleClick();
  void EditPerPointExit() { UpdatePageModel(); }
  void EditPerTimeExit() { UpdatePageModel(); }
  void EditPageSpaceLeftExit() { UpdatePageModel(); }
  void EditPageSpaceRightExit() { UpdatePageModel(); }
  void EditWavePageExit() { UpdatePageModel(); }
  void EditPerTimeChange() { UpdatePageModel(); }
  void EditPerPointChange() { UpdatePageModel(); }
  void CheckBoxAutoCoverClick();
  void ButtonPrinterPropertyClick();
  void ButtonSelectFontClick();
  void ButtonWMFFontClick();
  void ButtonSelectTextFileClick();
  void ButtonSelectProgramClick();
  void ButtonSelectDataFileClick();
  void ButtonSpecialPrintClick();
  void ButtonCreateTextFileClick();

  void SetEdits(const PrintPropEdits& edits);
  PrintPropEdits Edits() const;

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormPrintProp"; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::optional<PrintPage> Page() const;
  void ShowPrinterName();
  void ChooseFile(QLabel* label, const platform::FileDialogRequest& request);
  void StepPreview(int32_t page);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  platform::PrintTarget* printer_ = nullptr;
  std::function<void()> previewCommand_;
  std::function<bool()> printerSetup_;
  std::function<int32_t()> pictureLabelWidth_;
  bool destroyed_ = false;
};

}  // namespace quelvar
