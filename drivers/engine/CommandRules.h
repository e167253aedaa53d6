#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace haldrevon {

// The variables the panel fetches after its analyses.
const std::vector<std::string>& ResultVariables();

// Those result variables that `command` assigns before it reads them: they
// are cleared before the command runs, so that a command that fails leaves
// none of an earlier analysis's values behind. One that the command reads
// first (the plot after a correlation reads c and lags) is kept.
std::vector<std::string> ResultsAssignedBy(std::string_view command);

// True when `command` calls pwelch in the older three-argument form
// pwelch(AD(:,n),NFFT,rate) with the rate Fs or Fs*m: the signal package's
// pwelch reads that form only in its old argument order ("R11-"), so the
// command runs in that order and the current one is restored after it.
bool UsesOldPwelchOrder(std::string_view command);

// A name Octave accepts as a variable: a letter, then letters, digits, '_'.
bool IsVariableName(std::string_view name);

}  // namespace haldrevon
