#include <gtest/gtest.h>

#include <optional>

#include "setup/DialogNumbers.h"

namespace {

using namespace quelvar;

TEST(DialogNumbers, RealNumbersInDecimalFormOnly) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"1.5", 1.5},   {" -2.5e3 ", -2500.0}, {"+7", 7.0},   {".5", 0.5},         {"5.", 5.0},
      {"1E-2", 0.01}, {"", std::nullopt},    {" ", std::nullopt}, {"1,5", std::nullopt}, {"inf", std::nullopt},
      {"nan", std::nullopt}, {"0x10", std::nullopt}, {"+-1", std::nullopt}, {"1e400", std::nullopt},
      {"1-2", std::nullopt}, {"e5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDialogReal(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
