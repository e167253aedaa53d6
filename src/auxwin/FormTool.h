#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "auxwin/OscilTool.h"
#include "common/AppState.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QVBoxLayout;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The oscilloscope control panel. Its settings live in AppState::oscilTool,
// read from the registry when the panel is created and written back when it
// is destroyed; the oscilloscope start loads the controls from them. Every
// handler applies the control's rule (auxwin/OscilPanelRules) and, where the
// rule asks, requests a repaint of the main view.
class TFormTool : public QWidget {
  Q_OBJECT
 public:
  TFormTool(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormTool() override;

  QGroupBox* GroupBoxChn1 = nullptr;
  QGroupBox* GroupBoxChn2 = nullptr;
  QCheckBox* CheckBoxUseChn1 = nullptr;
  QCheckBox* CheckBoxUseChn2 = nullptr;
  QLineEdit* EditChn1 = nullptr;
  QLineEdit* EditChn2 = nullptr;
  QSpinBox* UpDownChn1 = nullptr;
  QSpinBox* UpDownChn2 = nullptr;
  QPushButton* ButtonACDC1 = nullptr;
  QPushButton* ButtonACDC2 = nullptr;
  QMenu* PopupMenuACDC1 = nullptr;  // the buttons' context menus
  QMenu* PopupMenuACDC2 = nullptr;
  QAction* menuAC1 = nullptr;
  QAction* menuDC1 = nullptr;
  QAction* menuGND1 = nullptr;
  QAction* menuAutoScale1 = nullptr;
  QAction* menuAC2 = nullptr;
  QAction* menuDC2 = nullptr;
  QAction* menuGND2 = nullptr;
  QAction* menuAutoScale2 = nullptr;
  QPushButton* ButtonNegative1 = nullptr;
  QPushButton* ButtonNegative2 = nullptr;
  QScrollBar* VScrollBarYOffset1 = nullptr;
  QScrollBar* VScrollBarYOffset2 = nullptr;
  QMenu* PopupMenuYOffset1 = nullptr;  // the offset scroll bars' context menus
  QMenu* PopupMenuYOffset2 = nullptr;
  QAction* menu1YOffset0 = nullptr;
  QAction* menu1YOffsetUp1 = nullptr;
  QAction* menu1YOffsetUp2 = nullptr;
  QAction* menu1YOffsetUp4 = nullptr;
  QAction* menu1YOffsetUp8 = nullptr;
  QAction* menu1YOffsetDown1 = nullptr;
  QAction* menu1YOffsetDown2 = nullptr;
  QAction* menu1YOffsetDown4 = nullptr;
  QAction* menu1YOffsetDown8 = nullptr;
  QAction* menu2YOffset0 = nullptr;
  QAction* menu2YOffsetUp1 = nullptr;
  QAction* menu2YOffsetUp2 = nullptr;
  QAction* menu2YOffsetUp4 = nullptr;
  QAction* menu2YOffsetUp8 = nullptr;
  QAction* menu2YOffsetDown1 = nullptr;
  QAction* menu2YOffsetDown2 = nullptr;
  QAction* menu2YOffsetDown4 = nullptr;
  QAction* menu2YOffsetDown8 = nullptr;
  QSpinBox* UpDownYZoom1 = nullptr;  // carries the gain step (EditZoom1's role)
  QSpinBox* UpDownYZoom2 = nullptr;
  QLabel* LabelYZoom1 = nullptr;
  QLabel* LabelYZoom2 = nullptr;
  QGroupBox* GroupBoxFixPhase = nullptr;
  QPushButton* ButtonFixChn = nullptr;
  QPushButton* ButtonFixMode = nullptr;
  QScrollBar* VScrollBarFixVolt = nullptr;
  QLineEdit* EditFixVolt = nullptr;
  QCheckBox* CheckBoxTop = nullptr;
  QLineEdit* Edit_Interval = nullptr;
  QCheckBox* CheckBoxMeasureTime = nullptr;
  QCheckBox* CheckBoxMeasureVolt = nullptr;
  QCheckBox* CheckBoxZoom = nullptr;
  QCheckBox* CheckBoxAdd = nullptr;
  QCheckBox* CheckBoxSub = nullptr;
  // Each enabled once its window is handed over.
  QCheckBox* CheckBoxXY = nullptr;
  QCheckBox* CheckBoxFFT = nullptr;

  // Gives the main window's oscilloscope timer a new period (ms) at once.
  std::function<void(int)> onIntervalChanged;
  // The X-Y window and the main window's command that shows it; null to
  // withdraw them.
  void SetXYDisplay(QWidget* window, std::function<void()> show);
  // The FFT panel and the command that shows it; null to withdraw them.
  void SetFFTPanel(QWidget* panel, std::function<void()> show);

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  // The oscilloscope start: corrects the settings for the configuration in
  // force and shows them in the controls.
  void LoadForOscilloscope();
  // The painter's automatic range of a trace (1 or 2): the gain control shows
  // the settings' step and the offset goes to 0, without a repaint.
  void ShowAutoRange(int trace);
  // The view's colour row changed (0 black, 1 white background).
  void RecolourChannelEdits(int whiteRow);

  void CheckBoxTopClick();
  void Edit_IntervalExit();
  void CheckBoxUseChn1Click();
  void CheckBoxUseChn2Click();
  void EditChn1Change();
  void EditChn2Change();
  void EditChn1Exit();
  void UpDownChn1Changing(int number);
  void UpDownChn2Changing(int number);
  void ButtonACDC1Click();
  void ButtonACDC2Click();
  void menuAC1Click();
  void menuDC1Click();
  void menuGND1Click();
  void menuAutoScale1Click();
  void menuAC2Click();
  void menuDC2Click();
  void menuGND2Click();
  void menuAutoScale2Click();
  void ButtonNegative1Click();
  void ButtonNegative2Click();
  void VScrollBarYOffset1Change();
  void VScrollBarYOffset2Change();
  void menu1YOffset0Click();
  void menu1YOffsetUp1Click();
  void menu1YOffsetUp2Click();
  void menu1YOffsetUp4Click();
  void menu1YOffsetUp8Click();
  void menu1YOffsetDown1Click();
  void menu1YOffsetDown2Click();
  void menu1YOffsetDown4Click();
  void menu1YOffsetDown8Click();
  void menu2YOffset0Click();
  void menu2YOffsetUp1Click();
  void menu2YOffsetUp2Click();
  void menu2YOffsetUp4Click();
  void menu2YOffsetUp8Click();
  void menu2YOffsetDown1Click();
  void menu2YOffsetDown2Click();
  void menu2YOffsetDown4Click();
  void menu2YOffsetDown8Click();
  void EditZoom1Change();
  void EditZoom2Change();
  void ButtonFixChnClick();
  void ButtonFixModeClick();
  void VScrollBarFixVoltChange();
  void EditFixVoltExit();
  void CheckBoxMeasureTimeClick();
  void CheckBoxMeasureVoltClick();
  void CheckBoxZoomClick();
  void CheckBoxAddClick();
  void CheckBoxSubClick();
  void CheckBoxXYClick();
  void CheckBoxFFTClick();

 protected:
  bool event(QEvent* e) override;

 private:
  struct TraceControls {
    QGroupBox* group;
    QCheckBox* use;
    QLineEdit* channel;
    QSpinBox* channelUpDown;
    QPushButton* coupling;
    std::array<QAction*, 4> couplingItems;
    QPushButton* sign;
    QScrollBar* offset;
    QSpinBox* zoomUpDown;
    QLabel* zoomLabel;
  };
  TraceControls Trace(int trace) const;  // 1 or 2
  void BuildTrace(int trace, QVBoxLayout* layout);
  void LoadTrace(int trace, const OscilTraceView& v, int32_t channelMax);
  void TraceUseClick(int trace);
  void ChannelChange(int trace, bool exiting);
  void ChannelStep(int trace, int number);
  void CouplingClick(int trace);
  void CouplingChosen(int trace, int32_t coupling);
  void ShowCoupling(int trace);
  void NegativeClick(int trace);
  void OffsetChange(int trace);
  void OffsetMenu(int trace, int32_t divisions);  // negative up, positive down
  void ZoomChange(int trace);
  void ShowGain(int trace, const GainStepResult& g);
  void FlagClick(QCheckBox* box, int32_t& field);
  void KeepOnTop();
  void RequestRepaint();

  AppState& state_;
  platform::RegistryStore& registry_;
  QWidget* xyDisplay_ = nullptr;
  std::function<void()> showXYDisplay_;
  QWidget* fftPanel_ = nullptr;
  std::function<void()> showFFTPanel_;
  bool destroyed_ = false;
};

}  // namespace quelvar
