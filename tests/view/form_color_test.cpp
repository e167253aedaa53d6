#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "platform/Canvas.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "view/ColorDialogRules.h"
#include "view/FormColor.h"

namespace {

using namespace quelvar;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

// The dialog as its opener leaves it: the working copy filled from the
// palette in force and shown.
class FormColorTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  std::unique_ptr<TFormColor> form;

  void SetUp() override { form = std::make_unique<TFormColor>(state, registry, ui); }
  void Open() {
    form->WorkColorNum = state.config.ColorNum;
    form->WorkColorPalette = state.config.ColorPalette;
    form->ShowPalette();
  }
  void Select(int slot) { form->Grid_Color->setCurrentCell(slot + 1, kColorGridColumnBlack); }
  void Type(int slot, int column, const char* text) {
    form->Grid_Color->item(slot + 1, column)->setText(QString::fromUtf8(text));
  }
  void SetColorNum(const char* text) {
    form->EditColorNum->setText(QString::fromUtf8(text));
    form->EditColorNumExit();
  }
  static QColor TextColor(const QLabel* label) { return label->palette().color(QPalette::WindowText); }
  static QColor Stored(uint32_t c) {
    const platform::Color rgb = platform::Color::FromStored(c);
    return QColor(rgb.red, rgb.green, rgb.blue);
  }
};

TEST_F(FormColorTest, ComponentsCarryTheirNamesAndCaptions) {
  EXPECT_EQ(form->objectName(), "FormColor");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("系统配色方案"));
  EXPECT_EQ(form->ButtonOK->text(), QStringLiteral("确认"));
  EXPECT_EQ(form->ButtonCancel->text(), QStringLiteral("取消"));
  EXPECT_EQ(form->ButtonRestore->text(), QStringLiteral("缺省值"));
  EXPECT_EQ(form->ButtonScreenFont->text(), QStringLiteral("屏幕字体"));
  EXPECT_EQ(form->ButtonPrinterFont->text(), QStringLiteral("矢量字体"));
  EXPECT_EQ(form->LabelColor->text(), QStringLiteral("  黑 底 颜 色  "));
  EXPECT_EQ(form->LabelColor1->text(), QStringLiteral("  白 底 颜 色  "));
  EXPECT_EQ(form->LabelColor->toolTip(), QStringLiteral("双击选择新颜色"));
  EXPECT_EQ(form->LabelColor1->toolTip(), QStringLiteral("双击选择新颜色"));
  for (const char* name : {"EditColorNum", "Grid_Color", "LabelColorNo", "LabelChn", "LabelNote"}) {
    EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
  }
}

TEST_F(FormColorTest, ShowPaletteListsEverySlotInUseWithItsUseAndColours) {
  state.config.ColorNum = 20;
  Open();
  EXPECT_EQ(form->EditColorNum->text(), "20");
  EXPECT_EQ(form->Grid_Color->rowCount(), 21);
  EXPECT_EQ(form->Cell(0, 0), "颜色序号");
  EXPECT_EQ(form->Cell(0, 3), "白底颜色值(Hex)");
  EXPECT_EQ(form->Cell(1, 0), "0");
  EXPECT_EQ(form->Cell(1, 1), "刻度线颜色");
  EXPECT_EQ(form->Cell(1, 2), "00008000");
  EXPECT_EQ(form->Cell(1, 3), "00800080");
  EXPECT_EQ(form->Cell(20, 0), "19");
  EXPECT_EQ(form->Cell(20, 1), "第15号曲线");
  EXPECT_EQ(form->LabelColorNo->text(), QStringLiteral("颜色号0"));
  EXPECT_EQ(form->LabelChn->text(), QStringLiteral("对应: (系统)"));

  state.config.Analog_Num = 6;
  form->FormShow();
  EXPECT_EQ(form->LabelNote->text(), QStringLiteral("注:每曲线1色需10种方案"));
}

TEST_F(FormColorTest, SelectingASlotShowsItsColoursAndChannels) {
  Open();
  Select(5);
  EXPECT_EQ(form->SelectedColorSlot, 5);
  EXPECT_EQ(form->LabelColorNo->text(), QStringLiteral("颜色号5"));
  EXPECT_EQ(TextColor(form->LabelColor), Stored(state.config.ColorPalette[0][5]));
  EXPECT_EQ(TextColor(form->LabelColor1), Stored(state.config.ColorPalette[1][5]));
  EXPECT_EQ(form->LabelChn->text(), QStringLiteral("对应: Chn1,"));
}

