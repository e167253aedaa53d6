#include "setup/AlgorithmFile.h"

#include "common/AlgorithmTypeTable.h"
#include "platform/AtomicFile.h"
#include "platform/ReadOnlyFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quelvar {

namespace {

constexpr char kMagic[4] = {'A', 'L', 'G', 'O'};
constexpr int64_t kHeaderBytes = 8;
constexpr int64_t kRecordBytes = sizeof(AlgorithmConfig);

}  // namespace

AlgorithmFileResult ReadAlgorithmFile(const std::string& path) {
  AlgorithmFileResult result;
  platform::ReadOnlyFile file;
  // Only a regular file is read: a FIFO or a directory is refused without hanging.
  if (!file.Open(path)) return result;
  const int64_t size = static_cast<int64_t>(file.Size());
  if (size < kHeaderBytes) {
    result.Status = AlgorithmFileStatus::SizeTooSmall;
    return result;
  }
  char header[kHeaderBytes];
  if (!file.ReadAt(0, header, sizeof header)) return result;
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
    result.Status = AlgorithmFileStatus::BadMagic;
    return result;
  }
  int32_t count = 0;
  std::memcpy(&count, header + 4, sizeof count);
  // 64-bit: no count can wrap round to the real size.
  if (size != count * kRecordBytes + kHeaderBytes) {
    result.Status = AlgorithmFileStatus::SizeMismatch;
    return result;
  }
  if (count <= 0) {
    result.Status = AlgorithmFileStatus::Empty;
    return result;
  }
  result.Records.resize(static_cast<std::size_t>(std::min(count, kAlgorithmFileMaxRecords)));
  if (!file.ReadAt(kHeaderBytes, result.Records.data(), result.Records.size() * sizeof(AlgorithmConfig))) {
    result.Records.clear();
    return result;
  }
  for (AlgorithmConfig& record : result.Records) SanitizeAlgorithm(record);
  result.Status = AlgorithmFileStatus::Ok;
  return result;
}

const char* AlgorithmFileMessage(AlgorithmFileStatus status) {
  switch (status) {
    case AlgorithmFileStatus::SizeTooSmall:
    case AlgorithmFileStatus::SizeMismatch:
      return "文件大小不对!";
    case AlgorithmFileStatus::BadMagic:
      return "文件头标志错误!";
    case AlgorithmFileStatus::Ok:
    case AlgorithmFileStatus::CannotOpen:
    case AlgorithmFileStatus::Empty:
      break;
  }
  return nullptr;
}

bool WriteAlgorithmFile(const std::string& path, std::span<const AlgorithmConfig> records, std::string& error) {
  if (records.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    error = "too many algorithms for " + path;
    return false;
  }
  const auto count = static_cast<int32_t>(records.size());
  char header[kHeaderBytes];
  std::memcpy(header, kMagic, sizeof kMagic);
  std::memcpy(header + 4, &count, sizeof count);

  std::string data(header, sizeof header);
  data.append(reinterpret_cast<const char*>(records.data()), records.size_bytes());
  return platform::WriteUserFileAtomically(path, data, error);
}

}  // namespace quelvar
