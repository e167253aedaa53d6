#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "common/LiveConfig.h"

namespace quelvar {

// One cell of the composite value panel, in memory and in the ".cpd" file
// byte for byte (little-endian).
struct CompositeItem {
  int32_t Channel;   // 0..Analog_Num-1 analog, then the switch inputs
  int32_t Decimals;  // 0..6
  int32_t Kind;      // CompositeKind
  int32_t Alarm;     // CompositeAlarm
  char Name[16];     // GBK, NUL-terminated within the field
  double Value1;
  double Value2;
};
static_assert(std::is_standard_layout_v<CompositeItem> && std::is_trivially_copyable_v<CompositeItem>);
static_assert(sizeof(CompositeItem) == 48);
static_assert(offsetof(CompositeItem, Channel) == 0);
static_assert(offsetof(CompositeItem, Decimals) == 4);
static_assert(offsetof(CompositeItem, Kind) == 8);
static_assert(offsetof(CompositeItem, Alarm) == 12);
static_assert(offsetof(CompositeItem, Name) == 16);
static_assert(offsetof(CompositeItem, Value1) == 32);
static_assert(offsetof(CompositeItem, Value2) == 40);

// What an analog item shows of the block; for a switch input 1 is the
// majority, 2 any row, 3 every row, anything else the last row.
enum CompositeKind : int32_t {
  kCompositeLatest = 0,
  kCompositeAverage = 1,
  kCompositeMaximum = 2,
  kCompositeMinimum = 3,
};

enum CompositeAlarm : int32_t {
  kCompositeNoAlarm = 0,
  kCompositeBelow = 1,    // v <= Value1
  kCompositeAbove = 2,    // v >= Value1
  kCompositeInside = 3,   // Value1 <= v <= Value2
  kCompositeOutside = 4,  // v <= Value1 or v >= Value2
};

inline constexpr int32_t kCompositeMaxDecimals = 6;
inline constexpr int32_t kCompositeMinFontSize = 6;
// Far beyond any screen; keeps the cell arithmetic and the font sane for a
// damaged file.
inline constexpr int32_t kCompositeMaxFontSize = 400;
inline constexpr int32_t kCompositeMaxChars = 200;
// The editor's item count: more columns than any panel can show, few enough
// that a mistyped count does not build a grid of millions of columns.
inline constexpr int32_t kCompositeMaxEditorItems = 1000;
inline constexpr const char* kCompositeDefaultFile = "CompositeDef.CPD";

struct CompositeDef {
  int32_t Count = 0;
  int32_t Columns = 1;
  int32_t FontSize = 30;
  int32_t Chars = 7;
  std::vector<CompositeItem> Items;  // Count of them
};

// A zeroed item (name empty).
CompositeItem BlankCompositeItem();

// The item's label as UTF-8 (the field is GBK), and the label set from
// UTF-8, cut to 15 bytes without splitting a character.
std::string CompositeItemName(const CompositeItem& item);
void SetCompositeItemName(CompositeItem& item, const std::string& utf8);

// 4 items, 2 columns, font size 30, 7 characters; item i is channel i with
// 2 decimals, the latest value, alarm i mod 3 + 1, the channel's name and
// unit as label, values 0.05 and 0.4.
void DefaultCompositeDef(CompositeDef& def, const LiveConfig& config);

// Codes outside their tables and a label without its NUL made safe: kinds
// and alarms become 0 (which shows and alarms as the unknown codes did),
// decimals outside 0..6 become 0. Channel numbers are clamped where the
// channel counts in force are known (CompositeChannel).
void SanitizeCompositeItem(CompositeItem& item);

// The item's channel clamped to the configured channels: 0 .. Analog_Num +
// SW_Num - 1, or -1 when there are none.
int32_t CompositeChannel(int32_t channel, const LiveConfig& config);

// Editor texts. Unknown codes give the first text, unknown texts code 0,
// and the Next functions cycle through the table.
std::string CompositeKindText(int32_t code);
int32_t CompositeKindCode(const std::string& text);
std::string NextCompositeKindText(const std::string& text);
std::string CompositeAlarmText(int32_t code);
int32_t CompositeAlarmCode(const std::string& text);
std::string NextCompositeAlarmText(const std::string& text);

}  // namespace quelvar
