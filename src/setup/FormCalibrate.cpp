#include "setup/FormCalibrate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormCalibrate";
const char* const kColumnWidthPrefix = "GridCalibrateWidth";
const char* const kOrderValue = "CalibrateGridOrder";
constexpr int kDesignedLeft = 120, kDesignedTop = 120, kDesignedWidth = 780, kDesignedHeight = 420;
constexpr int kTimerInterval = 100;  // ms between snapshot blocks
// The smallest client area the window keeps.
constexpr int kMinimumWidth = 100, kMinimumHeight = 150;

// Columns whose widths the settings tree keeps; column 0 stays at its width.
std::vector<int> StoredWidthColumns() {
  std::vector<int> columns;
  for (int c = 1; c < kCalibrateGridCols; ++c) columns.push_back(c);
  return columns;
}

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TFormCalibrate::TFormCalibrate(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormCalibrate");
  setWindowTitle(QStringLiteral("通道校准平台"));
  Label1 = new QLabel(QStringLiteral("注: 目标值=系数A+AD电压*系数B, 温度再经非线性变换"), this);
  Label1->setObjectName("Label1");
  GridCalibrate = new StringGrid(this);
  GridCalibrate->setObjectName("GridCalibrate");
  ButtonTest1 = NewButton("ButtonTest1", "采下限信号", this);
  ButtonTest2 = NewButton("ButtonTest2", "采上限信号", this);
  ButtonCalculate = NewButton("ButtonCalculate", "算校准系数", this);
  ButtonCoeff = NewButton("ButtonCoeff", "系数=1", this);
  ButtonCalibrate = NewButton("ButtonCalibrate", "存结果", this);
  ButtonCancel = NewButton("ButtonCancel", "退出", this);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kTimerInterval);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {ButtonTest1, ButtonTest2, ButtonCalculate, ButtonCoeff, ButtonCalibrate, ButtonCancel}) {
    buttons->addWidget(b);
    if (b != ButtonCancel) buttons->addStretch(1);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(buttons);
  layout->addWidget(GridCalibrate, 1);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  connect(ButtonTest1, &QPushButton::clicked, this, [this] { ButtonTest1Click(); });
  connect(ButtonTest2, &QPushButton::clicked, this, [this] { ButtonTest2Click(); });
  connect(ButtonCalculate, &QPushButton::clicked, this, [this] { ButtonCalculateClick(); });
  connect(ButtonCoeff, &QPushButton::clicked, this, [this] { ButtonCoeffClick(); });
  connect(ButtonCalibrate, &QPushButton::clicked, this, [this] { ButtonCalibrateClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(GridCalibrate, &StringGrid::CellDoubleClicked, this, [this] { GridCalibrateDblClick(); });
  connect(GridCalibrate, &StringGrid::RowMoved, this, [this](int from, int to) { GridCalibrateRowMoved(from, to); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormCalibrate::~TFormCalibrate() { FormDestroy(); }

void TFormCalibrate::FormCreate() {
  GridCalibrate->SetEditable(true);
  GridCalibrate->SetRowsMovable(true);
  platform::CellGrid grid = NewCalibrateGrid();
  ReadGridColumnWidths(registry_, state_.startup.AppKeyName, kColumnWidthPrefix, StoredWidthColumns(), grid);
  GridCalibrate->SetCells(std::move(grid));
  GridCalibrate->setToolTip(QStringLiteral("双击通道类型,改变之"));
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormCalibrate::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  StopSampling();
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  WriteGridColumnWidths(registry_, state_.startup.AppKeyName, kColumnWidthPrefix, StoredWidthColumns(),
                        GridCalibrate->Cells());
  // The row order as 100 little-endian 16-bit entries.
  std::vector<uint8_t> order(sizeof cal_.CalibrateGridOrder);
  for (size_t i = 0; i < cal_.CalibrateGridOrder.size(); ++i) {
    const auto v = static_cast<uint16_t>(cal_.CalibrateGridOrder[i]);
    order[2 * i] = static_cast<uint8_t>(v & 0xFF);
    order[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  registry_.WriteBinary(FormSizeKeyPath(state_.startup.AppKeyName), kOrderValue, order);
}

void TFormCalibrate::FillForOpening() {
  const bool sampling = CalibrateSamplingAllowed(state_.config, state_.RunState);
  ButtonTest1->setEnabled(sampling);
  ButtonTest2->setEnabled(sampling);
  GridCalibrate->FinishEditing();
  FillCalibrateGrid(GridCalibrate->Cells(), cal_, state_.config, state_.RunState == kRunIdle);
  GridCalibrate->Refresh();
}

void TFormCalibrate::ShowOnTop() {
  modal_ = false;
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  show();
  raise();
}

int TFormCalibrate::RunModal() {
  setWindowFlag(Qt::WindowStaysOnTopHint, false);
  modal_ = true;
  const int result = exec();
  modal_ = false;
  return result == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
}

void TFormCalibrate::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TFormCalibrate::FormShow() { cal_.CalibrateSnapshotValid = 0; }

void TFormCalibrate::SamplingButton(int32_t signal) {
  GridCalibrate->FinishEditing();
  PressCalibrateButton(cal_, signal, GridCalibrate->Cells(), state_, ui_);
  ShowSamplingState();
}

void TFormCalibrate::ShowSamplingState() {
  ButtonTest1->setText(QString::fromStdString(CalibrateButtonCaption(kCalibrateLower, cal_.CalibrateState)));
  ButtonTest2->setText(QString::fromStdString(CalibrateButtonCaption(kCalibrateUpper, cal_.CalibrateState)));
  if (cal_.CalibrateState == kCalibrateIdle) {
    Timer1->stop();
  } else if (!Timer1->isActive()) {
    Timer1->start();
  }
}

void TFormCalibrate::StopSampling() {
  StopCalibrateSampling(cal_, state_.driver.Entries);
  ShowSamplingState();
}

void TFormCalibrate::Timer1Timer() {
  if (CalibrateTick(cal_, GridCalibrate->Cells(), state_)) GridCalibrate->Refresh();
}

void TFormCalibrate::ButtonCalculateClick() {
  GridCalibrate->FinishEditing();
  CalculateCalibration(cal_, GridCalibrate->Cells(), state_.config, state_.torque, ui_);
  GridCalibrate->Refresh();
}

void TFormCalibrate::ButtonCoeffClick() {
  GridCalibrate->FinishEditing();
  ResetCalibrateCoefficients(GridCalibrate->Cells(), cal_, state_.config);
  GridCalibrate->Refresh();
}

void TFormCalibrate::ButtonCalibrateClick() {
  GridCalibrate->FinishEditing();
  StoreCalibrateCoefficients(GridCalibrate->Cells(), cal_, state_.config);
  GridCalibrate->Refresh();
}

void TFormCalibrate::ButtonCancelClick() {
  if (modal_) {
    reject();
  } else {
    StopSampling();
    hide();
  }
}

void TFormCalibrate::done(int result) {
  // However the window closes, the card does not go on sampling.
  StopSampling();
  QDialog::done(result);
}

void TFormCalibrate::GridCalibrateDblClick() {
  platform::CellGrid& grid = GridCalibrate->Cells();
  if (CycleCalibrateTypeCell(grid, grid.Col(), grid.Row())) GridCalibrate->Refresh();
}

void TFormCalibrate::GridCalibrateRowMoved(int from, int to) {
  MoveCalibrateRow(cal_, from, to, state_.config.Analog_Num);
}

}  // namespace quelvar
