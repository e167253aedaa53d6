#include "auxwin/PageFile.h"

#include <string_view>

#include "common/LiveConfig.h"
#include "platform/AtomicFile.h"
#include "platform/GbkText.h"
#include "platform/ReadOnlyFile.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr std::string_view kTag = "VPC";
constexpr std::string_view kLineEnd = "\r\n";
// A full page is under 3 KiB; anything far larger is not a page file and is
// not read into memory.
constexpr uint64_t kMaxPageFileBytes = 64 * 1024;

// Lines without their ends (LF, or CR LF as written).
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool ReadCounts(std::string_view line, int32_t& analog, int32_t& switches) {
  const size_t blank = line.find_first_of(" \t", line.find_first_not_of(" \t"));
  if (blank == std::string_view::npos) return false;
  const auto a = ParseDialogInteger(line.substr(0, blank));
  const auto s = ParseDialogInteger(line.substr(blank));
  if (!a || !s) return false;
  analog = *a;
  switches = *s;
  return analog >= 0 && analog <= kMaxAnalogChannels && switches >= 0 && switches <= kMaxSwitchInputs;
}

}  // namespace

PageFileResult ReadPageFile(const std::string& path) {
  PageFileResult result;
  platform::ReadOnlyFile file;
  if (!file.Open(path) || file.Size() > kMaxPageFileBytes) return result;
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) return result;
  const std::string text = platform::GbkToUtf8(bytes);
  const std::vector<std::string_view> lines = Lines(text);

  if (lines.empty() || lines[0] != kTag) {
    result.Status = PageFileStatus::BadTag;
    return result;
  }
  int32_t analog = 0, switches = 0;
  if (lines.size() < 2 || !ReadCounts(lines[1], analog, switches)) {
    result.Status = PageFileStatus::BadCounts;
    return result;
  }
  const size_t numbers = static_cast<size_t>(analog) + static_cast<size_t>(switches);
  if (lines.size() < 2 + numbers) {
    result.Status = PageFileStatus::CutShort;
    return result;
  }
  PageFileContents page;
  for (size_t i = 0; i < numbers; ++i) {
    const auto number = ParseDialogInteger(lines[2 + i]);
    if (!number) {
      result.Status = PageFileStatus::BadNumber;
      return result;
    }
    (i < static_cast<size_t>(analog) ? page.Analog : page.Switches).push_back(*number);
  }
  result.Status = PageFileStatus::Ok;
  result.Page = std::move(page);
  return result;
}

std::string PageFileText(const PageFileContents& page) {
  std::string text{kTag};
  text += kLineEnd;
  text += std::to_string(page.Analog.size()) + " " + std::to_string(page.Switches.size());
  text += kLineEnd;
  for (const std::vector<int32_t>* list : {&page.Analog, &page.Switches}) {
    for (int32_t number : *list) {
      text += std::to_string(number);
      text += kLineEnd;
    }
  }
  return platform::Utf8ToGbk(text);
}

bool WritePageFile(const std::string& path, const PageFileContents& page, std::string& error) {
  return platform::WriteUserFileAtomically(path, PageFileText(page), error);
}

}  // namespace quelvar
