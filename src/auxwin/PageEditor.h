#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "auxwin/PageFile.h"
#include "common/BinaryLayouts.h"
#include "common/LiveConfig.h"
#include "common/UniversalPages.h"

namespace quelvar {

// What the universal page dialog does to its two lists, without the
// widgets: the channel cells of the analog and the switch list as they are
// shown (typed text included) and the two count fields. The dialog copies
// its widgets in, calls a rule and shows the result. Only channels of the
// card in `config` ever leave it: a card without analog channels (or switch
// inputs) gets an empty analog (switch) list.
class UniversalPageEditor {
 public:
  explicit UniversalPageEditor(const LiveConfig& config) : config_(config) {}

  std::vector<std::string> AnalogCells;
  std::vector<std::string> SwitchCells;
  std::string AnalogCountText;
  std::string SwitchCountText;

  int32_t AnalogNum() const;
  int32_t SwitchNum() const;

  // The lists from a page: its counts (within the card) and its channels,
  // analog numbers clamped into the card, switch numbers outside it as 0.
  void Load(const UniversalPageRecord& page);

  // The count rules, run on leaving a count field: the field as a number
  // (else the count of `page`), within the card; the analog count is at
  // least 1 while the switch field shows 0 and the card has an analog
  // channel. The field then shows the count and the list is cut or
  // lengthened to it, new row k holding channel k.
  void ApplyAnalogCount(const UniversalPageRecord& page);
  void ApplySwitchCount(const UniversalPageRecord& page);

  // The grid checks: each cell read as a number (not a number: its row
  // index) and limited to the card; a cell is rewritten when the limit
  // changed its number, so a non-number whose row index is a channel keeps
  // its text.
  void CheckAnalog();
  void CheckSwitch();
  // Row k's channel as the grid check reads it.
  int32_t AnalogChannel(size_t row) const;
  int32_t SwitchChannel(size_t row) const;
  // The name column's text for a channel of the list (empty for none).
  std::string AnalogName(int32_t channel) const;
  std::string SwitchName(int32_t channel) const;

  // The accept rule: both checks, then the page of the two lists.
  UniversalPageRecord Accept();

  // What the save rule writes: every row's channel as the accept rule takes it.
  PageFileContents FileContents() const;
  // The read rule for a checked file: both counts through the count rules,
  // then each number that is a channel of the card into its row; other
  // numbers leave their rows as they were.
  void ApplyFile(const PageFileContents& file, const UniversalPageRecord& page);
  // The algorithm fill rule: its input channels then its associated analog
  // channels into the analog list, its associated switch inputs into the
  // switch list, the counts through the count rules.
  void ApplyAlgorithm(const AlgorithmConfig& algorithm, const UniversalPageRecord& page);
  // The consecutive fill rules: row k = the first row's channel + k, taken
  // modulo the card's channels, then the grid check.
  void FillConsecutiveAnalog();
  void FillConsecutiveSwitch();

 private:
  // Both count fields set, then both count rules: the analog rule sees the
  // new switch count, so a page of switch inputs alone stays one.
  void SetCounts(size_t analog, size_t switches, const UniversalPageRecord& page);

  const LiveConfig& config_;
};

// The trigger algorithm the picker's number text names: not a number is 0,
// then limited to 0 .. algorithmNum - 1 (0 without algorithms).
int32_t PickedAlgorithmNumber(std::string_view text, int32_t algorithmNum);

// The recent page files: the name appended, the oldest dropped beyond six.
inline constexpr size_t kRecentPageFiles = 6;
void AddRecentPageFile(std::vector<std::string>& names, const std::string& name);

}  // namespace quelvar
