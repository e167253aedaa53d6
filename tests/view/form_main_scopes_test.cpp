// The main window's channel scopes, phases, analog/switch view, channel
// scroll bar and universal page with its slots.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <memory>
#include <string>

#include "auxwin/FormPage.h"
#include "setup/FormSelAlgorithm.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/WaveRows.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

// Ten analog channels in lines of 3, 3 and 4 (display positions 0, 3, 6),
// four switch inputs, two predefined pages (channels 0-4 on page 0, the
// rest and the switch inputs on page 1), and data on display.
class FormMainScopes : public test::MainWindowFixture {
 protected:
  std::unique_ptr<TFormMain> form;

  void SetUp() override {
    MainWindowFixture::SetUp();
    form = NewMainWindow();
    form->Timer2Timer();  // the deferred start-up
    LiveConfig& c = state.config;
    c.Analog_Num = 10;
    c.SW_Num = 4;
    c.Total_Line = 3;
    c.TotalPages = 2;
    const int phases[] = {3, 3, 4};
    for (int k = 0; k < 3; ++k) c.LineTable[k].APhaseNum = phases[k];
    for (int i = 0; i < 10; ++i) {
      c.AnalogChannelTable[i].ChnGroupNo = i < 3 ? 0 : i < 6 ? 1 : 2;
      c.AnalogChannelTable[i].ChnPageNo = i < 5 ? 0 : 1;
    }
    for (int s = 0; s < 4; ++s) c.SwitchChannelTable[s].SWPageNo = 1;
    state.display.DispValid = 1;
    state.display.DataSourceMode = 0;
    form->RebuildDisplayLayout();
    state.wave.RepaintRequested = 0;
  }
  void TearDown() override {
    form.reset();
    MainWindowFixture::TearDown();
  }
  // The rows the renderer would draw now (on a copy: drawing corrects the
  // view's start in some scopes).
  size_t RowsDrawn() const {
    WaveViewState view = state.wave;
    return BuildWaveRows(state.config, form->VScrollBar_Channel->maximum(), view).size();
  }
  QAction* CheckedScopeItem() const {
    QAction* checked = nullptr;
    for (QAction* item : {form->menuScopeChannel, form->menuScopeLine, form->menuScope4, form->menuScope8,
                          form->menuScope16, form->menuScopeAll, form->menuScopeOverall, form->menuScopePage}) {
      if (item->isChecked()) {
        EXPECT_EQ(checked, nullptr) << "two scope items checked";
        checked = item;
      }
    }
    return checked;
  }
  // A page dialog answer that sets the page's lists and closes with OK.
  void AnswerPageDialog(const std::string& analogCount, const std::string& switchCount,
                        std::vector<const char*> analog, std::vector<const char*> switches) {
    ui.modalAnswers.push_back([=](platform::ModalDialog& dialog) {
      auto& page = dynamic_cast<TFormPage&>(dialog);
      page.FormActivate();
      page.EditBinNum->setText(QString::fromStdString(switchCount));
      page.EditBinNumExit();
      page.EditAnalogNum->setText(QString::fromStdString(analogCount));
      page.EditAnalogNumExit();
      for (size_t k = 0; k < analog.size(); ++k) page.GridAnalog->item(static_cast<int>(k) + 1, 2)->setText(analog[k]);
      for (size_t k = 0; k < switches.size(); ++k) page.GridBin->item(static_cast<int>(k) + 1, 2)->setText(switches[k]);
      page.ButtonOKClick();
      return platform::kModalOk;
    });
  }
};

