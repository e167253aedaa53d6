#include "setup/FormChannel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"
#include "platform/qt/StringGrid.h"
#include "setup/AnalogChannelGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormChannel";
constexpr int kDesignedLeft = 180, kDesignedTop = 120, kDesignedWidth = 720, kDesignedHeight = 460;
// The smallest client area the window keeps.
constexpr int kMinimumClient = 150;

void Report(platform::UiHost& ui, const ChannelGroupRefusal& refusal) {
  ui.MessageBox(refusal.text, refusal.caption, refusal.buttons);
}

}  // namespace

TFormChannel::TFormChannel(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormChannel");
  setWindowTitle(QStringLiteral("模拟量设置"));
  Label2 = new QLabel(QStringLiteral("组属性:"), this);
  Label2->setObjectName("Label2");
  Grid_Analog = new StringGrid(this);
  Grid_Analog->setObjectName("Grid_Analog");
  Label1 = new QLabel(QStringLiteral("通道属性(工程值=系数A+系数B*电压):"), this);
  Label1->setObjectName("Label1");
  LabelChnProp = new QLabel(this);
  LabelChnProp->setObjectName("LabelChnProp");
  Grid_Channel = new StringGrid(this);
  Grid_Channel->setObjectName("Grid_Channel");
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonCheck = new QPushButton(QStringLiteral("检查输入"), this);
  ButtonCheck->setObjectName("ButtonCheck");

  // OK, Cancel and Check spread evenly along the bottom; the grids stretch.
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonOK);
  buttons->addStretch(1);
  buttons->addWidget(ButtonCancel);
  buttons->addStretch(1);
  buttons->addWidget(ButtonCheck);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label2);
  layout->addWidget(Grid_Analog);
  layout->addWidget(Label1);
  layout->addWidget(LabelChnProp);
  layout->addWidget(Grid_Channel, 1);
  layout->addLayout(buttons);
  setMinimumSize(kMinimumClient, kMinimumClient);

  connect(Grid_Channel, &StringGrid::CellSelected, this, [this] { Grid_ChannelClick(); });
  // A heading cell never becomes the current cell: a double click there does nothing.
  connect(Grid_Channel, &StringGrid::CellDoubleClicked, this, [this](int col, int row) {
    if (!Grid_Channel->Cells().IsFixed(col, row)) Grid_ChannelDblClick();
  });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonCheck, &QPushButton::clicked, this, [this] { ButtonCheckClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormChannel::~TFormChannel() { FormDestroy(); }

void TFormChannel::FormCreate() {
  Grid_Analog->SetCells(NewGroupGrid());
  // Each channel is a line of its own: the group grid is not needed, and the
  // channel grid takes its room (the layout closes the gap).
  for (QWidget* w : {static_cast<QWidget*>(Grid_Analog), static_cast<QWidget*>(Label2),
                     static_cast<QWidget*>(ButtonCheck)}) {
    w->setEnabled(false);
    w->hide();
  }
  Grid_Channel->SetEditable(true);
  platform::CellGrid channels;
  SetChannelGridRows(channels, MultiFreqMode == 1);
  Grid_Channel->SetCells(std::move(channels));
  Grid_Channel->setToolTip(QStringLiteral("双击通道属性和压缩方式,可改变之"));
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix, kMinimumClient);
}

void TFormChannel::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormChannel::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    FormActivate();
    FormShow();
  }
  QDialog::showEvent(event);
}

void TFormChannel::FormActivate() {
  SetChannelGridRows(Grid_Channel->Cells(), MultiFreqMode == 1);
  Grid_Channel->Refresh();
  ButtonCheckClick();
}

void TFormChannel::FormShow() {
  selectedChannel_ = 0;
  ShowChannelProperties();
}

void TFormChannel::FillFromTables(int32_t count, int32_t totalPages) {
  totalPages_ = totalPages;
  FillChannelGrids(Grid_Channel->Cells(), Grid_Analog->Cells(), state_.config, count, MultiFreqMode == 1);
  Grid_Channel->Refresh();
  Grid_Analog->Refresh();
}

void TFormChannel::Grid_ChannelClick() {
  selectedChannel_ = std::max(Grid_Channel->Cells().Col() - 1, 0);
  ShowChannelProperties();
}

void TFormChannel::Grid_ChannelDblClick() {
  platform::CellGrid& grid = Grid_Channel->Cells();
  platform::RecordCells cols(grid, platform::RecordCells::Layout::RecordPerCol);
  if (platform::CycleCell(cols, grid.Col(), grid.Row(), ChannelGridCycles(state_.config.VZero))) {
    Grid_Channel->Refresh();
    ShowChannelProperties();
  }
}

void TFormChannel::ShowChannelProperties() {
  LabelChnProp->setText(Q(ChannelPropertyLine(Grid_Channel->Cells(), selectedChannel_, state_.config)));
}

bool TFormChannel::ButtonCheckClick() {
  const ChannelGroupRefusal refusal =
      CheckChannelAssignment(Grid_Analog->Cells(), std::max(Grid_Channel->Cells().ColCount() - 1, 0));
  Grid_Analog->Refresh();
  if (refusal.refused()) Report(ui_, refusal);
  return !refusal.refused();
}

void TFormChannel::ButtonOKClick() {
  Grid_Channel->FinishEditing();
  const ChannelGroupRefusal refusal =
      ApplyChannelGrids(Grid_Channel->Cells(), Grid_Analog->Cells(), MultiFreqMode == 1, totalPages_, state_.config);
  Grid_Analog->Refresh();
  if (refusal.refused()) {
    Report(ui_, refusal);  // the dialog stays open for a correction
    return;
  }
  state_.config.TotalPages = totalPages_;
  accept();
}

}  // namespace quelvar
