#include <gtest/gtest.h>

#include <array>

#include "platform/Canvas.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return platform::Color{r, g, b}.ToStored(); }

// The built-in scheme by name, black background then white background.
TEST(Palette, DefaultTableHoldsTheNamedColoursOfBothSchemes) {
  const uint32_t green = Rgb(0, 128, 0), purple = Rgb(128, 0, 128), yellow = Rgb(255, 255, 0),
                 red = Rgb(255, 0, 0), white = Rgb(255, 255, 255), blue = Rgb(0, 0, 255), lime = Rgb(0, 255, 0),
                 black = Rgb(0, 0, 0), teal = Rgb(0, 128, 128), aqua = Rgb(0, 255, 255),
                 fuchsia = Rgb(255, 0, 255), olive = Rgb(128, 128, 0), navy = Rgb(0, 0, 128),
                 maroon = Rgb(128, 0, 0);
  const std::array<std::array<uint32_t, 16>, 2> expected = {{
      {green, yellow, red, yellow, white, lime, red, green, yellow, blue, aqua, fuchsia, olive, navy, maroon, purple},
      {purple, red, red, green, blue, black, red, green, teal, lime, aqua, fuchsia, olive, navy, maroon, purple},
  }};
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < 16; ++slot) {
      EXPECT_EQ(DefaultSlotColor(row, slot), expected[row][slot]) << "row " << row << " slot " << slot;
    }
  }
}

TEST(Palette, CurveDefaultsRepeatEveryTwelveSlotsBeyondTheTable) {
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(DefaultSlotColor(row, 16), DefaultSlotColor(row, 4));
    EXPECT_EQ(DefaultSlotColor(row, 29), DefaultSlotColor(row, 5));
    EXPECT_EQ(DefaultSlotColor(row, 71), DefaultSlotColor(row, 11));
  }
  // A fresh configuration starts from the same colours in all 72 slots.
  const LiveConfig fresh;
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < kPaletteSlots; ++slot) {
      EXPECT_EQ(fresh.ColorPalette[row][slot], DefaultSlotColor(row, slot)) << row << "/" << slot;
    }
  }
}

TEST(Palette, ChannelKeysCycleOverTheCurveSlotsInUse) {
  struct Case {
    int32_t colorNum, key;
    int slot;
  };
  const Case cases[] = {
      {16, 0, 4},  {16, 11, 15}, {16, 12, 4},  {16, 13, 5}, {16, 24, 4},
      {20, 15, 19}, {20, 16, 4}, {72, 67, 71}, {72, 68, 4},
      // Counts outside 16..72 are taken clamped; negative keys wrap.
      {0, 5, 9},   {3, 12, 4},  {100, 70, 6}, {16, -1, 15}, {16, -12, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChannelColorSlot(c.colorNum, c.key), c.slot) << "count " << c.colorNum << " key " << c.key;
  }
}

TEST(Palette, ChannelColorReadsTheRowOfTheScheme) {
  LiveConfig config;
  config.ColorNum = 16;
  config.ColorPalette[0][5] = 0x111111;
  config.ColorPalette[1][5] = 0x222222;
  EXPECT_EQ(ChannelColor(config, 13, kPaletteRowBlack), 0x111111u);
  EXPECT_EQ(ChannelColor(config, 13, kPaletteRowWhite), 0x222222u);
  EXPECT_EQ(ChannelColor(config, 13, 7), 0x111111u);  // never outside the two rows

  EXPECT_EQ(PaletteRow(1), kPaletteRowWhite);
  for (int32_t other : {0, 2, -1}) EXPECT_EQ(PaletteRow(other), kPaletteRowBlack) << other;
}

TEST(Palette, ColorCountIsKeptBetweenSixteenAndSeventyTwo) {
  EXPECT_EQ(ClampColorNum(3), 16);
  EXPECT_EQ(ClampColorNum(16), 16);
  EXPECT_EQ(ClampColorNum(40), 40);
  EXPECT_EQ(ClampColorNum(72), 72);
  EXPECT_EQ(ClampColorNum(100), 72);
}

TEST(Palette, RestoringDefaultsCoversTheSlotsInUseAndKeepsTheRest) {
  PaletteRows palette{};
  for (auto& row : palette) row.fill(0x123456);
  RestoreDefaultColors(palette, 30);
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(palette[row][slot], DefaultSlotColor(row, slot));
    EXPECT_EQ(palette[row][16], DefaultSlotColor(row, 4));
    EXPECT_EQ(palette[row][29], DefaultSlotColor(row, 5));
    EXPECT_EQ(palette[row][30], 0x123456u);
    EXPECT_EQ(palette[row][71], 0x123456u);
  }
}

}  // namespace
