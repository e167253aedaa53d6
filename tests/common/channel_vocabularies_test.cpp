#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/ChannelVocabularies.h"

namespace quelvar {
namespace {

// One code set through its three functions, with its texts in code order.
struct Vocabulary {
  const char* name;
  std::string (*text)(int32_t);
  int32_t (*code)(std::string_view);
  std::string (*next)(std::string_view);
  std::vector<std::string> texts;
  std::string outOfRangeText;
  std::string nextOfUnknown;
};

const std::vector<Vocabulary>& Vocabularies() {
  static const std::vector<Vocabulary> sets = {
      {"ChannelType", ChannelTypeText, ChannelTypeCode, NextChannelTypeText,
       {"交流", "直流", "计数", "原始量", "K型热偶", "补偿K型", "J型热偶", "补偿J型", "Pt热电阻", "周期", "扭矩1",
        "扭矩2", "扭矩3", "扭矩功率"},
       "直流", ""},
      {"AnalogCompress", AnalogCompressText, AnalogCompressCode, NextAnalogCompressText,
       {"中点值", "有效值", "平均值", "最大值", "最小值", "外轮廓"}, "中点值", ""},
      {"SwitchStartFlag", SwitchStartFlagText, SwitchStartFlagCode, NextSwitchStartFlagText,
       {"不启动", "高电平", "低电平", "上升沿", "下降沿", "变位"}, "不启动", "高电平"},
      {"SwitchCompress", SwitchCompressText, SwitchCompressCode, NextSwitchCompressText,
       {"中点值", "低电平", "高电平", "上升沿", "下降沿", "外轮廓"}, "外轮廓", "低电平"},
  };
  return sets;
}

TEST(ChannelVocabularies, EveryCodeSurvivesTextAndBack) {
  for (const Vocabulary& set : Vocabularies()) {
    SCOPED_TRACE(set.name);
    for (int32_t code = 0; code < static_cast<int32_t>(set.texts.size()); ++code) {
      EXPECT_EQ(set.text(code), set.texts[code]) << "code " << code;
      EXPECT_EQ(set.code(set.texts[code]), code) << set.texts[code];
    }
  }
}

TEST(ChannelVocabularies, CodesOutsideTheSetShowTheFallbackText) {
  for (const Vocabulary& set : Vocabularies()) {
    SCOPED_TRACE(set.name);
    const auto size = static_cast<int32_t>(set.texts.size());
    for (const int32_t code : {-1, size, size + 1, INT32_MIN, INT32_MAX}) {
      EXPECT_EQ(set.text(code), set.outOfRangeText) << "code " << code;
    }
  }
  // The two switch sets share the code range but not the fallback.
  EXPECT_EQ(SwitchCompressText(7), "外轮廓");
  EXPECT_EQ(SwitchStartFlagText(7), "不启动");
  EXPECT_EQ(ChannelTypeText(14), "直流");
  EXPECT_EQ(ChannelTypeText(-1), "直流");
}

TEST(ChannelVocabularies, TextsOutsideTheSetGiveCodeZero) {
  const std::vector<std::string> strangers = {"", "直流 ", " 直流", "k型热偶", "PT热电阻", "有效", "变位变位",
                                              "扭矩", "扭矩4", std::string("直流\0", 7)};
  for (const Vocabulary& set : Vocabularies()) {
    SCOPED_TRACE(set.name);
    for (const std::string& text : strangers) EXPECT_EQ(set.code(text), 0) << "'" << text << "'";
    // So is every text of the other sets that this one does not hold.
    const std::set<std::string> own(set.texts.begin(), set.texts.end());
    for (const Vocabulary& other : Vocabularies()) {
      for (const std::string& text : other.texts) {
        if (!own.contains(text)) {
          EXPECT_EQ(set.code(text), 0) << text;
        }
      }
    }
  }
}

TEST(ChannelVocabularies, ChannelTypeCycleSkipsJTypesAndPeriod) {
  const std::vector<std::string> expected = {"交流",  "直流",  "计数",  "原始量", "K型热偶", "补偿K型",
                                             "Pt热电阻", "扭矩1", "扭矩2", "扭矩3", "扭矩功率"};
  std::vector<std::string> visited;
  std::string text = "交流";
  for (size_t steps = 0; steps <= expected.size(); ++steps) {
    visited.push_back(text);
    text = NextChannelTypeText(text);
    if (text == "交流") break;
  }
  EXPECT_EQ(text, "交流");
  EXPECT_EQ(visited, expected);

  for (const char* outside : {"J型热偶", "补偿J型", "周期"}) EXPECT_EQ(NextChannelTypeText(outside), "") << outside;
}

TEST(ChannelVocabularies, SixCodeSetsCycleThroughEveryText) {
  for (size_t s = 1; s < Vocabularies().size(); ++s) {
    const Vocabulary& set = Vocabularies()[s];
    SCOPED_TRACE(set.name);
    for (size_t code = 0; code < set.texts.size(); ++code) {
      EXPECT_EQ(set.next(set.texts[code]), set.texts[(code + 1) % set.texts.size()]) << set.texts[code];
    }
  }
}

TEST(ChannelVocabularies, NextOfAnUnknownTextDependsOnTheSet) {
  for (const Vocabulary& set : Vocabularies()) {
    SCOPED_TRACE(set.name);
    for (const char* text : {"", "直流 ", "变位 ", "外轮廓x", "unknown"}) {
      EXPECT_EQ(set.next(text), set.nextOfUnknown) << "'" << text << "'";
    }
  }
}

}  // namespace
}  // namespace quelvar
