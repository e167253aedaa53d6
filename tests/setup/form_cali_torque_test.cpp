#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "platform/qt/StringGrid.h"
#include "setup/FormCaliTorque.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\CaliTorque";

class FormCaliTorqueTest : public test::MainWindowFixture {
 protected:
  // Shows the editor as a user meets it, lets `act` work on it and returns
  // the modal result its buttons gave.
  void Answer(std::function<void(TFormCaliTorque&)> act) {
    ui.modalAnswers.push_back([act](platform::ModalDialog& d) {
      auto& form = dynamic_cast<TFormCaliTorque&>(d);
      form.FormShow();
      form.setResult(0);
      act(form);
      return form.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
    });
  }
  static void Set(TFormCaliTorque& form, int column, int point, const std::string& text) {
    form.GridCaliTorque->SetCellText(column, kTorqueGridHeaderRows + point - 1, text);
  }
  static std::string Get(TFormCaliTorque& form, int column, int point) {
    return form.GridCaliTorque->Cells().Cell(column, kTorqueGridHeaderRows + point - 1);
  }
  static std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(FormCaliTorqueTest, TheMenuItemShowsTheEditorFilledFromTheTables) {
  auto form = NewMainWindow();
  EXPECT_TRUE(form->menuCaliTorque->isEnabled());
  state.torque.TorqueTableT2[4] = -5.5;
  std::string header, label, value, status = "?";
  Answer([&](TFormCaliTorque& d) {
    header = d.GridCaliTorque->Cells().Cell(3, 0);
    label = d.GridCaliTorque->Cells().Cell(0, 22);
    value = Get(d, 4, 5);
    status = d.StatusText();
    d.ButtonCancel->click();
  });
  form->menuCaliTorque->trigger();
  ASSERT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal)[0].text, "FormCaliTorque");
  EXPECT_EQ(header, "扭矩2");
  EXPECT_EQ(label, "点21");
  EXPECT_EQ(value, "-5.5");
  EXPECT_EQ(status, "");
}

TEST_F(FormCaliTorqueTest, OkPutsACheckedGridInForceAndRefusesAFaultyOne) {
  auto form = NewMainWindow();
  bool closedByBadGrid = true;
  std::string refusal;
  Answer([&](TFormCaliTorque& d) {
    Set(d, 3, 7, "-5");  // equal to point 6
    d.ButtonOK->click();
    closedByBadGrid = d.result() != 0;
    refusal = d.StatusText();
    Set(d, 3, 7, "-3.75");  // between points 6 and 8
    d.ButtonOK->click();
  });
  form->menuCaliTorqueClick();
  EXPECT_FALSE(closedByBadGrid);
  EXPECT_EQ(refusal, "警告：扭矩2电压，点 7 不比点 6 大");
  EXPECT_EQ(state.torque.TorqueVTableT2[6], -3.75);
  // Stored only when the editor goes.
  EXPECT_FALSE(registry.ReadBinary(kKey, "TorqueVTableT2", 168).has_value());
  form.reset();
  const auto stored = registry.ReadBinary(kKey, "TorqueVTableT2", 168);
  ASSERT_TRUE(stored.has_value());
  double seventh = 0;
  std::memcpy(&seventh, stored->data() + 6 * 8, 8);
  EXPECT_EQ(seventh, -3.75);
}

