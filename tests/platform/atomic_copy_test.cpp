#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

namespace quelvar::platform {
namespace {

class CopyDir {
 public:
  CopyDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quelvar-copy-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~CopyDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.insert(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(CopyFileAtomically, ReplacesTheTargetWithTheSourcesHeadAndTheTailOrLeavesItAlone) {
  std::string source;
  for (int i = 0; i < 1000; ++i) source += static_cast<char>('a' + i % 26);
  struct Case {
    const char* name;
    uint64_t bytes;
    size_t bufferBytes;
    bool ok;
  };
  for (const Case c : {Case{"whole source, many chunks", 1000, 7, true}, Case{"head only", 10, 64, true},
                       Case{"nothing but the tail", 0, 1, true}, Case{"source too short", 1001, 64, false},
                       Case{"no buffer", 10, 0, false}}) {
    SCOPED_TRACE(c.name);
    CopyDir dir;
    Write(dir / "source", source);
    Write(dir / "target", "previous");
    const int fd = ::open((dir / "source").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::vector<char> buffer(c.bufferBytes);
    std::string error;
    EXPECT_EQ(CopyFileAtomically(fd, c.bytes, "TAIL", dir / "target", buffer, error), c.ok);
    ::close(fd);
    EXPECT_EQ(error.empty(), c.ok);
    EXPECT_EQ(Read(dir / "target"), c.ok ? source.substr(0, c.bytes) + "TAIL" : "previous");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"source", "target"}));
  }
}

}  // namespace
}  // namespace quelvar::platform
