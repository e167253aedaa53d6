#include <gtest/gtest.h>

#include <string>

#include "view/ColorDialogRules.h"

namespace {

using namespace quelvar;

TEST(ColorDialogRules, ColoursShowAsEightHexDigits) {
  EXPECT_EQ(ColorHexText(0x8000), "00008000");
  EXPECT_EQ(ColorHexText(0xFFFFFF), "00FFFFFF");
  EXPECT_EQ(ColorHexText(0xDEADBEEF), "DEADBEEF");
}

TEST(ColorDialogRules, TypedColourIsHexOrTheBadTextGreen) {
  struct Case {
    const char* text;
    uint32_t value;
  };
  const Case cases[] = {
      {"00FF00FF", 0x00FF00FF}, {"ff", 0xFF}, {"DEADBEEF", 0xDEADBEEF}, {"0", 0},
      {"", kBadColorTextValue},   {"xyz", kBadColorTextValue},   {"0x12", kBadColorTextValue},
      {"12g", kBadColorTextValue}, {"-1", kBadColorTextValue},   {" 12", kBadColorTextValue},
      {"100000000", kBadColorTextValue},  // more than 32 bits
  };
  for (const Case& c : cases) EXPECT_EQ(ParseColorText(c.text), c.value) << '"' << c.text << '"';
}

TEST(ColorDialogRules, TypedSlotCountIsClampedAndBadTextKeepsTheCountInForce) {
  struct Case {
    const char* text;
    int32_t inForce, count;
  };
  const Case cases[] = {
      {"40", 20, 40}, {"100", 20, 72}, {"3", 20, 16}, {"-5", 20, 16},
      {"abc", 20, 20}, {"", 24, 24},   {"99999999999", 30, 30}, {"4x", 5, 16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseColorNumText(c.text, c.inForce), c.count) << '"' << c.text << "\" in force " << c.inForce;
  }
}

TEST(ColorDialogRules, SlotUsesNameTheSystemSlotsAndNumberTheCurves) {
  EXPECT_EQ(SlotUseText(0), "刻度线颜色");
  EXPECT_EQ(SlotUseText(1), "文字颜色");
  EXPECT_EQ(SlotUseText(2), "红标线颜色");
  EXPECT_EQ(SlotUseText(3), "黄标线颜色");
  EXPECT_EQ(SlotUseText(4), "第0号曲线");
  EXPECT_EQ(SlotUseText(71), "第67号曲线");
  EXPECT_EQ(SlotNumberText(7), "颜色号7");
  EXPECT_EQ(ColorNoteText(4), "注:每曲线1色需8种方案");
}

class SlotChannels : public ::testing::Test {
 protected:
  LiveConfig config;
  void SetUp() override {
    config.ColorNum = 16;  // twelve curve slots
    config.Analog_Num = 30;
    config.SW_Num = 3;
  }
};

TEST_F(SlotChannels, SystemSlotsListNoChannels) {
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(SlotChannelsText(config, slot), "对应: (系统)") << slot;
}

TEST_F(SlotChannels, AnalogChannelsRepeatEveryCurveSlotCount) {
  EXPECT_EQ(SlotChannelsText(config, 5), "对应: Chn1, Chn13, Chn25,");
}

// Switch input s is drawn with the key Analog_Num + s; with 30 analog
// channels switch 0 takes slot 4 + 30 mod 12 = 10, not slot 4.
TEST_F(SlotChannels, SwitchInputsAreListedUnderTheSlotTheyAreDrawnIn_MendedIndexSlot) {
  EXPECT_EQ(SlotChannelsText(config, 10), "对应: Chn6, Chn18, SW0*");
  EXPECT_EQ(SlotChannelsText(config, 4), "对应: Chn0, Chn12, Chn24,");
}

// Slot 20 is beyond the sixteen in force: no channel is drawn in it.
TEST_F(SlotChannels, SlotBeyondTheCountInForceListsNoChannel_MendedWrongListing) {
  EXPECT_EQ(SlotChannelsText(config, 20), "对应:");
}

TEST_F(SlotChannels, CountsBeyondTheTablesAreNotFollowed) {
  config.Analog_Num = 5000;
  config.SW_Num = 5000;
  config.ColorNum = 72;
  const std::string text = SlotChannelsText(config, 4);
  EXPECT_NE(text.find(" Chn0,"), std::string::npos);
  EXPECT_NE(text.find(" Chn68,"), std::string::npos);
}

TEST(ColorDialogRules, FontStyleBitsRoundTripThroughTheChooser) {
  for (int style = 0; style < 16; ++style) {
    const platform::FontChoice choice = FontChoiceOf("宋体", 11, static_cast<uint8_t>(style));
    EXPECT_EQ(choice.bold, (style & kFontBold) != 0);
    EXPECT_EQ(choice.strikeOut, (style & kFontStrikeOut) != 0);
    std::string name;
    int32_t size = 0;
    uint8_t back = 0xFF;
    TakeFontChoice(choice, name, size, back);
    EXPECT_EQ(name, "宋体");
    EXPECT_EQ(size, 11);
    EXPECT_EQ(back, style);
  }
}

}  // namespace
