#include "auxwin/FormConfComposite.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "auxwin/CompositeEditor.h"
#include "auxwin/CompositeFile.h"
#include "platform/qt/StringGrid.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

}  // namespace

TFormConfComposite::TFormConfComposite(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                                       QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormConfComposite");
  setWindowTitle(QStringLiteral("组合显示配置面板"));
  auto label = [this](QLabel*& field, const char* name, const char* caption) {
    field = new QLabel(QString::fromUtf8(caption), this);
    field->setObjectName(name);
  };
  auto edit = [this](QLineEdit*& field, const char* name) {
    field = new QLineEdit(this);
    field->setObjectName(name);
  };
  label(Label1, "Label1", "通道查询");
  ComboBoxChnName = new QComboBox(this);
  ComboBoxChnName->setObjectName("ComboBoxChnName");
  label(Label2, "Label2", "项目总数");
  edit(EditItemNum, "EditItemNum");
  label(Label3, "Label3", "显示列数");
  edit(EditColNum, "EditColNum");
  label(Label4, "Label4", "字体大小");
  edit(EditFontSize, "EditFontSize");
  label(Label5, "Label5", "字符个数");
  edit(EditCharNum, "EditCharNum");
  GridCompositeDef = new StringGrid(this);
  GridCompositeDef->setObjectName("GridCompositeDef");
  GridCompositeDef->setToolTip(QStringLiteral("双击改变显示类型或使用缺省标识"));
  auto button = [this](QPushButton*& field, const char* name, const char* caption) {
    field = new QPushButton(QString::fromUtf8(caption), this);
    field->setObjectName(name);
  };
  button(ButtonOK, "ButtonOK", "确认");
  button(ButtonExit, "ButtonExit", "取消");
  button(ButtonSave, "ButtonSave", "存入文件");
  button(ButtonLoad, "ButtonLoad", "更换文件");
  button(ButtonDefaultDef, "ButtonDefaultDef", "缺省定义");
  resize(720, 380);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonExit, &QPushButton::clicked, this, [this] { ButtonExitClick(); });
  connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  connect(ButtonLoad, &QPushButton::clicked, this, [this] { ButtonLoadClick(); });
  connect(ButtonDefaultDef, &QPushButton::clicked, this, [this] { ButtonDefaultDefClick(); });
  connect(EditItemNum, &QLineEdit::editingFinished, this, [this] { EditItemNumExit(); });
  connect(GridCompositeDef, &StringGrid::CellDoubleClicked, this,
          [this](int col, int row) { GridCompositeDefDblClick(col, row); });
  connect(GridCompositeDef, &StringGrid::CellTextEdited, this,
          [this](int col, int row, const std::string&) { GridCompositeDefSetEditText(col, row); });
  FormCreate();
}

TFormConfComposite::~TFormConfComposite() { FormDestroy(); }

void TFormConfComposite::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormConfComposite");
  GridCompositeDef->SetEditable(true);
}

void TFormConfComposite::FormDestroy() {
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormConfComposite");
}

int TFormConfComposite::RunModal() {
  FormShow();
  return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
}

void TFormConfComposite::FormShow() {
  ComboBoxChnName->clear();
  for (const std::string& line : CompositeChannelLines(state_.config)) ComboBoxChnName->addItem(Q(line));
  ComboBoxChnName->setCurrentIndex(0);
  if (!ReadCompositeDef(def_, EditFileName)) DefaultCompositeDef(def_, state_.config);
  ButtonDefaultDef->setEnabled(state_.startup.ConfigUnlocked != 0);
  ShowDefinition();
}

void TFormConfComposite::ShowDefinition() {
  platform::CellGrid cells;
  FillCompositeGrid(cells, def_, state_.config);
  GridCompositeDef->SetCells(std::move(cells));
  const CompositeEditTexts texts = CompositeEditTextsOf(def_);
  EditItemNum->setText(Q(texts.ItemNum));
  EditColNum->setText(Q(texts.ColNum));
  EditFontSize->setText(Q(texts.FontSize));
  EditCharNum->setText(Q(texts.CharNum));
  setWindowTitle(Q(CompositeEditorCaption(EditFileName, state_.startup.ProgramDir)));
}

