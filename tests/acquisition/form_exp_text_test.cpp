#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "acquisition/FormExpText.h"
#include "platform/MemoryRegistry.h"

namespace {

using namespace quelvar;

TEST(FormExpText, TextHeadsRecordsAndComesBackAtTheNextStart) {
  AppState state;
  platform::MemoryRegistry registry;
  const std::string key = "\\SOFTWARE\\QuelvarTorque\\FormSize";
  {
    TFormExpText window(state, registry);
    EXPECT_EQ(state.ExpText, "缺省试验条件");  // nothing stored yet
    window.MemoExpText->setPlainText(QStringLiteral("1号机 额定负荷"));
    EXPECT_EQ(state.ExpText, "1号机 额定负荷");  // every edit is in force at once
  }
  EXPECT_EQ(registry.ReadString(key, "ExpText"), "1号机 额定负荷");
  {
    TFormExpText window(state, registry);
    EXPECT_EQ(window.MemoExpText->toPlainText().toStdString(), "1号机 额定负荷");
    window.MemoExpText->clear();
    EXPECT_EQ(state.ExpText, "");
  }
  TFormExpText again(state, registry);
  EXPECT_EQ(state.ExpText, "缺省试验条件");  // an empty text comes back as the default
}

TEST(FormExpText, LinesEndInCrLfInRecordsAndInTheStore) {
  AppState state;
  platform::MemoryRegistry registry;
  {
    TFormExpText window(state, registry);
    window.MemoExpText->setPlainText(QStringLiteral("1号机\n额定负荷"));
    EXPECT_EQ(state.ExpText, "1号机\r\n额定负荷");
  }
  EXPECT_EQ(registry.ReadString("\\SOFTWARE\\QuelvarTorque\\FormSize", "ExpText"), "1号机\r\n额定负荷");
  TFormExpText again(state, registry);
  EXPECT_EQ(again.MemoExpText->toPlainText().toStdString(), "1号机\n额定负荷");
  EXPECT_EQ(state.ExpText, "1号机\r\n额定负荷");
}

}  // namespace
