#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\Run";

// Child-side state for the write hook, which can only be a plain function.
AtomicWriteStep g_stopAt{};
int g_reportFd = -1;

void StopAt(AtomicWriteStep step) {
  if (step != g_stopAt) return;
  const char ready = '!';
  if (::write(g_reportFd, &ready, 1) != 1) ::_exit(3);
  for (;;) ::pause();  // until the parent's SIGKILL
}

// Writes a tree big enough to take several chunks, in one save.
bool WriteGeneration(FileRegistry& reg, int generation) {
  RegistryBatch batch(reg);
  bool ok = reg.WriteInt32(kKey, "Generation", generation);
  const RegistryBytes filler(64, static_cast<std::uint8_t>(generation));
  for (int i = 0; i < 1000; ++i) ok = reg.WriteBinary(kKey, "Fill" + std::to_string(i), filler) && ok;
  return ok;
}

struct KillCase {
  AtomicWriteStep step;
  int generationAfter;  // what the file must hold once the writer is dead
};

class RegistryAtomicSave : public ::testing::TestWithParam<KillCase> {};

TEST_P(RegistryAtomicSave, WriterKilledMidSaveLeavesAWholeFile) {
  TempDir dir;
  {
    FileRegistry reg(dir.Path());
    ASSERT_TRUE(WriteGeneration(reg, 1));
  }
  const std::string before = ReadText(dir.TreeFile("QuelvarTorque"));

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(fds[0]);
    g_reportFd = fds[1];
    g_stopAt = GetParam().step;
    SetAtomicWriteHookForTesting(&StopAt);
    FileRegistry reg(dir.Path());
    WriteGeneration(reg, 2);
    ::_exit(2);  // never reached the step
  }
  ::close(fds[1]);
  char ready = 0;
  const ssize_t got = ::read(fds[0], &ready, 1);
  ::close(fds[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(got, 1) << "the writer did not reach the step";
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32(kKey, "Generation"), GetParam().generationAfter);
  EXPECT_EQ(reg.ReadBinary(kKey, "Fill999", 64), RegistryBytes(64, static_cast<std::uint8_t>(GetParam().generationAfter)));
  EXPECT_THAT(reg.TakeProblems(), IsEmpty());
  if (GetParam().generationAfter == 1) {
    EXPECT_EQ(ReadText(dir.TreeFile("QuelvarTorque")), before);
  }

  // The dead writer's lock is gone and its leftover temporary file is no obstacle.
  ASSERT_TRUE(WriteGeneration(reg, 3));
  EXPECT_EQ(FileRegistry(dir.Path()).ReadInt32(kKey, "Generation"), 3);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, RegistryAtomicSave,
                         ::testing::Values(KillCase{AtomicWriteStep::TempPartlyWritten, 1},
                                           KillCase{AtomicWriteStep::TempWritten, 1},
                                           KillCase{AtomicWriteStep::TempSynced, 1},
                                           KillCase{AtomicWriteStep::Renamed, 2}),
                         [](const ::testing::TestParamInfo<KillCase>& info) {
                           switch (info.param.step) {
                             case AtomicWriteStep::TempPartlyWritten: return std::string("TempPartlyWritten");
                             case AtomicWriteStep::TempWritten: return std::string("TempWritten");
                             case AtomicWriteStep::TempSynced: return std::string("TempSynced");
                             case AtomicWriteStep::Renamed: return std::string("Renamed");
                           }
                           return std::string("Unknown");
                         });

TEST(RegistryFailedSave, ReturnsFalseKeepsTheOldFileAndRetriesLater) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32(kKey, "A", 1));
  const std::string before = ReadText(dir.TreeFile("QuelvarTorque"));

  // Something in the way of the temporary file makes the save fail, even for root.
  const auto obstacle = dir.Software() / "QuelvarTorque.reg.tmp";
  std::filesystem::create_directory(obstacle);
  EXPECT_FALSE(reg.WriteInt32(kKey, "B", 2));
  EXPECT_FALSE(reg.WriteInt32(kKey, "C", 3));
  EXPECT_EQ(ReadText(dir.TreeFile("QuelvarTorque")), before);
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("registry tree QuelvarTorque is not saved: cannot create")));

  std::filesystem::remove(obstacle);
  EXPECT_TRUE(reg.Flush());
  FileRegistry again(dir.Path());
  EXPECT_EQ(again.ReadInt32(kKey, "B"), 2);
  EXPECT_EQ(again.ReadInt32(kKey, "C"), 3);
}

}  // namespace
}  // namespace quelvar::platform::test
