#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quelvar::bench {

// Where the files go: $QUELVAR_BENCH_DIR, else the temporary directory (often
// a tmpfs, where fsync costs nothing; point it at a disk to see that cost).
class BenchDir {
 public:
  BenchDir() {
    const char* base = std::getenv("QUELVAR_BENCH_DIR");
    std::string pattern =
        ((base ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) / "quelvar-bench-XXXXXX")
            .string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~BenchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace quelvar::bench
