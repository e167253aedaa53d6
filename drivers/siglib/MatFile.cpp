#include "MatFile.h"

#include <fcntl.h>
#include <matio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace siglib {

namespace {

bool WriteDoubles(mat_t* mat, const char* name, size_t rows, size_t cols, const double* data) {
  size_t dims[2] = {rows, cols};
  // matio only reads the data while writing it.
  matvar_t* var = Mat_VarCreate(name, MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, const_cast<double*>(data),
                                MAT_F_DONT_COPY_DATA);
  if (var == nullptr) return false;
  const bool ok = Mat_VarWrite(mat, var, MAT_COMPRESSION_NONE) == 0;
  Mat_VarFree(var);
  return ok;
}

bool SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary file beside the target that no one else uses (created
// exclusively, with the mode a new file gets); empty when none could be made.
std::string CreateUniqueTemp(const std::string& target) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return temp;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

bool WriteAdMatFile(const std::string& path, const AdMatrix& ad) {
  if (path.empty() || ad.points == 0 || ad.channels == 0) return false;
  // Beside the target, so the rename stays on one file system.
  const std::string tempPath = CreateUniqueTemp(path);
  if (tempPath.empty()) return false;

  bool ok = false;
  if (mat_t* mat = Mat_CreateVer(tempPath.c_str(), nullptr, MAT_FT_MAT5)) {
    ok = WriteDoubles(mat, "AD", ad.points, ad.channels, ad.values.data());
    ok = WriteDoubles(mat, "Fs", 1, 1, &ad.fs) && ok;
    ok = Mat_Close(mat) == 0 && ok;
  }
  ok = ok && SyncPath(tempPath, O_RDONLY) && ::rename(tempPath.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  // The file is in place; a directory that cannot be synced does not undo it.
  SyncPath(DirectoryOf(path), O_RDONLY | O_DIRECTORY);
  return true;
}

}  // namespace siglib
