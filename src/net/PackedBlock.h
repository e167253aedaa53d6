#pragma once

#include <cstdint>
#include <span>

#include "common/GrayTables.h"

namespace quelvar {

// The packed form of a sample block, which turns slowly changing analog
// values and rarely changing switch words into long runs of equal bytes
// before compression. Same size as the block: 2 + 2 x wordsPerRow x rows bytes.
//
// raw: the sequence word, then `rows` rows of wordsPerRow words. packed:
// bytes 0-1 the sequence word, little-endian; then per word column c (word c
// of every row) a plane of the low bytes at 2 + 2 x c x rows, followed by the
// plane of the high bytes. Entry 0 of both planes is the column's row-0 word;
// entry j >= 1 the change from row j - 1 to row j: for the first
// analogColumns columns the difference modulo 65536, each of its bytes
// Gray-coded; for the other columns (switch words, extra sub-sample words)
// the XOR of the two words.
//
// Both return false, touching nothing, when a count is negative,
// analogColumns exceeds wordsPerRow, or a buffer is too short for the block
// (longer buffers are fine). The two buffers must not overlap.
bool PackSampleBlock(std::span<const uint16_t> raw, std::span<uint8_t> packed, int32_t wordsPerRow,
                     int32_t analogColumns, int32_t rows, const GrayTables& gray);

// The exact inverse of PackSampleBlock.
bool UnpackSampleBlock(std::span<uint16_t> raw, std::span<const uint8_t> packed, int32_t wordsPerRow,
                       int32_t analogColumns, int32_t rows, const GrayTables& gray);

}  // namespace quelvar
