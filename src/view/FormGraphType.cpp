#include "view/FormGraphType.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <optional>

#include "platform/qt/QtText.h"
#include "shell/WindowPlace.h"
#include "view/ColorDialogRules.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormGraphType";
constexpr int kDesignedLeft = 240, kDesignedTop = 160, kDesignedWidth = 372, kDesignedHeight = 300;
constexpr int kButtonWidth = 110, kButtonHeight = 25;

QRadioButton* NewRadio(QWidget* parent, const char* name, const char* caption, int x, int y, int w) {
  auto* button = new QRadioButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, w, 22);
  return button;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, const char* caption, int x, int y, int labelWidth) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setGeometry(x, y, labelWidth, 22);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x + labelWidth, y, 56, 22);
  label->setBuddy(edit);
  return edit;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, int x, int y) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

TFormGraphType::TFormGraphType(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                               QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormGraphType");
  setWindowTitle(QStringLiteral("图形格式选项"));

  // The kind of picture: its own pair of radio buttons.
  auto* kind = new QWidget(this);
  kind->setGeometry(10, 8, 230, 48);
  RadioButtonMetafile = NewRadio(kind, "RadioButtonMetafile", "位元图(MetaFile)", 0, 0, 230);
  RadioButtonBitmap = NewRadio(kind, "RadioButtonBitmap", "当前位图(Bitmap)", 0, 24, 230);

  GroupBox2 = new QGroupBox(QStringLiteral("图形大小"), this);
  GroupBox2->setObjectName("GroupBox2");
  GroupBox2->setGeometry(10, 60, 230, 142);
  RadioButtonScreen = NewRadio(GroupBox2, "RadioButtonScreen", "屏幕图形大小", 10, 20, 200);
  RadioButtonPrinterPage = NewRadio(GroupBox2, "RadioButtonPrinterPage", "打印机纸张", 10, 44, 200);
  RadioButtonUserSize = NewRadio(GroupBox2, "RadioButtonUserSize", "自定义大小", 10, 68, 200);
  EditWidth = NewEdit(GroupBox2, "EditWidth", "宽(单位:点)", 10, 92, 90);
  EditHeight = NewEdit(GroupBox2, "EditHeight", "高(单位:点)", 10, 116, 90);
  EditWidth->setText(QStringLiteral("100"));
  EditHeight->setText(QStringLiteral("100"));

  GroupBox3 = new QGroupBox(QStringLiteral("颜色选项"), this);
  GroupBox3->setObjectName("GroupBox3");
  GroupBox3->setGeometry(10, 208, 230, 46);
  RadioButtonColor = NewRadio(GroupBox3, "RadioButtonColor", "彩色", 10, 18, 100);
  RadioButtonMonochrome = NewRadio(GroupBox3, "RadioButtonMonochrome", "单色", 120, 18, 100);

  EditScaleNum = NewEdit(this, "EditScaleNum", "刻度线数", 10, 262, 64);
  EditLineWidth = NewEdit(this, "EditLineWidth", "曲线宽度", 136, 262, 64);
  CheckBoxBG = new QCheckBox(QStringLiteral("白色背景"), this);
  CheckBoxBG->setObjectName("CheckBoxBG");
  CheckBoxBG->setGeometry(250, 170, 110, 22);
  CheckBoxIncludeInst = new QCheckBox(QStringLiteral("画瞬时标线"), this);
  CheckBoxIncludeInst->setObjectName("CheckBoxIncludeInst");
  CheckBoxIncludeInst->setGeometry(250, 196, 110, 22);

  ButtonOK = NewButton(this, "ButtonOK", "确定(&O)", 252, 10);
  ButtonCancel = NewButton(this, "ButtonCancel", "取消(&C)", 252, 42);
  ButtonPreview = NewButton(this, "ButtonPreview", "预览(&P)", 252, 74);
  ButtonWMFFont = NewButton(this, "ButtonWMFFont", "设置位元图字体", 252, 106);
  ButtonOK->setDefault(true);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonPreview, &QPushButton::clicked, this, [this] { ButtonPreviewClick(); });
  connect(ButtonWMFFont, &QPushButton::clicked, this, [this] { ButtonWMFFontClick(); });
  connect(RadioButtonBitmap, &QRadioButton::clicked, this, [this] { RadioButtonBitmapClick(); });
  connect(RadioButtonMetafile, &QRadioButton::clicked, this, [this] { RadioButtonMetafileClick(); });
  connect(RadioButtonScreen, &QRadioButton::clicked, this, [this] { RadioButtonScreenClick(); });
  connect(RadioButtonPrinterPage, &QRadioButton::clicked, this, [this] { RadioButtonPrinterPageClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
  FillFromOptions();
}

TFormGraphType::~TFormGraphType() { FormDestroy(); }

void TFormGraphType::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormGraphType::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

PictureOptionFields TFormGraphType::Fields() const {
  PictureOptionFields f;
  f.Metafile = RadioButtonMetafile->isChecked();
  f.ScreenSize = RadioButtonScreen->isChecked();
  f.PrinterPage = RadioButtonPrinterPage->isChecked();
  f.Width = EditWidth->text().toStdString();
  f.Height = EditHeight->text().toStdString();
  f.Colour = RadioButtonColor->isChecked();
  f.ScaleNum = EditScaleNum->text().toStdString();
  f.LineWidth = EditLineWidth->text().toStdString();
  f.WhiteBG = CheckBoxBG->isChecked();
  f.IncludeInst = CheckBoxIncludeInst->isChecked();
  return f;
}

void TFormGraphType::ShowFields(const PictureOptionFields& f) {
  (f.Metafile ? RadioButtonMetafile : RadioButtonBitmap)->setChecked(true);
  (f.ScreenSize ? RadioButtonScreen : f.PrinterPage ? RadioButtonPrinterPage : RadioButtonUserSize)->setChecked(true);
  (f.Colour ? RadioButtonColor : RadioButtonMonochrome)->setChecked(true);
  EditScaleNum->setText(Q(f.ScaleNum));
  EditLineWidth->setText(Q(f.LineWidth));
  CheckBoxBG->setChecked(f.WhiteBG);
  CheckBoxIncludeInst->setChecked(f.IncludeInst);
  EnableForKind();
}

void TFormGraphType::FillFromOptions() {
  PictureOptionFields f = Fields();
  FillPictureOptionFields(state_.config, f);
  ShowFields(f);
}

void TFormGraphType::ReadOptions() {
  PictureOptionFields f = Fields();
  ReadPictureOptions(f, state_.config, UserSize);
  EditScaleNum->setText(Q(f.ScaleNum));
  EditLineWidth->setText(Q(f.LineWidth));
}

void TFormGraphType::EnableForKind() {
  const bool metafile = RadioButtonMetafile->isChecked();
  GroupBox2->setEnabled(metafile);
  GroupBox3->setEnabled(metafile);
  EditLineWidth->setEnabled(metafile);
}

void TFormGraphType::ButtonOKClick() {
  ReadOptions();
  accept();
}

void TFormGraphType::RadioButtonBitmapClick() { EnableForKind(); }

void TFormGraphType::RadioButtonMetafileClick() { EnableForKind(); }

void TFormGraphType::RadioButtonPrinterPageClick() {
  if (!printerPageSize_) return;
  const PictureSize page = printerPageSize_();
  EditWidth->setText(QString::number(page.Width));
  EditHeight->setText(QString::number(page.Height));
}

void TFormGraphType::SetCallerPreview(int32_t caller, std::function<void()> preview) {
  if (caller >= 0 && caller < static_cast<int32_t>(previews_.size())) {
    previews_[static_cast<size_t>(caller)] = std::move(preview);
  }
}

void TFormGraphType::ButtonPreviewClick() {
  // A bitmap copy is the screen's picture as it stands: nothing to preview.
  if (RadioButtonBitmap->isChecked()) return;
  ReadOptions();
  if (Caller < 0 || Caller >= static_cast<int32_t>(previews_.size())) return;
  const auto& preview = previews_[static_cast<size_t>(Caller)];
  if (preview) preview();
}

void TFormGraphType::ButtonWMFFontClick() {
  LiveConfig& c = state_.config;
  const platform::FontChoice current = FontChoiceOf(c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
  TakeFontChoice(ui_.ChooseFont(current).value_or(current), c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
}

}  // namespace quelvar