void TFormConfComposite::ReadGrid() {
  GridCompositeDef->FinishEditing();
  ReadCompositeGrid(GridCompositeDef->Cells(),
                    {S(EditItemNum->text()), S(EditColNum->text()), S(EditFontSize->text()), S(EditCharNum->text())},
                    state_.config, def_);
}

void TFormConfComposite::ButtonSaveClick() {
  platform::FileDialogRequest request;
  request.title = "指定要保存的组合显示配置文件名";
  request.defaultExt = "CPD";
  request.filter = "组合显示配置文件 (*.cpd)|*.cpd|所有文件 (*.*)|*.*";
  request.fileName = EditFileName;
  const auto chosen = ui_.SaveFileName(request);
  if (!chosen) return;
  ReadGrid();
  std::string error;
  if (!WriteCompositeDef(def_, *chosen, error)) ui_.MessageBox(error, "组合显示配置", platform::MsgButtons::Ok);
}

void TFormConfComposite::ButtonLoadClick() {
  platform::FileDialogRequest request;
  request.title = "选定要使用的组合显示定义文件";
  request.defaultExt = "CPD";
  request.filter = "组合显示定义文件 (*.cpd)|*.cpd|所有文件 (*.*)|*.*";
  const auto chosen = ui_.OpenFileName(request);
  if (!chosen) return;
  EditFileName = *chosen;
  if (!ReadCompositeDef(def_, EditFileName)) {
    EditFileName = kCompositeDefaultFile;
    DefaultCompositeDef(def_, state_.config);
  }
  ShowDefinition();
}

void TFormConfComposite::ButtonDefaultDefClick() {
  DefaultCompositeDef(def_, state_.config);
  ShowDefinition();
}

void TFormConfComposite::ButtonOKClick() {
  ReadGrid();
  std::string error;
  if (!WriteCompositeDef(def_, EditFileName, error)) {
    ui_.MessageBox(error, "组合显示配置", platform::MsgButtons::Ok);
    return;
  }
  accept();
}

void TFormConfComposite::EditItemNumExit() {
  GridCompositeDef->FinishEditing();
  const int32_t n = CompositeItemCountExit(GridCompositeDef->Cells(), S(EditItemNum->text()), state_.config);
  GridCompositeDef->Refresh();
  EditItemNum->setText(QString::number(n));
}

void TFormConfComposite::GridCompositeDefDblClick(int col, int row) {
  CompositeGridDoubleClick(GridCompositeDef->Cells(), col, row, state_.config);
  GridCompositeDef->Refresh();
}

void TFormConfComposite::GridCompositeDefSetEditText(int col, int row) {
  CompositeGridEdited(GridCompositeDef->Cells(), col, row, state_.config);
  GridCompositeDef->Refresh();
}

void TFormConfComposite::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TFormConfComposite::FormResize() {
  const int top = 8;
  int x = 8;
  Label1->setGeometry(x, top + 4, 60, 20);
  ComboBoxChnName->setGeometry(x + 62, top, 150, 24);
  x += 222;
  const std::pair<QLabel*, QLineEdit*> edits[] = {
      {Label2, EditItemNum}, {Label3, EditColNum}, {Label4, EditFontSize}, {Label5, EditCharNum}};
  for (const auto& [l, e] : edits) {
    l->setGeometry(x, top + 4, 60, 20);
    e->setGeometry(x + 62, top, 40, 24);
    x += 108;
  }
  const int buttonHeight = 28;
  const int buttonTop = height() - 10 - buttonHeight;
  GridCompositeDef->setGeometry(8, top + 32, std::max(width() - 8 - 12, 1), std::max(buttonTop - 8 - top - 32, 1));
  QPushButton* buttons[] = {ButtonOK, ButtonExit, ButtonSave, ButtonLoad, ButtonDefaultDef};
  const int slot = width() / 5;
  for (int i = 0; i < 5; ++i) buttons[i]->setGeometry(i * slot + (slot - 90) / 2, buttonTop, 90, buttonHeight);
}

}  // namespace quelvar