TEST_F(FormColorTest, TypedColoursGoToTheSelectedSlotAndBadTextStoresGreen) {
  Open();
  Select(6);
  Type(6, kColorGridColumnBlack, "00FF0000");
  EXPECT_EQ(form->WorkColorPalette[0][6], 0xFF0000u);
  EXPECT_EQ(TextColor(form->LabelColor), QColor(0, 0, 255));
  Type(6, kColorGridColumnWhite, "not hex");
  EXPECT_EQ(form->WorkColorPalette[1][6], kBadColorTextValue);
  EXPECT_EQ(TextColor(form->LabelColor1), QColor(0, 128, 0));

  // Other rows and the other columns change nothing.
  const PaletteRows before = form->WorkColorPalette;
  form->Grid_ColorSetEditText(kColorGridColumnBlack, 9, "FF");
  form->Grid_ColorSetEditText(1, 7, "FF");
  form->Grid_ColorSetEditText(0, 7, "FF");
  EXPECT_EQ(form->WorkColorPalette, before);
  EXPECT_EQ(state.config.ColorPalette[0][6], DefaultSlotColor(0, 6));  // the palette in force waits for OK
}

TEST_F(FormColorTest, ColourChooserAnswerSetsSlotLabelAndCell) {
  Open();
  Select(4);
  ui.colorAnswers.push_back(0x01234567u);  // the chooser's answer never carries a high byte
  QTest::mouseDClick(form->LabelColor, Qt::LeftButton);
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Color).size(), 1u);
  EXPECT_EQ(ui.prompts.back().text, std::to_string(DefaultSlotColor(0, 4)));  // starts from the slot's colour
  EXPECT_EQ(form->WorkColorPalette[0][4], 0x234567u);
  EXPECT_EQ(form->Cell(5, kColorGridColumnBlack), "00234567");
  EXPECT_EQ(TextColor(form->LabelColor), Stored(0x234567));

  ui.colorAnswers.push_back(0x00ABCDEFu);
  form->LabelColor1DblClick();
  EXPECT_EQ(form->WorkColorPalette[1][4], 0xABCDEFu);
  EXPECT_EQ(form->Cell(5, kColorGridColumnWhite), "00ABCDEF");

  ui.colorAnswers.push_back(std::nullopt);  // cancelled: nothing changes
  form->LabelColor1DblClick();
  EXPECT_EQ(form->WorkColorPalette[1][4], 0xABCDEFu);
}

TEST_F(FormColorTest, SlotCountIsClampedAndBadTextKeepsTheCountInForce) {
  state.config.ColorNum = 20;
  Open();
  SetColorNum("100");
  EXPECT_EQ(form->WorkColorNum, 72);
  EXPECT_EQ(form->Grid_Color->rowCount(), 73);
  EXPECT_EQ(form->Cell(73 - 1, 0), "71");
  SetColorNum("3");
  EXPECT_EQ(form->WorkColorNum, 16);
  EXPECT_EQ(form->EditColorNum->text(), "16");
  EXPECT_EQ(form->Grid_Color->rowCount(), 17);
  SetColorNum("abc");
  EXPECT_EQ(form->WorkColorNum, 20);
  EXPECT_EQ(state.config.ColorNum, 20);
}

TEST_F(FormColorTest, ShrinkingTheCountKeepsTheSelectionOnASlotInUse) {
  state.config.ColorNum = 40;
  Open();
  Select(30);
  SetColorNum("16");
  EXPECT_EQ(form->SelectedColorSlot, 15);
  EXPECT_EQ(form->Grid_Color->currentRow(), 16);
  EXPECT_EQ(form->LabelColorNo->text(), QStringLiteral("颜色号15"));
}

TEST_F(FormColorTest, RestoreGivesTheSlotsInUseTheirDefaults) {
  for (auto& row : state.config.ColorPalette) row.fill(0x123456);
  state.config.ColorNum = 30;
  Open();
  form->ButtonRestoreClick();
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(form->WorkColorPalette[row][0], DefaultSlotColor(row, 0));
    EXPECT_EQ(form->WorkColorPalette[row][16], DefaultSlotColor(row, 4));
    EXPECT_EQ(form->WorkColorPalette[row][29], DefaultSlotColor(row, 5));
    EXPECT_EQ(form->WorkColorPalette[row][30], 0x123456u);
  }
  EXPECT_EQ(form->Cell(17, kColorGridColumnBlack), ColorHexText(DefaultSlotColor(0, 4)));
  EXPECT_EQ(state.config.ColorPalette[0][0], 0x123456u);  // not in force before OK
}

