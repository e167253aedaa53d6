#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quelvar::platform {

// A regular file opened for reading at 64-bit offsets. Anything else (a FIFO,
// a device, a directory) is refused at Open without blocking on it, so that a
// file check given such a path by a user or a directory listing cannot hang.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // False when the path cannot be opened or is not a regular file.
  bool Open(const std::string& path);
  // The file's length when it was opened.
  uint64_t Size() const { return size_; }
  // True when all `bytes` bytes at `offset` arrived; a short file is no error
  // to retry, so a partial read is simply false.
  bool ReadAt(uint64_t offset, void* out, size_t bytes) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace quelvar::platform
