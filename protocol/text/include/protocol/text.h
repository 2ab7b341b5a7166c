#pragma once
// Texts are GBK byte strings without zero bytes; an absent text and the empty text are the same.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

// The bytes up to, not including, the first zero byte.
std::string bytes_to_text(std::string_view bytes);

// Pieces between separators. GBK double-byte characters are stepped over whole, the empty text
// has no pieces, and a trailing separator adds no empty last piece.
std::vector<std::string> split_text(std::string_view text, std::string_view separator);

// Full-width digits, signs and the ideographic space fold to ASCII; then leading white space,
// an optional sign and decimal digits, accumulated with 32-bit wrap-around. No digits give 0.
std::int32_t text_to_int(std::string_view text);

std::string int_to_text(std::int32_t n);

// Length in bytes of the GBK character that starts at `pos` (1 or 2; 1 at a truncated tail).
std::size_t gbk_char_length(std::string_view text, std::size_t pos);

}  // namespace protocol
