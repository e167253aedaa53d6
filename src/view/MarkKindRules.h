#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/DisplayData.h"
#include "common/WaveViewState.h"

namespace quelvar {

// What the marks' pop-up menus of value kinds decide, apart from the menus
// themselves: which kinds each mark offers, the parameter prompts and their
// clamps, the items' captions, the kinds the start-up brings back, and the
// command that makes a mark's instant the time origin.

// A value kind's items: the menu item of mark 1 and of mark 2 (null where
// that mark does not offer the kind) and their designed caption.
struct MarkKindItem {
  int32_t kind;
  const char* name1;
  const char* name2;
  const char* caption;
};

// Kinds 0..7 and 12..21 in the order of their codes.
std::span<const MarkKindItem> MarkKindItems();
// The item of `kind`, or null for a code without one (8..11, above 21).
const MarkKindItem* FindMarkKindItem(int32_t kind);
// The menu of mark `mark` (1, else 2) offers `kind`.
bool MarkOffersKind(int mark, int32_t kind);

// The kind the start-up re-applies for a stored kind: the stored one when
// the mark's start-up restores it, else the instantaneous value. Neither
// mark brings the analog speed back (its handler always opens a dialog).
int32_t RestoredMarkKind(int mark, int32_t stored);

// The input box of a kind whose parameter is typed (12, 15, 16, 17, 18):
// its caption and prompt, the least value, and the items' caption prefix.
struct MarkParameterPrompt {
  std::string caption;
  std::string prompt;
  int32_t minimum = 0;
  std::string captionPrefix;
};
std::optional<MarkParameterPrompt> ParameterPromptOf(int32_t kind, int mark);

// The parameter a kind of mark `mark` uses in the view state (12, 14, 15,
// 16, 17, 18; 15..17 always mark 2's), or null.
int32_t* MarkParameter(WaveViewState& view, int32_t kind, int mark);

// The typed answer as a decimal integer (a text that is no integer, or no
// answer, keeps `current`), raised to `minimum`.
int32_t ParameterAnswer(const std::optional<std::string>& answer, int32_t current, int32_t minimum);

// An item's caption with its parameter: prefix, the value, ")".
std::string ParameterCaption(const std::string& prefix, int32_t value);

// The algorithm-value kind's number: at most algorithmCount - 1, then at
// least 0 (so 0 without any algorithm).
int32_t ClampAlgorithmNumber(int32_t number, int32_t algorithmCount);
inline constexpr const char* kAlgorithmCaptionPrefix = "算法m计算值(m=";

// Makes the instant of mark `mark` (1, else 2) the time origin of the
// display data (DispTriggerBlock, DispTriggerPoint) and requests a repaint.
// Nothing happens, and false is returned, without data or when the mark
// stands in the compressed tail.
bool MoveTimeOriginToMark(WaveViewState& view, DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq,
                          int mark);

}  // namespace quelvar
