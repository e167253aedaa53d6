#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\Run";

bool SavedValue(const TempDir& dir, const char* name) {
  return FileRegistry(dir.Path()).ReadInt32(kKey, name).has_value();
}

TEST(RegistryBatch, WriteOutsideABatchIsSavedAtOnce) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32(kKey, "A", 1));
  EXPECT_TRUE(SavedValue(dir, "A"));
  ASSERT_TRUE(reg.DeleteValue(kKey, "A"));
  EXPECT_FALSE(SavedValue(dir, "A"));
}

TEST(RegistryBatch, SavesOnlyAtTheOutermostEndUpdate) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32(kKey, "Before", 0));
  const std::string before = ReadText(dir.TreeFile("QuelvarTorque"));

  reg.BeginUpdate();
  ASSERT_TRUE(reg.WriteInt32(kKey, "A", 1));
  reg.BeginUpdate();
  ASSERT_TRUE(reg.WriteInt32(kKey, "B", 2));
  ASSERT_TRUE(reg.DeleteValue(kKey, "Before"));
  ASSERT_TRUE(reg.EndUpdate());
  EXPECT_EQ(ReadText(dir.TreeFile("QuelvarTorque")), before);  // inner end: still nothing saved
  EXPECT_EQ(reg.ReadInt32(kKey, "B"), 2);                      // but visible in memory

  ASSERT_TRUE(reg.EndUpdate());
  EXPECT_TRUE(SavedValue(dir, "A"));
  EXPECT_TRUE(SavedValue(dir, "B"));
  EXPECT_FALSE(SavedValue(dir, "Before"));
  EXPECT_FALSE(reg.EndUpdate());  // not inside a batch
}

TEST(RegistryBatch, GuardSavesEveryChangedTreeWhenItEnds) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  {
    RegistryBatch batch(reg);
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(reg.WriteInt32(kKey, "V" + std::to_string(i), i));
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque1", "Instance", 1));
    EXPECT_FALSE(std::filesystem::exists(dir.Software()));
  }
  FileRegistry again(dir.Path());
  EXPECT_EQ(again.ReadInt32(kKey, "V1999"), 1999);
  EXPECT_EQ(again.ReadInt32("\\SOFTWARE\\QuelvarTorque1", "Instance"), 1);
}

TEST(RegistryBatch, FlushSavesInsideABatchAndDeletionsWaitToo) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32(kKey, "A", 1));
  RegistryBatch batch(reg);
  ASSERT_TRUE(reg.DeleteKey("\\SOFTWARE\\QuelvarTorque"));
  EXPECT_TRUE(std::filesystem::exists(dir.TreeFile("QuelvarTorque")));
  ASSERT_TRUE(reg.Flush());
  EXPECT_FALSE(std::filesystem::exists(dir.TreeFile("QuelvarTorque")));
}

}  // namespace
}  // namespace quelvar::platform::test
