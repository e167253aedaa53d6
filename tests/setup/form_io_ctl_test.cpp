// The device data panel as a window: filled from the settings, edited,
// sent through the simulated driver, kept with OK; the main window's
// command and the automatic send at start-up.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/StringGrid.h"
#include "setup/FormIOCtl.h"
#include "shell/DriverBinding.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

const std::string kDrivers = QUELVAR_DRIVER_DIR;

// One environment variable of the simulated card, unset again afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) { setenv(name, value.c_str(), 1); }
  ~ScopedEnv() { unsetenv(name_); }

 private:
  const char* name_;
};

std::vector<std::string> LogLines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Row(const StringGrid& g, int row) {
  const platform::CellGrid& c = g.Cells();
  return {c.Cell(0, row), c.Cell(1, row), c.Cell(2, row), c.Cell(3, row)};
}

class FormIOCtlTest : public test::MainWindowFixture {
 protected:
  fs::path log;
  std::unique_ptr<ScopedEnv> logEnv;

  void SetUp() override {
    MainWindowFixture::SetUp();
    log = dir / "ioctl.log";
    logEnv = std::make_unique<ScopedEnv>("SIMCARD_IOCTL_LOG", log.string());
    LiveConfig& c = state.config;
    c.Num_IOCtl = 2;
    c.IOCtlData = {0x0A, 0x41};
    c.IOCtl_OutSize = 3;
  }
  void BindCard(const std::string& file = "ADCard.DLL") {
    ASSERT_TRUE(state.driver.DriverModule.Load(kDrivers + "/" + file));
    BindEntries(state.driver.DriverModule, state.driver.Entries);
    state.driver.DriverUsable = 1;
  }
};

TEST_F(FormIOCtlTest, ShowsTheStoredDataAndSaysNothingWasSentYet) {
  state.config.AutoSendIOCtl = 1;
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  EXPECT_TRUE(form.CheckBoxAutoSend->isChecked());
  EXPECT_EQ(form.Edit_Num_IOCtl->text().toStdString(), "2");
  EXPECT_EQ(form.Edit_OutSize->text().toStdString(), "3");
  ASSERT_EQ(form.Grid_IOCtlData->Cells().RowCount(), 3);
  EXPECT_EQ(Row(*form.Grid_IOCtlData, 0), (std::vector<std::string>{"字节位置", "十六进制", "十进制", "字符"}));
  EXPECT_EQ(Row(*form.Grid_IOCtlData, 2), (std::vector<std::string>{"字节1", "41", "65", "A"}));
  EXPECT_EQ(form.StatusText(), "还未送设备数据到AD驱动程序!");
  EXPECT_FALSE(form.Grid_IOCtlData->isHidden());
  EXPECT_TRUE(form.GridOutBuf->isHidden());
}

TEST_F(FormIOCtlTest, TypingACellSetsTheOthersAndTheCountResizesTheGrid) {
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.Grid_IOCtlData->Cells().EditCell(2, 1, "300");
  form.Grid_IOCtlData->Cells().EditCell(3, 2, "A");
  form.Grid_IOCtlDataSetEditText(2, 1, "300");
  form.Grid_IOCtlDataSetEditText(3, 2, "A");
  EXPECT_EQ(Row(*form.Grid_IOCtlData, 1), (std::vector<std::string>{"字节0", "FF", "300", "ÿ"}));
  EXPECT_EQ(Row(*form.Grid_IOCtlData, 2), (std::vector<std::string>{"字节1", "41", "65", "A"}));
  form.Edit_Num_IOCtl->setText("4");
  EXPECT_EQ(form.Grid_IOCtlData->Cells().RowCount(), 5);
  EXPECT_EQ(form.Grid_IOCtlData->Cells().Cell(0, 4), "字节3");
  form.Edit_Num_IOCtl->setText("nonsense");
  EXPECT_EQ(form.Grid_IOCtlData->Cells().RowCount(), 1);
}

TEST_F(FormIOCtlTest, ASuccessfulSendShowsTheReturnedBytes) {
  BindCard();
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.ButtonIOCtl->click();
  EXPECT_EQ(form.StatusText(), "发送设备数据成功!");
  EXPECT_EQ(LogLines(log), (std::vector<std::string>{"0a 41"}));
  ASSERT_EQ(form.GridOutBuf->Cells().RowCount(), 4);
  EXPECT_EQ(Row(*form.GridOutBuf, 2), (std::vector<std::string>{"字节1", "41", "65", "A"}));
  EXPECT_EQ(Row(*form.GridOutBuf, 3), (std::vector<std::string>{"字节2", "00", "0", ""}));
  EXPECT_FALSE(form.GridOutBuf->isHidden());
  EXPECT_TRUE(form.Grid_IOCtlData->isHidden());
  EXPECT_EQ(form.LabelContent->text().toStdString(), "返回专用数据内容(按字节排列)");
  // A new count brings the send grid back.
  form.Edit_Num_IOCtl->setText("1");
  EXPECT_FALSE(form.Grid_IOCtlData->isHidden());
  EXPECT_EQ(form.LabelContent->text().toStdString(), "发送专用数据内容(按字节排列)");
}

