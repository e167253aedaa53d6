#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quelvar {

// The text grid's row order: entry i of the order (analog channels by display
// index, then the switch inputs) holds the row position of its channel. The
// first `count` entries are a permutation of 0 .. count - 1, and every change
// here keeps them one.

// Position 0 .. count - 1 from typed text: a decimal integer (surrounding
// blanks allowed), 0 when the text is no integer, then bounded into range.
int32_t TypedGridPosition(const std::string& text, int32_t count);

// Moves the entry at position `from` to position `to`; the positions between
// shift by one towards `from`. False (nothing changed) when `to` equals
// `from`, `to` is out of range, or no entry holds `from`.
bool MoveGridPosition(std::span<int16_t> order, int32_t count, int32_t from, int32_t to);

// Rows in display order: entry i at position i.
void DefaultGridOrder(std::span<int16_t> order, int32_t count);

}  // namespace quelvar
