#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/GbkText.h"

namespace quelvar::platform {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

TEST(GbkText, ProgramTextsRoundTrip) {
  const char* texts[] = {
      "记录示波器", "录波器",   "模拟通道数大于AD板总通道数!", "提示：", "《第 1/1 页》",
      "△T",         "启动算法", "扭矩功率",                   "交流",   "直流",
      "Channel 1: 12.5 V", "",
  };
  for (const char* text : texts) {
    const std::string gbk = Utf8ToGbk(text);
    EXPECT_EQ(gbk.find('?'), std::string::npos) << text;
    EXPECT_EQ(GbkToUtf8(gbk), text);
  }
}

TEST(GbkText, KnownBytes) {
  struct Case {
    const char* utf8;
    std::string gbk;
  };
  const Case cases[] = {
      {"录波器", "\xC2\xBC\xB2\xA8\xC6\xF7"},
      {"提示：", "\xCC\xE1\xCA\xBE\xA3\xBA"},
      {"A录1", "A\xC2\xBC" "1"},
      {"AD板!", "AD\xB0\xE5!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
  }
}

TEST(GbkText, UnencodableAndInvalidUtf8BecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string gbk;
  };
  const Case cases[] = {
      {"a😀b", "a?b"},                 // outside GBK: one '?' per character
      {"한글", "??"},
      {"x\xE8\xAE", "x??"},            // cut short at the end: one per byte
      {"A\xE8" "A录", "A?A\xC2\xBC"},  // broken sequence, decoding goes on
      {"\xFF", "?"},
      {"\xC0\xAF", "??"},              // overlong '/'
      {"\xED\xA0\x80", "???"},         // surrogate
      {"\x80录", "?\xC2\xBC"},         // stray continuation byte
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
}

TEST(GbkText, InvalidGbkBecomesReplacementCharacter) {
  struct Case {
    std::string gbk;
    std::string utf8;
  };
  const Case cases[] = {
      {"\xFF\xC2\xBC", kReplacement + "录"},
      {"\x81\x7F" "A", kReplacement + "\x7F" "A"},  // bad trail byte: only the lead is lost
      {"AB\xC2", "AB" + kReplacement},              // lead byte cut off at the end
      {"\xFF\xFF", kReplacement + kReplacement},
  };
  for (const Case& c : cases) EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
}

// "AB记录示波器" is 2 + 5 * 2 GBK bytes; a field of width w keeps w - 1 bytes
// at most and never half a character.
TEST(GbkField, CutNeverSplitsACharacter) {
  const char* expected[] = {
      "",           "A",          "AB",         "AB",           "AB记",         "AB记",         "AB记录",
      "AB记录",     "AB记录示",   "AB记录示",   "AB记录示波",   "AB记录示波",   "AB记录示波器",
  };
  for (size_t width = 1; width <= 13; ++width) {
    std::vector<char> buffer(width + 4, '\xCC');
    WriteGbkField("AB记录示波器", buffer.data(), width);
    const std::string text = ReadGbkField(buffer.data(), width);
    EXPECT_EQ(text, expected[width - 1]) << "width " << width;
    const size_t used = Utf8ToGbk(text).size();
    for (size_t i = used; i < width; ++i) EXPECT_EQ(buffer[i], '\0') << "width " << width << " byte " << i;
    for (size_t i = width; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '\xCC') << "width " << width;
  }
}

// The cut counts GBK bytes, not UTF-8 bytes, and keeps the characters.
TEST(GbkText, CutToGbkBytesCountsTheGbkForm) {
  struct Case {
    std::string utf8;
    size_t maxBytes;
    std::string kept;
  };
  const Case cases[] = {
      {"压力通道一二", 15, "压力通道一二"},     // 12 GBK bytes, 18 UTF-8 bytes
      {"积分压力通道一二", 15, "积分压力通道一"},  // 16 bytes: the last character goes whole
      {"abcdefghijklmnopqrst", 15, "abcdefghijklmno"},
      {"A记录", 2, "A"},
      {"A记录", 3, "A记"},
      {"a😀b", 2, "a😀"},  // GBK lacks it: one '?' byte, the character kept
      {"x\xE8\xAEy", 3, "x\xE8\xAE"},
      {"录", 0, ""},
      {"", 15, ""},
  };
  for (const Case& c : cases) {
    const std::string kept = CutToGbkBytes(c.utf8, c.maxBytes);
    EXPECT_EQ(kept, c.kept) << c.utf8 << " / " << c.maxBytes;
    EXPECT_LE(Utf8ToGbk(kept).size(), c.maxBytes);
  }
}

TEST(GbkField, ZeroWidthWritesNothing) {
  char guard = 'x';
  WriteGbkField("录", &guard, 0);
  EXPECT_EQ(guard, 'x');
  EXPECT_EQ(ReadGbkField(&guard, 0), "");
}

TEST(GbkField, ReadStopsAtNulOrWidth) {
  const char full[] = "\xC2\xBC\xB2\xA8\xC6\xF7XYZ";  // no NUL within the 6-byte field
  EXPECT_EQ(ReadGbkField(full, 6), "录波器");
  const char early[] = {'A', '\0', 'B', 'C'};
  EXPECT_EQ(ReadGbkField(early, sizeof early), "A");
}

TEST(GbkText, ConcurrentConversionsDoNotInterfere) {
  const std::string text = "模拟通道数大于AD板总通道数!";
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) {
        if (GbkToUtf8(Utf8ToGbk(text + std::to_string(i))) != text + std::to_string(i)) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace quelvar::platform
