#include "setup/AlgorithmFile.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quelvar {

namespace {

constexpr char kMagic[4] = {'A', 'L', 'G', 'O'};
constexpr int64_t kHeaderBytes = 8;
constexpr int64_t kRecordBytes = sizeof(AlgorithmConfig);

// Reads exactly `size` bytes at `offset`; false on an error or an early end.
bool ReadAt(int fd, void* buffer, std::size_t size, off_t offset) {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::pread(fd, out, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Everything but the opening; any read failure counts as an unreadable file.
AlgorithmFileResult ReadOpenFile(int fd) {
  AlgorithmFileResult result;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return result;
  const int64_t size = info.st_size;
  if (size < kHeaderBytes) {
    result.Status = AlgorithmFileStatus::SizeTooSmall;
    return result;
  }
  char header[kHeaderBytes];
  if (!ReadAt(fd, header, sizeof header, 0)) return result;
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
  if (!ReadAt(fd, result.Records.data(), result.Records.size() * sizeof(AlgorithmConfig), kHeaderBytes)) {
    result.Records.clear();
    return result;
  }
  result.Status = AlgorithmFileStatus::Ok;
  return result;
}

}  // namespace

AlgorithmFileResult ReadAlgorithmFile(const std::string& path) {
  // O_NONBLOCK: a FIFO under that name must not hang the open; it is refused as not a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  AlgorithmFileResult result = ReadOpenFile(fd);
  ::close(fd);
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
