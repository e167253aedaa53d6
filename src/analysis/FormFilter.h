#pragma once

#include <QDialog>
#include <QImage>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "analysis/FilterSettings.h"
#include "analysis/OfflineFilter.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class PaintBox;

// The offline filter panel: shown modally by the main window's command,
// "滤波" filters the shown data in place and leaves the panel open, "退出"
// closes it. Its values live in "\FilterSetting" (FilterSettings); the
// passes are FilterPass's.
class TFormFilter : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormFilter(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormFilter() override;

  QTabWidget* PageControl = nullptr;
  QWidget* TabSheetOverallProp = nullptr;
  QWidget* TabSheetLowPass = nullptr;
  QWidget* TabSheetResp = nullptr;
  // "滤波器总属性"
  QGroupBox* GroupBoxType = nullptr;
  std::array<QRadioButton*, kFilterTypeCount> RadioButtonType{};
  QGroupBox* GroupBoxChn = nullptr;
  std::array<QRadioButton*, 3> RadioButtonChn{};
  QLineEdit* EditFilterChn = nullptr;
  QCheckBox* CheckBoxSaveTo = nullptr;
  QLineEdit* EditSaveChn = nullptr;
  QGroupBox* GroupBoxTime = nullptr;
  std::array<QRadioButton*, 3> RadioButtonTime{};
  // "低通滤波器"
  QLabel* LabelLowPassFrq = nullptr;
  QLineEdit* EditLowPassFrq = nullptr;
  QLabel* LabelSampFreq = nullptr;
  QLabel* LabelLowPassOrder = nullptr;
  QLineEdit* EditLowPassOrder = nullptr;
  QGroupBox* GroupBoxLowPassType = nullptr;
  std::array<QRadioButton*, 2> RadioButtonLowPassType{};
  QGroupBox* GroupBoxWindowType = nullptr;
  std::array<QRadioButton*, 5> RadioButtonWindow{};
  QGroupBox* GroupBoxIIR = nullptr;
  QLabel* LabelFormula = nullptr;
  QLabel* LabelCoeA = nullptr;
  QLineEdit* EditCoeA = nullptr;
  QCheckBox* CheckBoxIntegerOP = nullptr;
  // "滤波器效果"
  QLabel* LabelResp = nullptr;
  PaintBox* ImageHf = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  FilterSetting Setting;
  // The design the response shows and the last FIR pass used (none when
  // the order or cut-off gives no filter).
  std::optional<FirDesign> FirCoefficients;
  // What ImageHf shows, always its size.
  QImage ResponseImage;
  // Where a refused pass says why: the main window's status bar once the
  // panel is handed over.
  std::function<void(const std::string&)> StatusSink;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void FilterTypeClick(int32_t type);
  void FilterChnTypeClick(int32_t type);
  void FilterTimeTypeClick(int32_t type);
  void LowPassTypeClick(int32_t type);
  void WindowTypeClick(int32_t type);
  void EditLowPassFrqChange();
  void EditLowPassOrderChange();
  void EditCoeAChange();
  void EditFilterChnExit();
  void EditSaveChnExit();
  void TabSheetLowPassShow();
  void TabSheetRespShow();
  // Reads and writes back the order and cut-off, designs the FIR and draws
  // its response.
  void DesignFirLowPass();

  int RunModal() override;
  std::string DialogName() const override { return "FormFilter"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowPages();
  void ChannelExit(QLineEdit* edit);
  int32_t AnalogNum() const;

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  bool destroyed_ = false;
};

}  // namespace quelvar
