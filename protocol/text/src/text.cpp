#include <protocol/text.h>

#include <cstring>

namespace protocol {

std::string bytes_to_text(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::size_t gbk_char_length(std::string_view text, std::size_t pos) {
  const bool lead = static_cast<unsigned char>(text[pos]) >= 0x80;
  return lead && pos + 1 < text.size() ? 2 : 1;
}

std::vector<std::string> split_text(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {std::string(text)};

  std::size_t piece_start = 0;
  std::size_t p = 0;
  while (text.size() - p >= separator.size()) {
    if (text.compare(p, separator.size(), separator) == 0) {
      pieces.emplace_back(text.substr(piece_start, p - piece_start));
      p += separator.size();
      piece_start = p;
    } else if (static_cast<unsigned char>(text[p]) >= 0x80) {
      if (p + 1 >= text.size()) break;  // a lead byte with nothing after it ends the scan
      p += 2;
    } else {
      p += 1;
    }
  }
  if (piece_start < text.size()) pieces.emplace_back(text.substr(piece_start));
  return pieces;
}

namespace {

// Full-width ASCII forms (A3 A1..A3 FE) and the ideographic space (A1 A1) become plain ASCII.
std::string fold_full_width(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t p = 0; p < text.size();) {
    const auto lead = static_cast<unsigned char>(text[p]);
    if (lead >= 0x80 && p + 1 < text.size()) {
      const auto trail = static_cast<unsigned char>(text[p + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        folded += static_cast<char>(trail - 0x80);
      } else if (lead == 0xA1 && trail == 0xA1) {
        folded += ' ';
      } else {
        folded.append(text.substr(p, 2));
      }
      p += 2;
    } else {
      folded += text[p];
      p += 1;
    }
  }
  return folded;
}

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::int32_t text_to_int(std::string_view text) {
  const std::string folded = fold_full_width(text);
  std::size_t p = 0;
  while (p < folded.size() && is_blank(folded[p])) ++p;
  bool negative = false;
  if (p < folded.size() && (folded[p] == '+' || folded[p] == '-')) {
    negative = folded[p] == '-';
    ++p;
  }
  // Unsigned arithmetic wraps exactly as the 32-bit accumulation is meant to.
  std::uint32_t value = 0;
  for (; p < folded.size() && folded[p] >= '0' && folded[p] <= '9'; ++p) {
    value = value * 10u + static_cast<std::uint32_t>(folded[p] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::string int_to_text(std::int32_t n) { return std::to_string(n); }

}  // namespace protocol
