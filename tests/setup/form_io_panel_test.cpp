// The port I/O panel as a window: its remembered fields, the port buttons
// over the simulated card's port space, and the PCI locator or its absence.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/MemoryRegistry.h"
#include "platform/RegistryKey.h"
#include "setup/FormIOPanel.h"
#include "shell/DriverBinding.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;

const std::string kDrivers = QUELVAR_DRIVER_DIR;
const std::string kLocator = kDrivers + "/Vostrani.DLL";
const std::string kPanelKey = "\\SOFTWARE\\QuelvarTorque\\IOPanel";

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) { setenv(name, value.c_str(), 1); }
  ~ScopedEnv() { unsetenv(name_); }

 private:
  const char* name_;
};

class FormIOPanelTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;

  void BindCard(const std::string& file = "ADCard.DLL") {
    ASSERT_TRUE(state.driver.DriverModule.Load(kDrivers + "/" + file));
    BindEntries(state.driver.DriverModule, state.driver.Entries);
    state.driver.DriverUsable = 1;
  }
  std::unique_ptr<TFormIOPanel> NewPanel(const std::string& locator = kLocator) {
    return std::make_unique<TFormIOPanel>(state, registry, nullptr, locator);
  }
  static std::string Text(const QLineEdit* e) { return e->text().toStdString(); }
};

TEST_F(FormIOPanelTest, AFreshInstallationShowsPort0100AndValueZero) {
  BindCard();
  auto panel = NewPanel(kDrivers + "/NoSuchLocator.DLL");
  EXPECT_EQ(Text(panel->EditIOBase), "0100");
  EXPECT_EQ(Text(panel->EditWriteHex), "00000000");
  EXPECT_FALSE(panel->CheckBoxTopmost->isChecked());
  EXPECT_EQ(panel->StatusText(), "提示：已准备好端口I/O操作");
  EXPECT_TRUE(panel->ButtonInportdw->isEnabled());
}

TEST_F(FormIOPanelTest, WritesAndReadsThePortSpaceInEachWidth) {
  BindCard();
  auto panel = NewPanel();
  panel->EditIOBase->setText("378");
  panel->EditWriteHex->setText("55");
  panel->ButtonOutportb->click();
  EXPECT_EQ(state.driver.Entries.inportb(0x378), 0x55);
  panel->EditWriteHex->setText("89ABCDEF");
  panel->ButtonOutportdw->click();
  panel->ButtonInportb->click();
  EXPECT_EQ(Text(panel->EditReadHex), "EF");
  panel->ButtonInport->click();
  EXPECT_EQ(Text(panel->EditReadHex), "CDEF");
  panel->ButtonInportdw->click();
  EXPECT_EQ(Text(panel->EditReadHex), "89ABCDEF");
  panel->EditWriteHex->setText("1234");
  panel->ButtonOutport->click();
  panel->ButtonInportdw->click();
  EXPECT_EQ(Text(panel->EditReadHex), "89AB1234");
  // A port that is no number is port 0.
  panel->EditIOBase->setText("zz");
  panel->EditWriteHex->setText("7");
  panel->ButtonOutportb->click();
  EXPECT_EQ(state.driver.Entries.inportb(0), 7);
}

TEST_F(FormIOPanelTest, WithoutPortEntriesTheButtonsAreDisabledWithAHint) {
  // (A usable locator's read at creation would write its own status over the hint.)
  auto panel = NewPanel(kDrivers + "/NoSuchLocator.DLL");
  EXPECT_EQ(panel->StatusText(), "提示：需要正确的VXK公司采集卡驱动程序或Pelvorn");
  for (QPushButton* b : {panel->ButtonOutportb, panel->ButtonOutport, panel->ButtonOutportdw, panel->ButtonInportb,
                         panel->ButtonInport, panel->ButtonInportdw}) {
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  }
}

