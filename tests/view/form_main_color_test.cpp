#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/ColorDialogRules.h"
#include "view/FormColor.h"

namespace {

using namespace quelvar;

const std::string kColorKey = "\\SOFTWARE\\QuelvarTorque\\Color";

class FormMainColor : public test::MainWindowFixture {
 protected:
  // Answers the dialog's showing: checks the working copy it was handed,
  // edits it, then closes with OK or Cancel.
  void Script(bool ok) {
    ui.modalAnswers.push_back([this, ok](platform::ModalDialog& modal) {
      auto& dialog = dynamic_cast<TFormColor&>(modal);
      handedNum = dialog.WorkColorNum;
      handedPalette = dialog.WorkColorPalette;
      shownCount = dialog.EditColorNum->text().toStdString();
      dialog.EditColorNum->setText("40");
      dialog.EditColorNumExit();
      dialog.WorkColorPalette[0][5] = 0x0A0B0C;
      platform::FontChoice font;
      font.name = "Serif";
      font.size = 14;
      ui.fontAnswers.push_back(font);
      dialog.ButtonScreenFontClick();
      if (ok) {
        dialog.ButtonOKClick();
        return platform::kModalOk;
      }
      dialog.ButtonCancelClick();
      return platform::kModalCancel;
    });
  }
  int32_t handedNum = 0;
  PaletteRows handedPalette{};
  std::string shownCount;
};

TEST_F(FormMainColor, MenuItemOpensTheDialogOnTheCopyOfThePaletteInForce) {
  auto form = NewMainWindow();
  ASSERT_NE(form->menuColor, nullptr);
  EXPECT_EQ(form->menuColor->objectName(), "menuColor");
  EXPECT_EQ(form->menuColor->text(), QStringLiteral("配色方案(&C)"));
  state.config.ColorNum = 24;
  state.config.ColorPalette[1][20] = 0x778899;
  Script(false);
  form->menuColor->trigger();
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.prompts.front().text, "FormColor");
  EXPECT_EQ(handedNum, 24);
  EXPECT_EQ(shownCount, "24");
  EXPECT_EQ(handedPalette, state.config.ColorPalette);
}

TEST_F(FormMainColor, OkPutsTheColoursInForceRepaintsAndSaves) {
  auto form = NewMainWindow();
  state.wave.RepaintRequested = 0;
  Script(true);
  form->menuColorClick();
  EXPECT_EQ(state.config.ColorNum, 40);
  EXPECT_EQ(state.config.ColorPalette[0][5], 0x0A0B0Cu);
  EXPECT_EQ(state.config.ScreenFontName, "Serif");
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_EQ(registry.ReadInt32(kColorKey, "ColorNum"), 40);
  EXPECT_EQ(registry.ReadInt32(kColorKey, "Color5"), 0x0A0B0C);
  EXPECT_EQ(registry.ReadInt32(kColorKey, "ScreenFontSize"), 14);
}

TEST_F(FormMainColor, CancelKeepsThePaletteButTheChosenFontStaysAndIsSaved) {
  auto form = NewMainWindow();
  const LiveConfig before = state.config;
  state.wave.RepaintRequested = 0;
  Script(false);
  form->menuColorClick();
  EXPECT_EQ(state.config.ColorNum, before.ColorNum);
  EXPECT_EQ(state.config.ColorPalette, before.ColorPalette);
  EXPECT_EQ(state.config.ScreenFontName, "Serif");
  EXPECT_EQ(state.config.ScreenFontSize, 14);
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_EQ(registry.ReadInt32(kColorKey, "ColorNum"), before.ColorNum);
  EXPECT_EQ(registry.ReadInt32(kColorKey, "ScreenFontSize"), 14);
}

TEST_F(FormMainColor, CancelledEditsAreGoneAtTheNextOpening) {
  auto form = NewMainWindow();
  Script(false);
  form->menuColorClick();
  Script(false);
  form->menuColorClick();
  EXPECT_EQ(handedNum, state.config.ColorNum);
  EXPECT_EQ(handedPalette, state.config.ColorPalette);
}

TEST_F(FormMainColor, ATemporaryConfigurationIsNotSaved) {
  auto form = NewMainWindow();
  state.configInForce.TempConfigActive = 1;
  Script(true);
  form->menuColorClick();
  EXPECT_EQ(state.config.ColorNum, 40);
  EXPECT_FALSE(registry.ReadInt32(kColorKey, "ColorNum").has_value());
}

}  // namespace
