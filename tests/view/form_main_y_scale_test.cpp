// The main window's Y gain, offset bar and DC/AC display, the display toggles
// with their pop-up twins and the settings tree, the mark labels' colours,
// the graduation count and stay-on-top.
#include <gtest/gtest.h>

#include <QAction>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScrollBar>

#include <memory>
#include <string>

#include "auxwin/FormTool.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;

constexpr const char* kViewKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";

class FormMainYScale : public test::MainWindowFixture {
 protected:
  // A main window past its deferred start-up (the first tick runs it).
  std::unique_ptr<TFormMain> Started() {
    auto form = NewMainWindow();
    form->Timer2Timer();
    return form;
  }
};

QAction* GainItem(TFormMain& f, int32_t gain) {
  return f.findChild<QAction*>(QString::fromStdString("menuYZoom" + std::to_string(gain)));
}

enum class Step { Preset, Expand, Compress };

struct GainCase {
  const char* what;
  int32_t startGain;
  int startBar;
  int32_t source;  // DataSourceMode
  Step step;
  int32_t preset;  // for Step::Preset
  int32_t gain;    // expected after the step
  int half;        // bar range -half..half
  int bar;
  bool repaint;
};

TEST_F(FormMainYScale, PresetsAndStepsSetTheGainTheOffsetRangeAndTheBar) {
  const GainCase cases[] = {
      {"a preset enlarges the bar's place", 10, 20, 0, Step::Preset, 20, 20, 48, 40, true},
      {"the preset in force does nothing", 10, 20, 0, Step::Preset, 10, 10, 23, 20, false},
      {"a smaller preset; the bar stays within the range", 1000, 2000, 0, Step::Preset, 2, 2, 3, 3, true},
      {"expand one step", 10, -20, 0, Step::Expand, 0, 20, 48, -40, true},
      {"compress one step", 10, 20, 0, Step::Compress, 0, 5, 10, 10, true},
      {"expand at 2000 does nothing", 2000, 100, 0, Step::Expand, 0, 2000, 4998, 100, false},
      {"compress at 1 does nothing", 1, 1, 0, Step::Compress, 0, 1, 1, 1, false},
      {"no steps in the oscilloscope", 10, 20, 2, Step::Expand, 0, 10, 23, 20, false},
      {"nor compress there", 10, 20, 2, Step::Compress, 0, 10, 23, 20, false},
      {"presets still apply there", 10, 20, 2, Step::Preset, 20, 20, 48, 40, true},
  };
  for (const GainCase& c : cases) {
    SCOPED_TRACE(c.what);
    AppState own;
    TFormMain form(own, MainWindowServices{registry, ui, screenSaver});
    form.YZoomPresetClick(c.startGain);
    form.VScrollBar_YOffset->setValue(c.startBar);
    own.display.DispValid = 1;
    own.display.DataSourceMode = c.source;
    own.wave.RepaintRequested = 0;
    switch (c.step) {
      case Step::Preset: GainItem(form, c.preset)->trigger(); break;
      case Step::Expand: form.ToolButtonYExpand->trigger(); break;
      case Step::Compress: form.ToolButtonYCompress->trigger(); break;
    }
    EXPECT_EQ(own.wave.YZoom, c.gain);
    EXPECT_EQ(form.VScrollBar_YOffset->minimum(), -c.half);
    EXPECT_EQ(form.VScrollBar_YOffset->maximum(), c.half);
    EXPECT_EQ(form.VScrollBar_YOffset->value(), c.bar);
    EXPECT_EQ(own.wave.YOffset, -c.bar);
    EXPECT_EQ(own.wave.RepaintRequested != 0, c.repaint);
    for (int32_t g : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000}) {
      EXPECT_EQ(GainItem(form, g)->isChecked(), g == c.gain) << g;
    }
  }
}

TEST_F(FormMainYScale, TheStoredGainComesBackWithItsRangeAndTheBarAtZero) {
  registry.WriteInt32(kViewKey, "YZoom", 50);
  registry.WriteInt32(kViewKey, "IDDC", 1);
  auto form = NewMainWindow();
  EXPECT_EQ(state.wave.YZoom, 50);
  EXPECT_TRUE(form->menuYZoom50->isChecked());
  EXPECT_FALSE(form->menuYZoom1->isChecked());
  EXPECT_EQ(form->VScrollBar_YOffset->maximum(), 123);
  EXPECT_EQ(form->VScrollBar_YOffset->value(), 0);
  EXPECT_TRUE(form->menuDC->isChecked());
  EXPECT_FALSE(form->menuAC->isChecked());
  form->YZoomPresetClick(200);
  form->menuACClick();
  form.reset();
  EXPECT_EQ(registry.ReadInt32(kViewKey, "YZoom"), 200);
  EXPECT_EQ(registry.ReadInt32(kViewKey, "IDDC"), 0);
}

