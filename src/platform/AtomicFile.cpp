#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace quelvar::platform {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

void (*g_hook)(AtomicWriteStep) = nullptr;

void Reached(AtomicWriteStep step) {
  if (g_hook) g_hook(step);
}

bool Fail(std::string& error, const std::string& what, const std::filesystem::path& path, int err) {
  error = what + " " + path.string() + " (" + std::strerror(err) + ")";
  return false;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), std::min(data.size(), kChunkSize));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // a regular file that takes nothing will not take more later
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
    if (!data.empty()) Reached(AtomicWriteStep::TempPartlyWritten);
  }
  return true;
}

bool SyncDirectoryOf(const std::filesystem::path& file, std::string& error) {
  std::filesystem::path dir = file.parent_path();
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(error, "cannot open directory", dir, errno);
  const bool synced = ::fsync(fd) == 0;
  const int err = errno;
  ::close(fd);
  return synced || Fail(error, "cannot sync directory", dir, err);
}

// Writes, syncs and closes the open temporary file.
bool WriteSyncClose(int fd, const std::filesystem::path& temp, std::span<const std::string_view> buffers,
                    std::string& error) {
  bool ok = true;
  for (const std::string_view buffer : buffers) {
    ok = ok && (WriteAll(fd, buffer) || Fail(error, "cannot write", temp, errno));
  }
  if (ok) Reached(AtomicWriteStep::TempWritten);
  ok = ok && (::fsync(fd) == 0 || Fail(error, "cannot sync", temp, errno));
  // close() can report a delayed write error too.
  const bool closed = ::close(fd) == 0;
  ok = ok && (closed || Fail(error, "cannot close", temp, errno));
  if (ok) Reached(AtomicWriteStep::TempSynced);
  return ok;
}

// Writes, syncs and closes the open temporary file, renames it over the
// target and syncs the directory; removes the temporary file on failure.
bool FinishAtomicWrite(int fd, const std::filesystem::path& temp, const std::filesystem::path& target,
                       std::string_view data, std::string& error) {
  bool ok = WriteSyncClose(fd, temp, std::span(&data, 1), error);
  ok = ok && (::rename(temp.c_str(), target.c_str()) == 0 || Fail(error, "cannot replace", target, errno));
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  Reached(AtomicWriteStep::Renamed);
  return SyncDirectoryOf(target, error);
}

// A temporary file beside `target` that no one else uses, created exclusively;
// -1 with `error` set when none could be made.
int CreateUniqueTemp(const std::filesystem::path& target, std::filesystem::path& temp, std::string& error) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      Fail(error, "cannot create a temporary file beside", target, errno);
      return -1;
    }
  }
  Fail(error, "cannot create a temporary file beside", target, EEXIST);
  return -1;
}

// Gives the finished temporary file the target's name unless a file has it:
// 0, EEXIST, or another errno. renameat2 does it in one step; file systems
// without it get link(), and those without hard links (FAT) a check and a
// rename, where a file created in between would be replaced.
int PublishWithoutReplacing(const std::filesystem::path& temp, const std::filesystem::path& target) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  if (::link(temp.c_str(), target.c_str()) == 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

}  // namespace

void SetAtomicWriteHookForTesting(void (*hook)(AtomicWriteStep)) { g_hook = hook; }

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view data, std::string& error) {
  std::filesystem::path temp = target;
  temp += ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(error, "cannot create", temp, errno);
  return FinishAtomicWrite(fd, temp, target, data, error);
}

bool WriteUserFileAtomically(const std::filesystem::path& target, std::string_view data, std::string& error) {
  std::filesystem::path temp;
  const int fd = CreateUniqueTemp(target, temp, error);
  if (fd < 0) return false;
  return FinishAtomicWrite(fd, temp, target, data, error);
}

bool CreateFileAtomically(const std::filesystem::path& directory, const std::function<std::string(int)>& nameAt,
                          int names, std::span<const std::string_view> buffers, std::string& published,
                          std::string& error) {
  if (names <= 0) return Fail(error, "no name given for a file in", directory, EINVAL);
  std::filesystem::path temp;
  const int fd = CreateUniqueTemp(directory / nameAt(0), temp, error);
  if (fd < 0) return false;
  if (!WriteSyncClose(fd, temp, buffers, error)) {
    ::unlink(temp.c_str());
    return false;
  }
  for (int i = 0; i < names; ++i) {
    std::string name = nameAt(i);
    const std::filesystem::path target = directory / name;
    const int err = PublishWithoutReplacing(temp, target);
    if (err == EEXIST) continue;
    if (err != 0) {
      ::unlink(temp.c_str());
      return Fail(error, "cannot create", target, err);
    }
    Reached(AtomicWriteStep::Renamed);
    published = std::move(name);
    return SyncDirectoryOf(target, error);
  }
  ::unlink(temp.c_str());
  return Fail(error, "no free name among " + std::to_string(names) + " tried from", directory / nameAt(0), EEXIST);
}

namespace {
// Pieces are gathered up to this size before each write.
constexpr std::size_t kStreamBufferSize = 256 * 1024;
}  // namespace

StreamedUserFile::StreamedUserFile(std::filesystem::path target) : target_(std::move(target)) {}

StreamedUserFile::~StreamedUserFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

bool StreamedUserFile::Open(std::string& error) {
  fd_ = CreateUniqueTemp(target_, temp_, error);
  failed_ = fd_ < 0;
  return !failed_;
}

bool StreamedUserFile::Flush() {
  if (!failed_ && !WriteAll(fd_, buffer_)) {
    failed_ = true;
    errno_ = errno;
  }
  buffer_.clear();
  return !failed_;
}

void StreamedUserFile::Write(std::string_view piece) {
  if (failed_ || fd_ < 0) return;
  buffer_.append(piece);
  if (buffer_.size() >= kStreamBufferSize) Flush();
}

bool StreamedUserFile::Commit(std::string& error) {
  if (fd_ < 0) return Fail(error, "cannot create", target_, failed_ ? EIO : EBADF);
  const bool written = Flush();
  const int fd = std::exchange(fd_, -1);
  if (!written) {
    ::close(fd);
    ::unlink(temp_.c_str());
    return Fail(error, "cannot write", temp_, errno_);
  }
  return FinishAtomicWrite(fd, temp_, target_, {}, error);
}

bool RemoveFileDurably(const std::filesystem::path& target, std::string& error) {
  if (::unlink(target.c_str()) != 0) {
    if (errno == ENOENT) return true;
    return Fail(error, "cannot remove", target, errno);
  }
  return SyncDirectoryOf(target, error);
}

}  // namespace quelvar::platform
