#include "setup/AlgorithmFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
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

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* in = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, in, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    in += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool Fail(std::string& error, const std::string& what, const std::string& path, int err) {
  error = what + " " + path + " (" + std::strerror(err) + ")";
  return false;
}

// Creates a temporary file beside `target` under a name no one else uses, so
// a user's own "<name>.tmp" or a second writer is never clobbered.
int CreateTemporary(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
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

  std::string temp;
  const int fd = CreateTemporary(path, temp);
  if (fd < 0) return Fail(error, "cannot create a temporary file beside", path, errno);
  bool ok = (WriteAll(fd, header, sizeof header) && WriteAll(fd, records.data(), records.size_bytes())) ||
            Fail(error, "cannot write", temp, errno);
  ok = ok && (::fsync(fd) == 0 || Fail(error, "cannot sync", temp, errno));
  // close() can report a delayed write error too.
  const bool closed = ::close(fd) == 0;
  ok = ok && (closed || Fail(error, "cannot close", temp, errno));
  ok = ok && (::rename(temp.c_str(), path.c_str()) == 0 || Fail(error, "cannot replace", path, errno));
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // The new name must reach the disk as well as the data.
  std::string dir = std::filesystem::path(path).parent_path().string();
  if (dir.empty()) dir = ".";
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return Fail(error, "cannot open directory", dir, errno);
  const bool synced = ::fsync(dirFd) == 0;
  const int err = errno;
  ::close(dirFd);
  return synced || Fail(error, "cannot sync directory", dir, err);
}

}  // namespace quelvar
