#pragma once

// The block compressor as it was first written: a plain descent of the match
// tree from its root for every position, comparing whole strings from their
// first byte, and a bit writer that stores one bit at a time (little-endian
// hosts only, as the program). Kept as the reference that the
// faster compressor must equal byte for byte (tests) and beat (bench/).

#include <array>
#include <bit>
#include <cstring>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quelvar::test {

class ReferenceLzssCompressor {
 public:
  // Compresses length bytes; the window carries over from call to call.
  std::vector<uint8_t> Compress(const uint8_t* data, size_t length) {
    out_.clear();
    rack_ = 0;
    mask_ = 0x80;
    size_t next = 0;
    int32_t lookAhead = 0;
    while (lookAhead < kLookAhead && next < length) {
      Put(1 + lookAhead, data[next++]);
      ++lookAhead;
    }
    int32_t current = 1;
    nodes_->fill(Node{});
    At(kRoot).larger = current;
    At(current) = Node{kRoot, 0, 0};
    int32_t matchLength = 0;
    int32_t matchPosition = 0;
    while (lookAhead > 0) {
      if (matchLength > lookAhead) matchLength = lookAhead;
      int32_t replaceCount = 1;
      if (matchLength < 3) {
        WriteBits(1, 1);
        WriteBits(window_[static_cast<size_t>(current)], 8);
      } else {
        WriteBits(0, 1);
        WriteBits(static_cast<uint32_t>(matchPosition), 12);
        WriteBits(static_cast<uint32_t>(matchLength - 3), 8);
        replaceCount = matchLength;
      }
      for (int32_t i = 0; i < replaceCount; ++i) {
        const int32_t incoming = (current + kLookAhead) & (kWindow - 1);
        Delete(incoming);
        if (next < length) {
          Put(incoming, data[next++]);
        } else {
          --lookAhead;
        }
        current = (current + 1) & (kWindow - 1);
        if (lookAhead != 0) matchLength = Add(current, matchPosition);
      }
    }
    WriteBits(0, 13);
    if (mask_ != 0x80) out_.push_back(rack_);
    return out_;
  }

 private:
  static constexpr int32_t kWindow = 4096;
  static constexpr int32_t kLookAhead = 258;
  static constexpr int32_t kRoot = kWindow;
  struct Node {
    int32_t parent = 0;
    int32_t smaller = 0;
    int32_t larger = 0;
  };

  void Put(int32_t position, uint8_t value) {
    window_[static_cast<size_t>(position)] = value;
    if (position < kLookAhead) window_[static_cast<size_t>(position + kWindow)] = value;
  }
  void WriteBits(uint32_t value, int count) {
    for (int bit = count - 1; bit >= 0; --bit) {
      if (((value >> bit) & 1u) != 0) rack_ |= mask_;
      mask_ >>= 1;
      if (mask_ == 0) {
        out_.push_back(rack_);
        rack_ = 0;
        mask_ = 0x80;
      }
    }
  }
  // Eight bytes at a time from the start, as the routine had it.
  static int32_t EqualLength(const uint8_t* a, const uint8_t* b, int& delta) {
    int32_t i = 0;
    for (; i + 8 <= kLookAhead; i += 8) {
      uint64_t x = 0;
      uint64_t y = 0;
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) {
        i += std::countr_zero(x ^ y) / 8;
        delta = a[i] - b[i];
        return i;
      }
    }
    for (; i < kLookAhead; ++i) {
      if (a[i] != b[i]) {
        delta = a[i] - b[i];
        return i;
      }
    }
    delta = 0;
    return i;
  }
  Node& At(int32_t n) { return (*nodes_)[static_cast<size_t>(n)]; }
  void SetParent(int32_t n, int32_t parent) {
    if (n != 0) At(n).parent = parent;
  }
  int32_t Add(int32_t position, int32_t& matchPosition) {
    if (position == 0) return 0;
    int32_t test = At(kRoot).larger;
    int32_t best = 0;
    for (;;) {
      int delta = 0;
      const int32_t equal = EqualLength(window_.data() + position, window_.data() + test, delta);
      if (equal >= best) {
        best = equal;
        matchPosition = test;
        if (best >= kLookAhead) {
          Replace(test, position);
          return best;
        }
      }
      int32_t& child = delta >= 0 ? At(test).larger : At(test).smaller;
      if (child == 0) {
        child = position;
        At(position) = Node{test, 0, 0};
        return best;
      }
      test = child;
    }
  }
  void Delete(int32_t p) {
    if (At(p).parent == 0) return;
    if (At(p).larger == 0) {
      Contract(p, At(p).smaller);
    } else if (At(p).smaller == 0) {
      Contract(p, At(p).larger);
    } else {
      int32_t q = At(p).smaller;
      while (At(q).larger != 0) q = At(q).larger;
      Delete(q);
      Replace(p, q);
    }
  }
  void Contract(int32_t oldNode, int32_t newNode) {
    const int32_t parent = At(oldNode).parent;
    SetParent(newNode, parent);
    if (At(parent).larger == oldNode) {
      At(parent).larger = newNode;
    } else {
      At(parent).smaller = newNode;
    }
    At(oldNode).parent = 0;
  }
  void Replace(int32_t oldNode, int32_t newNode) {
    const int32_t parent = At(oldNode).parent;
    if (At(parent).smaller == oldNode) {
      At(parent).smaller = newNode;
    } else {
      At(parent).larger = newNode;
    }
    At(newNode) = At(oldNode);
    SetParent(At(newNode).smaller, newNode);
    SetParent(At(newNode).larger, newNode);
    At(oldNode).parent = 0;
  }

  std::array<uint8_t, kWindow + kLookAhead> window_{};
  std::unique_ptr<std::array<Node, kWindow + 1>> nodes_ = std::make_unique<std::array<Node, kWindow + 1>>();
  std::vector<uint8_t> out_;
  uint8_t rack_ = 0;
  uint8_t mask_ = 0x80;
};

}  // namespace quelvar::test
