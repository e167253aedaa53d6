#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

// Writes, syncs and closes the open temporary file, renames it over the
// target and syncs the directory; removes the temporary file on failure.
bool FinishAtomicWrite(int fd, const std::filesystem::path& temp, const std::filesystem::path& target,
                       std::string_view data, std::string& error) {
  bool ok = WriteAll(fd, data) || Fail(error, "cannot write", temp, errno);
  if (ok) Reached(AtomicWriteStep::TempWritten);
  ok = ok && (::fsync(fd) == 0 || Fail(error, "cannot sync", temp, errno));
  // close() can report a delayed write error too.
  const bool closed = ::close(fd) == 0;
  ok = ok && (closed || Fail(error, "cannot close", temp, errno));
  if (ok) Reached(AtomicWriteStep::TempSynced);
  ok = ok && (::rename(temp.c_str(), target.c_str()) == 0 || Fail(error, "cannot replace", target, errno));
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  Reached(AtomicWriteStep::Renamed);
  return SyncDirectoryOf(target, error);
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
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temp = target;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return FinishAtomicWrite(fd, temp, target, data, error);
    if (errno != EEXIST) return Fail(error, "cannot create a temporary file beside", target, errno);
  }
  return Fail(error, "cannot create a temporary file beside", target, EEXIST);
}

bool RemoveFileDurably(const std::filesystem::path& target, std::string& error) {
  if (::unlink(target.c_str()) != 0) {
    if (errno == ENOENT) return true;
    return Fail(error, "cannot remove", target, errno);
  }
  return SyncDirectoryOf(target, error);
}

}  // namespace quelvar::platform
