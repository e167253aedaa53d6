// The device data panel's number-base tool: each button between the decimal
// value and the little-endian byte fields.
#include <gtest/gtest.h>

#include <string>

#include "setup/NumberBaseTool.h"

namespace {

using namespace quelvar;
using B = NumberBaseButton;

struct Case {
  B button;
  std::string data;
  std::array<std::string, 8> bytes;
  std::string wantData;
  std::array<std::string, 8> wantBytes;
};

// "k" marks a byte field the button must leave alone.
const std::array<std::string, 8> kUntouched = {"k", "k", "k", "k", "k", "k", "k", "k"};

TEST(NumberBaseTool, EachButtonConvertsItsWidthAndLeavesTheOtherFields) {
  const Case cases[] = {
      // integers to bytes
      {B::ByteTo, "300", kUntouched, "300", {"12C", "k", "k", "k", "k", "k", "k", "k"}},
      {B::ByteTo, "10", kUntouched, "10", {"0A", "k", "k", "k", "k", "k", "k", "k"}},
      {B::ByteTo, "-2", kUntouched, "-2", {"FFFFFFFE", "k", "k", "k", "k", "k", "k", "k"}},
      {B::ShortTo, "-2", kUntouched, "-2", {"FE", "FF", "k", "k", "k", "k", "k", "k"}},
      {B::ShortTo, "70000", kUntouched, "70000", {"70", "11", "k", "k", "k", "k", "k", "k"}},
      {B::LongTo, "305419896", kUntouched, "305419896", {"78", "56", "34", "12", "k", "k", "k", "k"}},
      {B::LongTo, "-1", kUntouched, "-1", {"FF", "FF", "FF", "FF", "k", "k", "k", "k"}},
      // a value that is no integer counts as 0
      {B::LongTo, "1.5", kUntouched, "1.5", {"00", "00", "00", "00", "k", "k", "k", "k"}},
      {B::ShortTo, "abc", kUntouched, "abc", {"00", "00", "k", "k", "k", "k", "k", "k"}},
      // bytes to integers: low 8 bits of each field, signed results
      {B::ByteFrom, "", {"1FF", "k", "k", "k", "k", "k", "k", "k"}, "255", {"1FF", "k", "k", "k", "k", "k", "k", "k"}},
      {B::ShortFrom, "", {"FE", "FF", "k", "k", "k", "k", "k", "k"}, "-2", {"FE", "FF", "k", "k", "k", "k", "k", "k"}},
      {B::ShortFrom, "", {"x", "01", "k", "k", "k", "k", "k", "k"}, "256", {"x", "01", "k", "k", "k", "k", "k", "k"}},
      {B::LongFrom, "", {"00", "00", "00", "80", "k", "k", "k", "k"}, "-2147483648",
       {"00", "00", "00", "80", "k", "k", "k", "k"}},
      // floating point
      {B::FloatTo, "1", kUntouched, "1", {"00", "00", "80", "3F", "k", "k", "k", "k"}},
      {B::FloatTo, "-2.5", kUntouched, "-2.5", {"00", "00", "20", "C0", "k", "k", "k", "k"}},
      {B::FloatTo, "1e300", kUntouched, "1e300", {"00", "00", "80", "7F", "k", "k", "k", "k"}},
      {B::FloatFrom, "", {"00", "00", "80", "3F", "k", "k", "k", "k"}, "1", {"00", "00", "80", "3F", "k", "k", "k", "k"}},
      {B::FloatFrom, "", {"00", "00", "20", "C0", "k", "k", "k", "k"}, "-2.5",
       {"00", "00", "20", "C0", "k", "k", "k", "k"}},
      {B::DoubleTo, "1", kUntouched, "1", {"00", "00", "00", "00", "00", "00", "F0", "3F"}},
      {B::DoubleTo, "0.1", kUntouched, "0.1", {"9A", "99", "99", "99", "99", "99", "B9", "3F"}},
      {B::DoubleFrom, "", {"9A", "99", "99", "99", "99", "99", "B9", "3F"}, "0.1",
       {"9A", "99", "99", "99", "99", "99", "B9", "3F"}},
      {B::DoubleFrom, "", {"00", "00", "00", "00", "00", "00", "F0", "BF"}, "-1",
       {"00", "00", "00", "00", "00", "00", "F0", "BF"}},
  };
  for (const Case& c : cases) {
    NumberBaseFields f{c.data, c.bytes};
    ApplyNumberBaseButton(c.button, f);
    EXPECT_EQ(f.data, c.wantData) << static_cast<int>(c.button) << " " << c.data;
    EXPECT_EQ(f.bytes, c.wantBytes) << static_cast<int>(c.button) << " " << c.data;
  }
}

TEST(NumberBaseTool, BytesToAndBackGiveTheValueAgain) {
  const std::pair<B, B> buttons[] = {{B::ShortTo, B::ShortFrom}, {B::LongTo, B::LongFrom}, {B::DoubleTo, B::DoubleFrom}};
  for (const auto& [to, from] : buttons) {
    for (const char* value : {"0", "-1", "12345", "-32768"}) {
      NumberBaseFields f{value, {}};
      ApplyNumberBaseButton(to, f);
      f.data.clear();
      ApplyNumberBaseButton(from, f);
      EXPECT_EQ(f.data, value) << static_cast<int>(to);
    }
  }
}

}  // namespace
