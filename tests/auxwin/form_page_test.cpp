// The universal page dialog as a window: its controls, the modal exchange
// through the scratch page, page files, the recent list and the algorithm
// fill.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "auxwin/FormPage.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

// A card of 8 analog channels and 3 switch inputs; the dialog as its
// opener shows it with a page of analog 5, 6 and switch input 2.
class FormPageTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  std::unique_ptr<TFormPage> form;
  std::filesystem::path dir;

  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-formpage-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    LiveConfig& c = state.config;
    c.Analog_Num = 8;
    c.SW_Num = 3;
    for (int i = 0; i < 8; ++i) c.AnalogChannelTable[i].ChnName = "Ua" + std::to_string(i);
    for (int i = 0; i < 3; ++i) c.SwitchChannelTable[i].SWName = "Kb" + std::to_string(i);
    state.UniversalPage.AnalogCount = 2;
    state.UniversalPage.SwitchCount = 1;
    state.UniversalPage.Channels[0] = 5;
    state.UniversalPage.Channels[1] = 6;
    state.UniversalPage.Channels[2] = 2;
    form = std::make_unique<TFormPage>(state, registry, ui);
    form->FormActivate();
  }
  void TearDown() override {
    form.reset();
    std::filesystem::remove_all(dir);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  std::vector<std::string> Column(const QTableWidget* grid, int column) const {
    std::vector<std::string> out;
    for (int row = 1; row < grid->rowCount(); ++row) out.push_back(form->Cell(grid, row, column));
    return out;
  }
  void Type(QTableWidget* grid, int row, const char* text) {
    grid->item(row + 1, 2)->setText(QString::fromUtf8(text));  // as the user's edit does
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(FormPageTest, ControlsCarryTheirNamesCaptionsAndHints) {
  EXPECT_EQ(form->objectName(), "FormPage");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("选择万能页显示通道"));
  const std::tuple<QPushButton*, const char*, const char*> buttons[] = {
      {form->ButtonOK, "确定", "退出,使用当前配置"},     {form->ButtonCancel, "取消", "退出,放弃当前修改"},
      {form->ButtonRestore, "恢复", "恢复原先配置"},       {form->ButtonSave, "存配置", "当前配置存入文件"},
      {form->ButtonRead, "读配置", "从文件读出配置"},      {form->ButtonAlgorithm, "算法n", "选择启动算法n所涉及通道"}};
  for (const auto& [button, caption, hint] : buttons) {
    EXPECT_EQ(button->text().toStdString(), caption);
    EXPECT_EQ(button->toolTip().toStdString(), hint);
  }
  EXPECT_TRUE(form->ButtonOK->isDefault());
  EXPECT_EQ(form->Label1->text(), QStringLiteral("模拟量通道数"));
  EXPECT_EQ(form->Label2->text(), QStringLiteral("开关量通道数"));
  EXPECT_EQ(form->Label3->text(), QStringLiteral("查询模拟量"));
  EXPECT_EQ(form->LabelBinary->text(), QStringLiteral("查询开关量"));
  EXPECT_EQ(form->Label4->text(), QStringLiteral("最近配置文件"));
  EXPECT_EQ(form->ComboBoxRecentFile->toolTip(), QStringLiteral("双击打开文件"));
  EXPECT_EQ(form->GridAnalog->toolTip(), QStringLiteral("有右键菜单"));
  EXPECT_EQ(form->menuIncChn->text(), QStringLiteral("以第1通道为准顺序增加通道号"));
  EXPECT_EQ(form->menuIncBinChn->text(), QStringLiteral("以第1通道为准顺序增加通道号"));
  EXPECT_EQ(form->Cell(form->GridBin, 0, 0), "显示顺序");
  EXPECT_EQ(form->Cell(form->GridBin, 0, 1), "通道名称");
  EXPECT_EQ(form->Cell(form->GridBin, 0, 2), "通道号");
}

TEST_F(FormPageTest, ActivationShowsThePageWithPositionsNamesAndLookUps) {
  EXPECT_EQ(form->EditAnalogNum->text(), "2");
  EXPECT_EQ(form->EditBinNum->text(), "1");
  EXPECT_EQ(Column(form->GridAnalog, 0), (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(Column(form->GridAnalog, 1), (std::vector<std::string>{"Ua5", "Ua6"}));
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"5", "6"}));
  // The switch list's positions go on after the analog list.
  EXPECT_EQ(Column(form->GridBin, 0), (std::vector<std::string>{"2"}));
  EXPECT_EQ(Column(form->GridBin, 1), (std::vector<std::string>{"Kb2"}));
  ASSERT_EQ(form->ComboBoxAnalog->count(), 8);
  EXPECT_EQ(form->ComboBoxAnalog->itemText(3), QStringLiteral("3: Ua3"));
  EXPECT_EQ(form->ComboBoxAnalog->currentIndex(), 0);
  EXPECT_EQ(form->ComboBoxBinary->itemText(2), QStringLiteral("2: Kb2"));
  EXPECT_TRUE(form->EditBinNum->isEnabled());

  state.config.SW_Num = 0;
  form->FormActivate();
  EXPECT_FALSE(form->EditBinNum->isEnabled());
  EXPECT_EQ(form->EditBinNum->text(), "0");
  EXPECT_EQ(form->GridBin->rowCount(), 1);  // the heading row stays
}

