#include "auxwin/FormPage.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

#include "auxwin/PageFile.h"
#include "platform/RegistryKey.h"
#include "platform/qt/QtText.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormPage";
const char* const kRecentFileName = "RecentPageFile";  // + position 0..5, 0 the oldest
const char* const kPageFileExt = "VPC";
const char* const kPageFileFilter = "万能页配置文件 (*.vpc)|*.vpc|所有文件 (*.*)|*.*";
constexpr int kDesignedWidth = 486, kDesignedHeight = 325;
constexpr int kMinClientSize = 150;
// The lists end this far above the bottom edge; each takes half the width
// right of the analog list's left edge less kListGap, the switch list
// kListSpacing right of the analog one.
constexpr int kListBottomMargin = 13, kListGap = 16, kListSpacing = 20;
constexpr int kButtonShares = 6;
constexpr int kLeft = 8, kButtonTop = 6, kButtonWidth = 70, kRowHeight = 24;
constexpr int kRecentTop = 36, kCountTop = 64, kLookUpTop = 92, kListTop = 122;
constexpr int kLabelWidth = 84, kCountWidth = 48;
// Columns of the two lists; the heading row is row 0.
constexpr int kPositionColumn = 0, kNameColumn = 1, kChannelColumn = 2;

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setToolTip(QString::fromUtf8(hint));
  button->setGeometry(kLeft, kButtonTop, kButtonWidth, kRowHeight);
  return button;
}

QLabel* NewLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(name);
  return label;
}

QTableWidget* NewList(QWidget* parent, const char* name) {
  auto* grid = new QTableWidget(1, 3, parent);
  grid->setObjectName(name);
  grid->setToolTip(QStringLiteral("有右键菜单"));
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->setContextMenuPolicy(Qt::CustomContextMenu);
  return grid;
}

