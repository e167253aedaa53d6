#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <stdexcept>

#include "platform/ScriptedUiHost.h"
#include "shell/QuelvarApplication.h"

namespace {

using quelvar::QuelvarApplication;
using quelvar::platform::ScriptedUiHost;

TEST(QuelvarApplication, ErrorEscapingAHandlerIsShownAndTheLoopGoesOn) {
  auto* app = qobject_cast<QuelvarApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  ScriptedUiHost ui;
  app->SetUiHost(&ui);
  bool laterHandlerRan = false;
  QTimer::singleShot(0, [] { throw std::runtime_error("通道数错误"); });
  QTimer::singleShot(0, [&] { laterHandlerRan = true; });
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  app->SetUiHost(nullptr);

  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "通道数错误");
  EXPECT_EQ(ui.prompts[0].caption, "Quelvar");
  EXPECT_EQ(ui.prompts[0].icon, quelvar::platform::MsgIcon::Error);
  EXPECT_TRUE(laterHandlerRan);
}

}  // namespace