TEST_F(FormCaliTorqueTest, SaveWritesANewFileAndLoadThenCancelChangesNothing) {
  auto form = NewMainWindow();
  const fs::path path = dir / "fresh.TRQ";
  ui.fileAnswers.push_back(path.string());
  std::string saved;
  Answer([&](TFormCaliTorque& d) {
    Set(d, 6, 21, "12.5");
    d.ButtonSaveClick();
    saved = d.StatusText();
    d.ButtonCancel->click();
  });
  form->menuCaliTorqueClick();
  EXPECT_EQ(saved, "提示：写入过程成功!");
  ASSERT_EQ(ui.PromptsOf(Kind::SaveFile).size(), 1u);
  const platform::FileDialogRequest request = ui.PromptsOf(Kind::SaveFile)[0].file;
  EXPECT_EQ(request.title, "指定要保存的扭矩传感器21点刻度信息文件名");
  EXPECT_EQ(request.fileName, "Torque21.TRQ");
  EXPECT_EQ(request.defaultExt, "TRQ");
  EXPECT_EQ(request.filter, "扭矩刻度文件 (*.trq)|*.trq|所有文件 (*.*)|*.*");
  EXPECT_FALSE(request.mustExist);
  TorqueTables written;
  written.TorqueTableT3[20] = 12.5;
  EXPECT_EQ(ReadAll(path), TorqueFileText(written));
  EXPECT_EQ(state.torque.TorqueTableT3[20], 10.0);  // cancelled

  ui.fileAnswers.push_back(path.string());
  std::string loaded, shown;
  Answer([&](TFormCaliTorque& d) {
    d.ButtonLoadClick();
    loaded = d.StatusText();
    shown = Get(d, 6, 21);
    d.ButtonCancel->click();
  });
  form->menuCaliTorqueClick();
  EXPECT_EQ(loaded, "提示：读取文件成功!");
  EXPECT_EQ(shown, "12.5");
  EXPECT_EQ(state.torque.TorqueTableT3[20], 10.0);
  const platform::FileDialogRequest open = ui.PromptsOf(Kind::OpenFile)[0].file;
  EXPECT_EQ(open.title, "选定要读取的扭矩21点刻度文件");
  EXPECT_EQ(open.filter, "扭矩21点刻度文件 (*.trq)|*.trq|所有文件 (*.*)|*.*");
  EXPECT_TRUE(open.mustExist);
}

TEST_F(FormCaliTorqueTest, ABadFileLeavesTheGridAndALoadedFaultIsReported) {
  auto form = NewMainWindow();
  std::ofstream(dir / "head.TRQ") << "torque 21 Points\nTorque 1\n";
  TorqueTables falling;
  falling.TorqueTableT1[12] = 1.0;  // equal to point 12
  std::ofstream(dir / "falling.TRQ", std::ios::binary) << TorqueFileText(falling);
  ui.fileAnswers.push_back((dir / "head.TRQ").string());
  ui.fileAnswers.push_back(std::nullopt);
  ui.fileAnswers.push_back((dir / "falling.TRQ").string());
  std::string header, afterCancel, fault, shown;
  Answer([&](TFormCaliTorque& d) {
    Set(d, 1, 1, "-11");
    d.ButtonLoadClick();
    header = d.StatusText();
    d.ButtonLoadClick();  // the dialog cancelled
    afterCancel = d.StatusText();
    shown = Get(d, 1, 1);
    d.ButtonLoadClick();
    fault = d.StatusText();
    d.ButtonOK->click();
  });
  form->menuCaliTorqueClick();
  EXPECT_EQ(header, "错误：文件头格式错误！");
  EXPECT_EQ(afterCancel, header);
  EXPECT_EQ(shown, "-11");
  EXPECT_EQ(fault, "警告：扭矩1扭矩，点 13 不比点 12 大");
  EXPECT_EQ(state.torque.TorqueTableT1, IdentityTorqueTable());  // OK refused the loaded grid
}

TEST_F(FormCaliTorqueTest, StoredTablesThatDoNotRiseAreReplacedAndReported) {
  TorqueTables stored;
  stored.TorqueVTableT3[1] = -10.0;
  stored.TorqueTableT1[0] = 7.0;
  SaveTorqueTables(registry, "QuelvarTorque", stored);
  auto form = NewMainWindow();
  auto* editor = new TFormCaliTorque(state, registry, ui, form.get());
  form->SetCaliTorqueDialog(editor);
  EXPECT_EQ(state.torque.TorqueVTableT3, IdentityTorqueTable());
  EXPECT_EQ(state.torque.TorqueTableT1, IdentityTorqueTable());
  EXPECT_EQ(editor->StatusText(), "警告：扭矩1扭矩，点 2 不比点 1 大，已改用默认刻度(-10~10)");
  const std::string log = form->RunLogText();
  EXPECT_NE(log.find("警告：扭矩1扭矩，点 2 不比点 1 大，已改用默认刻度(-10~10)"), std::string::npos) << log;
  EXPECT_NE(log.find("警告：扭矩3电压，点 2 不比点 1 大，已改用默认刻度(-10~10)"), std::string::npos) << log;
}

}  // namespace
