#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "view/PictureOptions.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The picture options dialog, shown before a graph is copied as a picture.
// One instance serves every window that copies pictures; the opener fills
// the controls (FillFromOptions), sets Caller and the caption, and copies
// the picture only on OK. The options live in LiveConfig; the user size only
// in the two edits (and UserSize, read from them).
class TFormGraphType : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormGraphType(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormGraphType() override;

  QRadioButton* RadioButtonMetafile = nullptr;
  QRadioButton* RadioButtonBitmap = nullptr;
  QGroupBox* GroupBox2 = nullptr;  // size
  QRadioButton* RadioButtonScreen = nullptr;
  QRadioButton* RadioButtonPrinterPage = nullptr;
  QRadioButton* RadioButtonUserSize = nullptr;
  QLineEdit* EditWidth = nullptr;
  QLineEdit* EditHeight = nullptr;
  QGroupBox* GroupBox3 = nullptr;  // colour
  QRadioButton* RadioButtonColor = nullptr;
  QRadioButton* RadioButtonMonochrome = nullptr;
  QLineEdit* EditScaleNum = nullptr;
  QLineEdit* EditLineWidth = nullptr;
  QCheckBox* CheckBoxBG = nullptr;
  QCheckBox* CheckBoxIncludeInst = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonPreview = nullptr;
  QPushButton* ButtonWMFFont = nullptr;

  // 0 main window, 1 analysis-result display, 2 built-in FFT window, 3 X-Y
  // window: whose picture the preview draws.
  int32_t Caller = 0;
  // PictureWidth and PictureHeight as last read from the edits.
  PictureSize UserSize;

  void FormCreate();
  void FormDestroy();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void RadioButtonBitmapClick();
  void RadioButtonMetafileClick();
  void RadioButtonScreenClick() {}
  void RadioButtonPrinterPageClick();
  void ButtonPreviewClick();
  void ButtonWMFFontClick();
  // The options from the controls (OK and preview).
  void ReadOptions();
  // The controls from the options, for the opening command.
  void FillFromOptions();

  // The preview of caller n: draws the caller's picture into the shared
  // picture and stretches it over the caller's paint box. A caller without
  // one previews nothing.
  void SetCallerPreview(int32_t caller, std::function<void()> preview);
  // The printer page's size in printer pixels, for the printer-page button.
  void SetPrinterPageSize(std::function<PictureSize()> pageSize) { printerPageSize_ = std::move(pageSize); }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormGraphType"; }

 private:
  PictureOptionFields Fields() const;
  void ShowFields(const PictureOptionFields& fields);
  // Size and colour groups and the trace width serve only the metafile.
  void EnableForKind();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  std::array<std::function<void()>, 4> previews_;
  std::function<PictureSize()> printerPageSize_;
  bool destroyed_ = false;
};

}  // namespace quelvar
