#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <vector>

#include "auxwin/FormTool.h"
#include "platform/MemoryRegistry.h"

namespace quelvar {
namespace {

const char* const kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

TEST(FormTool, SettingsAndPlaceComeBackAtTheNextStart) {
  platform::MemoryRegistry registry;
  {
    AppState state;
    TFormTool panel(state, registry);
    EXPECT_EQ(panel.pos(), QPoint(406, 266));  // designed place when nothing is stored
    EXPECT_EQ(state.oscilTool.Interval, 150);
    panel.move(120, 90);
    panel.resize(230, 330);
    state.oscilTool.Interval = 60;
  }
  AppState state;
  TFormTool panel(state, registry);
  EXPECT_EQ(panel.pos(), QPoint(120, 90));
  EXPECT_EQ(panel.size(), QSize(230, 330));
  EXPECT_EQ(state.oscilTool.Interval, 60);
}

TEST(FormTool, StoredPlaceOffTheOnlyScreenIsMovedOntoIt) {
  if (QGuiApplication::screens().size() != 1) GTEST_SKIP() << "the correction applies to one monitor only";
  platform::MemoryRegistry registry;
  registry.WriteInt32(kFormSizeKey, "FormOscilTool_Top", -40);
  registry.WriteInt32(kFormSizeKey, "FormOscilTool_Left", 100000);
  registry.WriteInt32(kFormSizeKey, "FormOscilTool_Width", 209);
  registry.WriteInt32(kFormSizeKey, "FormOscilTool_Height", 309);
  AppState state;
  TFormTool panel(state, registry);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(panel.x(), screen.width() - 209);
  EXPECT_EQ(panel.y(), 0);
}

// A panel loaded by an oscilloscope start on a card with four analog
// channels and two switch inputs.
class FormToolHandlers : public ::testing::Test {
 protected:
  FormToolHandlers() {
    state.config.Analog_Num = 4;
    state.config.SW_Num = 2;
    state.config.AnalogChannelTable[0].ChnName = "Ua";
    state.config.AnalogChannelTable[1].ChnName = "Ub";
    state.config.SwitchChannelTable[0].SWName = "断路器";
    state.config.SwitchChannelTable[1].SWName = "刀闸";
    for (size_t slot = 0; slot < 12; ++slot) {
      state.config.ColorPalette[0][slot] = 0x000000A0 + static_cast<uint32_t>(slot);
      state.config.ColorPalette[1][slot] = 0x00B00000 + static_cast<uint32_t>(slot);
    }
  }

  std::unique_ptr<TFormTool> Loaded() { return Loaded(registry); }
  std::unique_ptr<TFormTool> Loaded(platform::RegistryStore& store) {
    auto panel = std::make_unique<TFormTool>(state, store);
    panel->onIntervalChanged = [this](int ms) { intervals.push_back(ms); };
    panel->LoadForOscilloscope();
    panel->show();
    state.wave.RepaintRequested = 0;
    return panel;
  }

  static void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }
  static void Leave(QLineEdit* edit) { QTest::keyClick(edit, Qt::Key_Return); }

  static std::string Text(const QWidget* w) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text().toStdString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text().toStdString();
    return {};
  }

  platform::MemoryRegistry registry;
  AppState state;
  std::vector<int> intervals;
};

