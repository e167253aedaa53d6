#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/RegistryKey.h"
#include "registry_stores.h"

namespace quelvar::platform::test {
namespace {

template <typename Maker>
using RegistryValues = EveryStore<Maker>;
TYPED_TEST_SUITE(RegistryValues, StoreMakers);

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\Values";

// Reads that the settings code relies on to fall back to its default.
TYPED_TEST(RegistryValues, MissingOrMismatchedValuesReadAsFailure) {
  RegistryStore& s = this->store();
  ASSERT_TRUE(s.WriteInt32(kKey, "Dword", 7));
  ASSERT_TRUE(s.WriteString(kKey, "String", "7"));
  ASSERT_TRUE(s.WriteBinary(kKey, "Bin4", RegistryBytes{1, 2, 3, 4}));
  ASSERT_TRUE(s.WriteBinary(kKey, "Bin9", RegistryBytes(9, 0)));
  ASSERT_TRUE(s.WriteDouble(kKey, "Double", 2.5));

  struct Case {
    const char* what;
    std::function<bool()> fails;
  };
  const Case cases[] = {
      {"int from missing value", [&] { return !s.ReadInt32(kKey, "Nope"); }},
      {"int from missing key", [&] { return !s.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Nope", "Dword"); }},
      {"int from missing tree", [&] { return !s.ReadInt32("\\SOFTWARE\\Nope", "Dword"); }},
      {"int from string", [&] { return !s.ReadInt32(kKey, "String"); }},
      {"int from binary", [&] { return !s.ReadInt32(kKey, "Bin4"); }},
      {"double from dword", [&] { return !s.ReadDouble(kKey, "Dword"); }},
      {"double from 4-byte binary", [&] { return !s.ReadDouble(kKey, "Bin4"); }},
      {"double from 9-byte binary", [&] { return !s.ReadDouble(kKey, "Bin9"); }},
      {"string from dword", [&] { return !s.ReadString(kKey, "Dword"); }},
      {"string from binary", [&] { return !s.ReadString(kKey, "Bin4"); }},
      {"binary from string", [&] { return !s.ReadBinary(kKey, "String"); }},
      {"binary from dword", [&] { return !s.ReadBinary(kKey, "Dword", 4); }},
      {"binary of a smaller size", [&] { return !s.ReadBinary(kKey, "Bin4", 3); }},
      {"binary of a larger size", [&] { return !s.ReadBinary(kKey, "Bin4", 5); }},
      {"value outside any tree", [&] { return !s.ReadInt32("\\SOFTWARE", "Dword"); }},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.fails()) << c.what;

  // The same values read fine with the right type and size.
  EXPECT_EQ(s.ReadInt32(kKey, "Dword"), 7);
  EXPECT_EQ(s.ReadString(kKey, "String"), "7");
  EXPECT_EQ(s.ReadBinary(kKey, "Bin4", 4), (RegistryBytes{1, 2, 3, 4}));
  EXPECT_EQ(s.ReadBinary(kKey, "Bin9")->size(), 9u);
  EXPECT_EQ(s.ReadDouble(kKey, "Double"), 2.5);
}

TYPED_TEST(RegistryValues, WritingAnotherTypeReplacesTheValue) {
  RegistryStore& s = this->store();
  ASSERT_TRUE(s.WriteInt32(kKey, "Mode", 3));
  ASSERT_TRUE(s.WriteString(kKey, "MODE", "three"));
  EXPECT_EQ(s.ReadInt32(kKey, "Mode"), std::nullopt);
  EXPECT_EQ(s.ReadString(kKey, "Mode"), "three");
  ASSERT_TRUE(s.WriteDouble(kKey, "Mode", 3.0));
  EXPECT_EQ(s.ReadString(kKey, "Mode"), std::nullopt);
  EXPECT_EQ(s.ReadDouble(kKey, "Mode"), 3.0);
}

TYPED_TEST(RegistryValues, DoublesAreEightLittleEndianBytes) {
  RegistryStore& s = this->store();
  ASSERT_TRUE(s.WriteDouble(kKey, "One", 1.0));
  EXPECT_EQ(s.ReadBinary(kKey, "One"), (RegistryBytes{0, 0, 0, 0, 0, 0, 0xf0, 0x3f}));
  // A binary written by other code in that layout reads as a double.
  ASSERT_TRUE(s.WriteBinary(kKey, "MinusTwo", RegistryBytes{0, 0, 0, 0, 0, 0, 0, 0xc0}));
  EXPECT_EQ(s.ReadDouble(kKey, "MinusTwo"), -2.0);
}

TYPED_TEST(RegistryValues, RegistryKeyOpensWithCreateAndFallsBackToDefaults) {
  RegistryStore& s = this->store();
  RegistryKey key(s, "\\SOFTWARE\\QuelvarTorque\\Color");
  EXPECT_TRUE(s.KeyExists("\\SOFTWARE\\QuelvarTorque\\Color"));
  EXPECT_EQ(key.ReadInteger("ColorNum").value_or(16), 16);
  EXPECT_EQ(key.ReadDouble("Gamma").value_or(2.2), 2.2);
  EXPECT_EQ(key.ReadString("Scheme").value_or("Classic"), "Classic");

  ASSERT_TRUE(key.WriteInteger("ColorNum", -24));
  ASSERT_TRUE(key.WriteDouble("Gamma", 1.8));
  ASSERT_TRUE(key.WriteString("Scheme", "Dark"));
  ASSERT_TRUE(key.WriteBinary("Palette", RegistryBytes{0x10, 0x20, 0x30}));

  RegistryKey again(s, "\\software\\quelvartorque\\color");
  EXPECT_EQ(again.ReadInteger("ColorNum").value_or(16), -24);
  EXPECT_EQ(again.ReadDouble("Gamma"), 1.8);
  EXPECT_EQ(again.ReadString("Scheme"), "Dark");
  EXPECT_EQ(again.ReadBinary("Palette", 3), (RegistryBytes{0x10, 0x20, 0x30}));
  EXPECT_EQ(again.ReadBinary("Palette", 4), std::nullopt);
  EXPECT_EQ(again.ReadBinary("Palette"), (RegistryBytes{0x10, 0x20, 0x30}));
}

TYPED_TEST(RegistryValues, RegistryKeyOutsideATreeFailsEveryWrite) {
  RegistryKey key(this->store(), "\\HARDWARE\\Board");
  EXPECT_FALSE(key.WriteInteger("Irq", 5));
  EXPECT_EQ(key.ReadInteger("Irq"), std::nullopt);
}

}  // namespace
}  // namespace quelvar::platform::test
