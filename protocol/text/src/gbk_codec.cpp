#include <protocol/gbk_codec.h>

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace protocol {

namespace {

// Converts with iconv, replacing what cannot be converted and going on after it.
// `skip` says how many input bytes a bad sequence at the given position spans.
using SkipLength = std::size_t (*)(std::string_view bad);

std::string convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, SkipLength skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);

  std::string output;
  output.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char buffer[1024];
  while (in_left > 0) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &in_left, &out, &out_left);
    output.append(buffer, out - buffer);
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      const std::size_t bad = std::min(in_left, skip(std::string_view(in, in_left)));
      output += replacement;
      in += bad;
      in_left -= bad;
    }
  }
  iconv_close(cd);
  return output;
}

std::size_t one_byte(std::string_view) { return 1; }

std::size_t utf8_sequence_length(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  // Stop at the first byte that does not continue the sequence.
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= bytes.size() || (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) return i;
  }
  return length;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
  return convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", one_byte);
}

std::string utf8_to_gbk(std::string_view utf8) {
  return convert("GBK", "UTF-8", utf8, "?", utf8_sequence_length);
}

}  // namespace protocol
