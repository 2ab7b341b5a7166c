// The text helpers and the cutting of a delivery into messages.
// Input: a receiver byte, a separator (length byte + bytes), then the delivery.
#include "fuzz_input.h"

#include <protocol/gbk_codec.h>
#include <protocol/messages.h>
#include <protocol/text.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

std::string joined(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) text += separator;
    text += pieces[i];
  }
  return text;
}

void check_split(std::string_view text, std::string_view separator) {
  const std::vector<std::string> pieces = protocol::split_text(text, separator);
  if (text.empty()) return require(pieces.empty());
  if (separator.empty()) return require(pieces.size() == 1 && pieces[0] == text);
  // Cuts fall only on separators, and only a trailing one is dropped.
  const std::string back = joined(pieces, separator);
  require(back == text || back + std::string(separator) == text);
}

void check_cut(std::string_view delivery, protocol::Receiver receiver) {
  const std::vector<std::string> messages = protocol::cut_delivery(delivery, receiver);
  require(!messages.empty());
  std::string rejoined;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i + 1 < messages.size()) require(!messages[i].empty());
    rejoined += messages[i];
  }
  require(rejoined == protocol::bytes_to_text(delivery));
  for (const std::string& message : messages) {
    require(protocol::fields_of(message) == protocol::split_text(message, ":"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto receiver = in.byte() % 2 == 0 ? protocol::Receiver::server : protocol::Receiver::client;
  const std::string separator = in.text();
  const std::string_view delivery = in.rest();

  check_cut(delivery, receiver);
  const std::string text = protocol::bytes_to_text(delivery);
  require(text.find('\0') == std::string::npos && text.size() <= delivery.size());
  check_split(text, separator);
  check_split(text, ":");
  for (std::size_t p = 0; p < text.size(); p += protocol::gbk_char_length(text, p)) {
    const std::size_t length = protocol::gbk_char_length(text, p);
    require(length == 1 || length == 2);
  }

  const std::int32_t n = protocol::text_to_int(text);
  require(protocol::text_to_int(protocol::int_to_text(n)) == n);
  (void)protocol::gbk_to_utf8(text);
  (void)protocol::utf8_to_gbk(text);
  return 0;
}
