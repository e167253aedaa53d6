#include <gtest/gtest.h>

#include "shell/QuelvarApplication.h"

// Window tests need one application object for the whole run: the program's
// own, so that errors escaping handlers behave as in the program.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  quelvar::QuelvarApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
