#pragma once
// Reads a fuzz input as a script: small numbers choose the next step, runs of bytes fill it in.
// Past the end every read gives zero or nothing, so any input is a complete script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool done() const { return pos_ >= size_; }

  std::uint8_t byte() { return done() ? 0 : data_[pos_++]; }

  std::int32_t int16() {
    const std::uint8_t high = byte();
    return static_cast<std::int16_t>(high << 8 | byte());
  }

  // A length byte, then that many bytes.
  std::string text() {
    const std::size_t length = byte();
    return std::string(take(length));
  }

  std::string_view take(std::size_t length) {
    const std::size_t n = std::min(length, size_ - std::min(pos_, size_));
    const std::string_view piece(reinterpret_cast<const char*>(data_) + pos_, n);
    pos_ += n;
    return piece;
  }

  std::string_view rest() { return take(size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace fuzz