TEST_F(FormPageTest, EditsAreCheckedAtOnceAndOkWritesThePage) {
  Type(form->GridAnalog, 0, "57");
  EXPECT_EQ(form->Cell(form->GridAnalog, 1, 2), "7");
  EXPECT_EQ(form->Cell(form->GridAnalog, 1, 1), "Ua7");
  form->EditAnalogNum->setText("3");
  form->EditAnalogNumExit();
  Type(form->GridAnalog, 2, "x");
  EXPECT_EQ(form->Cell(form->GridAnalog, 3, 2), "x");
  EXPECT_EQ(form->Cell(form->GridAnalog, 3, 1), "Ua2");
  EXPECT_EQ(form->Cell(form->GridBin, 1, 0), "3");  // the switch list moved down one place
  form->ButtonOKClick();
  EXPECT_EQ(form->result(), QDialog::Accepted);
  const UniversalPageRecord& page = state.UniversalPage;
  EXPECT_EQ(page.AnalogCount, 3);
  EXPECT_EQ(page.SwitchCount, 1);
  EXPECT_EQ((std::vector<int32_t>{page.Channels[0], page.Channels[1], page.Channels[2], page.Channels[3]}),
            (std::vector<int32_t>{7, 6, 2, 2}));
}

TEST_F(FormPageTest, CancelAndRestoreLeaveTheScratchPageAsItWas) {
  const UniversalPageRecord before = state.UniversalPage;
  form->EditBinNum->setText("3");
  form->EditBinNumExit();
  Type(form->GridAnalog, 1, "0");
  form->ButtonRestoreClick();
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"5", "6"}));
  EXPECT_EQ(form->GridBin->rowCount(), 2);
  Type(form->GridAnalog, 1, "0");
  form->ButtonCancelClick();
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(state.UniversalPage.Channels, before.Channels);
  EXPECT_EQ(state.UniversalPage.AnalogCount, before.AnalogCount);
}

TEST_F(FormPageTest, SavingWritesThePageFileAndRemembersIt) {
  const std::string path = Path("two.vpc");
  form->EditBinNum->setText("0");
  form->EditBinNumExit();
  ui.fileAnswers.push_back(path);
  form->ButtonSaveClick();
  EXPECT_EQ(Bytes(path), "VPC\r\n2 0\r\n5\r\n6\r\n");
  const auto asked = ui.PromptsOf(Kind::SaveFile);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].file.title, "指定要保存的万能页配置文件名");
  EXPECT_EQ(asked[0].file.defaultExt, "VPC");
  EXPECT_EQ(asked[0].file.filter, "万能页配置文件 (*.vpc)|*.vpc|所有文件 (*.*)|*.*");
  EXPECT_EQ(form->RecentFiles(), (std::vector<std::string>{path}));

  // A file that cannot be made: the program's message, nothing remembered.
  ui.fileAnswers.push_back(Path("missing-dir/x.vpc"));
  form->ButtonSaveClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "不能创建新文件!");
  EXPECT_EQ(messages[0].caption, "打开配置文件错误");
  EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
  EXPECT_EQ(form->RecentFiles().size(), 1u);
  // Cancelled: nothing at all.
  form->ButtonSaveClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
}

