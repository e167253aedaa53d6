#include "Env.h"

#include <cerrno>
#include <cstdlib>

namespace simcard {

std::optional<int64_t> EnvInteger(const char* name, int64_t lo, int64_t hi) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < lo || value > hi) return std::nullopt;
  return value;
}

int64_t EnvIntegerOr(const char* name, int64_t fallback, int64_t lo, int64_t hi) {
  return EnvInteger(name, lo, hi).value_or(fallback);
}

bool EnvFlag(const char* name) { return EnvInteger(name, INT64_MIN, INT64_MAX).value_or(0) != 0; }

std::string EnvText(const char* name, std::string_view fallback) {
  const char* text = std::getenv(name);
  return text == nullptr ? std::string(fallback) : std::string(text);
}

}  // namespace simcard