QTableWidgetItem* FixedItem(const std::string& text) {
  auto* item = new QTableWidgetItem(Q(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

TFormPage::TFormPage(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui), editor_(state.config) {
  setObjectName("FormPage");
  setWindowTitle(QStringLiteral("选择万能页显示通道"));
  setMinimumSize(kMinClientSize, kMinClientSize);

  ButtonOK = NewButton(this, "ButtonOK", "确定", "退出,使用当前配置");
  ButtonOK->setDefault(true);
  ButtonCancel = NewButton(this, "ButtonCancel", "取消", "退出,放弃当前修改");
  ButtonRestore = NewButton(this, "ButtonRestore", "恢复", "恢复原先配置");
  ButtonSave = NewButton(this, "ButtonSave", "存配置", "当前配置存入文件");
  ButtonRead = NewButton(this, "ButtonRead", "读配置", "从文件读出配置");
  ButtonAlgorithm = NewButton(this, "ButtonAlgorithm", "算法n", "选择启动算法n所涉及通道");
  ButtonAlgorithm->setEnabled(false);

  Label4 = NewLabel(this, "Label4", "最近配置文件");
  Label4->setGeometry(kLeft, kRecentTop + 3, kLabelWidth, 18);
  ComboBoxRecentFile = new QComboBox(this);
  ComboBoxRecentFile->setObjectName("ComboBoxRecentFile");
  ComboBoxRecentFile->setEditable(true);
  ComboBoxRecentFile->setToolTip(QStringLiteral("双击打开文件"));
  ComboBoxRecentFile->lineEdit()->installEventFilter(this);

  Label1 = NewLabel(this, "Label1", "模拟量通道数");
  EditAnalogNum = new QLineEdit(this);
  EditAnalogNum->setObjectName("EditAnalogNum");
  Label2 = NewLabel(this, "Label2", "开关量通道数");
  EditBinNum = new QLineEdit(this);
  EditBinNum->setObjectName("EditBinNum");
  Label3 = NewLabel(this, "Label3", "查询模拟量");
  ComboBoxAnalog = new QComboBox(this);
  ComboBoxAnalog->setObjectName("ComboBoxAnalog");
  LabelBinary = NewLabel(this, "LabelBinary", "查询开关量");
  ComboBoxBinary = new QComboBox(this);
  ComboBoxBinary->setObjectName("ComboBoxBinary");
  GridAnalog = NewList(this, "GridAnalog");
  GridBin = NewList(this, "GridBin");

  PopupMenuAnalog = new QMenu(this);
  PopupMenuAnalog->setObjectName("PopupMenuAnalog");
  menuIncChn = PopupMenuAnalog->addAction(QStringLiteral("以第1通道为准顺序增加通道号"));
  menuIncChn->setObjectName("menuIncChn");
  PopupMenuBin = new QMenu(this);
  PopupMenuBin->setObjectName("PopupMenuBin");
  menuIncBinChn = PopupMenuBin->addAction(QStringLiteral("以第1通道为准顺序增加通道号"));
  menuIncBinChn->setObjectName("menuIncBinChn");

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonRestore, &QPushButton::clicked, this, [this] { ButtonRestoreClick(); });
  connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  connect(ButtonRead, &QPushButton::clicked, this, [this] { ButtonReadClick(); });
  connect(ButtonAlgorithm, &QPushButton::clicked, this, [this] { ButtonAlgorithmClick(); });
  connect(EditAnalogNum, &QLineEdit::editingFinished, this, [this] { EditAnalogNumExit(); });
  connect(EditBinNum, &QLineEdit::editingFinished, this, [this] { EditBinNumExit(); });
  connect(GridAnalog, &QTableWidget::itemChanged, this, [this] {
    if (!filling_) GridAnalogSetEditText();
  });
  connect(GridBin, &QTableWidget::itemChanged, this, [this] {
    if (!filling_) GridBinSetEditText();
  });
  GridAnalog->installEventFilter(this);
  GridBin->installEventFilter(this);
  connect(GridAnalog, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuAnalog->popup(GridAnalog->viewport()->mapToGlobal(at)); });
  connect(GridBin, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuBin->popup(GridBin->viewport()->mapToGlobal(at)); });
  connect(menuIncChn, &QAction::triggered, this, [this] { menuIncChnClick(); });
  connect(menuIncBinChn, &QAction::triggered, this, [this] { menuIncBinChnClick(); });

  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormPage::~TFormPage() { FormDestroy(); }

void TFormPage::SetAlgorithmChooser(AlgorithmChooser chooser) {
  algorithmChooser_ = std::move(chooser);
  ButtonAlgorithm->setEnabled(static_cast<bool>(algorithmChooser_));
}

void TFormPage::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix, kMinClientSize);
  FormResize();  // a window not yet shown gets its resize event only when shown
  const platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  for (size_t k = 0; k < kRecentPageFiles; ++k) {
    const std::optional<std::string> name = sizes.ReadString(kRecentFileName + std::to_string(k));
    if (name && !name->empty()) ComboBoxRecentFile->addItem(Q(*name));
  }
  ComboBoxRecentFile->setCurrentIndex(ComboBoxRecentFile->count() - 1);
  for (QTableWidget* grid : {GridAnalog, GridBin}) {
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    const QSignalBlocker quiet(grid);
    grid->setItem(0, kPositionColumn, FixedItem("显示顺序"));
    grid->setItem(0, kNameColumn, FixedItem("通道名称"));
    grid->setItem(0, kChannelColumn, FixedItem("通道号"));
  }
}

void TFormPage::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  const std::vector<std::string> names = RecentFiles();
  for (size_t k = 0; k < names.size(); ++k) sizes.WriteString(kRecentFileName + std::to_string(k), names[k]);
}

int TFormPage::RunModal() {
  FormActivate();
  return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
}

void TFormPage::FormActivate() {
  const QSignalBlocker quietAnalog(ComboBoxAnalog), quietBinary(ComboBoxBinary);
  ComboBoxAnalog->clear();
  for (int32_t c = 0; c < editor_.AnalogNum(); ++c) {
    ComboBoxAnalog->addItem(Q(std::to_string(c) + ": " + editor_.AnalogName(c)));
  }
  ComboBoxAnalog->setCurrentIndex(ComboBoxAnalog->count() > 0 ? 0 : -1);
  ComboBoxBinary->clear();
  for (int32_t s = 0; s < editor_.SwitchNum(); ++s) {
    ComboBoxBinary->addItem(Q(std::to_string(s) + ": " + editor_.SwitchName(s)));
  }
  ComboBoxBinary->setCurrentIndex(ComboBoxBinary->count() > 0 ? 0 : -1);
  EditBinNum->setEnabled(editor_.SwitchNum() > 0);
  ButtonRestoreClick();
}