TEST_F(FormMainScopes, EachSelectionSetsItsMarksTheScrollRangeAndTheRowsDrawn) {
  struct Step {
    const char* what;
    void (TFormMain::*command)();
    ChannelScope scope;
    bool phaseMultiple, viewSwitch;
    int scrollMax;
    size_t rows;
  } steps[] = {
      {"start", nullptr, ChannelScope::Channel, false, false, 9, 1},
      {"one line", &TFormMain::menuScopeLineClick, ChannelScope::Line, false, false, 9, 3},
      {"four", &TFormMain::menuScope4Click, ChannelScope::Four, false, false, 9, 4},
      {"eight", &TFormMain::menuScope8Click, ChannelScope::Eight, false, false, 9, 8},
      {"sixteen of ten", &TFormMain::menuScope16Click, ChannelScope::Sixteen, false, false, 9, 10},
      {"all", &TFormMain::menuScopeAllClick, ChannelScope::All, false, false, 9, 10},
      {"analog and switch", &TFormMain::menuScopeOverallClick, ChannelScope::Overall, false, false, 9, 14},
      {"pages: page 0", &TFormMain::menuScopePageClick, ChannelScope::Page, false, false, 3, 5},
      {"common axes: a line a row", &TFormMain::menuPhaseMultipleClick, ChannelScope::Page, true, false, 3, 5},
      {"four lines of three", &TFormMain::menuScope4Click, ChannelScope::Four, true, false, 2, 3},
      {"one axis again", &TFormMain::menuPhaseSingleClick, ChannelScope::Four, false, false, 9, 4},
      {"switch view", &TFormMain::menuViewSwitchClick, ChannelScope::Four, false, true, 3, 4},
      {"pages refused in the switch view", &TFormMain::menuScopePageClick, ChannelScope::Four, false, true, 3, 4},
      {"analog+switch refused too", &TFormMain::menuScopeOverallClick, ChannelScope::Four, false, true, 3, 4},
      {"one channel", &TFormMain::menuScopeChannelClick, ChannelScope::Channel, false, true, 3, 1},
      {"analog view", &TFormMain::menuViewAnalogClick, ChannelScope::Channel, false, false, 9, 1},
  };
  for (const Step& s : steps) {
    state.wave.RepaintRequested = 0;
    if (s.command != nullptr) (form.get()->*s.command)();
    const ViewOptions& o = state.wave.Options;
    EXPECT_EQ(o.Scope, s.scope) << s.what;
    EXPECT_EQ(o.PhaseMultiple, s.phaseMultiple) << s.what;
    EXPECT_EQ(o.ViewSwitch, s.viewSwitch) << s.what;
    EXPECT_EQ(form->menuPhaseSingle->isChecked(), !s.phaseMultiple) << s.what;
    EXPECT_EQ(form->menuPhaseMultiple->isChecked(), s.phaseMultiple) << s.what;
    EXPECT_EQ(form->menuViewAnalog->isChecked(), !s.viewSwitch) << s.what;
    EXPECT_EQ(form->menuViewSwitch->isChecked(), s.viewSwitch) << s.what;
    const int scope = static_cast<int>(s.scope);
    QAction* const items[] = {form->menuScopeChannel, form->menuScopeLine, form->menuScope4,
                              form->menuScope8,       form->menuScope16,   form->menuScopeAll,
                              form->menuScopeOverall, form->menuScopePage};
    EXPECT_EQ(CheckedScopeItem(), items[scope]) << s.what;
    EXPECT_EQ(form->VScrollBar_Channel->maximum(), s.scrollMax) << s.what;
    EXPECT_EQ(RowsDrawn(), s.rows) << s.what;
  }
}

TEST_F(FormMainScopes, ACommandAlreadyInForceOrWithoutDataAsksForNoRepaint) {
  form->menuScope4Click();
  EXPECT_TRUE(state.wave.RepaintRequested);
  state.wave.RepaintRequested = 0;
  form->menuScope4Click();
  EXPECT_FALSE(state.wave.RepaintRequested);
  state.display.DispValid = 0;
  form->menuScope8Click();
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Eight);
  EXPECT_FALSE(state.wave.RepaintRequested);
}

TEST_F(FormMainScopes, AClickedScopeItemKeepsItsMarkOnlyWhenItsCommandTakesIt) {
  form->menuScope8->trigger();
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Eight);
  EXPECT_EQ(CheckedScopeItem(), form->menuScope8);
  form->menuScope8->trigger();  // already in force
  EXPECT_EQ(CheckedScopeItem(), form->menuScope8);
  form->menuViewSwitch->trigger();
  EXPECT_TRUE(state.wave.Options.ViewSwitch);
  form->menuScopeOverall->trigger();  // refused in the switch view
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Eight);
  EXPECT_EQ(CheckedScopeItem(), form->menuScope8);
  form->menuViewAnalog->trigger();
  EXPECT_TRUE(form->menuViewAnalog->isChecked());
  EXPECT_FALSE(form->menuViewSwitch->isChecked());
}

TEST_F(FormMainScopes, ThePopUpTwinsRunTheMainCommands) {
  const std::pair<QAction*, ChannelScope> twins[] = {{form->menuScope4P, ChannelScope::Four},
                                                     {form->menuScope8P, ChannelScope::Eight},
                                                     {form->menuScope16P, ChannelScope::Sixteen},
                                                     {form->menuScopeAllP, ChannelScope::All},
                                                     {form->menuScopePageP, ChannelScope::Page},
                                                     {form->menuScope1P, ChannelScope::Channel}};
  for (const auto& [twin, scope] : twins) {
    twin->trigger();
    EXPECT_EQ(state.wave.Options.Scope, scope) << twin->objectName().toStdString();
  }
  EXPECT_EQ(form->menuScope1P->text(), QStringLiteral("显示单通道"));
  EXPECT_EQ(form->menuScopeVPageP->text(), QStringLiteral("万能页显示"));
  form->menuScopeVPageP->trigger();
  form->ToolButtonVPage->trigger();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 2u);
}

