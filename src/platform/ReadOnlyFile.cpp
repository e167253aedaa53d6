#include "platform/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
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

PrivateFileView::~PrivateFileView() {
  if (mapping_ != nullptr) ::munmap(mapping_, mappedBytes_);
}

std::unique_ptr<PrivateFileView> ReadOnlyFile::MapPrivate(uint64_t offset, uint64_t bytes, uint64_t extraBytes) const {
  if (fd_ < 0 || offset > size_ || bytes > size_ - offset) return nullptr;
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pageSize <= 0) return nullptr;
  const uint64_t page = static_cast<uint64_t>(pageSize);
  const uint64_t aligned = offset - offset % page;
  const uint64_t lead = offset - aligned;
  // Sizes far below 2^63: the file's own, plus a few bytes.
  const uint64_t total = lead + bytes + extraBytes;
  const uint64_t length = (total + page - 1) / page * page;
  if (length == 0 || length > std::numeric_limits<size_t>::max() ||
      aligned > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
    return nullptr;
  }
  // Zero pages first, then the file over them: pages past the file's end
  // stay zero instead of faulting, and the file's last partial page reads
  // zero past its end.
  void* base = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  const uint64_t fromFile = std::min(total, size_ - aligned);
  if (fromFile > 0 && ::mmap(base, fromFile, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd_,
                             static_cast<off_t>(aligned)) == MAP_FAILED) {
    ::munmap(base, length);
    return nullptr;
  }
  auto* data = static_cast<uint8_t*>(base) + lead;
  // The extra bytes are zero also where the file goes on after the part.
  for (uint64_t i = 0; i < extraBytes; ++i) data[bytes + i] = 0;
  return std::make_unique<PrivateFileView>(base, static_cast<size_t>(length), data, static_cast<size_t>(total - lead));
}

}  // namespace quelvar::platform
