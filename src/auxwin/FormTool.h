#pragma once

#include <QWidget>

#include <array>

#include "auxwin/OscilTool.h"
#include "common/AppState.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The oscilloscope control panel: the controls the oscilloscope start loads
// from the panel's settings. Its settings live in AppState::oscilTool, read
// from the registry when the panel is created and written back when it is
// destroyed.
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

  void FormCreate();
  void FormDestroy();
  // The oscilloscope start: corrects the settings for the configuration in
  // force and shows them in the controls.
  void LoadForOscilloscope();

 private:
  struct TraceControls {
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
  void LoadTrace(const TraceControls& c, const OscilTraceView& v, int32_t use, int32_t channel, int32_t offset,
                 int32_t step, int32_t channelMax);
  TraceControls Trace(int i) const;

  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