TEST_F(FormIOCtlTest, NoReplyAskedKeepsTheSendGridShown) {
  BindCard();
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.Edit_OutSize->setText("0");
  form.ButtonIOCtlClick();
  EXPECT_EQ(form.StatusText(), "发送设备数据成功!");
  EXPECT_EQ(form.GridOutBuf->Cells().RowCount(), 1);
  EXPECT_FALSE(form.Grid_IOCtlData->isHidden());
  EXPECT_EQ(state.config.IOCtl_OutSize, 0);
}

TEST_F(FormIOCtlTest, AFailedSendChangesNoSetting) {
  BindCard();
  ScopedEnv fail("SIMCARD_FAIL_IOCTL", "1");
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.Grid_IOCtlData->Cells().EditCell(1, 1, "77");
  form.ButtonIOCtlClick();
  EXPECT_EQ(form.StatusText(), "发送设备数据失败,原因:IOCtl的参数不支持");
  EXPECT_EQ(state.config.IOCtlData, (std::vector<uint8_t>{0x0A, 0x41}));
  EXPECT_TRUE(form.GridOutBuf->isHidden());
}

TEST_F(FormIOCtlTest, WithoutADriverTheInterfaceIsSaidToBeMissing) {
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.ButtonIOCtlClick();
  EXPECT_EQ(form.StatusText(), "不能使用此接口,低层驱动程序不存在!");
  form.Edit_Num_IOCtl->setText("0");
  form.Edit_OutSize->setText("0");
  form.ButtonIOCtlClick();
  EXPECT_EQ(form.StatusText(), "没有设备数据!");
}

TEST_F(FormIOCtlTest, OkKeepsTheBytesAndTheCheckBoxActsAtOnce) {
  TFormIOCtl form(state, registry);
  form.ShowSettings();
  form.Edit_Num_IOCtl->setText("3");
  form.Grid_IOCtlData->Cells().EditCell(2, 3, "7");
  form.Edit_OutSize->setText("5");
  form.CheckBoxAutoSend->click();
  EXPECT_EQ(state.config.AutoSendIOCtl, 1);
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(state.config.Num_IOCtl, 3);
  EXPECT_EQ(state.config.IOCtlData, (std::vector<uint8_t>{0x0A, 0x41, 7}));
  EXPECT_EQ(state.config.IOCtl_OutSize, 5);
}

TEST_F(FormIOCtlTest, TheNumberBaseButtonsConvertBetweenTheFields) {
  TFormIOCtl form(state, registry);
  form.Edit_Data->setText("1");
  form.Button_FloatTo->click();
  std::vector<std::string> bytes;
  for (QLineEdit* e : form.Edit_BYTE) bytes.push_back(e->text().toStdString());
  EXPECT_EQ(bytes, (std::vector<std::string>{"00", "00", "80", "3F", "", "", "", ""}));
  form.Edit_BYTE[0]->setText("FE");
  form.Edit_BYTE[1]->setText("FF");
  form.Button_ShortFrom->click();
  EXPECT_EQ(form.Edit_Data->text().toStdString(), "-2");
}

TEST_F(FormIOCtlTest, TheMainWindowsCommandShowsThePanelModally) {
  auto main = NewMainWindow();
  auto* panel = new TFormIOCtl(state, registry, main.get());
  main->SetDeviceDataPanel(panel);
  std::string shownStatus;
  ui.modalAnswers.push_back([&shownStatus](platform::ModalDialog& d) {
    shownStatus = dynamic_cast<TFormIOCtl&>(d).StatusText();
    return platform::kModalCancel;
  });
  ASSERT_TRUE(main->menuIOCtl->isEnabled());
  main->menuIOCtl->trigger();
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.prompts.back().text, "FormIOCtl");
}

class AutoSendAtStart : public FormIOCtlTest {
 protected:
  // The card's library where the main window looks for it.
  void PutCard() {
    fs::copy_file(fs::path(kDrivers) / "ADCard.DLL", dir / "ADCard.DLL", fs::copy_options::overwrite_existing);
  }
};

TEST_F(AutoSendAtStart, TheStoredDataGoOutWithoutThePanelShowing) {
  PutCard();
  auto main = NewMainWindow();
  ASSERT_EQ(state.driver.DriverUsable, 1);
  auto* panel = new TFormIOCtl(state, registry, main.get());
  main->SetDeviceDataPanel(panel);
  LiveConfig& c = state.config;
  c.AutoSendIOCtl = 1;
  c.Num_IOCtl = 2;
  c.IOCtlData = {0x0A, 0x41};
  c.IOCtl_OutSize = 1;
  main->Timer1Timer();
  EXPECT_EQ(LogLines(log), (std::vector<std::string>{"0a 41"}));
  EXPECT_EQ(panel->StatusText(), "发送设备数据成功!");
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).empty());
}

TEST_F(AutoSendAtStart, NothingGoesOutUnlessAsked) {
  PutCard();
  auto main = NewMainWindow();
  state.config.AutoSendIOCtl = 0;
  state.config.Num_IOCtl = 1;
  state.config.IOCtlData = {1};
  main->Timer1Timer();
  EXPECT_TRUE(LogLines(log).empty());
}

TEST_F(AutoSendAtStart, NothingGoesOutWithoutAUsableDriver) {
  auto main = NewMainWindow();
  // Its entries bound, but the driver not usable.
  BindCard();
  state.driver.DriverUsable = 0;
  state.config.AutoSendIOCtl = 1;
  state.config.Num_IOCtl = 1;
  state.config.IOCtlData = {1};
  main->Timer1Timer();
  EXPECT_TRUE(LogLines(log).empty());
}

}  // namespace