TEST_F(FormMainScopes, TheSwitchViewNeedsSwitchInputsAndLeavesTheAnalogOnlyScopes) {
  state.config.SW_Num = 0;
  form->menuViewSwitchClick();
  EXPECT_EQ(form->PostedStatusText(), "提示：无开关量。");
  EXPECT_FALSE(state.wave.Options.ViewSwitch);
  EXPECT_TRUE(form->menuViewAnalog->isChecked());
  state.config.SW_Num = 4;
  form->menuScopePageClick();
  form->menuViewSwitchClick();
  EXPECT_TRUE(state.wave.Options.ViewSwitch);
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::All);
  EXPECT_EQ(form->VScrollBar_Channel->maximum(), 3);
}

TEST_F(FormMainScopes, TheChannelScrollBarStartsTheViewAsTheScopeAllows) {
  QScrollBar* bar = form->VScrollBar_Channel;
  WaveViewState& v = state.wave;
  form->menuScope4Click();
  bar->setValue(8);
  EXPECT_EQ(v.BegDispChannel, 6);
  EXPECT_EQ(v.CurrentLine, 2);
  EXPECT_EQ(bar->value(), 8) << "the bar keeps the user's position";
  EXPECT_TRUE(v.RepaintRequested);
  form->menuScopeAllClick();
  bar->setValue(5);
  EXPECT_EQ(v.BegDispChannel, 0);
  form->menuScopeLineClick();
  bar->setValue(4);
  EXPECT_EQ(v.BegDispChannel, 3);
  EXPECT_EQ(v.CurrentLine, 1);
  // A digit key moves the bar to its value; a click gives the bar the focus.
  EXPECT_EQ(bar->focusPolicy(), Qt::StrongFocus);
  form->menuScopeChannelClick();
  QTest::keyClick(bar, Qt::Key_5);
  EXPECT_EQ(bar->value(), 5);
  EXPECT_EQ(v.BegDispChannel, 5);
  QTest::keyClick(bar, Qt::Key_A);
  EXPECT_EQ(bar->value(), 5);
  // The same start again, or no data: nothing to repaint.
  v.RepaintRequested = 0;
  form->VScrollBar_ChannelChange();
  EXPECT_FALSE(v.RepaintRequested);
  state.display.DispValid = 0;
  bar->setValue(2);
  EXPECT_EQ(v.BegDispChannel, 5);
  EXPECT_EQ(form->LineOfChannel(7), 2);
}

TEST_F(FormMainScopes, EditingTheUniversalPageShowsEveryChosenChannelOnItsPage) {
  form->menuViewSwitchClick();
  AnswerPageDialog("3", "2", {"9", "0", "4"}, {"3", "1"});
  form->menuScopeVPageClick();
  const int32_t first = 10 + 4;
  const PageTables& pages = state.wave.PageLayout;
  EXPECT_EQ(pages.PageFirst[2], first);
  EXPECT_EQ(pages.PageChannels[2], 5);
  EXPECT_EQ(pages.PageSwitches[2], 2);
  EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin() + first, pages.Entries.begin() + first + 5),
            (std::vector<int32_t>{9, 0, 4, 10 + 3, 10 + 1}));
  EXPECT_EQ(state.pages.VPAnalog, 3);
  EXPECT_EQ(state.pages.VPBin, 2);
  EXPECT_FALSE(state.wave.Options.ViewSwitch) << "the analog view comes back first";
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Page);
  EXPECT_EQ(form->VScrollBar_Channel->value(), 2);
  EXPECT_EQ(state.wave.BegDispChannel, 2);
  EXPECT_EQ(RowsDrawn(), 5u);
  EXPECT_TRUE(state.wave.RepaintRequested);
  // The page a full card offers: every channel of both kinds is kept.
  AnswerPageDialog("10", "4", {}, {});
  form->menuScopeVPageClick();
  EXPECT_EQ(pages.PageChannels[2], 14);
  EXPECT_EQ(RowsDrawn(), 14u);
}