TEST_F(FormIOPanelTest, TheLocatorsCardsAreListedAndTheChosenOnesBaseReadAtOnce) {
  ScopedEnv cards("SIMCARD_PCI_CARDS", "4,9");
  platform::RegistryKey(registry, kPanelKey).WriteInteger("CardNo", 9);
  auto panel = NewPanel();
  ASSERT_TRUE(panel->LocatorUsable());
  ASSERT_EQ(panel->ComboBoxCardNo->count(), 2);
  EXPECT_EQ(panel->ComboBoxCardNo->itemText(0).toStdString(), "4");
  EXPECT_EQ(panel->ComboBoxCardNo->itemText(1).toStdString(), "9");
  EXPECT_EQ(panel->ComboBoxCardNo->currentText().toStdString(), "9");
  EXPECT_EQ(Text(panel->EditCardIOBase), "C240");
  EXPECT_EQ(panel->StatusText(), "提示：取得当前PCI卡的基地址成功");
  EXPECT_TRUE(panel->GroupBox1->isEnabled());
  panel->ComboBoxCardNo->setEditText("4");
  panel->ButtonReadIOBase->click();
  EXPECT_EQ(Text(panel->EditCardIOBase), "C100");
}

TEST_F(FormIOPanelTest, AMissingOrUnusableLocatorDisablesItsGroup) {
  ScopedEnv cards("SIMCARD_PCI_CARDS", "1");
  for (const std::string& locator : {kDrivers + "/NoSuchLocator.DLL", kDrivers + "/VostraniNoIOBase.DLL"}) {
    BindCard();
    auto panel = NewPanel(locator);
    EXPECT_FALSE(panel->LocatorUsable()) << locator;
    EXPECT_FALSE(panel->GroupBox1->isEnabled());
    EXPECT_FALSE(panel->ButtonReadIOBase->isEnabled());
    EXPECT_TRUE(panel->GroupBox1->title().endsWith(QStringLiteral("-无效")));
    EXPECT_EQ(panel->ComboBoxCardNo->count(), 0);
    // The port buttons work as usual.
    EXPECT_TRUE(panel->ButtonOutportb->isEnabled());
    panel->ButtonReadIOBaseClick();
    EXPECT_EQ(Text(panel->EditCardIOBase), "");
  }
}

TEST_F(FormIOPanelTest, TheFieldsAreRememberedAndOneThatIsNoNumberKeepsItsDefault) {
  {
    auto panel = NewPanel();
    panel->CheckBoxTopmost->click();
    panel->EditIOBase->setText("2F8");
    panel->EditWriteHex->setText("not hex");
    panel->ComboBoxCardNo->setEditText("3");
  }
  const platform::RegistryKey key(registry, kPanelKey);
  EXPECT_EQ(key.ReadInteger("Topmost"), 1);
  EXPECT_EQ(key.ReadInteger("IOBase"), 0x2F8);
  EXPECT_EQ(key.ReadInteger("WriteHex"), 0);
  EXPECT_EQ(key.ReadInteger("CardNo"), 3);
  EXPECT_TRUE(platform::RegistryKey(registry, "\\SOFTWARE\\QuelvarTorque\\FormSize").ReadInteger("FormIOPanel_Width"));
  auto again = NewPanel();
  EXPECT_TRUE(again->CheckBoxTopmost->isChecked());
  EXPECT_TRUE(again->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(Text(again->EditIOBase), "02F8");
  EXPECT_EQ(Text(again->EditWriteHex), "00000000");
}

class MainWindowPortPanel : public test::MainWindowFixture {};

TEST_F(MainWindowPortPanel, TheCommandShowsThePanelModeless) {
  auto main = NewMainWindow();
  auto* panel = new TFormIOPanel(state, registry, main.get(), kDrivers + "/NoSuchLocator.DLL");
  main->SetPortPanel(panel);
  ASSERT_TRUE(main->menuIOPanel->isEnabled());
  main->menuIOPanel->trigger();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).empty());
}

}  // namespace
