#include "shell/RecordFile.h"

#include <array>
#include <filesystem>
#include <bit>
#include <limits>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/DayTime.h"
#include "platform/GbkText.h"

namespace quelvar {

// The file's words are written as they lie in memory.
static_assert(std::endian::native == std::endian::little);

std::optional<RecordFileHeader> MakeRecordFileHeader(const RecordHeaderValues& v) {
  if (v.BlockCount < 0 || v.NumSamp < 0 || v.NumChn < 0) return std::nullopt;
  const int64_t words = int64_t{v.BlockCount} * v.NumSamp;
  // Checked in two steps: three i32 factors can exceed 64 bits.
  if (v.NumChn != 0 && words > std::numeric_limits<int32_t>::max() / 2 / v.NumChn) return std::nullopt;
  const int64_t dataBytes = words * v.NumChn * 2;

  RecordFileHeader h{};
  h.HeaderSize = static_cast<uint32_t>(kRecordFileHeaderBytes);
  h.VersionMajor = 2;
  h.VersionMinor = 5;
  h.Tag[0] = 'Q';
  h.Tag[1] = 'V';
  h.NumChn = v.NumChn;
  h.Total_Line = v.Total_Line;
  h.Analog_Num = v.Analog_Num;
  h.SW_Num = v.SW_Num;
  h.NumSamp = v.NumSamp;
  h.MaxMultiFreq = v.MaxMultiFreq;
  h.ChannelRate = v.ChannelRate;
  h.ADBit = v.ADBit;
  h.StartTime = v.StartTime;
  h.PreBlocks = v.PreBlocks;
  h.TriggerPoint = v.TriggerPoint;
  h.BlockCount = v.BlockCount;
  h.DataBytes = static_cast<int32_t>(dataBytes);
  h.CompressRatio = v.CompressRatio;
  h.CompressType = v.CompressType;
  h.CompressBlocks = v.CompressBlocks;
  h.DataGap = v.DataGap;
  h.TriggerKind = v.TriggerKind;
  h.TriggerChannel = v.TriggerChannel;
  h.TriggerAlgorithm = v.TriggerAlgorithm;
  h.TriggerEdge = v.TriggerEdge;
  return h;
}

bool CopyRingBlocks(const uint16_t* ring, size_t ringWords, int32_t ringBlocks, int32_t blockWords, int32_t first,
                    int32_t last, std::vector<uint16_t>& out) {
  out.clear();
  if (ring == nullptr || ringBlocks <= 0 || blockWords <= 0) return false;
  if (first < 0 || first >= ringBlocks || last < 0 || last >= ringBlocks) return false;
  const uint64_t block = static_cast<uint64_t>(blockWords);
  if (static_cast<uint64_t>(ringBlocks) * block > ringWords) return false;

  auto append = [&](int32_t from, int32_t to) {
    out.insert(out.end(), ring + from * block, ring + (static_cast<uint64_t>(to) + 1) * block);
  };
  if (first <= last) {
    out.reserve((static_cast<uint64_t>(last - first) + 1) * block);
    append(first, last);
  } else {
    out.reserve((static_cast<uint64_t>(ringBlocks - first) + last + 1) * block);
    append(first, ringBlocks - 1);
    append(0, last);
  }
  return true;
}

std::string RecordFileName(double startTime) { return "F" + platform::FileStampText(startTime) + ".DAT"; }

namespace {

WriteResult Failed(std::string error) {
  WriteResult result;
  result.error = std::move(error);
  return result;
}

template <typename T>
std::string_view BytesOf(const T& value) {
  return {reinterpret_cast<const char*>(&value), sizeof value};
}

// The file's parts in order: header, configuration, samples, the comment's
// length and the comment (GBK). Empty with `error` set when they disagree.
struct RecordFileParts {
  std::string comment;
  uint32_t commentBytes = 0;
  std::array<std::string_view, 5> buffers{};
};

bool PartsOf(const RecordPackage& package, RecordFileParts& parts, std::string& error) {
  const RecordFileHeader& header = package.header;
  if (header.DataBytes < 0 || package.samples.size() * 2 != static_cast<uint64_t>(header.DataBytes)) {
    error = "the record's samples (" + std::to_string(package.samples.size() * 2) +
            " bytes) do not match its header (" + std::to_string(header.DataBytes) + " bytes)";
    return false;
  }
  parts.comment = platform::Utf8ToGbk(package.comment);
  if (parts.comment.size() > std::numeric_limits<uint32_t>::max()) {
    error = "the record's comment is too long";
    return false;
  }
  parts.commentBytes = static_cast<uint32_t>(parts.comment.size());
  parts.buffers = {
      BytesOf(header),
      BytesOf(package.config),
      {reinterpret_cast<const char*>(package.samples.data()), package.samples.size() * 2},
      BytesOf(parts.commentBytes),
      parts.comment,
  };
  return true;
}

}  // namespace

WriteResult WriteRecordFile(const std::string& directory, RecordPackage package) {
  // A relative path would name whatever the current directory is when the
  // thread gets to it.
  if (directory.empty() || directory.front() != '/') {
    return Failed("the record directory is not an absolute path: \"" + directory + "\"");
  }
  const RecordFileHeader& header = package.header;
  RecordFileParts parts;
  std::string error;
  if (!PartsOf(package, parts, error)) return Failed(error);
  const auto& buffers = parts.buffers;
  const double second = 1.0 / 86400.0;
  auto nameAt = [&](int i) { return RecordFileName(header.StartTime + i * second); };

  WriteResult result;
  result.ok = platform::CreateFileAtomically(directory, nameAt, kRecordFileNameTries, buffers, result.fileName,
                                             result.error);
  if (!result.ok) result.error = "the record file was not written: " + result.error;
  return result;
}

WriteResult WriteRecordFileAs(const std::string& path, const RecordPackage& package) {
  RecordFileParts parts;
  std::string error;
  if (!PartsOf(package, parts, error)) return Failed(error);
  std::string bytes;
  for (const std::string_view part : parts.buffers) bytes.append(part);
  WriteResult result;
  result.fileName = std::filesystem::path(path).filename().string();
  result.ok = platform::WriteUserFileAtomically(path, bytes, result.error);
  if (!result.ok) result.error = "the record file was not written: " + result.error;
  return result;
}

}  // namespace quelvar