TEST_F(FormMainYScale, InTheAcDisplayTheOffsetIsKeptWithoutARepaint) {
  auto form = Started();
  form->YZoomPresetClick(10);
  state.display.DispValid = 1;
  ASSERT_TRUE(form->menuAC->isChecked());
  ASSERT_EQ(state.wave.IDDC, 0);
  state.wave.RepaintRequested = 0;
  form->VScrollBar_YOffset->setValue(5);
  EXPECT_EQ(state.wave.YOffset, -5);
  EXPECT_EQ(state.wave.RepaintRequested, 0);

  form->menuDC->trigger();
  EXPECT_EQ(state.wave.IDDC, 1);
  EXPECT_TRUE(form->menuDC->isChecked());
  EXPECT_FALSE(form->menuAC->isChecked());
  EXPECT_EQ(state.wave.RepaintRequested, 1);
  state.wave.RepaintRequested = 0;
  form->VScrollBar_YOffset->setValue(-7);
  EXPECT_EQ(state.wave.YOffset, 7);
  EXPECT_EQ(state.wave.RepaintRequested, 1);

  form->menuAC->trigger();
  EXPECT_EQ(state.wave.IDDC, 0);
  EXPECT_TRUE(form->menuAC->isChecked());
  EXPECT_FALSE(form->menuDC->isChecked());
}

// A toggle: its option, its item, the twin in the waveform's pop-up menu,
// the stored value's name, and whether the picture is asked to repaint.
struct ToggleCase {
  const char* item;
  bool ViewOptions::*option;
  const char* twin;
  const char* stored;
  bool repaints;
};

TEST_F(FormMainYScale, EachToggleChangesTheRecordItsTwinAndIsKeptInTheSettings) {
  const ToggleCase cases[] = {
      {"menuScaleOut", &ViewOptions::ScaleOut, nullptr, nullptr, true},
      {"menuViewXScale", &ViewOptions::XScale, "menuViewXScaleP", "IDViewXScale", true},
      {"menuViewScaleAlways", &ViewOptions::ScaleAlways, "menuViewScaleAlwaysP", "IDViewScaleAlways", true},
      {"menuViewGridLine", &ViewOptions::NoGridLines, "menuViewGridLineP", "IDViewGridLine", true},
      {"menuViewGridPoint", &ViewOptions::GridDotted, "menuViewGridPointP", "IDViewGridPoint", true},
      {"menuViewYGrid", &ViewOptions::YGrid, nullptr, "IDViewYGrid", true},
      {"menuViewIn1Axial", &ViewOptions::In1Axial, nullptr, nullptr, true},
      {"menuViewTrace", &ViewOptions::Trace, "menuViewTraceP", "IDTrace", false},
      {"menuBGTrans", &ViewOptions::BGTrans, nullptr, "IDTraceTrans", false},
      {"menuTopMost", &ViewOptions::TopMost, nullptr, nullptr, false},
  };
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(c.item);
    AppState own;
    platform::MemoryRegistry tree;
    bool changed = false;
    {
      TFormMain form(own, MainWindowServices{tree, ui, screenSaver});
      form.Timer1Timer();
      auto* item = form.findChild<QAction*>(c.item);
      auto* twin = c.twin != nullptr ? form.findChild<QAction*>(c.twin) : nullptr;
      ASSERT_NE(item, nullptr);
      ASSERT_TRUE(c.twin == nullptr || twin != nullptr);
      own.display.DispValid = 1;
      const bool before = own.wave.Options.*c.option;
      ASSERT_EQ(item->isChecked(), before);
      own.wave.RepaintRequested = 0;
      item->trigger();
      changed = own.wave.Options.*c.option;
      EXPECT_EQ(changed, !before);
      EXPECT_EQ(item->isChecked(), changed);
      if (twin != nullptr) {
        EXPECT_EQ(twin->isChecked(), changed);
      }
      EXPECT_EQ(own.wave.RepaintRequested != 0, c.repaints);
      if (twin != nullptr) {
        // The twin runs the same command, and back again.
        twin->trigger();
        EXPECT_EQ(own.wave.Options.*c.option, before);
        EXPECT_EQ(item->isChecked(), before);
        EXPECT_EQ(twin->isChecked(), before);
        twin->trigger();
      }
      // Without data nothing asks for a repaint.
      own.display.DispValid = 0;
      own.wave.RepaintRequested = 0;
      item->trigger();
      item->trigger();
      EXPECT_EQ(own.wave.RepaintRequested, 0);
      EXPECT_EQ(own.wave.Options.*c.option, changed);
    }
    if (c.stored == nullptr) continue;
    EXPECT_EQ(tree.ReadInt32(kViewKey, c.stored), changed ? 1 : 0);
    AppState again;
    TFormMain form(again, MainWindowServices{tree, ui, screenSaver});
    form.Timer1Timer();
    EXPECT_EQ(again.wave.Options.*c.option, changed);
    EXPECT_EQ(form.findChild<QAction*>(c.item)->isChecked(), changed);
    if (c.twin != nullptr) {
      EXPECT_EQ(form.findChild<QAction*>(c.twin)->isChecked(), changed);
    }
  }
}