TEST_F(FormToolHandlers, LoadingAtTheStartLeavesSettingsAndControlsInAgreementWithoutARepaint) {
  state.oscilTool.YZoom1 = 3;  // not in the gain table
  state.oscilTool.ACDC1 = 1;
  state.oscilTool.YOffset2 = 50;
  state.oscilTool.ChnAD2 = 4;
  state.oscilTool.FixVolt = 2559;
  state.oscilTool.Topmost = 0;
  state.wave.WhiteBG = 1;
  state.config.IDBGWhite = 0;  // the view's row counts, not the configuration's
  state.wave.RepaintRequested = 0;
  TFormTool panel(state, registry);
  panel.LoadForOscilloscope();
  const OscilToolSettings& s = state.oscilTool;
  EXPECT_EQ(state.wave.RepaintRequested, 0);
  EXPECT_EQ(s.ZoomStep1, 11);
  EXPECT_EQ(s.YZoom1, 2000);
  EXPECT_EQ(panel.UpDownYZoom1->value(), 11);
  EXPECT_EQ(Text(panel.LabelYZoom1), "0.001");
  EXPECT_EQ(panel.VScrollBarYOffset1->pageStep(), 1);
  EXPECT_EQ(Text(panel.ButtonACDC1), "直流");
  EXPECT_TRUE(panel.menuDC1->isChecked());
  EXPECT_FALSE(panel.menuAutoScale1->isChecked());
  EXPECT_EQ(Text(panel.EditChn1), "0");
  EXPECT_EQ(panel.EditChn1->toolTip().toStdString(), "AD通道:Ua");
  EXPECT_EQ(Text(panel.EditChn2), "4");
  EXPECT_EQ(panel.UpDownChn2->value(), 4);
  EXPECT_EQ(panel.UpDownChn2->maximum(), 5);
  EXPECT_EQ(panel.EditChn2->toolTip().toStdString(), "SW通道:断路器");
  EXPECT_EQ(panel.VScrollBarYOffset2->value(), 50);
  EXPECT_EQ(panel.VScrollBarYOffset2->toolTip().toStdString(), "Y偏移=0.100V");
  EXPECT_EQ(panel.VScrollBarFixVolt->value(), 4095 - 2559);
  EXPECT_EQ(panel.VScrollBarFixVolt->pageStep(), 204);
  EXPECT_EQ(Text(panel.EditFixVolt), "1.2482");
  EXPECT_EQ(Text(panel.Edit_Interval), "150");
  EXPECT_FALSE(panel.CheckBoxTop->isChecked());
  EXPECT_FALSE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // White background of the view: white edits, the traces' curve colours.
  EXPECT_EQ(panel.EditChn1->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(panel.EditChn1->palette().color(QPalette::Text), QColor(0x04, 0x00, 0xB0));
  EXPECT_EQ(panel.EditChn2->palette().color(QPalette::Text), QColor(0x05, 0x00, 0xB0));
  EXPECT_EQ(panel.CheckBoxAdd->palette().color(QPalette::WindowText), QColor(0x09, 0x00, 0xB0));
  EXPECT_EQ(panel.CheckBoxSub->palette().color(QPalette::WindowText), QColor(0x0A, 0x00, 0xB0));
  EXPECT_TRUE(intervals.empty());
}

TEST_F(FormToolHandlers, FirstStartShowsTheDefaults) {
  auto panel = Loaded();
  const OscilToolSettings& s = state.oscilTool;
  EXPECT_EQ(s.ChnAd1, 0);
  EXPECT_EQ(s.ChnAD2, 1);
  EXPECT_EQ(Text(panel->EditChn2), "1");
  EXPECT_EQ(panel->EditChn2->toolTip().toStdString(), "AD通道:Ub");
  EXPECT_EQ(Text(panel->ButtonACDC1), "自动");
  EXPECT_EQ(Text(panel->ButtonACDC2), "自动");
  EXPECT_EQ(Text(panel->LabelYZoom1), "2.000");
  EXPECT_EQ(Text(panel->ButtonFixChn), "踪1");
  EXPECT_EQ(Text(panel->ButtonFixMode), "无");
  EXPECT_EQ(Text(panel->EditFixVolt), "-5.0024");
  EXPECT_TRUE(panel->CheckBoxMeasureTime->isChecked());
  EXPECT_TRUE(panel->CheckBoxMeasureVolt->isChecked());
  EXPECT_TRUE(panel->CheckBoxTop->isChecked());
  EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(panel->EditChn1->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_FALSE(panel->CheckBoxXY->isEnabled());
  EXPECT_FALSE(panel->CheckBoxFFT->isEnabled());
  EXPECT_EQ(panel->CheckBoxXY->toolTip().toStdString(), "选中时出现实时X-Y图形窗口");
}

TEST_F(FormToolHandlers, ControlsChangeTheSettingsAndRequestARepaintWhereTheyShould) {
  struct Case {
    const char* what;
    std::function<void(TFormTool&)> act;
    std::function<void(const TFormTool&, const OscilToolSettings&)> check;
    bool repaint;
  };
  const Case cases[] = {
      {"inversion", [](TFormTool& p) { p.ButtonNegative1->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.Neg1, 1);
         EXPECT_EQ(Text(p.ButtonNegative1), "负");
       },
       true},
      {"coupling button cycles auto-scale to AC", [](TFormTool& p) { p.ButtonACDC2->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ACDC2, 0);
         EXPECT_EQ(Text(p.ButtonACDC2), "交流");
         EXPECT_TRUE(p.menuAC2->isChecked());
         EXPECT_FALSE(p.menuAutoScale2->isChecked());
       },
       true},
      {"coupling pop-up entry", [](TFormTool& p) { p.menuGND1->trigger(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ACDC1, 2);
         EXPECT_EQ(Text(p.ButtonACDC1), "接地");
       },
       false},
      {"phase-lock mode", [](TFormTool& p) { p.ButtonFixMode->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.FixMode, 1);
         EXPECT_EQ(Text(p.ButtonFixMode), "上顶点");
       },
       false},
      {"phase-lock trace", [](TFormTool& p) { p.ButtonFixChn->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.FixChn, 2);
         EXPECT_EQ(Text(p.ButtonFixChn), "踪2");
       },
       true},
      {"offset scroll bar", [](TFormTool& p) { p.VScrollBarYOffset2->setValue(-50); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.YOffset2, -50);
         EXPECT_EQ(p.VScrollBarYOffset2->toolTip().toStdString(), "Y偏移=-0.100V");
       },
       true},
      {"offset menu at gain 10",
       [](TFormTool& p) {
         p.menuDC1->trigger();
         p.UpDownYZoom1->setValue(4);
         p.VScrollBarYOffset1->setValue(250);
         p.menu1YOffsetUp1->trigger();
       },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.YOffset1, 100);
         EXPECT_EQ(p.VScrollBarYOffset1->value(), 100);
         EXPECT_EQ(p.VScrollBarYOffset1->pageStep(), 100);
       },
       true},
      {"offset menu down to the limit",
       [](TFormTool& p) {
         p.VScrollBarYOffset2->setValue(2000);
         p.menu2YOffsetDown8->trigger();
       },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.YOffset2, 2500); }, true},
      {"gain step outside auto-scale",
       [](TFormTool& p) {
         p.menuDC1->trigger();
         p.UpDownYZoom1->setValue(7);
       },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ZoomStep1, 7);
         EXPECT_EQ(s.YZoom1, 100);
         EXPECT_EQ(Text(p.LabelYZoom1), "0.020");
       },
       true},
      {"gain step in auto-scale changes nothing", [](TFormTool& p) { p.UpDownYZoom2->setValue(7); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ZoomStep2, 1);
         EXPECT_EQ(s.YZoom2, 1);
         EXPECT_EQ(Text(p.LabelYZoom2), "2.000");
       },
       false},
      {"channel typed beyond the channels", [](TFormTool& p) { Type(p.EditChn2, "6"); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ChnAD2, 0);
         EXPECT_EQ(Text(p.EditChn2), "0");
         EXPECT_EQ(p.EditChn2->toolTip().toStdString(), "AD通道:Ua");
       },
       true},
      {"channel typed: the first switch input", [](TFormTool& p) { Type(p.EditChn1, "4"); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ChnAd1, 4);
         EXPECT_EQ(p.EditChn1->toolTip().toStdString(), "SW通道:断路器");
         EXPECT_EQ(p.UpDownChn1->value(), 4);
       },
       true},
      {"channel up-down wraps below 0", [](TFormTool& p) { p.UpDownChn1->stepBy(-1); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.ChnAd1, 5);
         EXPECT_EQ(Text(p.EditChn1), "5");
         EXPECT_EQ(p.EditChn1->toolTip().toStdString(), "SW通道:刀闸");
       },
       true},
      {"level typed in volts",
       [](TFormTool& p) {
         Type(p.EditFixVolt, "1.25");
         Leave(p.EditFixVolt);
       },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.FixVolt, 2559);
         EXPECT_EQ(Text(p.EditFixVolt), "1.2482");
         EXPECT_EQ(p.VScrollBarFixVolt->value(), 4095 - 2559);
       },
       true},
      {"level typed that is no number",
       [](TFormTool& p) {
         Type(p.EditFixVolt, "abc");
         Leave(p.EditFixVolt);
       },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.FixVolt, 2048);
         EXPECT_EQ(Text(p.EditFixVolt), "0.0000");
       },
       true},
      {"level scroll bar at the top", [](TFormTool& p) { p.VScrollBarFixVolt->setValue(0); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.FixVolt, 4095);
         EXPECT_EQ(Text(p.EditFixVolt), "5.0000");
       },
       true},
      {"time marker lines", [](TFormTool& p) { p.CheckBoxMeasureTime->click(); },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.MeasTime, 0); }, true},
      {"voltage marker lines", [](TFormTool& p) { p.CheckBoxMeasureVolt->click(); },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.MeasVolt, 0); }, true},
      {"local zoom", [](TFormTool& p) { p.CheckBoxZoom->click(); },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.LocalZoom, 1); }, true},
      {"sum curve", [](TFormTool& p) { p.CheckBoxAdd->click(); },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.AddTraces, 1); }, true},
      {"difference curve", [](TFormTool& p) { p.CheckBoxSub->click(); },
       [](const TFormTool&, const OscilToolSettings& s) { EXPECT_EQ(s.SubtractTraces, 1); }, true},
      {"trace 1 off moves the lock to trace 2", [](TFormTool& p) { p.CheckBoxUseChn1->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.UseChn1, 0);
         EXPECT_EQ(s.FixChn, 2);
         EXPECT_EQ(Text(p.ButtonFixChn), "踪2");
       },
       true},
      {"the only trace on cannot go off",
       [](TFormTool& p) {
         p.CheckBoxUseChn2->click();
         p.CheckBoxUseChn1->click();
       },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.UseChn1, 1);
         EXPECT_TRUE(p.CheckBoxUseChn1->isChecked());
         EXPECT_EQ(s.UseChn2, 0);
         EXPECT_EQ(s.FixChn, 1);
       },
       true},
      {"floating panel off",
       [](TFormTool& p) { p.CheckBoxTop->click(); },
       [](const TFormTool& p, const OscilToolSettings& s) {
         EXPECT_EQ(s.Topmost, 0);
         EXPECT_FALSE(p.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
         EXPECT_TRUE(p.isVisible());
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    state.oscilTool = OscilToolSettings{};
    platform::MemoryRegistry firstStart;
    auto panel = Loaded(firstStart);
    c.act(*panel);
    c.check(*panel, state.oscilTool);
    EXPECT_EQ(state.wave.RepaintRequested, c.repaint ? 1 : 0);
  }
}

TEST_F(FormToolHandlers, CouplingPopUpTicksOnlyTheChosenEntry) {
  auto panel = Loaded();
  const std::vector<QAction*> items = {panel->menuAC1, panel->menuDC1, panel->menuGND1, panel->menuAutoScale1};
  const char* captions[] = {"交流", "直流", "接地", "自动"};
  for (size_t chosen : {2u, 0u, 3u, 1u, 1u}) {
    items[chosen]->trigger();
    EXPECT_EQ(state.oscilTool.ACDC1, static_cast<int32_t>(chosen));
    EXPECT_EQ(Text(panel->ButtonACDC1), captions[chosen]);
    for (size_t k = 0; k < items.size(); ++k) EXPECT_EQ(items[k]->isChecked(), k == chosen) << chosen << " " << k;
  }
  EXPECT_EQ(state.wave.RepaintRequested, 0);
  EXPECT_EQ(state.oscilTool.ACDC2, 3);  // the other trace keeps its own
}

TEST_F(FormToolHandlers, PopUpMenusCarryTheirEntriesInOrder) {
  auto panel = Loaded();
  std::vector<std::string> offsets;
  for (QAction* a : panel->PopupMenuYOffset2->actions()) offsets.push_back(a->text().toStdString());
  EXPECT_EQ(offsets, (std::vector<std::string>{"置0", "上移一格", "上移二格", "上移四格", "上移八格", "下移一格",
                                               "下移二格", "下移四格", "下移八格"}));
  EXPECT_EQ(panel->PopupMenuYOffset2->actions()[8], panel->menu2YOffsetDown8);
  EXPECT_EQ(panel->menu2YOffsetDown8->objectName().toStdString(), "menu2YOffsetDown8");
  EXPECT_EQ(panel->VScrollBarYOffset1->contextMenuPolicy(), Qt::CustomContextMenu);
  EXPECT_EQ(panel->ButtonACDC1->contextMenuPolicy(), Qt::CustomContextMenu);
  EXPECT_EQ(panel->ButtonACDC1->menu(), nullptr);  // a click cycles; the menu is the right button's
  std::vector<std::string> couplings;
  for (QAction* a : panel->PopupMenuACDC1->actions()) couplings.push_back(a->text().toStdString());
  EXPECT_EQ(couplings, (std::vector<std::string>{"交流模式", "直流模式", "接地模式", "自动量程"}));

  panel->VScrollBarYOffset1->setValue(-300);
  state.wave.RepaintRequested = 0;
  panel->menu1YOffset0->trigger();
  EXPECT_EQ(state.oscilTool.YOffset1, 0);
  EXPECT_EQ(state.wave.RepaintRequested, 1);
}

TEST_F(FormToolHandlers, RefreshPeriodGoesToTheTimerAtOnce) {
  auto panel = Loaded();
  Type(panel->Edit_Interval, "60");
  Leave(panel->Edit_Interval);
  EXPECT_EQ(state.oscilTool.Interval, 60);
  Type(panel->Edit_Interval, "0");
  Leave(panel->Edit_Interval);
  EXPECT_EQ(state.oscilTool.Interval, 20);
  EXPECT_EQ(Text(panel->Edit_Interval), "20");
  EXPECT_EQ(intervals, (std::vector<int>{60, 20}));
  EXPECT_EQ(state.wave.RepaintRequested, 0);
}

TEST_F(FormToolHandlers, PainterAutoRangeShowsItsStepAndCentresTheTraceWithoutARepaint) {
  auto panel = Loaded();
  panel->VScrollBarYOffset1->setValue(300);
  panel->UpDownYZoom1->setValue(3);  // ignored in auto-scale
  state.wave.RepaintRequested = 0;
  state.oscilTool.ZoomStep1 = 8;  // the painter's choice
  panel->ShowAutoRange(1);
  EXPECT_EQ(panel->UpDownYZoom1->value(), 8);
  EXPECT_EQ(state.oscilTool.YZoom1, 200);
  EXPECT_EQ(Text(panel->LabelYZoom1), "0.010");
  EXPECT_EQ(panel->VScrollBarYOffset1->pageStep(), 5);
  EXPECT_EQ(panel->VScrollBarYOffset1->value(), 0);
  EXPECT_EQ(state.oscilTool.YOffset1, 0);
  EXPECT_EQ(panel->VScrollBarYOffset1->toolTip().toStdString(), "Y偏移=0.000V");
  EXPECT_EQ(state.wave.RepaintRequested, 0);
  EXPECT_EQ(state.oscilTool.YZoom2, 1);
}

TEST_F(FormToolHandlers, OneAnalogChannelKeepsTraceTwoOff) {
  state.config.Analog_Num = 1;
  state.oscilTool.FixChn = 2;
  auto panel = Loaded();
  EXPECT_FALSE(panel->GroupBoxChn2->isEnabled());
  EXPECT_FALSE(panel->CheckBoxUseChn2->isChecked());
  EXPECT_EQ(Text(panel->ButtonFixChn), "踪1");
  panel->CheckBoxUseChn2->setChecked(true);
  panel->CheckBoxUseChn2Click();
  EXPECT_FALSE(panel->CheckBoxUseChn2->isChecked());
  EXPECT_EQ(state.oscilTool.UseChn2, 0);
  EXPECT_EQ(state.wave.RepaintRequested, 0);
}

TEST_F(FormToolHandlers, BackgroundChangeRecoloursTheChannelEdits) {
  auto panel = Loaded();
  panel->RecolourChannelEdits(1);
  EXPECT_EQ(panel->EditChn2->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(panel->EditChn2->palette().color(QPalette::Text), QColor(0x05, 0x00, 0xB0));
  panel->RecolourChannelEdits(0);
  EXPECT_EQ(panel->EditChn1->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(panel->EditChn1->palette().color(QPalette::Text), QColor(0xA4, 0x00, 0x00));
}

TEST_F(FormToolHandlers, ActivationUnticksTheXYAndFFTBoxesWhileTheirWindowsDoNotExist) {
  auto panel = Loaded();
  panel->CheckBoxXY->setChecked(true);
  panel->CheckBoxFFT->setChecked(true);
  panel->FormActivate();
  EXPECT_FALSE(panel->CheckBoxXY->isChecked());
  EXPECT_FALSE(panel->CheckBoxFFT->isChecked());
}

}  // namespace
}  // namespace quelvar
