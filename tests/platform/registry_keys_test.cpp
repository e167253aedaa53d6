#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/RegistryNames.h"
#include "registry_stores.h"

namespace quelvar::platform::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

template <typename Maker>
using RegistryKeys = EveryStore<Maker>;
TYPED_TEST_SUITE(RegistryKeys, StoreMakers);

constexpr const char* kApp = "\\SOFTWARE\\QuelvarTorque";

TYPED_TEST(RegistryKeys, CreateKeyMakesAllParents) {
  RegistryStore& store = this->store();
  EXPECT_FALSE(store.KeyExists("\\SOFTWARE\\QuelvarTorque\\View\\Grid"));
  ASSERT_TRUE(store.CreateKey("\\SOFTWARE\\QuelvarTorque\\View\\Grid"));
  EXPECT_TRUE(store.KeyExists("SOFTWARE\\QuelvarTorque"));
  EXPECT_TRUE(store.KeyExists("\\SOFTWARE\\QuelvarTorque\\View\\"));
  EXPECT_TRUE(store.KeyExists("\\SOFTWARE\\QuelvarTorque\\View\\Grid"));
  EXPECT_TRUE(store.CreateKey("\\SOFTWARE\\QuelvarTorque\\View\\Grid"));  // existing: fine
  EXPECT_FALSE(store.CreateKey("\\SOFTWARE\\QuelvarTorque\\\\Grid"));
}

TYPED_TEST(RegistryKeys, NamesIgnoreCaseAndKeepTheirFirstCase) {
  RegistryStore& store = this->store();
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Color", "ColorNum", 16));
  ASSERT_TRUE(store.WriteInt32("\\software\\QUELVARTORQUE\\COLOR", "COLORNUM", 24));
  ASSERT_TRUE(store.CreateKey("\\SOFTWARE\\quelvartorque\\color\\Sub"));

  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Color", "colornum"), 24);
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE"), ElementsAre("QuelvarTorque"));
  EXPECT_THAT(store.SubkeyNames(kApp), ElementsAre("Color"));
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE\\QuelvarTorque\\Color"), ElementsAre("Sub"));
  EXPECT_THAT(store.ValueNames("\\SOFTWARE\\QuelvarTorque\\Color"), ElementsAre("ColorNum"));
}

TYPED_TEST(RegistryKeys, ListsSubkeysAlphabeticallyAndValuesInWriteOrder) {
  RegistryStore& store = this->store();
  for (const char* key : {"beta", "Alpha", "gamma", "Delta"}) {
    ASSERT_TRUE(store.CreateKey(std::string(kApp) + "\\List\\" + key));
  }
  for (const char* name : {"Item2", "Item10", "Item1"}) {
    ASSERT_TRUE(store.WriteInt32(std::string(kApp) + "\\List", name, 0));
  }
  // Rewriting a value keeps its place.
  ASSERT_TRUE(store.WriteString(std::string(kApp) + "\\List", "item2", "again"));
  EXPECT_THAT(store.SubkeyNames(std::string(kApp) + "\\List"), ElementsAre("Alpha", "beta", "Delta", "gamma"));
  EXPECT_THAT(store.ValueNames(std::string(kApp) + "\\List"), ElementsAre("Item2", "Item10", "Item1"));
}