TEST_F(FormPageTest, ReadingAFileFillsTheListsAndARefusedFileChangesNothing) {
  const std::string good = Path("good.vpc");
  std::ofstream(good, std::ios::binary) << "VPC\r\n3 2\r\n1\r\n9\r\n0\r\n2\r\n1\r\n";
  ui.fileAnswers.push_back(good);
  form->ButtonReadClick();
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"1", "6", "0"}));  // 9 is no channel
  EXPECT_EQ(Column(form->GridBin, 2), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(form->EditAnalogNum->text(), "3");
  EXPECT_EQ(ui.PromptsOf(Kind::OpenFile).at(0).file.title, "选定要读取的万能页配置文件");
  EXPECT_EQ(form->RecentFiles(), (std::vector<std::string>{good}));

  for (const char* bytes : {"VPC2\r\n1 0\r\n3\r\n", "VPC\r\n3 0\r\n1\r\n", "VPC\r\n-1 0\r\n"}) {
    const std::string bad = Path("bad.vpc");
    std::ofstream(bad, std::ios::binary) << bytes;
    ui.fileAnswers.push_back(bad);
    form->ButtonReadClick();
    EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"1", "6", "0"})) << bytes;
    EXPECT_EQ(form->GridBin->rowCount(), 3) << bytes;
    EXPECT_EQ(form->RecentFiles().size(), 1u) << bytes;
  }
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());

  // The recent list's double click reads the named file and leaves the list.
  form->ButtonRestoreClick();
  form->ComboBoxRecentFile->setCurrentIndex(0);
  form->ComboBoxRecentFileDblClick();
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"1", "6", "0"}));
  EXPECT_EQ(form->RecentFiles().size(), 1u);
}

TEST_F(FormPageTest, TheSixLastPageFilesComeBackAfterARestart) {
  for (int i = 1; i <= 7; ++i) {
    ui.fileAnswers.push_back(Path(("p" + std::to_string(i) + ".vpc").c_str()));
    form->ButtonSaveClick();
  }
  std::vector<std::string> expected;
  for (int i = 2; i <= 7; ++i) expected.push_back(Path(("p" + std::to_string(i) + ".vpc").c_str()));
  EXPECT_EQ(form->RecentFiles(), expected);
  form.reset();
  EXPECT_EQ(registry.ReadString(kFormSizeKey, "RecentPageFile0"), expected[0]);
  form = std::make_unique<TFormPage>(state, registry, ui);
  EXPECT_EQ(form->RecentFiles(), expected);
  EXPECT_EQ(form->ComboBoxRecentFile->currentIndex(), 5);  // the newest
}

TEST_F(FormPageTest, TheAlgorithmButtonFillsTheListsFromThePickedAlgorithm) {
  EXPECT_FALSE(form->ButtonAlgorithm->isEnabled()) << "no picker yet";
  int asked = 0;
  std::optional<std::string> answer = "7";
  form->SetAlgorithmChooser([&] {
    ++asked;
    return answer;
  });
  EXPECT_TRUE(form->ButtonAlgorithm->isEnabled());

  state.config.Algorithm_Num = 0;
  form->ButtonAlgorithmClick();
  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "因为未定义启动/触发算法");
  EXPECT_EQ(messages[0].caption, "不能选择算法");
  EXPECT_EQ(asked, 0);

  state.config.Algorithm_Num = 2;
  AlgorithmConfig& a = state.config.AlgorithmTable[1];  // "7" is limited to the last one
  a.UsedChn = 3;
  a.Channel[0] = 0;
  a.Channel[1] = 1;
  a.Channel[2] = 2;
  a.AssAnalogChnNum = 2;
  a.AssAnalogChn[0] = 7;
  a.AssAnalogChn[1] = 4;
  a.AssSWChnNum = 1;
  a.AssSWChn[0] = 1;
  form->ButtonAlgorithmClick();
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"0", "1", "2", "7", "4"}));
  EXPECT_EQ(Column(form->GridBin, 2), (std::vector<std::string>{"1"}));
  // Closed without OK: nothing changes.
  answer.reset();
  form->EditAnalogNum->setText("1");
  form->EditAnalogNumExit();
  form->ButtonAlgorithmClick();
  EXPECT_EQ(form->GridAnalog->rowCount(), 2);
}

TEST_F(FormPageTest, ThePopUpFillsConsecutiveChannels) {
  form->EditAnalogNum->setText("5");
  form->EditAnalogNumExit();
  Type(form->GridAnalog, 0, "6");
  form->menuIncChn->trigger();
  EXPECT_EQ(Column(form->GridAnalog, 2), (std::vector<std::string>{"6", "7", "0", "1", "2"}));
  form->EditBinNum->setText("3");
  form->EditBinNumExit();
  Type(form->GridBin, 0, "1");
  form->menuIncBinChn->trigger();
  EXPECT_EQ(Column(form->GridBin, 2), (std::vector<std::string>{"1", "2", "0"}));
}

}  // namespace
