// Derived data sets: the definition dialog, the main window's command and
// the set put in force in place of the shown record.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FilterTestRecord.h"
#include "analysis/DerivedSetCommand.h"
#include "analysis/FormDigiIntegrate.h"
#include "platform/qt/StringGrid.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

// Channel w of row r: a ramp per channel about the zero code.
uint16_t Ramp(int32_t row, int32_t word) { return static_cast<uint16_t>(2048 + (word + 1) * row); }

class FormDigiIntegrateTest : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormDigiIntegrate> dialog;

  void SetUp() override {
    MainWindowFixture::SetUp();
    form = NewMainWindow();
    form->Timer2Timer();  // past the deferred start-up
    dialog = std::make_unique<TFormDigiIntegrate>(state, registry);
    form->SetDigiIntegrateDialog(dialog.get());
    state.config.WinTitle = "Quelvar";
  }
  void TearDown() override {
    form->SetDigiIntegrateDialog(nullptr);
    dialog.reset();
    form.reset();
    MainWindowFixture::TearDown();
  }
  // Three blocks of 20 rows, channel 3 a counter; the screen holds rows 15
  // to 24, in blocks 0 and 1.
  void ShowRecord(int32_t analog = 4) {
    LiveConfig& c = state.config;
    for (int32_t k = 0; k < analog; ++k) c.AnalogChannelTable[static_cast<size_t>(k)].ChnName = "U" + std::to_string(k);
    c.AnalogChannelTable[3].ChnIDDC = 2;
    c.CardNameText = "OwnCard";
    test::ShowFourChannelRecord(state, *form, 3, 20, Ramp, analog);
    state.wave.XPosition = 15;
    state.wave.DisplayWidth = 10;
  }
  // The dialog's answer: opened (defaults), `edit` on its grid, then
  // "确认" or "取消".
  void Answer(bool ok, const std::function<void(TFormDigiIntegrate&)>& edit = {}) {
    ui.modalAnswers.push_back([ok, edit](platform::ModalDialog& modal) {
      auto& d = dynamic_cast<TFormDigiIntegrate&>(modal);
      d.FormActivate();
      if (edit) edit(d);
      if (!ok) {
        d.ButtonCancelClick();
        return platform::kModalCancel;
      }
      d.ButtonOKClick();
      return platform::kModalOk;
    });
  }
  uint16_t Word(int32_t row, int32_t word) const {
    return state.history.Samples[static_cast<size_t>(row) * state.history.NumChn + word];
  }
  // What must stay when the command ends without a set.
  struct Snapshot {
    std::vector<uint16_t> samples;
    int32_t analog, numChn, blocks, tempConfig;
    std::string card, comment, title;
    const uint16_t* shown;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() const {
    return {state.history.Samples, state.config.Analog_Num, state.config.NumChn, state.history.BlockCount,
            state.configInForce.TempConfigActive, state.config.CardNameText, state.history.Comment,
            form->windowTitle().toStdString(), state.display.DispData};
  }
};

TEST_F(FormDigiIntegrateTest, TheCommandIsEnabledWhileTheDialogIsHandedOver) {
  EXPECT_TRUE(form->menuDigiIntegrate->isEnabled());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "数值积分与差分配置平台");
  form->SetDigiIntegrateDialog(nullptr);
  EXPECT_FALSE(form->menuDigiIntegrate->isEnabled());
  form->SetDigiIntegrateDialog(dialog.get());
  EXPECT_TRUE(form->menuDigiIntegrate->isEnabled());
}

TEST_F(FormDigiIntegrateTest, RefusalsAndACancelledDialogChangeNothing) {
  ShowRecord();
  const Snapshot before = Take();
  struct Case {
    std::function<void()> set;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[&] { form->menuSelectFault->setChecked(false); }, "错误：请先选中历史数据!"},
      {[&] { state.RunState = kRunRecording; }, "错误：请先选中历史数据!"},
      {[&] { state.config.MaxMultiFreq = 2; }, "错误：数值积分不支持多频率采集!"},
  };
  for (const Case& c : cases) {
    c.set();
    form->menuDigiIntegrateClick();
    EXPECT_EQ(form->PostedStatusText(), c.text);
    EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
    EXPECT_TRUE(Take() == before);
    form->menuSelectFault->setChecked(true);
    state.RunState = kRunIdle;
    state.config.MaxMultiFreq = 1;
  }
  Answer(false);
  form->menuDigiIntegrateClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_TRUE(Take() == before);
  EXPECT_EQ(state.configInForce.SysParamCaption, "系统参数(&P)");
}

