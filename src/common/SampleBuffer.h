#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/ReadOnlyFile.h"

namespace quelvar {

// The words of a record held for review: owned in memory, or a private view
// of a record file's samples, read from the file only where they are looked
// at (a long record shows its first screen without being read whole). Either
// way the words are this process's own: writing them never changes the
// file. Growing or resizing a viewed buffer first copies it into memory.
class SampleBuffer {
 public:
  using value_type = uint16_t;
  using iterator = uint16_t*;
  using const_iterator = const uint16_t*;

  SampleBuffer() = default;
  SampleBuffer(std::vector<uint16_t> words) : owned_(std::move(words)) {}  // NOLINT: a vector is a buffer
  explicit SampleBuffer(std::unique_ptr<platform::PrivateFileView> view) : view_(std::move(view)) {}
  SampleBuffer(const SampleBuffer& other) : owned_(other.begin(), other.end()) {}
  SampleBuffer& operator=(const SampleBuffer& other) {
    if (this != &other) {
      SampleBuffer copy(other);
      swap(copy);
    }
    return *this;
  }
  SampleBuffer(SampleBuffer&&) noexcept = default;
  SampleBuffer& operator=(SampleBuffer&&) noexcept = default;
  SampleBuffer& operator=(std::vector<uint16_t>&& words) {
    view_.reset();
    owned_ = std::move(words);
    return *this;
  }

  uint16_t* data() { return view_ ? reinterpret_cast<uint16_t*>(view_->Data()) : owned_.data(); }
  const uint16_t* data() const { return view_ ? reinterpret_cast<const uint16_t*>(view_->Data()) : owned_.data(); }
  size_t size() const { return view_ ? view_->Size() / sizeof(uint16_t) : owned_.size(); }
  bool empty() const { return size() == 0; }
  uint16_t& operator[](size_t i) { return data()[i]; }
  const uint16_t& operator[](size_t i) const { return data()[i]; }
  uint16_t* begin() { return data(); }
  uint16_t* end() { return data() + size(); }
  const uint16_t* begin() const { return data(); }
  const uint16_t* end() const { return data() + size(); }
  uint16_t& front() { return data()[0]; }
  const uint16_t& front() const { return data()[0]; }
  uint16_t& back() { return data()[size() - 1]; }
  const uint16_t& back() const { return data()[size() - 1]; }

  // A copy of the words, for code that keeps them as a vector.
  operator std::vector<uint16_t>() const { return std::vector<uint16_t>(begin(), end()); }  // NOLINT
  friend bool operator==(const SampleBuffer& a, const SampleBuffer& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }
  friend bool operator==(const SampleBuffer& a, const std::vector<uint16_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

  void assign(size_t words, uint16_t value) {
    view_.reset();
    owned_.assign(words, value);
  }
  template <typename It>
  void assign(It first, It last) {
    std::vector<uint16_t> words(first, last);  // may read this buffer's own words
    view_.reset();
    owned_ = std::move(words);
  }
  void push_back(uint16_t word) {
    Own();
    owned_.push_back(word);
  }
  void resize(size_t words) {
    Own();
    owned_.resize(words);
  }
  void clear() {
    view_.reset();
    owned_.clear();
  }
  void swap(SampleBuffer& other) noexcept {
    owned_.swap(other.owned_);
    view_.swap(other.view_);
  }
  // The words are a view of a file (not yet copied into memory).
  bool IsFileView() const { return view_ != nullptr; }

 private:
  void Own() {
    if (!view_) return;
    owned_.assign(begin(), end());
    view_.reset();
  }

  std::vector<uint16_t> owned_;
  std::unique_ptr<platform::PrivateFileView> view_;
};

}  // namespace quelvar
