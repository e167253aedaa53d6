#pragma once

// Shared by the fuzz targets and the seed writer: the configuration the seeds
// are written with, and a scratch file for parsers that take a path.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "common/GrayTables.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar::fuzz {

// A small configuration with every table kind in use: two lines of analog
// channels (one sampled at twice the rate), switch inputs, algorithms and a
// schedule. Seeds are written with it; the replay target runs with it, since
// a replayed file must match the configuration in force.
LiveConfig SeedConfig();

// The Gray tables, filled once, as the program fills them at start-up.
const GrayTables& Gray();

// The layout a start computes for a configuration taken from outside: the
// consumer every parsed configuration reaches first.
SampleLayout TakeConfig(LiveConfig& live);

// A configuration taken from outside goes on to the start preparation of
// both runs (recorder and oscilloscope) when its buffers are small enough
// for a fuzzing process; larger ones are left to the preparation's own
// allocation limit, which is far above what a fuzzer may take.
void PrepareRuns(const LiveConfig& live);

// One file per process and target, rewritten with each input, for parsers
// that only read paths. Removed when the process ends normally.
class ScratchFile {
 public:
  explicit ScratchFile(const char* name);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's contents; aborts when it cannot, since every later
  // verdict would be about a stale file.
  const std::string& Write(const uint8_t* data, size_t size);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Takes bytes off the front of an input: small choices first, the rest as data.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  std::span<const uint8_t> Take(size_t n) {
    if (n > size_) n = size_;
    std::span<const uint8_t> out(data_, n);
    data_ += n;
    size_ -= n;
    return out;
  }
  std::span<const uint8_t> Rest() { return Take(size_); }
  bool Empty() const { return size_ == 0; }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace quelvar::fuzz
