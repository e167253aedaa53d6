#include "LastError.h"

#include <atomic>

namespace simcard {

namespace {
std::atomic<int32_t> lastError{kErrNone};
}

void SetLastError(int32_t code) { lastError.store(code); }

int32_t LastError() { return lastError.load(); }

int32_t Fail(int32_t code) {
  SetLastError(code);
  return 0;
}

}  // namespace simcard
