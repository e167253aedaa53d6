#include "platform/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace quelvar::platform {

ReadOnlyFile::~ReadOnlyFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ReadOnlyFile::Open(const std::string& path) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    ::close(fd);
    return false;
  }
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
  return true;
}

bool ReadOnlyFile::ReadAt(uint64_t offset, void* out, size_t bytes) const {
  if (fd_ < 0) return false;
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()) - bytes) return false;
  char* dest = static_cast<char*>(out);
  while (bytes > 0) {
    const ssize_t n = ::pread(fd_, dest, bytes, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    dest += n;
    bytes -= static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

}  // namespace quelvar::platform
