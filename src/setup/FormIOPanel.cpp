#include "setup/FormIOPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/RegistryStore.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusLine.h"
#include "setup/IOPanelSettings.h"
#include "setup/PortIo.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormIOPanel";
constexpr int kDesignedLeft = 300, kDesignedTop = 160, kDesignedWidth = 420, kDesignedHeight = 300;

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* NewEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

TFormIOPanel::TFormIOPanel(AppState& state, platform::RegistryStore& registry, QWidget* parent,
                           const std::string& locatorLibrary)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry) {
  setObjectName("FormIOPanel");
  setWindowTitle(QStringLiteral("端口读写操作工具面板"));
  BuildControls();
  connect(ButtonOutportb, &QPushButton::clicked, this, [this] { ButtonOutportbClick(); });
  connect(ButtonOutport, &QPushButton::clicked, this, [this] { ButtonOutportClick(); });
  connect(ButtonOutportdw, &QPushButton::clicked, this, [this] { ButtonOutportdwClick(); });
  connect(ButtonInportb, &QPushButton::clicked, this, [this] { ButtonInportbClick(); });
  connect(ButtonInport, &QPushButton::clicked, this, [this] { ButtonInportClick(); });
  connect(ButtonInportdw, &QPushButton::clicked, this, [this] { ButtonInportdwClick(); });
  connect(ButtonReadIOBase, &QPushButton::clicked, this, [this] { ButtonReadIOBaseClick(); });
  connect(CheckBoxTopmost, &QCheckBox::clicked, this, [this] { CheckBoxTopmostClick(); });
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate(locatorLibrary);
}

TFormIOPanel::~TFormIOPanel() { FormDestroy(); }

void TFormIOPanel::BuildControls() {
  EditIOBase = NewEdit(this, "EditIOBase");
  EditWriteHex = NewEdit(this, "EditWriteHex");
  EditReadHex = NewEdit(this, "EditReadHex");
  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("待操作口地址(Hex):"), this), 0, 0);
  fields->addWidget(EditIOBase, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("写入端口的内容(Hex)"), this), 1, 0);
  fields->addWidget(EditWriteHex, 1, 1);
  fields->addWidget(new QLabel(QStringLiteral("从端口读的结果(Hex)"), this), 2, 0);
  fields->addWidget(EditReadHex, 2, 1);

  ButtonOutportb = NewButton(this, "ButtonOutportb", "写字节(outportb)");
  ButtonOutport = NewButton(this, "ButtonOutport", "写单字(outport)");
  ButtonOutportdw = NewButton(this, "ButtonOutportdw", "写双字(outportdw)");
  ButtonInportb = NewButton(this, "ButtonInportb", "读字节(inportb)");
  ButtonInport = NewButton(this, "ButtonInport", "读单字(inport)");
  ButtonInportdw = NewButton(this, "ButtonInportdw", "读双字(inportdw)");
  auto* ports = new QGridLayout;
  ports->addWidget(ButtonOutportb, 0, 0);
  ports->addWidget(ButtonOutport, 0, 1);
  ports->addWidget(ButtonOutportdw, 0, 2);
  ports->addWidget(ButtonInportb, 1, 0);
  ports->addWidget(ButtonInport, 1, 1);
  ports->addWidget(ButtonInportdw, 1, 2);

  CheckBoxTopmost = new QCheckBox(QStringLiteral("顶层窗口"), this);
  CheckBoxTopmost->setObjectName("CheckBoxTopmost");

  GroupBox1 = new QGroupBox(QString(), this);
  GroupBox1->setObjectName("GroupBox1");
  ComboBoxCardNo = new QComboBox(GroupBox1);
  ComboBoxCardNo->setObjectName("ComboBoxCardNo");
  ComboBoxCardNo->setEditable(true);
  EditCardIOBase = NewEdit(GroupBox1, "EditCardIOBase");
  ButtonReadIOBase = NewButton(GroupBox1, "ButtonReadIOBase", "读基地址");
  auto* locator = new QGridLayout(GroupBox1);
  locator->addWidget(new QLabel(QStringLiteral("要读取的卡的卡号："), GroupBox1), 0, 0);
  locator->addWidget(ComboBoxCardNo, 0, 1);
  locator->addWidget(new QLabel(QStringLiteral("对应板的基地址(Hex)"), GroupBox1), 1, 0);
  locator->addWidget(EditCardIOBase, 1, 1);
  locator->addWidget(ButtonReadIOBase, 0, 2, 2, 1);

  statusLine_ = platform::AddStatusLine(this, StatusBar1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(ports);
  layout->addWidget(CheckBoxTopmost);
  layout->addWidget(GroupBox1);
  layout->addStretch(1);
  layout->addWidget(StatusBar1);
}

