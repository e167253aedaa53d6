#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

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

}  // namespace
}  // namespace quelvar
