#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/DynamicLibrary.h"

namespace {

using quelvar::platform::DynamicLibrary;
using quelvar::platform::LibraryCandidates;
using quelvar::platform::UndecoratedSymbolName;

const std::string kLibDir = QUELVAR_TEST_LIB_DIR;
const std::string kLibPath = kLibDir + "/TestDriver.DLL";
using InitialFn = int (*)(int, int, int, int);

TEST(DecoratedNames, StdcallDecorationIsStrippedOtherNamesStay) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"_Initial@16", "Initial"},   {"_StopIntr@0", "StopIntr"}, {"_inportb@4", "inportb"},
      {"Initial", "Initial"},       {"_Initial", "_Initial"},    {"_Initial@", "_Initial@"},
      {"_Initial@1x", "_Initial@1x"}, {"_@4", "_@4"},            {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UndecoratedSymbolName(c.in), c.out) << c.in;
}

TEST(DynamicLibraryLoad, DecoratedEntryBindsToPlainExport) {
  DynamicLibrary lib;
  ASSERT_TRUE(lib.Load(kLibPath)) << lib.ErrorText();
  auto initial = lib.Entry<InitialFn>("_Initial@16");
  ASSERT_NE(initial, nullptr);
  EXPECT_EQ(initial(320, 5, 1000, 2), 1327);
}

TEST(DynamicLibraryLoad, MissingEntryBindsAsEmpty) {
  DynamicLibrary lib;
  ASSERT_TRUE(lib.Load(kLibPath));
  EXPECT_EQ(lib.Symbol("_ChannelFrq@8"), nullptr);
  EXPECT_EQ(lib.Symbol(""), nullptr);
}

TEST(DynamicLibraryLoad, MissingLibraryFailsCleanly) {
  DynamicLibrary lib;
  EXPECT_FALSE(lib.Load("NoSuchDriver.DLL"));
  EXPECT_FALSE(lib.IsLoaded());
  EXPECT_FALSE(lib.ErrorText().empty());
  EXPECT_EQ(lib.Symbol("_Initial@16"), nullptr);
}

TEST(DynamicLibraryLoad, NotALibraryFailsCleanly) {
  // A file of the right name that is no shared object must not be loaded.
  char tmpl[] = "/tmp/quelvar-dll-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string path = std::string(tmpl) + "/Broken.DLL";
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("MZ this is not an ELF object", f);
  fclose(f);
  DynamicLibrary lib;
  EXPECT_FALSE(lib.Load(path));
  EXPECT_FALSE(lib.ErrorText().empty());
  unlink(path.c_str());
  rmdir(tmpl);
}

TEST(DynamicLibraryLoad, BareNameIsFoundInCurrentDirectory) {
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(kLibDir.c_str()), 0);
  DynamicLibrary lib;
  const bool loaded = lib.Load("TestDriver.DLL");
  ASSERT_EQ(chdir(old), 0);
  ASSERT_TRUE(loaded) << lib.ErrorText();
  EXPECT_NE(lib.Symbol("_Initial@16"), nullptr);
}

TEST(DynamicLibraryLoad, SearchOrderIsExecutableDirThenCurrentDirThenSystem) {
  const auto c = LibraryCandidates("ADCard.DLL");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0], quelvar::platform::ExecutableDir() + "/ADCard.DLL");
  EXPECT_EQ(c[1], "./ADCard.DLL");
  EXPECT_EQ(c[2], "ADCard.DLL");
  EXPECT_EQ(LibraryCandidates("/opt/x/ADCard.DLL"), std::vector<std::string>{"/opt/x/ADCard.DLL"});
}

TEST(DynamicLibraryLoad, FreeAndMoveLeaveNoDanglingHandle) {
  DynamicLibrary a;
  ASSERT_TRUE(a.Load(kLibPath));
  DynamicLibrary b = std::move(a);
  EXPECT_FALSE(a.IsLoaded());
  EXPECT_TRUE(b.IsLoaded());
  EXPECT_NE(b.Symbol("_Initial@16"), nullptr);
  b.Free();
  EXPECT_FALSE(b.IsLoaded());
  EXPECT_EQ(b.Symbol("_Initial@16"), nullptr);
}

}  // namespace
