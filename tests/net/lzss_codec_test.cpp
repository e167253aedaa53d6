#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CodecStreamForTest.h"
#include "net/LzssCodec.h"

namespace {

using namespace quelvar;
using quelvar::test::ParsedStream;
using quelvar::test::ParseStream;
using quelvar::test::StreamToken;
using quelvar::test::StreamWriter;

using Bytes = std::vector<uint8_t>;

constexpr size_t kNoLimit = static_cast<size_t>(-1);

Bytes Compress(LzssCodec& codec, const Bytes& input) {
  const CodecBuffer out = codec.LzssCompress(input.data(), input.size());
  return Bytes(out.begin(), out.end());
}

Bytes Expand(LzssCodec& codec, const Bytes& stream, size_t maxOutput = kNoLimit) {
  return codec.LzssExpand(stream.data(), stream.size(), maxOutput);
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Text-like input with repeats near and far, some noise and a long run.
Bytes MixedInput(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  const std::vector<std::string> words = {"block ", "station ", "viewer ", "sample ", "0123", "\x01\x02\x03 "};
  Bytes input;
  while (input.size() < size) {
    const unsigned kind = random() % 10;
    if (kind < 6) {
      const std::string& w = words[random() % words.size()];
      input.insert(input.end(), w.begin(), w.end());
    } else if (kind < 9) {
      input.push_back(static_cast<uint8_t>(random()));
    } else {
      input.insert(input.end(), 1 + random() % 700, static_cast<uint8_t>(random()));
    }
  }
  input.resize(size);
  return input;
}

// Every match of the stream copies from bytes this call has produced and that
// are still indexed (at most 4096 - 258 positions back), never from position 0.
void ExpectReferencesStayInTheWindow(const ParsedStream& parsed) {
  size_t produced = 0;
  int32_t current = 1;
  for (const StreamToken& t : parsed.tokens) {
    if (!t.literal) {
      ASSERT_NE(t.position, 0);
      const int32_t back = WrapWindowPosition(current - t.position);
      ASSERT_GE(back, 1) << "at output byte " << produced;
      ASSERT_LE(back, kLzssWindowSize - kLzssLookAhead) << "at output byte " << produced;
      ASSERT_LE(static_cast<size_t>(back), produced) << "reads an earlier call's bytes";
    }
    const int32_t n = t.literal ? 1 : t.length;
    produced += static_cast<size_t>(n);
    current = WrapWindowPosition(current + n);
  }
}

// ---- Stream format ----

TEST(LzssFormat, FreshWindowGivesTheKnownBytesAndExpandsBack) {
  struct Case {
    const char* name;
    Bytes input;
    Bytes stream;
  } cases[] = {
      {"empty", {}, {0x00, 0x00}},
      {"abc", Text("abc"), {0xb0, 0xd8, 0xac, 0x60, 0x00}},
      {"six a", Bytes(6, 0x61), {0xb0, 0x80, 0x04, 0x08, 0x00, 0x00}},
      {"abc three times", Text("abcabcabc"), {0xb0, 0xd8, 0xac, 0x60, 0x01, 0x03, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    LzssCodec station;
    EXPECT_EQ(Compress(station, c.input), c.stream) << c.name;
    LzssCodec viewer;
    EXPECT_EQ(Expand(viewer, c.stream), c.input) << c.name;
  }
}

TEST(LzssFormat, OfEquallyLongMatchesTheLastOneSearchedWins) {
  // The last "abc" matches "abcX" at 1 and "abcY" at 5 by three bytes; the
  // search meets 1 first, then 5, and takes 5.
  LzssCodec codec;
  const ParsedStream parsed = ParseStream(Compress(codec, Text("abcXabcYabcZ")));
  ASSERT_TRUE(parsed.endMarker);
  ASSERT_EQ(parsed.tokens.size(), 8u);
  EXPECT_EQ(parsed.tokens[4].position, 1);
  EXPECT_EQ(parsed.tokens[4].length, 3);
  EXPECT_EQ(parsed.tokens[6].position, 5);
  EXPECT_EQ(parsed.tokens[6].length, 3);
}

TEST(LzssFormat, RunLongerThanTheLongestMatchIsALiteralThenMatches) {
  const Bytes run(600, 0x55);
  LzssCodec codec;
  const Bytes stream = Compress(codec, run);
  const ParsedStream parsed = ParseStream(stream);
  ASSERT_TRUE(parsed.endMarker);
  ASSERT_EQ(parsed.tokens.size(), 4u);
  EXPECT_TRUE(parsed.tokens[0].literal);
  EXPECT_EQ(parsed.tokens[0].byte, 0x55);
  const int32_t lengths[] = {258, 258, 83};  // 1 + 258 + 258 + 83 = 600
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_FALSE(parsed.tokens[i].literal);
    EXPECT_EQ(parsed.tokens[i].length, lengths[i - 1]);
  }
  ExpectReferencesStayInTheWindow(parsed);
  LzssCodec viewer;
  EXPECT_EQ(Expand(viewer, stream), run);
}

TEST(LzssFormat, EndsWithTheMarkerAndZeroPaddingOnly) {
  LzssCodec codec;
  for (size_t size : {1u, 7u, 100u, 5000u}) {
    const Bytes stream = Compress(codec, MixedInput(size, static_cast<uint32_t>(size)));
    const ParsedStream parsed = ParseStream(stream);
    ASSERT_TRUE(parsed.endMarker) << size;
    EXPECT_EQ(stream.size(), (parsed.endBit + 7) / 8) << size;
    const int padding = static_cast<int>(stream.size() * 8 - parsed.endBit);
    EXPECT_EQ(stream.back() & ((1 << padding) - 1), 0) << size;
  }
}

// ---- Long inputs and the window ----

TEST(LzssWindowUse, InputsLongerThanTheWindowRoundTripAndOnlyReferenceLiveBytes) {
  LzssCodec station;
  LzssCodec viewer;
  for (uint32_t seed : {1u, 2u, 3u}) {  // one codec each side: later calls start on a used window
    const Bytes input = MixedInput(20000 + seed * 1111, seed);
    const Bytes stream = Compress(station, input);
    EXPECT_LT(stream.size(), input.size() / 2);
    ExpectReferencesStayInTheWindow(ParseStream(stream));
    EXPECT_EQ(Expand(viewer, stream), input);
  }
}

TEST(LzssWindowUse, BytesLeftByAnEarlierCallDecideBetweenEquallyLongMatches) {
  // The last "abc" matches at position 1 ("abca...") and at position 4
  // ("abcX..."), three bytes either way; the byte after the input, left by
  // the call before, makes one of them longer in the search.
  const Bytes input = Text("abcabcXabc");
  struct Case {
    Bytes earlier;
    int32_t chosen;
  } cases[] = {{Text("abcabcXabca"), 1}, {Text("abcabcXabcX"), 4}};
  for (const Case& c : cases) {
    LzssCodec codec;
    Compress(codec, c.earlier);
    const Bytes stream = Compress(codec, input);
    const ParsedStream parsed = ParseStream(stream);
    ASSERT_FALSE(parsed.tokens.empty());
    const StreamToken& last = parsed.tokens.back();
    ASSERT_FALSE(last.literal);
    EXPECT_EQ(last.length, 3);
    EXPECT_EQ(last.position, c.chosen);
    LzssCodec viewer;
    EXPECT_EQ(Expand(viewer, stream), input);
  }
}

TEST(LzssWindowUse, TwoFreshCodecsGiveTheSameBytesCallAfterCall) {
  LzssCodec first;
  LzssCodec second;
  for (uint32_t seed = 10; seed < 14; ++seed) {
    const Bytes input = MixedInput(9000, seed);
    EXPECT_EQ(Compress(first, input), Compress(second, input)) << seed;
  }
}

TEST(LzssWindowUse, CompressionResultStaysValidUntilTheNextCompression) {
  LzssCodec codec;
  const Bytes input = MixedInput(3000, 7);
  const CodecBuffer result = codec.LzssCompress(input.data(), input.size());
  const Bytes copy(result.begin(), result.end());
  const Bytes stream = Text("anything");
  codec.LzssExpand(stream.data(), stream.size(), kNoLimit);  // expansion leaves the output alone
  EXPECT_TRUE(std::equal(result.begin(), result.end(), copy.begin(), copy.end()));
}

// ---- Damaged streams ----

TEST(LzssDamagedStream, TruncatedStreamGivesAPrefixOfTheInput) {
  LzssCodec station;
  const Bytes input = MixedInput(3000, 21);
  const Bytes stream = Compress(station, input);
  LzssCodec viewer;
  for (size_t cut = 0; cut < stream.size(); ++cut) {
    // A buffer of exactly `cut` bytes: the sanitizer build sees any read past it.
    const auto partial = std::make_unique<uint8_t[]>(cut);
    std::copy_n(stream.begin(), cut, partial.get());
    const Bytes out = viewer.LzssExpand(partial.get(), cut, kNoLimit);
    ASSERT_LE(out.size(), input.size()) << cut;
    ASSERT_TRUE(std::equal(out.begin(), out.end(), input.begin())) << cut;
  }
  EXPECT_EQ(Expand(viewer, stream), input);
}

TEST(LzssDamagedStream, RandomBytesExpandSafelyWithinTheLimit) {
  std::mt19937 random(99);
  LzssCodec viewer;
  for (int i = 0; i < 300; ++i) {
    Bytes stream(random() % 3000);
    for (uint8_t& b : stream) b = static_cast<uint8_t>(random());
    const size_t limit = random() % 70000;
    const Bytes out = Expand(viewer, stream, limit);
    ASSERT_LE(out.size(), limit + 1);
  }
}

TEST(LzssDamagedStream, MendedFaultHostileStreamStopsOneBytePastTheLimit) {
  // A literal, then matches of 258 bytes without end: over 258 kB from 2.6 kB.
  StreamWriter hostile;
  hostile.Literal('x');
  for (int i = 0; i < 1000; ++i) hostile.Match(1, 255);
  LzssCodec viewer;
  const Bytes limited = Expand(viewer, hostile.Bytes(), 5000);
  EXPECT_EQ(limited, Bytes(5001, 'x'));
  EXPECT_EQ(Expand(viewer, hostile.Bytes(), 1 + 1000 * 258), Bytes(1 + 1000 * 258, 'x'));
}

TEST(LzssDamagedStream, OutputOfExactlyTheLimitIsWhole) {
  StreamWriter stream;
  for (uint8_t b : Text("abc")) stream.Literal(b);
  stream.Match(1, 0);
  stream.End();
  LzssCodec viewer;
  EXPECT_EQ(Expand(viewer, stream.Bytes(), 6), Text("abcabc"));
  EXPECT_EQ(Expand(viewer, stream.Bytes(), 5), Text("abcabc"));  // 6 bytes: more than 5
  EXPECT_EQ(Expand(viewer, stream.Bytes(), 0), Text("a"));
}

}  // namespace
