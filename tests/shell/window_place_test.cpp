// Window places as real windows take and give them (offscreen platform).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>

#include "MainWindowFixture.h"
#include "platform/MemoryRegistry.h"
#include "shell/FormAbout.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace {

using namespace quelvar;

const char* const kFormSize = "\\SOFTWARE\\QuelvarTorque\\FormSize";

std::string Text(const WindowGeometry& g) {
  return "{" + std::to_string(g.Top) + "," + std::to_string(g.Left) + "," + std::to_string(g.Width) + "," +
         std::to_string(g.Height) + "}";
}

WindowGeometry Stored(platform::MemoryRegistry& reg, const std::string& prefix) {
  WindowGeometry g{-1, -1, -1, -1};
  ReadWindowGeometry(reg, "QuelvarTorque", prefix, g);
  return g;
}

void ExpectTitleBarOnScreen(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_GE(frame.top(), area.top());
  EXPECT_LT(frame.top(), area.bottom());
}

TEST(WindowPlaceShown, APlaceSavedFromAShownWindowComesBackExactly) {
  platform::MemoryRegistry reg;
  const WindowGeometry saved{120, 200, 300, 180};
  WriteWindowGeometry(reg, "QuelvarTorque", "FormTest", saved);
  for (int start = 0; start < 3; ++start) {
    QWidget window;
    window.resize(50, 50);
    RestoreWindowPlace(window, reg, "QuelvarTorque", "FormTest");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ExpectTitleBarOnScreen(window);
    SaveWindowPlace(window, reg, "QuelvarTorque", "FormTest");
    window.hide();
    const WindowGeometry back = Stored(reg, "FormTest");
    EXPECT_EQ(Text(back), Text(saved)) << "start " << start;
  }
}

TEST(WindowPlaceShown, APlaceOffTheScreenOpensWithItsTitleBarOnIt) {
  platform::MemoryRegistry reg;
  WriteWindowGeometry(reg, "QuelvarTorque", "FormTest", {-500, -400, 300, 180});
  QWidget window;
  RestoreWindowPlace(window, reg, "QuelvarTorque", "FormTest");
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ExpectTitleBarOnScreen(window);
}

class MainWindowPlace : public test::MainWindowFixture {};

TEST_F(MainWindowPlace, MainWindowAndAboutBoxKeepTheirPlacesAcrossStarts) {
  const WindowGeometry main{40, 60, 500, 300}, about{10, 20, 380, 260};
  WriteWindowGeometry(registry, "QuelvarTorque", "FormMain", main);
  WriteWindowGeometry(registry, "QuelvarTorque", "FormAbout", about);
  for (int start = 0; start < 2; ++start) {
    auto formMain = NewMainWindow();
    auto aboutBox = std::make_unique<TFormAbout>(state, registry);
    formMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(formMain.get()));
    ExpectTitleBarOnScreen(*formMain);
    ExpectTitleBarOnScreen(*aboutBox);
    formMain->close();
    aboutBox.reset();
    formMain.reset();  // the shut-down saves the place
    EXPECT_EQ(Text(Stored(registry, "FormMain")), Text(main)) << "start " << start;
    EXPECT_EQ(Text(Stored(registry, "FormAbout")), Text(about)) << "start " << start;
  }
}

}  // namespace