TEST_F(FormMainYScale, TheRecordFollowsCheckMarksThatOtherCommandsSet) {
  auto form = Started();
  form->SetupTriggerPage();
  EXPECT_EQ(state.wave.Options.Scope, ChannelScope::Page);
  form->menuMonitorClick();
  EXPECT_FALSE(state.wave.Options.Monitor);
  EXPECT_FALSE(form->ToolButtonMonitor->isChecked());
  form->menuViewSwitch->setChecked(true);
  EXPECT_TRUE(state.wave.Options.ViewSwitch);
}

TEST_F(FormMainYScale, TheMarkLabelsShowOnlyWithDataWhileNoLiveRunIsOnScreen) {
  registry.WriteInt32(kViewKey, "IDTrace", 0);
  auto form = Started();
  // The stored switch comes back through the command.
  EXPECT_FALSE(state.wave.Options.Trace);
  EXPECT_FALSE(form->menuViewTrace->isChecked());
  EXPECT_FALSE(form->menuViewTraceP->isChecked());
  form->show();
  state.display.DispValid = 1;
  form->menuViewTraceClick();
  EXPECT_TRUE(form->Label_Mark1->isVisible());
  EXPECT_TRUE(form->Label_Mark2->isVisible());
  form->menuViewTracePClick();
  EXPECT_FALSE(form->Label_Mark1->isVisible());
  state.display.DispValid = 0;
  form->menuViewTraceClick();
  EXPECT_TRUE(state.wave.Options.Trace);
  EXPECT_FALSE(form->Label_Mark1->isVisible());
  EXPECT_FALSE(form->Label_Mark2->isVisible());
}