void TFormPage::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TFormPage::FormResize() {
  const int left = GridAnalog->x() > 0 ? GridAnalog->x() : kLeft;
  const int half = std::max((width() - left) / 2 - kListGap, 0);
  const int binLeft = left + half + kListSpacing;
  const int listHeight = std::max(height() - kListTop - kListBottomMargin, 0);
  GridAnalog->setGeometry(left, kListTop, half, listHeight);
  GridBin->setGeometry(binLeft, kListTop, half, listHeight);

  Label1->setGeometry(left, kCountTop + 3, kLabelWidth, 18);
  EditAnalogNum->setGeometry(left + kLabelWidth, kCountTop, kCountWidth, kRowHeight - 2);
  Label2->setGeometry(binLeft, kCountTop + 3, kLabelWidth, 18);
  EditBinNum->setGeometry(binLeft + kLabelWidth, kCountTop, kCountWidth, kRowHeight - 2);
  Label3->setGeometry(left, kLookUpTop + 3, kLabelWidth, 18);
  ComboBoxAnalog->setGeometry(left + kLabelWidth, kLookUpTop, std::max(half - kLabelWidth, 0), kRowHeight);
  LabelBinary->setGeometry(binLeft, kLookUpTop + 3, kLabelWidth, 18);
  ComboBoxBinary->setGeometry(binLeft + kLabelWidth, kLookUpTop, std::max(half - kLabelWidth, 0), kRowHeight);
  const int recentLeft = Label4->x() + kLabelWidth;
  ComboBoxRecentFile->setGeometry(recentLeft, kRecentTop, std::max(binLeft + half - recentLeft, 0), kRowHeight);

  const int step = (width() - ButtonOK->x()) / kButtonShares;
  QPushButton* const following[] = {ButtonCancel, ButtonRestore, ButtonSave, ButtonRead, ButtonAlgorithm};
  for (int i = 0; i < 5; ++i) following[i]->move(ButtonOK->x() + (i + 1) * step, kButtonTop);
}

bool TFormPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ComboBoxRecentFile->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
    ComboBoxRecentFileDblClick();
    return true;
  }
  if (event->type() == QEvent::FocusOut) {
    if (watched == GridAnalog) GridAnalogExit();
    if (watched == GridBin) GridBinExit();
  }
  return QDialog::eventFilter(watched, event);
}

std::string TFormPage::Cell(const QTableWidget* grid, int row, int column) const {
  const QTableWidgetItem* item = grid->item(row, column);
  return item == nullptr ? std::string() : item->text().toStdString();
}

std::vector<std::string> TFormPage::RecentFiles() const {
  std::vector<std::string> names;
  for (int i = 0; i < ComboBoxRecentFile->count(); ++i) names.push_back(ComboBoxRecentFile->itemText(i).toStdString());
  return names;
}

void TFormPage::ReadLists() {
  auto cells = [this](const QTableWidget* grid) {
    std::vector<std::string> out;
    for (int row = 1; row < grid->rowCount(); ++row) out.push_back(Cell(grid, row, kChannelColumn));
    return out;
  };
  editor_.AnalogCells = cells(GridAnalog);
  editor_.SwitchCells = cells(GridBin);
  editor_.AnalogCountText = EditAnalogNum->text().toStdString();
  editor_.SwitchCountText = EditBinNum->text().toStdString();
}

void TFormPage::ShowList(QTableWidget* grid, const std::vector<std::string>& cells, int firstPosition, bool analog) {
  grid->setRowCount(static_cast<int>(cells.size()) + 1);
  for (size_t k = 0; k < cells.size(); ++k) {
    const int row = static_cast<int>(k) + 1;
    const int32_t channel = analog ? editor_.AnalogChannel(k) : editor_.SwitchChannel(k);
    grid->setItem(row, kPositionColumn, FixedItem(std::to_string(firstPosition + static_cast<int>(k))));
    grid->setItem(row, kNameColumn, FixedItem(analog ? editor_.AnalogName(channel) : editor_.SwitchName(channel)));
    QTableWidgetItem* item = grid->item(row, kChannelColumn);
    if (item == nullptr) {
      item = new QTableWidgetItem;
      grid->setItem(row, kChannelColumn, item);
    }
    if (item->text().toStdString() != cells[k]) item->setText(Q(cells[k]));
  }
}

void TFormPage::ShowLists() {
  filling_ = true;
  {
    const QSignalBlocker quietAnalog(GridAnalog), quietBin(GridBin);
    ShowList(GridAnalog, editor_.AnalogCells, 0, true);
    ShowList(GridBin, editor_.SwitchCells, static_cast<int>(editor_.AnalogCells.size()), false);
  }
  EditAnalogNum->setText(Q(editor_.AnalogCountText));
  EditBinNum->setText(editor_.SwitchNum() > 0 ? Q(editor_.SwitchCountText) : QStringLiteral("0"));
  filling_ = false;
  GridAnalog->viewport()->update();
  GridBin->viewport()->update();
}

