#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/FileRegistry.h"

namespace quelvar::platform {
namespace {

// Sets or clears an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RegistryDefaultDir, EnvironmentVariableWinsOverHome) {
  struct Case {
    const char* registryDir;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/srv/quelvar/reg", "/home/op", "/srv/quelvar/reg"},
      {nullptr, "/home/op", "/home/op/.config/quelvar/registry"},
      {"", "/home/op", "/home/op/.config/quelvar/registry"},
  };
  for (const auto& c : cases) {
    ScopedEnv registryDir("QUELVAR_REGISTRY_DIR", c.registryDir);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(DefaultRegistryDir(), c.expected) << (c.registryDir ? c.registryDir : "(unset)");
  }
}

}  // namespace
}  // namespace quelvar::platform