TEST_F(FormDigiIntegrateTest, WarningsLeaveTheRecordAndConfigurationAsTheyWere) {
  // No output chosen.
  ShowRecord();
  const Snapshot before = Take();
  Answer(true, [](TFormDigiIntegrate& d) {
    for (int k = 0; k < 3; ++k) d.GridDIDefDblClick(2, 4 * k + 1);  // channels 0..2 off (3 is off already)
  });
  form->menuDigiIntegrateClick();
  EXPECT_EQ(form->PostedStatusText(), "警告:未选中有效通道");
  EXPECT_TRUE(Take() == before);

  // 34 channels with all three outputs each: 102 > 100.
  ShowRecord(34);
  const Snapshot wide = Take();
  Answer(true, [](TFormDigiIntegrate& d) {
    platform::CellGrid& g = d.GridDIDef->Cells();
    for (int k = 0; k < 34; ++k) {
      for (int r = 1; r <= 3; ++r) g.SetCell(2, 4 * k + r, "是");
    }
  });
  form->menuDigiIntegrateClick();
  EXPECT_EQ(form->PostedStatusText(), "警告:总通道数超过限值 100");
  EXPECT_TRUE(Take() == wide);
}

TEST_F(FormDigiIntegrateTest, TheDefaultSetReproducesTheScreensBlocksOneChannelPerLineAndPage) {
  ShowRecord();
  const std::vector<uint16_t> source = state.history.Samples;
  Answer(true);
  form->menuDigiIntegrateClick();

  // Channels 0..2 (3 is a counter), blocks 0 and 1 (rows 0..39).
  const LiveConfig& c = state.config;
  EXPECT_EQ(c.Analog_Num, 3);
  EXPECT_EQ(c.NumChn, 3);
  EXPECT_EQ(c.SW_Num, 0);
  EXPECT_EQ(c.Total_Line, 3);
  EXPECT_EQ(c.Line_Num, 3);
  EXPECT_EQ(c.TotalPages, 3);
  EXPECT_EQ(c.CardNameText, "DIComboChn");
  EXPECT_EQ(c.MaxBlock, 2);
  for (int32_t n = 0; n < 3; ++n) {
    const AnalogChannel& ch = c.AnalogChannelTable[static_cast<size_t>(n)];
    EXPECT_EQ(ch.ChnName, "U" + std::to_string(n));
    EXPECT_EQ(ch.ChnGroupNo, n);
    EXPECT_EQ(ch.ChnPageNo, n);
    EXPECT_EQ(c.LineTable[static_cast<size_t>(n)].AName, "Group" + std::to_string(n));
    EXPECT_EQ(c.LineTable[static_cast<size_t>(n)].APhaseNum, 1);
  }
  const HistoryRecord& h = state.history;
  EXPECT_EQ(h.Comment, "分析数据:数值积分和差分后的数据");
  EXPECT_EQ(h.BlockCount, 2);
  EXPECT_EQ(h.NumChn, 3);
  EXPECT_EQ(h.AnalogCount, 3);
  EXPECT_EQ(h.TriggerBlock, 0);
  EXPECT_EQ(h.TriggerOffset, 5);
  for (int32_t r = 0; r < 40; ++r) {
    for (int32_t w = 0; w < 3; ++w) ASSERT_EQ(Word(r, w), source[static_cast<size_t>(r) * 4 + w]) << r << "," << w;
  }
  const DisplayDescriptor& d = state.display;
  EXPECT_EQ(d.DispData, h.Samples.data());
  EXPECT_EQ(d.DispRows, 40);
  EXPECT_EQ(d.DispRowWords, 3);
  EXPECT_EQ(d.DispBlocks, 2);
  EXPECT_EQ(d.DispValid, 1);
  EXPECT_EQ(d.DispTriggerBlock, 0);
  EXPECT_EQ(d.DispTriggerPoint, 5);
  EXPECT_EQ(state.acq.BufferLayoutValid, 0);
  // The lent configuration, the view and the caption.
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(c.SimulateAD, 0);  // the real card stays chosen
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&T)");
  EXPECT_TRUE(form->menuRestoreConfig->isVisible());
  EXPECT_TRUE(form->menuSelectFault->isChecked());
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::All);
  EXPECT_EQ(state.wave.DisplayWidth, 40);  // the whole set on one screen
  EXPECT_EQ(state.wave.RepaintRequested, 1);
  EXPECT_EQ(form->windowTitle().toStdString(), "Quelvar--数值积分差分分析数据");

  // The own configuration comes back whole.
  form->menuRestoreConfigClick();
  EXPECT_EQ(state.config.Analog_Num, 4);
  EXPECT_EQ(state.config.CardNameText, "OwnCard");
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(state.config.SimulateAD, 0);
}

