#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvar {

// Universal page files (".vpc"): GBK text with CR LF line ends, a line
// "VPC", a line "<analog count> <switch count>", then one analog channel
// number a line followed by one switch input number a line (switch inputs
// numbered within the switch inputs). A page of analog 0, 4, 2 and switch
// input 7 is the five lines VPC, 3 1, 0, 4, 2, 7.

// A page as a file holds it, before any card has looked at its numbers.
struct PageFileContents {
  std::vector<int32_t> Analog;
  std::vector<int32_t> Switches;
};

enum class PageFileStatus {
  Ok,
  CannotOpen,  // missing, unreadable, not a regular file, or too large to be a page
  BadTag,      // the first line is not exactly "VPC"
  BadCounts,   // the second line is not two counts within the channel tables
  BadNumber,   // a channel line is not a whole number
  CutShort,    // fewer channel lines than the counts announce
};

struct PageFileResult {
  PageFileStatus Status = PageFileStatus::CannotOpen;
  PageFileContents Page;  // filled only with Ok
};

// The file checked whole before anything of it is handed on: the tag, two
// counts of 0 .. 100 analog and 0 .. 192 switch entries, and that many
// numbers, one a line; lines after them are not looked at. Whether the
// numbers are channels of the card is the reader's concern.
PageFileResult ReadPageFile(const std::string& path);

// The file's bytes for a page.
std::string PageFileText(const PageFileContents& page);

// Writes the file whole or not at all (a fresh temporary file renamed over
// the target); false with `error` set when that failed, an existing file
// then untouched.
bool WritePageFile(const std::string& path, const PageFileContents& page, std::string& error);

}  // namespace quelvar
