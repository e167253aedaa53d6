#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace quelvar::test {

// A block as the card delivers it: the sequence word, then `rows` rows of
// wordsPerRow words. The analog columns are 12-bit sine waves of a hundred
// rows a cycle with two counts of noise; the other columns are switch words
// in which a bit flips now and then. firstRow continues the waves of an
// earlier block.
inline std::vector<uint16_t> RealisticSampleBlock(int32_t wordsPerRow, int32_t analogColumns, int32_t rows,
                                                  uint16_t sequence, uint32_t seed, int32_t firstRow = 0) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-2, 2);
  std::vector<uint16_t> block(1 + static_cast<size_t>(wordsPerRow) * static_cast<size_t>(rows));
  block[0] = sequence;
  std::vector<uint16_t> switches(static_cast<size_t>(wordsPerRow));
  for (uint16_t& word : switches) word = static_cast<uint16_t>(random());
  for (int32_t j = 0; j < rows; ++j) {
    uint16_t* row = block.data() + 1 + static_cast<size_t>(j) * static_cast<size_t>(wordsPerRow);
    for (int32_t c = 0; c < wordsPerRow; ++c) {
      if (c < analogColumns) {
        const double amplitude = 200.0 + 15.0 * c;
        const double phase = 0.37 * c + 2.0 * std::numbers::pi * (firstRow + j) / 100.0;
        const long value = std::lround(2048.0 + amplitude * std::sin(phase)) + noise(random);
        row[c] = static_cast<uint16_t>(std::clamp(value, 0L, 4095L));
      } else {
        if (random() % 400 == 0) switches[static_cast<size_t>(c)] ^= static_cast<uint16_t>(1u << (random() % 16));
        row[c] = switches[static_cast<size_t>(c)];
      }
    }
  }
  return block;
}

}  // namespace quelvar::test
