// A user's file written piece by piece: whole once committed, absent (or the
// earlier file unchanged) otherwise.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/AtomicFile.h"

namespace {

using quelvar::platform::StreamedUserFile;

class StreamedUserFileTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-streamed-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  size_t Entries() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {})); }
};

TEST_F(StreamedUserFileTest, CommittedPiecesReplaceTheFileWhole) {
  std::ofstream(dir / "a.txt") << "old";
  StreamedUserFile file(dir / "a.txt");
  std::string error;
  ASSERT_TRUE(file.Open(error)) << error;
  std::string expected;
  // Enough pieces to pass the buffer several times.
  for (int i = 0; i < 100000; ++i) {
    const std::string piece = "row " + std::to_string(i) + "\r\n";
    file.Write(piece);
    expected += piece;
    if (i == 10) {
      EXPECT_EQ(Read(dir / "a.txt"), "old");
    }
  }
  EXPECT_EQ(Read(dir / "a.txt"), "old");
  ASSERT_TRUE(file.Commit(error)) << error;
  EXPECT_EQ(Read(dir / "a.txt"), expected);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(StreamedUserFileTest, AbandonedOrUnmadeFilesLeaveNothingBehind) {
  std::ofstream(dir / "a.txt") << "old";
  {
    StreamedUserFile file(dir / "a.txt");
    std::string error;
    ASSERT_TRUE(file.Open(error));
    file.Write(std::string(1 << 20, 'x'));
  }
  EXPECT_EQ(Read(dir / "a.txt"), "old");
  EXPECT_EQ(Entries(), 1u);
  StreamedUserFile unmade(dir / "no" / "b.txt");
  std::string error;
  EXPECT_FALSE(unmade.Open(error));
  unmade.Write("x");
  EXPECT_FALSE(unmade.Commit(error));
  EXPECT_EQ(Entries(), 1u);
}

// A write that fails after Open (here the file size limit, with SIGXFSZ
// ignored so the write returns EFBIG) must fail the Commit, remove the
// temporary file and leave the earlier target as it was: a small table that
// fails only in Commit's last write, and a large one that fails on the way.
TEST_F(StreamedUserFileTest, AWriteThatFailsAfterOpenFailsTheCommitAndLeavesTheOldFile) {
  for (const size_t size : {size_t{100}, size_t{3} << 20}) {
    SCOPED_TRACE(size);
    std::ofstream(dir / "a.txt") << "old";
    // The limit lives in a child so the test process keeps its own.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{10, 10};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
      StreamedUserFile file(dir / "a.txt");
      std::string error;
      if (!file.Open(error)) ::_exit(3);
      for (size_t done = 0; done < size; done += 50) file.Write(std::string(50, 'x'));
      const bool committed = file.Commit(error);
      ::_exit(committed ? 4 : error.empty() ? 5 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);  // Commit failed and said why
    EXPECT_EQ(Read(dir / "a.txt"), "old");
    EXPECT_EQ(Entries(), 1u);  // no temporary file left
  }
}

}  // namespace