// The display's rows are the set's: the record's rows a block, whatever the
// live configuration's block length says.
TEST_F(FormDigiIntegrateTest, TheDisplayRowsFollowTheRecordsBlockLength) {
  ShowRecord();
  state.config.NumSamp = 25;  // not the record's 20
  const DerivedSpan span = ShownDerivedSpan(state);
  ASSERT_EQ(span.numSamp, 20);
  DerivedSet set;
  ASSERT_FALSE(BuildShownDerivedSet(state, DefaultDerivedDefs(state), set).has_value());
  PutDerivedSetInForce(state, std::move(set), span);
  const DisplayDescriptor& d = state.display;
  EXPECT_EQ(d.DispRows, 40);
  EXPECT_LE(static_cast<size_t>(d.DispRows) * static_cast<size_t>(d.DispRowWords), state.history.Samples.size());
}

TEST_F(FormDigiIntegrateTest, DifferenceAndIntegralOutputsAndABuildFromADerivedSet) {
  ShowRecord();
  Answer(true, [](TFormDigiIntegrate& d) {
    d.GridDIDefDblClick(2, 1);  // channel 0 itself off
    d.GridDIDefDblClick(2, 3);  // its difference on
    d.GridDIDef->Cells().SetCell(4, 3, "2");  // lag 2
    d.GridDIDef->Cells().SetCell(3, 3, "1");
    d.GridDIDef->Cells().SetCell(7, 3, "ABCDEFGHIJKLMNOPQRST");
    d.GridDIDefDblClick(2, 6);  // channel 1's integral on
    d.GridDIDefDblClick(4, 6);  // with the running sum as it is
    d.GridDIDef->Cells().SetCell(3, 6, "1");
  });
  form->menuDigiIntegrateClick();
  // Outputs: diff(0), 1, integral(1), 2 on three pages.
  ASSERT_EQ(state.config.Analog_Num, 4);
  EXPECT_EQ(state.config.TotalPages, 3);
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnName, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnPageNo, 0);
  EXPECT_EQ(state.config.AnalogChannelTable[2].ChnPageNo, 1);
  EXPECT_EQ(state.config.AnalogChannelTable[3].ChnPageNo, 2);
  EXPECT_EQ(Word(0, 0), 2048);  // the first K rows hold the zero code
  EXPECT_EQ(Word(1, 0), 2048);
  EXPECT_EQ(Word(2, 0), 2048 + 2);  // channel 0 rises by 1 a row
  // Channel 1 rises by 2 a row from the zero code: S_j = j (j + 1).
  EXPECT_EQ(Word(3, 2), 2048 + 12);
  EXPECT_EQ(Word(39, 2), 2048 + 39 * 40);

  // A build from the derived set keeps the machine's own configuration.
  const std::vector<uint8_t> own = state.configInForce.OwnConfigRecord;
  state.wave.XPosition = 0;
  state.wave.DisplayWidth = 5;
  Answer(true);
  form->menuDigiIntegrateClick();
  EXPECT_EQ(state.configInForce.OwnConfigRecord, own);
  EXPECT_EQ(state.history.BlockCount, 1);
  EXPECT_EQ(state.config.Analog_Num, 4);
  EXPECT_EQ(state.config.AnalogChannelTable[0].ChnName, "ABCDEFGHIJKLMNO");
}

}  // namespace