TEST_F(FormMainScopes, ThePageDialogTakesTheChannelsOfTheAlgorithmThePickerNames) {
  LiveConfig& c = state.config;
  c.Algorithm_Num = 2;
  AlgorithmConfig& algorithm = c.AlgorithmTable[1];
  algorithm.UsedChn = 2;
  algorithm.Channel[0] = 7;
  algorithm.Channel[1] = 2;
  algorithm.AssAnalogChnNum = 0;
  algorithm.AssSWChnNum = 1;
  algorithm.AssSWChn[0] = 3;
  ui.modalAnswers.push_back([](platform::ModalDialog& dialog) {
    auto& page = dynamic_cast<TFormPage&>(dialog);
    page.FormActivate();
    EXPECT_TRUE(page.ButtonAlgorithm->isEnabled());
    page.ButtonAlgorithmClick();  // the picker's answer follows in the queue
    page.ButtonOKClick();
    return platform::kModalOk;
  });
  ui.modalAnswers.push_back([](platform::ModalDialog& dialog) {
    auto& picker = dynamic_cast<TFormSelAlgorithm&>(dialog);
    picker.FormActivate();
    picker.EditAlgorithmNo->setText("1");
    return platform::kModalOk;
  });
  form->menuScopeVPageClick();
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).back().text, "FormSelAlgorithm");
  EXPECT_EQ(state.pages.VPAnalog, 2);
  EXPECT_EQ(state.pages.VPBin, 1);
  const PageTables& pages = state.wave.PageLayout;
  const int32_t first = pages.PageFirst[2];
  EXPECT_EQ(std::vector<int32_t>(pages.Entries.begin() + first, pages.Entries.begin() + first + 3),
            (std::vector<int32_t>{7, 2, 10 + 3}));
}

TEST_F(FormMainScopes, TheUniversalPageCommandChangesNothingWhenRefusedOrCancelled) {
  const UniversalPages before = state.pages;
  ui.AnswerModal(platform::kModalCancel);
  form->menuScopeVPageClick();
  EXPECT_EQ(state.pages.VP, before.VP);
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Channel);
  state.display.DataSourceMode = 2;
  form->menuScopeVPageClick();
  EXPECT_EQ(form->SelectUniversalPage(), 0);
  state.display.DataSourceMode = 0;
  state.display.DispValid = 0;
  form->menuScopeVPageClick();
  EXPECT_EQ(form->SelectUniversalPage(), 0);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).size(), 1u);
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Channel);
}

TEST_F(FormMainScopes, AUniversalPageSlotChosenInTheSwitchViewShowsThePage) {
  AnswerPageDialog("2", "1", {"7", "8"}, {"2"});
  form->menuScopeVPageClick();
  form->menuScopeAllClick();
  form->menuViewSwitchClick();
  ASSERT_TRUE(state.wave.Options.ViewSwitch);
  form->menuVPage1Click();
  EXPECT_FALSE(state.wave.Options.ViewSwitch);
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Page);
  EXPECT_EQ(state.wave.BegDispChannel, state.config.TotalPages);
  EXPECT_EQ(RowsDrawn(), 3u);
}

TEST_F(FormMainScopes, SwitchingSlotsAwayAndBackRestoresThePageAsItWasLeft) {
  AnswerPageDialog("2", "1", {"7", "8"}, {"2"});
  form->menuScopeVPageClick();
  const UniversalPages slot0 = state.pages;
  form->menuVPage3->trigger();
  EXPECT_EQ(state.pages.VPageNum, 2);
  EXPECT_TRUE(form->menuVPage3->isChecked());
  EXPECT_FALSE(form->menuVPage1->isChecked());
  EXPECT_EQ(state.pages.VPAnalog, 1);  // slot 3 as stored: one analog channel
  EXPECT_EQ(state.wave.PageLayout.PageChannels[2], 1);
  state.wave.RepaintRequested = 0;
  form->menuVPage1->trigger();
  EXPECT_EQ(state.pages.VPageNum, 0);
  EXPECT_EQ(state.pages.VPAnalog, 2);
  EXPECT_EQ(state.pages.VPBin, 1);
  EXPECT_EQ(state.pages.VP, slot0.VP);
  EXPECT_EQ(state.wave.PageLayout.PageChannels[2], 3);
  EXPECT_TRUE(state.wave.RepaintRequested);
  // The slot in use stores and reloads the same page; without data the
  // slot still changes, and a repaint is asked for in any case.
  state.display.DispValid = 0;
  state.wave.RepaintRequested = 0;
  form->menuVPage1Click();
  EXPECT_EQ(state.pages.VP, slot0.VP);
  EXPECT_TRUE(state.wave.RepaintRequested);
}

}  // namespace
