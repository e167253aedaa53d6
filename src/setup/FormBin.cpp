#include "setup/FormBin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"
#include "platform/qt/StringGrid.h"
#include "setup/SwitchChannelGrid.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormBin";
const char* const kColumnWidthPrefix = "FormBin_GridColWidth";
constexpr int kDesignedLeft = 200, kDesignedTop = 150, kDesignedWidth = 640, kDesignedHeight = 400;
// The smallest client area the window keeps.
constexpr int kMinimumClient = 150;

std::vector<int> AllColumns() {
  std::vector<int> columns;
  for (int c = 0; c < kSwitchGridCols; ++c) columns.push_back(c);
  return columns;
}

}  // namespace

TFormBin::TFormBin(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormBin");
  setWindowTitle(QStringLiteral("开关量设置"));
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Grid_Binary = new StringGrid(this);
  Grid_Binary->setObjectName("Grid_Binary");
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Grid_Binary, 1);
  layout->addLayout(buttons);
  // The grid stretches with the window, which keeps a usable least size.
  setMinimumSize(kMinimumClient, kMinimumClient);

  connect(Grid_Binary, &StringGrid::CellSelected, this, [this] { Grid_BinaryClick(); });
  // A heading cell never becomes the current cell: a double click there does nothing.
  connect(Grid_Binary, &StringGrid::CellDoubleClicked, this, [this](int col, int row) {
    if (!Grid_Binary->Cells().IsFixed(col, row)) Grid_BinaryDblClick();
  });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormBin::~TFormBin() { FormDestroy(); }

void TFormBin::FormCreate() {
  Grid_Binary->SetEditable(true);
  platform::CellGrid grid = NewSwitchGrid();
  ReadGridColumnWidths(registry_, state_.startup.AppKeyName, kColumnWidthPrefix, AllColumns(), grid);
  Grid_Binary->SetCells(std::move(grid));
  Grid_Binary->setToolTip(QStringLiteral("双击启动方式和压缩方式,改变之"));
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix, kMinimumClient);
}

void TFormBin::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  WriteGridColumnWidths(registry_, state_.startup.AppKeyName, kColumnWidthPrefix, AllColumns(), Grid_Binary->Cells());
}

void TFormBin::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    FormShow();
    FormActivate();
  }
  QDialog::showEvent(event);
}

void TFormBin::FormShow() {
  selectedRow_ = 0;
  ShowRowSummary();
}

void TFormBin::FormActivate() {
  if (state_.startup.ConfigUnlocked == 0) ButtonOK->setEnabled(false);
}

void TFormBin::FillFromTable(int32_t count, int32_t totalPages) {
  totalPages_ = totalPages;
  FillSwitchGrid(Grid_Binary->Cells(), state_.config, count);
  Grid_Binary->Refresh();
}

void TFormBin::Grid_BinaryClick() {
  selectedRow_ = std::max(Grid_Binary->Cells().Row() - 1, 0);
  ShowRowSummary();
}

void TFormBin::Grid_BinaryDblClick() {
  platform::CellGrid& grid = Grid_Binary->Cells();
  platform::RecordCells rows(grid, platform::RecordCells::Layout::RecordPerRow);
  if (platform::CycleCell(rows, grid.Col(), grid.Row(), SwitchGridCycles())) {
    Grid_Binary->Refresh();
    ShowRowSummary();
  }
}

void TFormBin::ShowRowSummary() { Label1->setText(Q(SwitchRowSummary(Grid_Binary->Cells(), selectedRow_))); }

void TFormBin::ButtonOKClick() {
  Grid_Binary->FinishEditing();
  StoreSwitchGrid(Grid_Binary->Cells(), totalPages_, state_.config);
  state_.config.TotalPages = totalPages_;
  accept();
}

}  // namespace quelvar
