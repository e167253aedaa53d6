#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quelvar::platform {

// A private, writable view of part of a file: its pages are read from the
// file when first touched, and what is written to them stays in this
// process's memory and never reaches the file. `extraBytes` zero bytes follow
// the file's part (also where the file ends there). The view outlives the
// file object it was made from.
class PrivateFileView {
 public:
  PrivateFileView(void* mapping, size_t mappedBytes, uint8_t* data, size_t size)
      : mapping_(mapping), mappedBytes_(mappedBytes), data_(data), size_(size) {}
  ~PrivateFileView();
  PrivateFileView(const PrivateFileView&) = delete;
  PrivateFileView& operator=(const PrivateFileView&) = delete;
  uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }  // the file's part and the extra bytes

 private:
  void* mapping_;
  size_t mappedBytes_;
  uint8_t* data_;
  size_t size_;
};

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
  // A private view of `bytes` bytes at `offset`, which must lie inside the
  // file as opened, with `extraBytes` zero bytes after them; null when the
  // part lies outside the file or the view cannot be made. A file cut short
  // while the view exists makes its lost pages unreadable: only the
  // program's own files, which it never cuts into their samples, are viewed.
  std::unique_ptr<PrivateFileView> MapPrivate(uint64_t offset, uint64_t bytes, uint64_t extraBytes) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace quelvar::platform
