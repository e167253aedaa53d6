#include "shell/RecordFilePrune.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/RecordFileHeader.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

namespace {

struct Candidate {
  std::string name;
  double startTime;
};

// A header the pruning may trust enough to delete the file by it.
bool ReadCandidate(const std::filesystem::path& path, double& startTime) {
  platform::ReadOnlyFile file;
  if (!file.Open(path.string())) return false;
  RecordFileHeader h;
  if (!file.ReadAt(0, &h, sizeof h)) return false;
  if (h.Tag[0] != 'Q' || h.Tag[1] != 'V') return false;
  // Three i32 factors can exceed 64 bits: an overflow is no match.
  int64_t bytes = 0;
  if (__builtin_mul_overflow(int64_t{h.BlockCount}, int64_t{h.NumSamp}, &bytes) ||
      __builtin_mul_overflow(bytes, int64_t{h.NumChn}, &bytes) || __builtin_mul_overflow(bytes, int64_t{2}, &bytes)) {
    return false;
  }
  if (bytes != h.DataBytes) return false;
  startTime = h.StartTime;
  return true;
}

// Older first; a StartTime that is not a number is never the oldest.
bool Older(const Candidate& a, const Candidate& b) {
  const bool aNan = std::isnan(a.startTime);
  const bool bNan = std::isnan(b.startTime);
  if (aNan || bNan) return !aNan && bNan;
  return a.startTime < b.startTime;
}

}  // namespace

bool IsRecordFileName(const std::string& name) {
  return name.size() == 19 && name.front() == 'F' && name.compare(15, 4, ".DAT") == 0;
}

int PruneRecordFiles(const std::string& directory, int32_t fileNum, const std::string& justWritten) {
  const size_t keep = static_cast<size_t>(std::max(fileNum, kMinRecordFilesKept));
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code statusError;
    // A symbolic link is not a record file of ours, even when it points at one.
    if (IsRecordFileName(name) && it->symlink_status(statusError).type() == std::filesystem::file_type::regular) {
      names.push_back(std::move(name));
    }
  }
  if (names.size() <= keep) return 0;
  std::sort(names.begin(), names.end());

  std::vector<Candidate> candidates;
  for (const std::string& name : names) {
    double startTime = 0;
    if (name != justWritten && ReadCandidate(std::filesystem::path(directory) / name, startTime)) {
      candidates.push_back({name, startTime});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(), Older);

  const size_t surplus = std::min(names.size() - keep, candidates.size());
  int deleted = 0;
  for (size_t i = 0; i < surplus; ++i) {
    const std::filesystem::path path = std::filesystem::path(directory) / candidates[i].name;
    if (::unlink(path.c_str()) == 0) ++deleted;
  }
  return deleted;
}

}  // namespace quelvar
