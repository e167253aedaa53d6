#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/FileRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

// Instance 0 and instance 1 of the program: their tree names share a prefix.
const std::string kTrees[] = {"QuelvarTorque", "QuelvarTorque1"};
constexpr int kValues = 150;

std::string KeyOf(const std::string& tree) { return "\\SOFTWARE\\" + tree + "\\Run"; }

// One save per value, as a program writing settings outside a batch does.
bool WriteManySaves(const TempDir& dir, const std::string& tree) {
  FileRegistry reg(dir.Path());
  bool ok = true;
  for (int i = 0; i < kValues; ++i) ok = reg.WriteInt32(KeyOf(tree), "V" + std::to_string(i), i) && ok;
  return ok && reg.TakeProblems().empty();
}

void ExpectAllValues(const TempDir& dir) {
  FileRegistry reg(dir.Path());
  for (const auto& tree : kTrees) {
    for (int i = 0; i < kValues; ++i) {
      ASSERT_EQ(reg.ReadInt32(KeyOf(tree), "V" + std::to_string(i)), i) << tree << " V" << i;
    }
  }
  EXPECT_TRUE(reg.TakeProblems().empty());
}

TEST(RegistryConcurrency, TwoProcessesSavingDifferentTreesLoseNothing) {
  TempDir dir;
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      ::close(start[1]);
      char go = 0;
      const bool started = ::read(start[0], &go, 1) == 0;  // released together when the parent closes
      ::_exit(started && WriteManySaves(dir, kTrees[c]) ? 0 : 1);
    }
  }
  ::close(start[0]);
  ::close(start[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectAllValues(dir);
}

TEST(RegistryConcurrency, TwoRegistriesInOneProcessSavingDifferentTreesLoseNothing) {
  TempDir dir;
  bool ok[2] = {false, false};
  std::thread first([&] { ok[0] = WriteManySaves(dir, kTrees[0]); });
  std::thread second([&] { ok[1] = WriteManySaves(dir, kTrees[1]); });
  first.join();
  second.join();
  EXPECT_TRUE(ok[0]);
  EXPECT_TRUE(ok[1]);
  ExpectAllValues(dir);
}

}  // namespace
}  // namespace quelvar::platform::test
