#pragma once

#include <filesystem>
#include <string>

namespace quelvar::platform {

// An exclusive flock on a lock file, held for the object's lifetime. The lock file is
// created when missing and never removed: removing it would let two processes lock
// different files of the same name.
class FileLock {
 public:
  // Blocks until the lock is held; on failure Held() is false and `error` says why.
  FileLock(const std::filesystem::path& path, std::string& error);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace quelvar::platform
