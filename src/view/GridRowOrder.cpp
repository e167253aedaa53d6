#include "view/GridRowOrder.h"

#include <algorithm>
#include <charconv>

namespace quelvar {

namespace {

int32_t UsableCount(std::span<int16_t> order, int32_t count) {
  return std::clamp<int32_t>(count, 0, static_cast<int32_t>(std::min<size_t>(order.size(), 32768)));
}

}  // namespace

int32_t TypedGridPosition(const std::string& text, int32_t count) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  int32_t value = 0;
  if (first != std::string::npos) {
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) value = 0;
  }
  return std::clamp(value, 0, std::max(count - 1, 0));
}

bool MoveGridPosition(std::span<int16_t> order, int32_t count, int32_t from, int32_t to) {
  count = UsableCount(order, count);
  if (to == from || to < 0 || to >= count || from < 0 || from >= count) return false;
  const auto entries = order.first(static_cast<size_t>(count));
  const auto moved = std::find(entries.begin(), entries.end(), static_cast<int16_t>(from));
  if (moved == entries.end()) return false;
  for (int16_t& position : entries) {
    if (to < from && position >= to && position < from) ++position;
    if (to > from && position > from && position <= to) --position;
  }
  *moved = static_cast<int16_t>(to);
  return true;
}

void DefaultGridOrder(std::span<int16_t> order, int32_t count) {
  count = UsableCount(order, count);
  for (int32_t i = 0; i < count; ++i) order[static_cast<size_t>(i)] = static_cast<int16_t>(i);
}

}  // namespace quelvar
