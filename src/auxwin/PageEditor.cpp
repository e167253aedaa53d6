#include "auxwin/PageEditor.h"

#include <algorithm>

#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

// Row count as a count field shows it.
std::string CountText(size_t rows) { return std::to_string(rows); }

// A cell's number, or the row index for a text that is none.
int64_t CellNumber(const std::string& cell, size_t row) {
  const auto number = ParseDialogInteger(cell);
  return number ? int64_t{*number} : static_cast<int64_t>(row);
}

int32_t LimitAnalog(int64_t number, int32_t analogNum) {
  return static_cast<int32_t>(std::clamp<int64_t>(number, 0, std::max(analogNum - 1, 0)));
}

int32_t LimitSwitch(int64_t number, int32_t switchNum) {
  return static_cast<int32_t>(std::clamp<int64_t>(number, 0, std::max(switchNum - 1, 0)));
}

void Resize(std::vector<std::string>& cells, size_t rows) {
  for (size_t k = cells.size(); k < rows; ++k) cells.push_back(std::to_string(k));
  cells.resize(rows);
}

template <typename Limit>
void Check(std::vector<std::string>& cells, Limit limit) {
  for (size_t k = 0; k < cells.size(); ++k) {
    const int64_t read = CellNumber(cells[k], k);
    const int32_t limited = limit(read);
    if (limited != read) cells[k] = std::to_string(limited);
  }
}

// The first row's number plus k, wrapped into the card's channels.
void FillConsecutive(std::vector<std::string>& cells, int32_t channels) {
  if (cells.empty() || channels <= 0) return;
  const int64_t first = ParseDialogInteger(cells[0]).value_or(0);
  for (size_t k = 1; k < cells.size(); ++k) {
    int64_t number = first + static_cast<int64_t>(k);
    if (number >= channels) number %= channels;
    cells[k] = std::to_string(number);
  }
}

}  // namespace

int32_t UniversalPageEditor::AnalogNum() const { return std::clamp(config_.Analog_Num, 0, kMaxAnalogChannels); }
int32_t UniversalPageEditor::SwitchNum() const { return std::clamp(config_.SW_Num, 0, kMaxSwitchInputs); }

void UniversalPageEditor::Load(const UniversalPageRecord& page) {
  const int32_t analog = std::clamp(page.AnalogCount, 0, AnalogNum());
  const int32_t switches = std::clamp(page.SwitchCount, 0, SwitchNum());
  AnalogCells.clear();
  SwitchCells.clear();
  for (int32_t k = 0; k < analog; ++k) {
    AnalogCells.push_back(std::to_string(LimitAnalog(page.Channels[static_cast<size_t>(k)], AnalogNum())));
  }
  // The switch numbers follow the page's own analog entries.
  const int64_t start = std::max(page.AnalogCount, 0);
  for (int32_t k = 0; k < switches; ++k) {
    const int64_t at = start + k;
    const int32_t number = at < kMaxDisplayPositions ? page.Channels[static_cast<size_t>(at)] : 0;
    SwitchCells.push_back(std::to_string(number >= 0 && number < SwitchNum() ? number : 0));
  }
  AnalogCountText = CountText(AnalogCells.size());
  SwitchCountText = CountText(SwitchCells.size());
}

void UniversalPageEditor::ApplyAnalogCount(const UniversalPageRecord& page) {
  int32_t n = std::clamp(ParseDialogInteger(AnalogCountText).value_or(page.AnalogCount), 0, AnalogNum());
  if (n == 0 && ParseDialogInteger(SwitchCountText) == 0 && AnalogNum() > 0) n = 1;
  AnalogCountText = std::to_string(n);
  Resize(AnalogCells, static_cast<size_t>(n));
}

void UniversalPageEditor::ApplySwitchCount(const UniversalPageRecord& page) {
  const int32_t n = std::clamp(ParseDialogInteger(SwitchCountText).value_or(page.SwitchCount), 0, SwitchNum());
  SwitchCountText = std::to_string(n);
  Resize(SwitchCells, static_cast<size_t>(n));
}

void UniversalPageEditor::CheckAnalog() {
  Check(AnalogCells, [n = AnalogNum()](int64_t v) { return LimitAnalog(v, n); });
}

void UniversalPageEditor::CheckSwitch() {
  Check(SwitchCells, [n = SwitchNum()](int64_t v) { return LimitSwitch(v, n); });
}

int32_t UniversalPageEditor::AnalogChannel(size_t row) const {
  return row < AnalogCells.size() ? LimitAnalog(CellNumber(AnalogCells[row], row), AnalogNum()) : 0;
}

int32_t UniversalPageEditor::SwitchChannel(size_t row) const {
  return row < SwitchCells.size() ? LimitSwitch(CellNumber(SwitchCells[row], row), SwitchNum()) : 0;
}

