#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>

#include <array>
#include <span>

namespace protocol {

namespace {

std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

struct KnownVerb {
  std::string_view verb;
  std::size_t fields_read;  // verb included
};

constexpr std::array<KnownVerb, 3> server_verbs{{
    {verb::ready, 3}, {verb::move, 3}, {verb::game_over, 3}}};
constexpr std::array<KnownVerb, 3> client_verbs{{
    {verb::start, 2}, {verb::rival_move, 3}, {verb::rival_left, 1}}};

std::span<const KnownVerb> verbs_of(Receiver receiver) {
  return receiver == Receiver::server ? std::span<const KnownVerb>(server_verbs)
                                      : std::span<const KnownVerb>(client_verbs);
}

// The known verb that starts `rest` as a whole field (followed by ":" or the end), if any.
bool starts_with_verb(std::string_view rest, std::span<const KnownVerb> verbs) {
  for (const KnownVerb& known : verbs) {
    if (rest.starts_with(known.verb) &&
        (rest.size() == known.verb.size() || rest[known.verb.size()] == ':')) {
      return true;
    }
  }
  return false;
}

// True when `message` is a message of a known verb holding every field that verb reads.
bool is_complete(std::string_view message, std::span<const KnownVerb> verbs) {
  const Fields fields = fields_of(message);
  if (fields.empty()) return false;
  for (const KnownVerb& known : verbs) {
    if (fields[0] == known.verb) return fields.size() >= known.fields_read;
  }
  return false;
}

}  // namespace

std::string make_ready(std::string_view nickname) {
  return joined({verb::ready, ":", nickname, ":", ready_mark});
}

std::string make_move(std::int32_t x, std::int32_t y) {
  return joined({verb::move, ":", int_to_text(x), ":", int_to_text(y)});
}

std::string make_game_over(std::string_view winner_or_draw) {
  return joined({verb::game_over, ":", winner_or_draw, ":", gbk::yes});
}

std::string make_start(bool moves_first) {
  return moves_first ? joined({verb::start, ":", gbk::white, ":", gbk::yes})
                     : joined({verb::start, ":", gbk::black, ":", gbk::no});
}

std::string make_rival_move(std::string_view x, std::string_view y) {
  return joined({verb::rival_move, ":", x, ":", y});
}

std::string make_rival_left() { return joined({verb::rival_left, ":", gbk::rival_left}); }

Fields fields_of(std::string_view message) { return split_text(message, ":"); }

std::vector<std::string> cut_delivery(std::string_view delivery, Receiver receiver) {
  const std::string text = bytes_to_text(delivery);
  const std::span<const KnownVerb> verbs = verbs_of(receiver);
  const std::string_view all(text);

  std::vector<std::string> messages;
  std::size_t start = 0;
  for (std::size_t p = 0; p < all.size(); p += gbk_char_length(all, p)) {
    if (p > start && starts_with_verb(all.substr(p), verbs) &&
        is_complete(all.substr(start, p - start), verbs)) {
      messages.emplace_back(all.substr(start, p - start));
      start = p;
    }
  }
  messages.emplace_back(all.substr(start));
  return messages;
}

}  // namespace protocol