void TFormPage::ButtonOKClick() {
  ReadLists();
  state_.UniversalPage = editor_.Accept();
  ShowLists();
  done(QDialog::Accepted);
}

void TFormPage::ButtonRestoreClick() {
  editor_.Load(state_.UniversalPage);
  ShowLists();
}

void TFormPage::EditAnalogNumExit() {
  if (filling_) return;
  ReadLists();
  editor_.ApplyAnalogCount(state_.UniversalPage);
  ShowLists();
}

void TFormPage::EditBinNumExit() {
  if (filling_) return;
  ReadLists();
  editor_.ApplySwitchCount(state_.UniversalPage);
  ShowLists();
}

void TFormPage::GridAnalogSetEditText() { CheckAnalogGrid(); }
void TFormPage::GridBinSetEditText() { CheckBinGrid(); }

void TFormPage::CheckAnalogGrid() {
  ReadLists();
  editor_.CheckAnalog();
  ShowLists();
}

void TFormPage::CheckBinGrid() {
  ReadLists();
  editor_.CheckSwitch();
  ShowLists();
}

platform::FileDialogRequest TFormPage::FileRequest(const char* title) const {
  platform::FileDialogRequest request;
  request.title = title;
  request.initialDir = state_.startup.DialogInitialDir;
  request.defaultExt = kPageFileExt;
  request.filter = kPageFileFilter;
  return request;
}

void TFormPage::AddRecentFile(const std::string& path) {
  std::vector<std::string> names = RecentFiles();
  AddRecentPageFile(names, path);
  const int selected = ComboBoxRecentFile->currentIndex();
  const QString text = ComboBoxRecentFile->currentText();
  ComboBoxRecentFile->clear();
  for (const std::string& name : names) ComboBoxRecentFile->addItem(Q(name));
  // The entry that was selected stays so while it is in the list.
  const int again = selected < 0 ? -1 : ComboBoxRecentFile->findText(text);
  ComboBoxRecentFile->setCurrentIndex(again >= 0 ? again : 0);
}

void TFormPage::ButtonSaveClick() {
  platform::FileDialogRequest request = FileRequest("指定要保存的万能页配置文件名");
  request.mustExist = false;
  const std::optional<std::string> path = ui_.SaveFileName(request);
  if (!path) return;
  ReadLists();
  std::string error;
  if (!WritePageFile(*path, editor_.FileContents(), error)) {
    ui_.MessageBox("不能创建新文件!", "打开配置文件错误", platform::MsgButtons::OkCancel);
    return;
  }
  AddRecentFile(*path);
}

bool TFormPage::ReadPageFileNamed(const std::string& path) {
  const PageFileResult file = ReadPageFile(path);
  if (file.Status != PageFileStatus::Ok) return false;
  ReadLists();
  editor_.ApplyFile(file.Page, state_.UniversalPage);
  ShowLists();
  return true;
}

void TFormPage::ButtonReadClick() {
  const std::optional<std::string> path = ui_.OpenFileName(FileRequest("选定要读取的万能页配置文件"));
  if (!path) return;
  if (ReadPageFileNamed(*path)) AddRecentFile(*path);
}

void TFormPage::ComboBoxRecentFileDblClick() {
  const std::string path = ComboBoxRecentFile->currentText().toStdString();
  if (!path.empty()) ReadPageFileNamed(path);
}

void TFormPage::ButtonAlgorithmClick() {
  const int32_t algorithms = std::clamp(state_.config.Algorithm_Num, 0, kMaxAlgorithms);
  if (algorithms == 0) {
    ui_.MessageBox("因为未定义启动/触发算法", "不能选择算法", platform::MsgButtons::OkCancel);
    return;
  }
  if (!algorithmChooser_) return;
  const std::optional<std::string> chosen = algorithmChooser_();
  if (!chosen) return;
  const int32_t m = PickedAlgorithmNumber(*chosen, algorithms);
  ReadLists();
  editor_.ApplyAlgorithm(state_.config.AlgorithmTable[static_cast<size_t>(m)], state_.UniversalPage);
  ShowLists();
}

void TFormPage::menuIncChnClick() {
  ReadLists();
  editor_.FillConsecutiveAnalog();
  ShowLists();
}

void TFormPage::menuIncBinChnClick() {
  ReadLists();
  editor_.FillConsecutiveSwitch();
  ShowLists();
}

}  // namespace quelvar
