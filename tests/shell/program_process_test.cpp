// The real program, started as a user or a service manager would start it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FileRegistry.h"
#include "platform/RegistryKey.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

class ProgramProcess : public ::testing::Test {
 protected:
  fs::path registryDir;

  void SetUp() override {
    registryDir = fs::path(testing::TempDir()) / ("quelvar-process-" + std::to_string(getpid()));
    fs::remove_all(registryDir);
    fs::create_directories(registryDir);
  }
  void TearDown() override { fs::remove_all(registryDir); }

  // Starts the program with the termination signals blocked, so a signal sent
  // right away waits until the program is ready for it, then sends `sig`.
  // Returns the wait status.
  int RunAndSignal(int sig) {
    std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "QUELVAR_REGISTRY_DIR=" + registryDir.string()};
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("QUELVAR_REGISTRY_DIR=", 0) != 0) {
        env.push_back(entry);
      }
    }
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string program = QUELVAR_PROGRAM;
    char* argv[] = {program.data(), nullptr};

    sigset_t block, old;
    sigemptyset(&block);
    sigaddset(&block, SIGTERM);
    sigaddset(&block, SIGINT);
    pthread_sigmask(SIG_BLOCK, &block, &old);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data());
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (rc != 0) {
      ADD_FAILURE() << "cannot start " << program;
      return -1;
    }
    kill(pid, sig);
    return WaitBounded(pid);
  }

  // A hung program must fail the test, not hang it.
  static int WaitBounded(pid_t pid) {
    constexpr int kMaxPolls = 6000;  // 60 s of 10 ms polls
    int status = 0;
    for (int i = 0; i < kMaxPolls; ++i) {
      if (waitpid(pid, &status, WNOHANG) == pid) return status;
      const timespec pause{0, 10'000'000};
      nanosleep(&pause, nullptr);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the program did not end";
    return -1;
  }
};

TEST_F(ProgramProcess, TerminationSignalsEndTheProgramCleanlyWithExitCodeZero) {
  for (int sig : {SIGTERM, SIGINT}) {
    const int status = RunAndSignal(sig);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << sig << " killed the program instead of closing it";
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  // It ran far enough to open its settings tree.
  EXPECT_TRUE(fs::exists(registryDir / "SOFTWARE" / "QuelvarTorque.reg"));
}

TEST_F(ProgramProcess, DamagedSettingsFileDoesNotStopTheProgram) {
  fs::create_directories(registryDir / "SOFTWARE");
  std::ofstream(registryDir / "SOFTWARE" / "QuelvarTorque.reg") << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quel";
  const int status = RunAndSignal(SIGTERM);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(fs::exists(registryDir / "SOFTWARE" / "QuelvarTorque.reg.bad"));
}

TEST_F(ProgramProcess, RecorderSettingsDialogReadsItsNamesAtStartAndStoresThemAtTheEnd) {
  const std::string quelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";
  {
    quelvar::platform::FileRegistry store(registryDir);
    quelvar::platform::RegistryKey key(store, quelvarKey);
    key.WriteString("ContinuousSaveFile", "/data/kept.DAT");
    key.WriteInteger("SafeSaveTime", 0);
    key.WriteInteger("idContinuousSave", 1);
  }
  const int status = RunAndSignal(SIGTERM);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  quelvar::platform::FileRegistry store(registryDir);
  quelvar::platform::RegistryKey key(store, quelvarKey);
  EXPECT_EQ(key.ReadString("ContinuousSaveFile"), "/data/kept.DAT");
  EXPECT_EQ(key.ReadString("SafeSaveFileName"), "F001-BAK.DAT");
  EXPECT_EQ(key.ReadInteger("SafeSaveTime"), 1);
  // Continuous saving is off at every start, and stored as it stood at the end.
  EXPECT_EQ(key.ReadInteger("idContinuousSave"), 0);
  EXPECT_TRUE(quelvar::platform::RegistryKey(store, "\\SOFTWARE\\QuelvarTorque\\FormSize")
                  .ReadInteger("FormFBuff_Top")
                  .has_value());
}

}  // namespace
