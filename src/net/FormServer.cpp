#include "platform/qt/QtText.h"
#include "net/FormServer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <cstdio>

#include "net/QtStationServer.h"
#include "platform/RegistryKey.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormServer";
const char* const kColumnWidthName = "ServerGridWidth";
constexpr int kColumns = 5;
constexpr std::array<const char*, kColumns> kHeadings = {"连接标志", "控制台名称", "状态", "发送块号", "被接收块号"};
constexpr std::array<int, kColumns> kDesignedColumnWidths = {80, 100, 70, 80, 90};
constexpr int kDesignedLeft = 240, kDesignedTop = 180, kDesignedWidth = 460, kDesignedHeight = 240;
constexpr int kGridLeft = 8, kGridTop = 40;
constexpr int kDesignedGridWidth = 444, kDesignedGridHeight = 192;
// The window's client area never gets smaller than this either way.
constexpr int kMinClientSize = 150;
const char* const kNoRatio = "压缩比：0%";


std::string SettingsKeyPath(const AppState& state) { return "\\SOFTWARE\\" + state.startup.AppKeyName + "\\Quelvar"; }

std::string HandleText(int64_t handle) {
  char text[17];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<uint32_t>(handle)));
  return text;
}

}  // namespace

TFormServer::TFormServer(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry) {
  setObjectName("FormServer");
  setWindowTitle(QStringLiteral("采集站服务器状态"));
  setMinimumSize(kMinClientSize, kMinClientSize);
  auto button = [this](QPushButton*& b, const char* name, const char* caption, int x, int width) {
    b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    b->setGeometry(x, 8, width, 25);
  };
  button(ButtonFresh, "ButtonFresh", "刷新状态", 8, 70);
  button(ButtonHide, "ButtonHide", "隐藏窗口", 82, 70);
  button(ButtonTopmost, "ButtonTopmost", "成为顶层窗口", 156, 90);
  CheckBoxCompress = new QCheckBox(QStringLiteral("压缩传送"), this);
  CheckBoxCompress->setObjectName("CheckBoxCompress");
  CheckBoxCompress->setGeometry(252, 4, 80, 17);
  CheckBoxDPCM = new QCheckBox(QStringLiteral("预测编码"), this);
  CheckBoxDPCM->setObjectName("CheckBoxDPCM");
  CheckBoxDPCM->setGeometry(252, 21, 80, 17);
  LabelRatio = new QLabel(QString::fromUtf8(kNoRatio), this);
  LabelRatio->setObjectName("LabelRatio");
  LabelRatio->setGeometry(336, 12, 116, 17);

  GridServer = new QTableWidget(1, kColumns, this);
  GridServer->setObjectName("GridServer");
  GridServer->verticalHeader()->hide();
  GridServer->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GridServer->setGeometry(kGridLeft, kGridTop, kDesignedGridWidth, kDesignedGridHeight);

  connect(ButtonFresh, &QPushButton::clicked, this, [this] { ButtonFreshClick(); });
  connect(ButtonHide, &QPushButton::clicked, this, [this] { ButtonHideClick(); });
  connect(ButtonTopmost, &QPushButton::clicked, this, [this] { ButtonTopmostClick(); });
  connect(CheckBoxCompress, &QCheckBox::clicked, this, [this] { CheckBoxCompressClick(); });
  connect(CheckBoxDPCM, &QCheckBox::clicked, this, [this] { CheckBoxDPCMClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormServer::~TFormServer() { FormDestroy(); }

void TFormServer::FormCreate() {
  // The heading row is the grid's header, which also lets the user size the columns.
  QHeaderView* header = GridServer->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  for (int column = 0; column < kColumns; ++column) {
    GridServer->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(kHeadings[column])));
  }
  gridWidthMargin_ = width() - GridServer->width();
  gridHeightMargin_ = height() - GridServer->height();

  platform::RegistryKey settings(registry_, SettingsKeyPath(state_));
  ServerCompress = settings.ReadInteger("ServerCompress").value_or(0) != 0 ? 1 : 0;
  ServerDPCM = settings.ReadInteger("ServerDPCM").value_or(1) != 0 ? 1 : 0;
  CheckBoxCompress->setChecked(ServerCompress != 0);
  CheckBoxDPCM->setChecked(ServerDPCM != 0);
  CheckBoxCompressClick();  // the DPCM box follows

  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  FormResize();  // a window not yet shown gets its resize event only when shown
  platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  for (int column = 0; column < kColumns; ++column) {
    const std::optional<int32_t> stored = sizes.ReadInteger(kColumnWidthName + std::to_string(column));
    GridServer->setColumnWidth(column, stored && *stored >= 0 ? *stored : kDesignedColumnWidths[column]);
  }
}

void TFormServer::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  platform::RegistryKey settings(registry_, SettingsKeyPath(state_));
  settings.WriteInteger("ServerCompress", ServerCompress);
  settings.WriteInteger("ServerDPCM", ServerDPCM);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  for (int column = 0; column < kColumns; ++column) {
    sizes.WriteInteger(kColumnWidthName + std::to_string(column), GridServer->columnWidth(column));
  }
}

