#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/LiveConfig.h"
#include "common/PrintState.h"
#include "view/PrintPages.h"

namespace quelvar {

// The printed lines of a cover text file (GBK bytes, as stored): pieces of
// at most 127 characters, each ending at a line feed or at that limit (a
// longer line goes on as the next printed line), each without its line
// feed; CR LF counts as a line feed. A piece cut at the limit never splits
// a double-byte character. Each piece in UTF-8.
std::vector<std::string> CoverPageLines(std::string_view gbkBytes);

// The cover page at the start of a job: nothing unless `IDAutoCover` is set;
// once skipped (and the flag cleared) after the external cover program ran;
// nothing when the cover text file is not named or cannot be read. Else the
// file's lines on pages with the header and the plain footer, a page break
// after every full page and one at the end, so the job's content starts on
// a fresh page. Lines per page (PH - T - B) / line height - 2, at least 1.
// True when a cover was printed.
bool PrintCoverPage(const LiveConfig& config, PrintState& print, JobPages& pages, const PageFrame& frame);

}  // namespace quelvar
