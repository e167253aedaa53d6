#include "platform/qt/QtText.h"
#include "view/FormColor.h"

#include <algorithm>
#include <optional>

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableWidget>

#include "platform/Canvas.h"
#include "platform/RegistryKey.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"
#include "view/ColorDialogRules.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormColor";
const char* const kColumnWidthName = "GridColorWidth";  // + column 1..3
// The designed window. The grid keeps these margins to the right and bottom
// edges; the buttons right of ButtonOK share the width beside it in fifths.
constexpr int kDesignedLeft = 200, kDesignedTop = 120, kDesignedWidth = 520, kDesignedHeight = 400;
constexpr int kMinClientSize = 150;
constexpr int kGridRightMargin = 22, kGridBottomMargin = 23;
constexpr int kButtonShares = 5;
constexpr int kButtonTop = 8, kButtonWidth = 84, kButtonHeight = 25;
// The colour pickers never hand back the high byte's special meanings.
constexpr uint32_t kRgbMask = 0x00FFFFFF;


QColor ToQColor(uint32_t stored) {
  const platform::Color c = platform::Color::FromStored(stored);
  return QColor(c.red, c.green, c.blue);
}

void SetTextColor(QLabel& label, uint32_t stored) {
  QPalette p = label.palette();
  p.setColor(QPalette::WindowText, ToQColor(stored));
  label.setPalette(p);
}

QLabel* NewColorLabel(QWidget* parent, const char* name, const char* caption, Qt::GlobalColor background) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(name);
  label->setToolTip(QStringLiteral("双击选择新颜色"));
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  // Each label sits on the background of its scheme, so its colour reads
  // as it will on the waveform.
  label->setAutoFillBackground(true);
  QPalette p = label->palette();
  p.setColor(QPalette::Window, background);
  label->setPalette(p);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, int left) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

