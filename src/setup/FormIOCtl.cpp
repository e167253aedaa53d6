#include "setup/FormIOCtl.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/RegistryStore.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusLine.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormIOCtl";
constexpr int kDesignedLeft = 240, kDesignedTop = 120, kDesignedWidth = 640, kDesignedHeight = 460;

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* NewEdit(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QLabel* NewLabel(QWidget* parent, const char* caption) { return new QLabel(QString::fromUtf8(caption), parent); }

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  return button;
}

}  // namespace

TFormIOCtl::TFormIOCtl(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormIOCtl");
  setWindowTitle(QStringLiteral("设备专用数据(IOCtl接口)操作面板"));
  BuildControls();

  connect(Edit_Num_IOCtl, &QLineEdit::textChanged, this, [this] { Edit_Num_IOCtlChange(); });
  connect(Grid_IOCtlData, &StringGrid::CellTextEdited, this,
          [this](int col, int row, const std::string& text) { Grid_IOCtlDataSetEditText(col, row, text); });
  connect(ButtonIOCtl, &QPushButton::clicked, this, [this] { ButtonIOCtlClick(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(CheckBoxAutoSend, &QCheckBox::clicked, this, [this] { CheckBoxAutoSendClick(); });
  const std::pair<QPushButton*, NumberBaseButton> tools[] = {
      {Button_ByteTo, NumberBaseButton::ByteTo},       {Button_ByteFrom, NumberBaseButton::ByteFrom},
      {Button_ShortTo, NumberBaseButton::ShortTo},     {Button_ShortFrom, NumberBaseButton::ShortFrom},
      {Button_LongTo, NumberBaseButton::LongTo},       {Button_LongFrom, NumberBaseButton::LongFrom},
      {Button_FloatTo, NumberBaseButton::FloatTo},     {Button_FloatFrom, NumberBaseButton::FloatFrom},
      {Button_DoubleTo, NumberBaseButton::DoubleTo},   {Button_DoubleFrom, NumberBaseButton::DoubleFrom}};
  for (const auto& [button, kind] : tools) {
    connect(button, &QPushButton::clicked, this, [this, kind = kind] { NumberBaseClick(kind); });
  }
  LabelContent->installEventFilter(this);

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormIOCtl::~TFormIOCtl() { FormDestroy(); }

void TFormIOCtl::BuildControls() {
  Edit_Num_IOCtl = NewEdit(this, "Edit_Num_IOCtl");
  Edit_OutSize = NewEdit(this, "Edit_OutSize");
  auto* counts = new QGridLayout;
  counts->addWidget(NewLabel(this, "发送专用数据字节数:"), 0, 0);
  counts->addWidget(Edit_Num_IOCtl, 0, 1);
  counts->addWidget(NewLabel(this, "希望返回专用数据字节数:"), 1, 0);
  counts->addWidget(Edit_OutSize, 1, 1);

  LabelContent = new QLabel(QStringLiteral("发送数据内容:(按字节排列)"), this);
  LabelContent->setObjectName("LabelContent");
  LabelContent->setToolTip(QStringLiteral("双击在发送与返回数据间切换"));
  Grid_IOCtlData = new StringGrid(this);
  Grid_IOCtlData->setObjectName("Grid_IOCtlData");
  GridOutBuf = new StringGrid(this);
  GridOutBuf->setObjectName("GridOutBuf");
  GridOutBuf->SetEditable(false);

  ButtonIOCtl = NewButton(this, "ButtonIOCtl", "发送数据", "开始发送设备专用数据");
  ButtonOK = NewButton(this, "ButtonOK", "退出", "记忆当前数据并退出");
  CheckBoxAutoSend = new QCheckBox(QStringLiteral("启动时自动发送"), this);
  CheckBoxAutoSend->setObjectName("CheckBoxAutoSend");

  auto* left = new QVBoxLayout;
  left->addLayout(counts);
  left->addWidget(LabelContent);
  // The return grid lies on the send grid: one of them is shown.
  left->addWidget(Grid_IOCtlData, 1);
  left->addWidget(GridOutBuf, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CheckBoxAutoSend);
  buttons->addStretch(1);
  buttons->addWidget(ButtonIOCtl);
  buttons->addWidget(ButtonOK);
  left->addLayout(buttons);

  auto* tool = new QGroupBox(QStringLiteral("数制转换工具栏:"), this);
  tool->setObjectName("GroupBoxNumberBase");
  auto* toolGrid = new QGridLayout(tool);
  Edit_Data = NewEdit(tool, "Edit_Data");
  toolGrid->addWidget(NewLabel(tool, "原始数据:"), 0, 0);
  toolGrid->addWidget(Edit_Data, 0, 1, 1, 2);
  toolGrid->addWidget(NewLabel(tool, "字节数据(十六进制)"), 1, 0, 1, 3);
  const char* pairCaptions[] = {"字节0,1:", "字节2,3:", "字节4,5:", "字节6,7:"};
  for (int i = 0; i < 8; ++i) Edit_BYTE[i] = NewEdit(tool, QStringLiteral("Edit_BYTE%1").arg(i));
  for (int p = 0; p < 4; ++p) {
    toolGrid->addWidget(NewLabel(tool, pairCaptions[p]), 2 + p, 0);
    toolGrid->addWidget(Edit_BYTE[2 * p], 2 + p, 1);
    toolGrid->addWidget(Edit_BYTE[2 * p + 1], 2 + p, 2);
  }
  Button_ByteTo = NewButton(tool, "Button_ByteTo", "十进制字节 ->");
  Button_ByteFrom = NewButton(tool, "Button_ByteFrom", "十进制字节 <-");
  Button_ShortTo = NewButton(tool, "Button_ShortTo", "短整数 ->");
  Button_ShortFrom = NewButton(tool, "Button_ShortFrom", "短整数 <-");
  Button_LongTo = NewButton(tool, "Button_LongTo", "长整数 ->");
  Button_LongFrom = NewButton(tool, "Button_LongFrom", "长整数 <-");
  Button_FloatTo = NewButton(tool, "Button_FloatTo", "单精度浮点 ->");
  Button_FloatFrom = NewButton(tool, "Button_FloatFrom", "单精度浮点 <-");
  Button_DoubleTo = NewButton(tool, "Button_DoubleTo", "双精度浮点 ->");
  Button_DoubleFrom = NewButton(tool, "Button_DoubleFrom", "双精度浮点 <-");
  const std::pair<QPushButton*, QPushButton*> rows[] = {{Button_ByteTo, Button_ByteFrom},
                                                        {Button_ShortTo, Button_ShortFrom},
                                                        {Button_LongTo, Button_LongFrom},
                                                        {Button_FloatTo, Button_FloatFrom},
                                                        {Button_DoubleTo, Button_DoubleFrom}};
  for (int r = 0; r < 5; ++r) {
    toolGrid->addWidget(rows[r].first, 6 + r, 0, 1, 2);
    toolGrid->addWidget(rows[r].second, 6 + r, 2);
  }
  toolGrid->setRowStretch(11, 1);

  auto* body = new QHBoxLayout;
  body->addLayout(left, 3);
  body->addWidget(tool, 2);

  statusLine_ = platform::AddStatusLine(this, StatusBar1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(StatusBar1);
}

void TFormIOCtl::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  Grid_IOCtlData->SetCells(NewDeviceDataGrid());
  GridOutBuf->SetCells(NewDeviceDataGrid());
  GridOutBuf->hide();
}

void TFormIOCtl::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormIOCtl::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) ShowSettings();
  QDialog::showEvent(event);
}

bool TFormIOCtl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabelContent && event->type() == QEvent::MouseButtonDblClick) {
    LabelContentDblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormIOCtl::SetStatus(const std::string& text) { statusLine_->setText(Q(text)); }

std::string TFormIOCtl::StatusText() const { return statusLine_->text().toStdString(); }

bool TFormIOCtl::SendGridShown() const { return !Grid_IOCtlData->isHidden(); }

void TFormIOCtl::ShowSettings() {
  const LiveConfig& c = state_.config;
  CheckBoxAutoSend->setChecked(c.AutoSendIOCtl == 1);
  Edit_OutSize->setText(QString::number(c.IOCtl_OutSize));
  // Setting the count resizes the send grid through its change handler.
  Edit_Num_IOCtl->setText(QString::number(c.Num_IOCtl));
  FillSendGrid(Grid_IOCtlData->Cells(), c);
  Grid_IOCtlData->Refresh();
  SetStatus("还未送设备数据到AD驱动程序!");
}

void TFormIOCtl::Edit_Num_IOCtlChange() {
  buffers_.SendCount = DeviceDataCount(Text(Edit_Num_IOCtl));
  SizeDeviceDataGrid(Grid_IOCtlData->Cells(), buffers_.SendCount);
  Grid_IOCtlData->Refresh();
  if (!SendGridShown()) LabelContentDblClick();
}

void TFormIOCtl::Grid_IOCtlDataSetEditText(int col, int row, const std::string& text) {
  if (DeviceGridCellEdited(Grid_IOCtlData->Cells(), col, row, text)) Grid_IOCtlData->Refresh();
}

bool TFormIOCtl::ReadSendGrid() {
  Grid_IOCtlData->FinishEditing();
  const SendGridReading reading = quelvar::ReadSendGrid(Grid_IOCtlData->Cells(), Text(Edit_Num_IOCtl), Text(Edit_OutSize),
                                                state_.config.IOCtl_OutSize, buffers_);
  Edit_Num_IOCtl->setText(Q(reading.CountText));
  Grid_IOCtlData->Refresh();
  if (!reading.Ready) SetStatus(reading.Status);
  return reading.Ready;
}

void TFormIOCtl::ButtonIOCtlClick() {
  if (!ReadSendGrid()) return;
  const int32_t outSize = state_.config.IOCtl_OutSize;
  const DeviceDataSendOutcome outcome = SendDeviceData(state_.driver, outSize, buffers_);
  SetStatus(outcome.Status);
  if (!outcome.Sent) return;
  FillReturnGrid(GridOutBuf->Cells(), buffers_, outSize);
  GridOutBuf->Refresh();
  if (outSize > 0 && SendGridShown()) LabelContentDblClick();
}

void TFormIOCtl::ButtonOKClick() {
  ReadSendGrid();
  if (!StoreDeviceData(state_.config, buffers_)) SetStatus("分配内存失败!");
  accept();
}

void TFormIOCtl::CheckBoxAutoSendClick() { state_.config.AutoSendIOCtl = CheckBoxAutoSend->isChecked() ? 1 : 0; }

void TFormIOCtl::LabelContentDblClick() {
  QPalette palette = LabelContent->palette();
  if (SendGridShown()) {
    Grid_IOCtlData->hide();
    GridOutBuf->show();
    palette.setColor(QPalette::WindowText, Qt::red);
    LabelContent->setText(QStringLiteral("返回专用数据内容(按字节排列)"));
  } else {
    Grid_IOCtlData->show();
    GridOutBuf->hide();
    palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
    LabelContent->setText(QStringLiteral("发送专用数据内容(按字节排列)"));
  }
  LabelContent->setPalette(palette);
}

void TFormIOCtl::NumberBaseClick(NumberBaseButton button) {
  NumberBaseFields fields;
  fields.data = Text(Edit_Data);
  for (size_t i = 0; i < Edit_BYTE.size(); ++i) fields.bytes[i] = Text(Edit_BYTE[i]);
  ApplyNumberBaseButton(button, fields);
  Edit_Data->setText(Q(fields.data));
  for (size_t i = 0; i < Edit_BYTE.size(); ++i) Edit_BYTE[i]->setText(Q(fields.bytes[i]));
}

}  // namespace quelvar