std::string UniversalPageEditor::AnalogName(int32_t channel) const {
  return channel >= 0 && channel < AnalogNum() ? config_.AnalogChannelTable[static_cast<size_t>(channel)].ChnName
                                               : std::string();
}

std::string UniversalPageEditor::SwitchName(int32_t channel) const {
  return channel >= 0 && channel < SwitchNum() ? config_.SwitchChannelTable[static_cast<size_t>(channel)].SWName
                                               : std::string();
}

UniversalPageRecord UniversalPageEditor::Accept() {
  CheckAnalog();
  CheckSwitch();
  // Without analog channels (or switch inputs) the list holds no channel of
  // the card, whatever rows it was given.
  const size_t total = static_cast<size_t>(AnalogNum() + SwitchNum());
  const size_t analog = AnalogNum() > 0 ? std::min(AnalogCells.size(), total) : 0;
  const size_t switches = SwitchNum() > 0 ? std::min(SwitchCells.size(), total - analog) : 0;
  UniversalPageRecord page;
  page.AnalogCount = static_cast<int32_t>(analog);
  page.SwitchCount = static_cast<int32_t>(switches);
  for (size_t k = 0; k < analog; ++k) page.Channels[k] = AnalogChannel(k);
  for (size_t k = 0; k < switches; ++k) page.Channels[analog + k] = SwitchChannel(k);
  return page;
}

PageFileContents UniversalPageEditor::FileContents() const {
  PageFileContents file;
  for (size_t k = 0; k < AnalogCells.size(); ++k) file.Analog.push_back(AnalogChannel(k));
  for (size_t k = 0; k < SwitchCells.size(); ++k) file.Switches.push_back(SwitchChannel(k));
  return file;
}

void UniversalPageEditor::SetCounts(size_t analog, size_t switches, const UniversalPageRecord& page) {
  AnalogCountText = CountText(analog);
  SwitchCountText = CountText(switches);
  ApplyAnalogCount(page);
  ApplySwitchCount(page);
}

void UniversalPageEditor::ApplyFile(const PageFileContents& file, const UniversalPageRecord& page) {
  SetCounts(file.Analog.size(), file.Switches.size(), page);
  for (size_t k = 0; k < file.Analog.size() && k < AnalogCells.size(); ++k) {
    const int32_t number = file.Analog[k];
    if (number >= 0 && number < AnalogNum()) AnalogCells[k] = std::to_string(number);
  }
  for (size_t k = 0; k < file.Switches.size() && k < SwitchCells.size(); ++k) {
    const int32_t number = file.Switches[k];
    if (number >= 0 && number < SwitchNum()) SwitchCells[k] = std::to_string(number);
  }
  CheckAnalog();
  CheckSwitch();
}

void UniversalPageEditor::ApplyAlgorithm(const AlgorithmConfig& algorithm, const UniversalPageRecord& page) {
  std::vector<int32_t> analog;
  const int32_t inputs = std::clamp(algorithm.UsedChn, 0, kAlgorithmChannels);
  const int32_t associated = std::clamp(algorithm.AssAnalogChnNum, 0, kAlgorithmAssociated);
  const int32_t switches = std::clamp(algorithm.AssSWChnNum, 0, kAlgorithmAssociated);
  for (int32_t i = 0; i < inputs; ++i) analog.push_back(algorithm.Channel[i]);
  for (int32_t i = 0; i < associated; ++i) analog.push_back(algorithm.AssAnalogChn[i]);
  SetCounts(analog.size(), static_cast<size_t>(switches), page);
  for (size_t k = 0; k < analog.size() && k < AnalogCells.size(); ++k) AnalogCells[k] = std::to_string(analog[k]);
  for (int32_t k = 0; k < switches && static_cast<size_t>(k) < SwitchCells.size(); ++k) {
    SwitchCells[static_cast<size_t>(k)] = std::to_string(algorithm.AssSWChn[k]);
  }
  CheckAnalog();
  CheckSwitch();
}

void UniversalPageEditor::FillConsecutiveAnalog() {
  if (AnalogCells.size() >= 2) FillConsecutive(AnalogCells, AnalogNum());
  CheckAnalog();
}

void UniversalPageEditor::FillConsecutiveSwitch() {
  if (SwitchCells.size() < 2) return;
  FillConsecutive(SwitchCells, SwitchNum());
  CheckSwitch();
}

int32_t PickedAlgorithmNumber(std::string_view text, int32_t algorithmNum) {
  return std::clamp(ParseDialogInteger(text).value_or(0), 0, std::max(algorithmNum - 1, 0));
}

void AddRecentPageFile(std::vector<std::string>& names, const std::string& name) {
  names.push_back(name);
  while (names.size() > kRecentPageFiles) names.erase(names.begin());
}

}  // namespace quelvar