TFormColor::TFormColor(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormColor");
  setWindowTitle(QStringLiteral("系统配色方案"));
  setMinimumSize(kMinClientSize, kMinClientSize);

  EditColorNum = new QLineEdit(this);
  EditColorNum->setObjectName("EditColorNum");
  EditColorNum->setGeometry(10, 10, 40, 22);
  ButtonOK = NewButton(this, "ButtonOK", "确认", 60);
  ButtonCancel = NewButton(this, "ButtonCancel", "取消", 152);
  ButtonRestore = NewButton(this, "ButtonRestore", "缺省值", 244);
  ButtonScreenFont = NewButton(this, "ButtonScreenFont", "屏幕字体", 336);
  ButtonPrinterFont = NewButton(this, "ButtonPrinterFont", "矢量字体", 428);

  LabelColorNo = new QLabel(this);
  LabelColorNo->setObjectName("LabelColorNo");
  LabelColorNo->setGeometry(10, 42, 70, 22);
  LabelColor = NewColorLabel(this, "LabelColor", "  黑 底 颜 色  ", Qt::black);
  LabelColor->setGeometry(85, 40, 130, 26);
  LabelColor1 = NewColorLabel(this, "LabelColor1", "  白 底 颜 色  ", Qt::white);
  LabelColor1->setGeometry(220, 40, 130, 26);
  LabelNote = new QLabel(this);
  LabelNote->setObjectName("LabelNote");
  LabelNote->setGeometry(360, 42, 150, 22);
  LabelChn = new QLabel(this);
  LabelChn->setObjectName("LabelChn");
  LabelChn->setGeometry(10, 72, 500, 22);

  Grid_Color = new QTableWidget(1, kColorGridColumns, this);
  Grid_Color->setObjectName("Grid_Color");
  Grid_Color->horizontalHeader()->hide();
  Grid_Color->verticalHeader()->hide();
  Grid_Color->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid_Color->setGeometry(10, 100, kDesignedWidth - 10 - kGridRightMargin, kDesignedHeight - 100 - kGridBottomMargin);

  LabelColor->installEventFilter(this);
  LabelColor1->installEventFilter(this);
  connect(EditColorNum, &QLineEdit::editingFinished, this, [this] { EditColorNumExit(); });
  connect(Grid_Color, &QTableWidget::cellClicked, this, [this] { Grid_ColorClick(); });
  connect(Grid_Color, &QTableWidget::currentCellChanged, this, [this] { Grid_ColorClick(); });
  connect(Grid_Color, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_) Grid_ColorSetEditText(item->column(), item->row(), item->text().toStdString());
  });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonRestore, &QPushButton::clicked, this, [this] { ButtonRestoreClick(); });
  connect(ButtonScreenFont, &QPushButton::clicked, this, [this] { ButtonScreenFontClick(); });
  connect(ButtonPrinterFont, &QPushButton::clicked, this, [this] { ButtonPrinterFontClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormColor::~TFormColor() { FormDestroy(); }

void TFormColor::FormCreate() {
  Grid_Color->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  Grid_Color->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  FormResize();  // a window not yet shown gets its resize event only when shown
  const platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  const int defaultWidth = Grid_Color->horizontalHeader()->defaultSectionSize();
  for (int column = 1; column < kColorGridColumns; ++column) {
    const std::optional<int32_t> stored = sizes.ReadInteger(kColumnWidthName + std::to_string(column));
    Grid_Color->setColumnWidth(column, stored && *stored >= 0 ? *stored : defaultWidth);
  }
  WorkColorNum = state_.config.ColorNum;
  WorkColorPalette = state_.config.ColorPalette;
  ShowPalette();
}

void TFormColor::FormShow() { LabelNote->setText(Q(ColorNoteText(state_.config.Analog_Num))); }

void TFormColor::FormResize() {
  Grid_Color->resize(std::max(width() - Grid_Color->x() - kGridRightMargin, 0),
                     std::max(height() - Grid_Color->y() - kGridBottomMargin, 0));
  const int left = ButtonOK->x();
  const int step = (width() - left) / kButtonShares;
  QPushButton* const following[] = {ButtonCancel, ButtonRestore, ButtonScreenFont, ButtonPrinterFont};
  for (int i = 0; i < 4; ++i) following[i]->move(left + (i + 1) * step, following[i]->y());
}

void TFormColor::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  platform::RegistryKey sizes(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  for (int column = 1; column < kColorGridColumns; ++column) {
    sizes.WriteInteger(kColumnWidthName + std::to_string(column), Grid_Color->columnWidth(column));
  }
}

void TFormColor::ShowPalette() {
  WorkColorNum = ClampColorNum(WorkColorNum);
  EditColorNum->setText(QString::number(WorkColorNum));
  {
    const QSignalBlocker quiet(Grid_Color);
    filling_ = true;
    Grid_Color->setRowCount(WorkColorNum + 1);
    for (int row = 0; row <= WorkColorNum; ++row) {
      for (int column = 0; column < kColorGridColumns; ++column) {
        if (Grid_Color->item(row, column) != nullptr) continue;
        auto* item = new QTableWidgetItem;
        if (row == 0 || column == 0) {
          // Headings and slot numbers are fixed.
          item->setFlags(Qt::ItemIsEnabled);
          item->setBackground(palette().color(QPalette::Button));
        } else if (column == 1) {
          item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        Grid_Color->setItem(row, column, item);
      }
    }
    for (int column = 0; column < kColorGridColumns; ++column) {
      SetCell(0, column, kColorGridHeadings[static_cast<size_t>(column)]);
    }
    for (int slot = 0; slot < WorkColorNum; ++slot) {
      const size_t s = static_cast<size_t>(slot);
      SetCell(slot + 1, 0, std::to_string(slot));
      SetCell(slot + 1, 1, SlotUseText(slot));
      SetCell(slot + 1, kColorGridColumnBlack, ColorHexText(WorkColorPalette[kPaletteRowBlack][s]));
      SetCell(slot + 1, kColorGridColumnWhite, ColorHexText(WorkColorPalette[kPaletteRowWhite][s]));
    }
    SelectedColorSlot = std::clamp(SelectedColorSlot, 0, WorkColorNum - 1);
    // The grid's selection stays on the slot of the detail line, so typing
    // goes to that slot.
    const int column = std::max(Grid_Color->currentColumn(), kColorGridColumnBlack);
    Grid_Color->setCurrentCell(SelectedColorSlot + 1, column);
    filling_ = false;
  }
  ShowSlot();
}

void TFormColor::ShowSlot() {
  const size_t s = static_cast<size_t>(SelectedColorSlot);
  LabelColorNo->setText(Q(SlotNumberText(SelectedColorSlot)));
  SetTextColor(*LabelColor, WorkColorPalette[kPaletteRowBlack][s]);
  SetTextColor(*LabelColor1, WorkColorPalette[kPaletteRowWhite][s]);
  LabelChn->setText(Q(SlotChannelsText(state_.config, SelectedColorSlot)));
}

void TFormColor::Grid_ColorClick() {
  SelectedColorSlot = std::clamp(Grid_Color->currentRow() - 1, 0, WorkColorNum - 1);
  ShowSlot();
}

void TFormColor::Grid_ColorSetEditText(int column, int row, const std::string& text) {
  if (row - 1 != SelectedColorSlot) return;
  if (column != kColorGridColumnBlack && column != kColorGridColumnWhite) return;
  const int paletteRow = column == kColorGridColumnBlack ? kPaletteRowBlack : kPaletteRowWhite;
  WorkColorPalette[static_cast<size_t>(paletteRow)][static_cast<size_t>(SelectedColorSlot)] = ParseColorText(text);
  ShowSlot();
}

void TFormColor::LabelColorDblClick() { ChooseSlotColor(kPaletteRowBlack, LabelColor, kColorGridColumnBlack); }

void TFormColor::LabelColor1DblClick() { ChooseSlotColor(kPaletteRowWhite, LabelColor1, kColorGridColumnWhite); }

void TFormColor::ChooseSlotColor(int row, QLabel* label, int column) {
  uint32_t& color = WorkColorPalette[static_cast<size_t>(row)][static_cast<size_t>(SelectedColorSlot)];
  const std::optional<uint32_t> chosen = ui_.ChooseColor(color);
  if (!chosen) return;
  color = *chosen & kRgbMask;
  SetTextColor(*label, color);
  const QSignalBlocker quiet(Grid_Color);
  SetCell(SelectedColorSlot + 1, column, ColorHexText(color));
}

void TFormColor::EditColorNumExit() {
  WorkColorNum = ParseColorNumText(EditColorNum->text().toStdString(), state_.config.ColorNum);
  ShowPalette();
}

void TFormColor::ButtonRestoreClick() {
  RestoreDefaultColors(WorkColorPalette, WorkColorNum);
  ShowPalette();
}

void TFormColor::ButtonOKClick() {
  state_.config.ColorNum = ClampColorNum(WorkColorNum);
  state_.config.ColorPalette = WorkColorPalette;
  accept();
}

void TFormColor::ButtonScreenFontClick() {
  LiveConfig& c = state_.config;
  const platform::FontChoice current = FontChoiceOf(c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle);
  TakeFontChoice(ui_.ChooseFont(current).value_or(current), c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle);
}

void TFormColor::ButtonPrinterFontClick() {
  LiveConfig& c = state_.config;
  const platform::FontChoice current = FontChoiceOf(c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
  TakeFontChoice(ui_.ChooseFont(current).value_or(current), c.WMFFontName, c.WMFFontSize, c.WMFFontStyle);
}

std::string TFormColor::Cell(int row, int column) const {
  const QTableWidgetItem* item = Grid_Color->item(row, column);
  return item != nullptr ? item->text().toStdString() : std::string();
}

void TFormColor::SetCell(int row, int column, const std::string& text) {
  if (QTableWidgetItem* item = Grid_Color->item(row, column)) item->setText(Q(text));
}

void TFormColor::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormColor::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

bool TFormColor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == LabelColor) LabelColorDblClick();
    else if (watched == LabelColor1) LabelColor1DblClick();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quelvar