TYPED_TEST(RegistryKeys, DeleteKeyRemovesEverythingBelowIt) {
  RegistryStore& store = this->store();
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\A\\B\\C", "Deep", 1));
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\A\\B", "Mid", 2));
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\A\\Sibling", "Keep", 3));
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\A", "Top", 4));

  ASSERT_TRUE(store.DeleteKey("\\SOFTWARE\\QuelvarTorque\\a\\b"));

  EXPECT_FALSE(store.KeyExists("\\SOFTWARE\\QuelvarTorque\\A\\B"));
  EXPECT_FALSE(store.KeyExists("\\SOFTWARE\\QuelvarTorque\\A\\B\\C"));
  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque\\A\\B\\C", "Deep"), std::nullopt);
  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque\\A\\Sibling", "Keep"), 3);
  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque\\A", "Top"), 4);
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE\\QuelvarTorque\\A"), ElementsAre("Sibling"));
  EXPECT_FALSE(store.DeleteKey("\\SOFTWARE\\QuelvarTorque\\A\\B"));  // already gone

  // A key created again after deletion starts empty.
  ASSERT_TRUE(store.CreateKey("\\SOFTWARE\\QuelvarTorque\\A\\B"));
  EXPECT_THAT(store.ValueNames("\\SOFTWARE\\QuelvarTorque\\A\\B"), IsEmpty());
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE\\QuelvarTorque\\A\\B"), IsEmpty());
}

TYPED_TEST(RegistryKeys, DeletingTheApplicationTreeLeavesOtherTreesAlone) {
  RegistryStore& store = this->store();
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Color", "ColorNum", 16));
  ASSERT_TRUE(store.WriteInt32("\\SOFTWARE\\QuelvarTorque1\\Color", "ColorNum", 8));

  ASSERT_TRUE(store.DeleteKey("\\SOFTWARE\\QUELVARTORQUE"));

  EXPECT_FALSE(store.KeyExists(kApp));
  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Color", "ColorNum"), std::nullopt);
  EXPECT_EQ(store.ReadInt32("\\SOFTWARE\\QuelvarTorque1\\Color", "ColorNum"), 8);
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE"), ElementsAre("QuelvarTorque1"));
  EXPECT_FALSE(store.DeleteKey(kApp));
}

TYPED_TEST(RegistryKeys, DeleteValueRemovesOnlyThatValue) {
  RegistryStore& store = this->store();
  ASSERT_TRUE(store.WriteInt32(kApp, "A", 1));
  ASSERT_TRUE(store.WriteInt32(kApp, "B", 2));
  EXPECT_TRUE(store.DeleteValue(kApp, "a"));
  EXPECT_FALSE(store.DeleteValue(kApp, "A"));
  EXPECT_FALSE(store.DeleteValue("\\SOFTWARE\\QuelvarTorque\\Missing", "B"));
  EXPECT_THAT(store.ValueNames(kApp), ElementsAre("B"));
}

TYPED_TEST(RegistryKeys, OnlyApplicationTreesHoldValues) {
  RegistryStore& store = this->store();
  EXPECT_TRUE(store.KeyExists("\\SOFTWARE"));
  EXPECT_TRUE(store.CreateKey("\\SOFTWARE"));
  EXPECT_FALSE(store.WriteInt32("\\SOFTWARE", "Direct", 1));
  EXPECT_FALSE(store.DeleteKey("\\SOFTWARE"));
  EXPECT_FALSE(store.CreateKey("\\HARDWARE\\Board"));
  EXPECT_FALSE(store.WriteInt32("\\HARDWARE\\Board", "Irq", 5));
  EXPECT_FALSE(store.KeyExists("\\HARDWARE"));
  // A tree name that could not be a file name.
  EXPECT_FALSE(store.WriteInt32("\\SOFTWARE\\..\\X", "V", 1));
  EXPECT_FALSE(store.WriteInt32("\\SOFTWARE\\a/b", "V", 1));
  EXPECT_THAT(store.SubkeyNames("\\SOFTWARE"), IsEmpty());
}

TYPED_TEST(RegistryKeys, RejectsValueNamesThatCannotBeStored) {
  RegistryStore& store = this->store();
  EXPECT_FALSE(store.WriteInt32(kApp, "", 1));
  EXPECT_FALSE(store.WriteInt32(kApp, "two\nlines", 1));
  EXPECT_FALSE(store.WriteInt32(kApp, std::string(kMaxValueNameLength + 1, 'v'), 1));
  EXPECT_TRUE(store.WriteInt32(kApp, std::string(kMaxValueNameLength, 'v'), 1));
}

}  // namespace
}  // namespace quelvar::platform::test