void TFormServer::FormResize() {
  // Qt's sizes are the client area's, the same on both sides of the
  // difference, so the grid keeps its designed margins.
  GridServer->resize(std::max(width() - gridWidthMargin_, 0), std::max(height() - gridHeightMargin_, 0));
}

bool TFormServer::FormCloseQuery() {
  hide();
  return false;
}

void TFormServer::ButtonTopmostClick() {
  const bool topmost = !(windowFlags() & Qt::WindowStaysOnTopHint);
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (shown) show();  // changing the flags hides a window
  ButtonTopmost->setText(topmost ? QStringLiteral("成为普通窗口") : QStringLiteral("成为顶层窗口"));
}

void TFormServer::CheckBoxCompressClick() {
  ServerCompress = CheckBoxCompress->isChecked() ? 1 : 0;
  CheckBoxDPCM->setEnabled(ServerCompress != 0);
  if (ServerCompress == 0) SetRatioText(kNoRatio);
}

void TFormServer::CheckBoxDPCMClick() { ServerDPCM = CheckBoxDPCM->isChecked() ? 1 : 0; }

void TFormServer::RefreshGrid() {
  const int n = server_ ? server_->Count() : 0;
  if (n == 0) {
    SetRowCount(2);
    SetGridText(1, 1, "");
    SetGridText(1, 2, "无连接");
    return;
  }
  SetRowCount(n + 1);
  for (int i = 0; i < n; ++i) {
    const std::string peer = server_->PeerAddressAt(i);
    SetGridText(i + 1, 0, HandleText(server_->HandleAt(i)));
    SetGridText(i + 1, 1, peer);
    SetGridText(i + 1, 2, peer.empty() ? "失去连接" : "连接成功");
  }
}

void TFormServer::SetRatioText(const std::string& text) { LabelRatio->setText(Q(text)); }

void TFormServer::SetGridText(int row, int column, const std::string& text) {
  if (row < 0 || column < 0 || column >= kColumns) return;
  if (row == 0) {
    GridServer->horizontalHeaderItem(column)->setText(Q(text));
    return;
  }
  // A cell below the last row is kept, as the grid keeps cells beyond its
  // row count: the rows come with the next refresh.
  if (row >= RowCount()) SetRowCount(row + 1);
  QTableWidgetItem* item = GridServer->item(row - 1, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    GridServer->setItem(row - 1, column, item);
  }
  item->setText(Q(text));
}

int TFormServer::RowCount() const { return GridServer->rowCount() + 1; }

std::string TFormServer::Cell(int row, int column) const {
  if (row < 0 || column < 0 || column >= kColumns) return {};
  const QTableWidgetItem* item =
      row == 0 ? GridServer->horizontalHeaderItem(column) : GridServer->item(row - 1, column);
  return item != nullptr ? item->text().toStdString() : std::string();
}

void TFormServer::SetRowCount(int rows) { GridServer->setRowCount(std::max(rows - 1, 0)); }

void TFormServer::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TFormServer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

bool TFormServer::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QWidget::event(event);
}

}  // namespace quelvar