TEST_F(FormColorTest, OkPutsTheWholeWorkingCopyInForce) {
  Open();
  Select(7);
  Type(7, kColorGridColumnBlack, "00112233");
  SetColorNum("40");
  form->WorkColorPalette[1][71] = 0x445566;  // beyond the count: travels too
  form->ButtonOKClick();
  EXPECT_EQ(state.config.ColorNum, 40);
  EXPECT_EQ(state.config.ColorPalette, form->WorkColorPalette);
  EXPECT_EQ(state.config.ColorPalette[0][7], 0x112233u);
  EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(FormColorTest, CancelLeavesThePaletteInForce) {
  const LiveConfig before = state.config;
  Open();
  Select(7);
  Type(7, kColorGridColumnBlack, "00112233");
  SetColorNum("40");
  form->ButtonRestoreClick();
  form->ButtonCancelClick();
  EXPECT_EQ(state.config.ColorNum, before.ColorNum);
  EXPECT_EQ(state.config.ColorPalette, before.ColorPalette);
  EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(FormColorTest, FontButtonsSetTheLiveFontsAtOnce) {
  state.config.ScreenFontName = "Sans";
  state.config.ScreenFontSize = 9;
  state.config.ScreenFontStyle = kFontItalic;
  platform::FontChoice chosen;
  chosen.name = "文泉驿微米黑";
  chosen.size = 12;
  chosen.bold = true;
  ui.fontAnswers.push_back(chosen);
  form->ButtonScreenFontClick();
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Font).size(), 1u);
  EXPECT_EQ(ui.prompts.back().text, "Sans");  // starts from the screen font
  EXPECT_EQ(state.config.ScreenFontName, "文泉驿微米黑");
  EXPECT_EQ(state.config.ScreenFontSize, 12);
  EXPECT_EQ(state.config.ScreenFontStyle, kFontBold);

  // A cancelled chooser leaves the font it started from.
  ui.fontAnswers.push_back(std::nullopt);
  form->ButtonScreenFontClick();
  EXPECT_EQ(state.config.ScreenFontName, "文泉驿微米黑");
  EXPECT_EQ(state.config.ScreenFontSize, 12);

  state.config.WMFFontName = "宋体";
  chosen.name = "Serif";
  chosen.size = 7;
  chosen.bold = false;
  chosen.underline = true;
  ui.fontAnswers.push_back(chosen);
  form->ButtonPrinterFontClick();
  EXPECT_EQ(ui.prompts.back().text, "宋体");
  EXPECT_EQ(state.config.WMFFontName, "Serif");
  EXPECT_EQ(state.config.WMFFontSize, 7);
  EXPECT_EQ(state.config.WMFFontStyle, kFontUnderline);
  EXPECT_EQ(state.config.ScreenFontName, "文泉驿微米黑");  // the other font stays
}

TEST_F(FormColorTest, ResizeStretchesTheGridAndSpreadsTheButtons) {
  form->resize(600, 400);
  form->FormResize();
  const int left = form->ButtonOK->x();
  const int step = (600 - left) / 5;
  EXPECT_EQ(form->ButtonCancel->x(), left + step);
  EXPECT_EQ(form->ButtonRestore->x(), left + 2 * step);
  EXPECT_EQ(form->ButtonScreenFont->x(), left + 3 * step);
  EXPECT_EQ(form->ButtonPrinterFont->x(), left + 4 * step);
  EXPECT_EQ(form->Grid_Color->geometry().right() + 1, 600 - 22);
  EXPECT_EQ(form->Grid_Color->geometry().bottom() + 1, 400 - 23);
  EXPECT_GE(form->minimumWidth(), 150);
  EXPECT_GE(form->minimumHeight(), 150);
}

TEST(FormColor, PlaceAndColumnWidthsAreStoredAndRestored) {
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  registry.WriteInt32(kFormSizeKey, "GridColorWidth2", 130);
  {
    TFormColor form(state, registry, ui);
    EXPECT_EQ(form.Grid_Color->columnWidth(2), 130);
    form.Grid_Color->setColumnWidth(1, 91);
    form.Grid_Color->setColumnWidth(3, 93);
    form.move(40, 30);
    form.resize(610, 380);
  }  // destruction stores them
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "GridColorWidth1"), 91);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "GridColorWidth2"), 130);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "GridColorWidth3"), 93);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormColor_Width"), 610);

  TFormColor again(state, registry, ui);
  EXPECT_EQ(again.Grid_Color->columnWidth(1), 91);
  EXPECT_EQ(again.Grid_Color->columnWidth(3), 93);
  EXPECT_EQ(again.size(), QSize(610, 380));
  EXPECT_EQ(again.pos(), QPoint(40, 30));
}

}  // namespace