void TFormIOPanel::FormCreate(const std::string& locatorLibrary) {
  // The group's caption as designed; "-无效" marks a locator that is missing.
  QString groupCaption = QStringLiteral("PCI卡基地址");
  if (locator_.Load(locatorLibrary)) {
    ComboBoxCardNo->clear();
    for (uint16_t card : locator_.CardNumbers()) ComboBoxCardNo->addItem(QString::number(card));
  } else {
    GroupBox1->setEnabled(false);
    groupCaption += QStringLiteral("-无效");
    ButtonReadIOBase->setEnabled(false);
  }
  GroupBox1->setTitle(groupCaption);

  const IOPanelSettings s = LoadIOPanelSettings(registry_, state_.startup.AppKeyName);
  CheckBoxTopmost->setChecked(s.Topmost != 0);
  CheckBoxTopmostClick();
  EditIOBase->setText(Q(HexText(static_cast<uint32_t>(s.IOBase), 4)));
  EditWriteHex->setText(Q(HexText(static_cast<uint32_t>(s.WriteHex), 8)));
  ComboBoxCardNo->setEditText(QString::number(s.CardNo));

  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);

  if (!PortOutputBound(state_.driver.Entries)) {
    SetStatus("提示：需要正确的VXK公司采集卡驱动程序或Pelvorn");
    for (QPushButton* b :
         {ButtonOutportb, ButtonOutport, ButtonOutportdw, ButtonInportb, ButtonInport, ButtonInportdw}) {
      b->setEnabled(false);
    }
  } else {
    SetStatus("提示：已准备好端口I/O操作");
  }
  if (locator_.Usable()) ButtonReadIOBaseClick();
}

void TFormIOPanel::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // A field that holds no number keeps its default; the rest is stored all
  // the same.
  const IOPanelSettings s = IOPanelSettingsOfFields(CheckBoxTopmost->isChecked(), Text(EditIOBase),
                                                    Text(EditWriteHex), ComboBoxCardNo->currentText().toStdString());
  platform::RegistryBatch batch(registry_);
  SaveIOPanelSettings(registry_, state_.startup.AppKeyName, s);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  locator_.Free();
}

void TFormIOPanel::SetStatus(const std::string& text) { statusLine_->setText(Q(text)); }

std::string TFormIOPanel::StatusText() const { return statusLine_->text().toStdString(); }

TFormIOPanel::PortAndValue TFormIOPanel::ReadPortAndValue() const {
  PortAndValue pv;
  pv.value = HexFieldValue(Text(EditWriteHex));
  pv.port = static_cast<uint16_t>(HexFieldValue(Text(EditIOBase)));
  return pv;
}

void TFormIOPanel::ButtonOutportbClick() {
  const PortAndValue pv = ReadPortAndValue();
  PortOutByte(state_.driver.Entries, pv.port, static_cast<uint8_t>(pv.value));
}

void TFormIOPanel::ButtonOutportClick() {
  const PortAndValue pv = ReadPortAndValue();
  PortOutWord(state_.driver.Entries, pv.port, static_cast<uint16_t>(pv.value));
}

void TFormIOPanel::ButtonOutportdwClick() {
  const PortAndValue pv = ReadPortAndValue();
  PortOutDword(state_.driver.Entries, pv.port, pv.value);
}

void TFormIOPanel::ButtonInportbClick() {
  const uint16_t value = PortInByte(state_.driver.Entries, ReadPortAndValue().port);
  EditReadHex->setText(Q(HexText(value & 0xFFu, 2)));
}

void TFormIOPanel::ButtonInportClick() {
  EditReadHex->setText(Q(HexText(PortInWord(state_.driver.Entries, ReadPortAndValue().port), 4)));
}

void TFormIOPanel::ButtonInportdwClick() {
  EditReadHex->setText(Q(HexText(PortInDword(state_.driver.Entries, ReadPortAndValue().port), 8)));
}

void TFormIOPanel::ButtonReadIOBaseClick() {
  if (!locator_.Usable()) return;
  const uint16_t card = CardNumberOf(ComboBoxCardNo->currentText().toStdString());
  EditCardIOBase->setText(Q(HexText(locator_.IOBaseOf(card), 4)));
  SetStatus("提示：取得当前PCI卡的基地址成功");
}

void TFormIOPanel::CheckBoxTopmostClick() {
  const bool onTop = CheckBoxTopmost->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

}  // namespace quelvar
