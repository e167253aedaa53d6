#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quelvar::test {

// A pseudo-terminal pair standing in for a serial line: the program opens the
// slave path as its port, the test plays the far end on the master. Waits
// are bounded polls on descriptors, never sleeps.
class PtyPair {
 public:
  // Long enough for a loaded machine; only reached when something is broken.
  static constexpr int kWaitMs = 10000;

  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) return;
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() {
    if (master_ >= 0) close(master_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return master_ >= 0 && !slavePath_.empty(); }
  const std::string& SlavePath() const { return slavePath_; }
  int Master() const { return master_; }

  // Writes everything from the far end; `whileBlocked` runs each time the
  // line is full (the port's side must take bytes for more to fit).
  template <class WhileBlocked>
  bool Send(const std::vector<uint8_t>& bytes, WhileBlocked&& whileBlocked) {
    size_t sent = 0;
    const auto deadline = Deadline();
    while (sent < bytes.size()) {
      const ssize_t n = write(master_, bytes.data() + sent, bytes.size() - sent);
      if (n > 0) {
        sent += static_cast<size_t>(n);
        continue;
      }
      if (std::chrono::steady_clock::now() > deadline) return false;
      whileBlocked();
      pollfd p{master_, POLLOUT, 0};
      poll(&p, 1, 10);
    }
    return true;
  }
  bool Send(const std::vector<uint8_t>& bytes) {
    return Send(bytes, [] {});
  }

  // Exactly `count` bytes from the far end, or fewer when they do not come;
  // `whileWaiting` runs between polls (to pump the port's output).
  template <class WhileWaiting>
  std::vector<uint8_t> Receive(size_t count, WhileWaiting&& whileWaiting) {
    std::vector<uint8_t> got;
    const auto deadline = Deadline();
    uint8_t chunk[4096];
    while (got.size() < count && std::chrono::steady_clock::now() <= deadline) {
      const size_t want = std::min(sizeof chunk, count - got.size());
      const ssize_t n = read(master_, chunk, want);
      if (n > 0) {
        got.insert(got.end(), chunk, chunk + n);
        continue;
      }
      whileWaiting();
      pollfd p{master_, POLLIN, 0};
      poll(&p, 1, 10);
    }
    return got;
  }
  std::vector<uint8_t> Receive(size_t count) {
    return Receive(count, [] {});
  }

  // Whatever the far end has been sent by now, without waiting.
  std::vector<uint8_t> Drain() {
    std::vector<uint8_t> got;
    uint8_t chunk[4096];
    for (ssize_t n; (n = read(master_, chunk, sizeof chunk)) > 0;) got.insert(got.end(), chunk, chunk + n);
    return got;
  }

  static std::chrono::steady_clock::time_point Deadline() {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};

// Points "COM<port>" at `path` for the object's lifetime.
class ComPortPath {
 public:
  ComPortPath(int port, const std::string& path) : name_("QUELVAR_COM" + std::to_string(port)) {
    setenv(name_.c_str(), path.c_str(), 1);
  }
  ~ComPortPath() { unsetenv(name_.c_str()); }
  ComPortPath(const ComPortPath&) = delete;
  ComPortPath& operator=(const ComPortPath&) = delete;

 private:
  std::string name_;
};

}  // namespace quelvar::test