TEST_F(FormMainYScale, TheWhiteSchemeKeepsTheTransparencyAndRecoloursTheLabels) {
  auto form = Started();
  auto& palette = state.config.ColorPalette;
  palette[0][2] = 0x000000C0;  // stored as 0x00BBGGRR
  palette[0][3] = 0x0000C0C0;
  palette[1][2] = 0x00000080;
  palette[1][3] = 0x00008080;
  for (bool transparent : {true, false}) {
    SCOPED_TRACE(transparent ? "transparent" : "opaque");
    if (state.wave.Options.BGTrans != transparent) form->menuBGTrans->trigger();
    if (state.wave.WhiteBG == 1) form->menuWhiteBG->trigger();
    ASSERT_EQ(state.wave.WhiteBG, 0);
    form->menuWhiteBG->trigger();
    EXPECT_EQ(state.wave.WhiteBG, 1);
    EXPECT_TRUE(form->menuWhiteBG->isChecked());
    EXPECT_EQ(state.wave.Options.BGTrans, transparent);
    EXPECT_EQ(form->menuBGTrans->isChecked(), transparent);
    const QPalette mark1 = form->Label_Mark1->palette();
    const QPalette mark2 = form->Label_Mark2->palette();
    const QPalette::ColorRole slotRole = transparent ? QPalette::WindowText : QPalette::Window;
    EXPECT_EQ(mark1.color(slotRole), QColor(0x80, 0x80, 0));
    EXPECT_EQ(mark2.color(slotRole), QColor(0x80, 0, 0));
    EXPECT_EQ(form->Label_Mark1->autoFillBackground(), !transparent);
    if (!transparent) {
      EXPECT_EQ(mark1.color(QPalette::WindowText), QColor(Qt::white));
    }
  }
  // Without data the idle screen is drawn in the white scheme; back to black.
  EXPECT_EQ(form->OffscreenBitmap().pixelColor(0, 0), QColor(Qt::white));
  form->menuWhiteBG->trigger();
  EXPECT_EQ(state.wave.WhiteBG, 0);
  EXPECT_EQ(form->OffscreenBitmap().pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(form->Label_Mark2->palette().color(QPalette::Window), QColor(0xC0, 0, 0));
  EXPECT_EQ(form->Label_Mark2->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST_F(FormMainYScale, TheBackgroundCommandRecoloursTheOscilloscopePanelsChannelEdits) {
  auto form = Started();
  TFormTool panel(state, registry);
  form->SetOscilToolPanel(&panel);
  state.config.ColorPalette[1][4] = 0x00112233;  // stored as 0x00BBGGRR
  state.config.ColorPalette[1][5] = 0x00445566;
  if (state.wave.WhiteBG == 1) form->menuWhiteBG->trigger();
  form->menuWhiteBG->trigger();
  ASSERT_EQ(state.wave.WhiteBG, 1);
  EXPECT_EQ(panel.EditChn1->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(panel.EditChn1->palette().color(QPalette::Text), QColor(0x33, 0x22, 0x11));
  EXPECT_EQ(panel.EditChn2->palette().color(QPalette::Text), QColor(0x66, 0x55, 0x44));
  form->menuWhiteBG->trigger();
  EXPECT_EQ(panel.EditChn2->palette().color(QPalette::Base), QColor(Qt::black));
  form->SetOscilToolPanel(nullptr);
}

TEST_F(FormMainYScale, TheGraduationCountIsAtLeastThreeAndNamedInTheCaption) {
  auto form = Started();
  const std::pair<std::optional<std::string>, int32_t> answers[] = {{"2", 5}, {"8", 8}, {std::nullopt, 8}, {"x", 5}};
  for (const auto& [answer, count] : answers) {
    ui.inputAnswers.push_back(answer);
    state.wave.RepaintRequested = 0;
    form->menuDispScale->trigger();
    EXPECT_EQ(state.wave.DispScale, count);
    EXPECT_EQ(form->menuDispScale->text().toStdString(), "X刻度数(=" + std::to_string(count) + ")");
    EXPECT_EQ(state.wave.RepaintRequested, 1);
  }
  const auto prompts = ui.PromptsOf(platform::ScriptedUiHost::Kind::Input);
  ASSERT_EQ(prompts.size(), 4u);
  EXPECT_EQ(prompts[0].caption, "请选择图形刻度数");
  EXPECT_EQ(prompts[0].text, "新X刻度数目为：  ");
  form.reset();
  EXPECT_EQ(registry.ReadInt32(kViewKey, "DispScale"), 5);
}

TEST_F(FormMainYScale, TheOscilloscopeHidesTheRecorderViewItemsAndTheRecorderShowsThem) {
  auto form = Started();
  state.config.SimulateAD = 1;
  const char* const items[] = {"menuViewAnalog", "menuViewSwitch", "menuViewTrace", "menuViewTraceP",
                               "menuViewScope", "ToolButtonYCompress", "ToolButtonYExpand", "N1", "N13",
                               "menuSpaceTrace"};
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  for (const char* name : items) EXPECT_FALSE(form->findChild<QAction*>(name)->isVisible()) << name;
  EXPECT_TRUE(form->VScrollBar_YOffset->isHidden());
  form->menuStartOscilClick();
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  for (const char* name : items) EXPECT_TRUE(form->findChild<QAction*>(name)->isVisible()) << name;
  form->menuStartQuelvarClick();
}

TEST_F(FormMainYScale, StayOnTopFollowsItsCheckMark) {
  auto form = Started();
  form->show();
  form->menuTopMost->trigger();
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form->isVisible());
  form->menuTopMost->trigger();
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(state.wave.Options.TopMost);
}

}  // namespace
