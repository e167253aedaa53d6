#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "net/LzssWindow.h"
#include "net/MatchTree.h"

namespace {

using namespace quelvar;

// Plain reference: equal leading bytes of the strings at a and b, up to 258,
// reading the window byte by byte with wrap-around.
int32_t PlainEqualLength(const LzssWindow& window, int32_t a, int32_t b) {
  int32_t i = 0;
  while (i < kLzssLookAhead && window.At(WrapWindowPosition(a + i)) == window.At(WrapWindowPosition(b + i))) ++i;
  return i;
}

// Random bytes of a small alphabet, copies of earlier stretches (long and
// full-length matches) and runs.
std::vector<uint8_t> MatchRichInput(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> data;
  while (data.size() < size) {
    const unsigned kind = random() % 8;
    if (kind < 4 || data.size() < 500) {
      for (unsigned n = 1 + random() % 40; n > 0; --n) data.push_back(static_cast<uint8_t>(random() % 4));
    } else if (kind < 7) {
      const size_t from = random() % (data.size() - 400);
      const size_t n = 3 + random() % 300;
      for (size_t k = 0; k < n; ++k) data.push_back(data[from + k]);
    } else {
      data.insert(data.end(), 1 + random() % 600, static_cast<uint8_t>(random() % 4));
    }
  }
  data.resize(size);
  return data;
}

// Drives the tree as the compressor does (each new position added, the one
// 258 ahead deleted before its byte arrives) over more than one turn of the
// window, and checks every answer against a search of all positions in it.
TEST(MatchTree, LongestMatchEqualsAPlainSearchOverTheIndexedPositions) {
  for (uint32_t seed : {1u, 2u}) {
    const std::vector<uint8_t> data = MatchRichInput(6000, seed);
    auto window = std::make_unique<LzssWindow>();
    auto tree = std::make_unique<MatchTree>(*window);
    size_t next = 0;
    for (int32_t p = 1; p <= kLzssLookAhead; ++p) window->Put(p, data[next++]);
    int32_t current = 1;
    tree->InitMatchTree(current);
    std::set<int32_t> indexed = {current};
    int32_t fullLength = 0;

    while (next < data.size()) {
      const int32_t incoming = WrapWindowPosition(current + kLzssLookAhead);
      tree->DeleteMatchString(incoming);
      indexed.erase(incoming);
      window->Put(incoming, data[next++]);
      current = WrapWindowPosition(current + 1);

      int32_t expected = 0;
      for (int32_t p : indexed) expected = std::max(expected, PlainEqualLength(*window, current, p));
      int32_t position = -1;
      const int32_t length = tree->AddMatchString(current, position);
      if (current == 0) {  // never indexed
        EXPECT_EQ(length, 0);
        continue;
      }
      ASSERT_EQ(length, expected) << "seed " << seed << " at input byte " << next;
      ASSERT_TRUE(indexed.count(position)) << "seed " << seed << " at input byte " << next;
      ASSERT_EQ(PlainEqualLength(*window, current, position), length);
      if (length == kLzssLookAhead) {  // the new position takes the old one's place
        indexed.erase(position);
        ++fullLength;
      }
      indexed.insert(current);
    }
    EXPECT_GT(fullLength, 0) << "the input should reach full-length matches";
  }
}

}  // namespace
