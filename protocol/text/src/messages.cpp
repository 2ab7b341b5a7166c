#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>

#include <algorithm>
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
const KnownVerb* verb_starting(std::string_view rest, std::span<const KnownVerb> verbs) {
  for (const KnownVerb& known : verbs) {
    if (rest.starts_with(known.verb) &&
        (rest.size() == known.verb.size() || rest[known.verb.size()] == ':')) {
      return &known;
    }
  }
  return nullptr;
}

// The known verb that is exactly `field`, if any.
const KnownVerb* verb_named(std::string_view field, std::span<const KnownVerb> verbs) {
  for (const KnownVerb& known : verbs) {
    if (field == known.verb) return &known;
  }
  return nullptr;
}

// Fields that split_text finds in a non-empty text holding `separators` separators: one per
// separator, plus the tail after the last one unless the text ends with it.
std::size_t field_count(std::size_t separators, bool ends_with_separator) {
  return separators + (ends_with_separator ? 0 : 1);
}

bool holds_its_fields(const KnownVerb* verb, std::size_t fields) {
  return verb != nullptr && fields >= verb->fields_read;
}

// Where the cuts of `text` fall, in order. A cut at p needs a known verb starting there, the
// message before p (from the previous cut) holding the fields its verb reads, and the text
// from p to the end holding the fields the verb at p reads. One scan keeps the separator
// counts of the message being built; those of the text after p follow from the totals, so no
// part of the text is split twice.
std::vector<std::size_t> cut_positions(std::string_view text, std::span<const KnownVerb> verbs) {
  std::size_t total_separators = 0;
  std::size_t last_separator = 0;
  for (std::size_t p = 0; p < text.size(); p += gbk_char_length(text, p)) {
    if (text[p] == ':') ++total_separators, last_separator = p;
  }
  const bool text_ends_with_separator = total_separators > 0 && last_separator + 1 == text.size();

  std::vector<std::size_t> cuts;
  std::size_t start = 0;              // of the message being built
  std::size_t separators_before = 0;  // in the whole text, before p
  std::size_t message_separators = 0;
  std::size_t message_first_separator = 0;
  std::size_t message_last_separator = 0;
  for (std::size_t p = 0; p < text.size(); p += gbk_char_length(text, p)) {
    const KnownVerb* next = p > start ? verb_starting(text.substr(p), verbs) : nullptr;
    if (next != nullptr) {
      const std::size_t verb_end = message_separators > 0 ? message_first_separator : p;
      const KnownVerb* current = verb_named(text.substr(start, verb_end - start), verbs);
      const bool before_complete = holds_its_fields(
          current, field_count(message_separators,
                               message_separators > 0 && message_last_separator + 1 == p));
      const std::size_t separators_after = total_separators - separators_before;
      const bool after_complete = holds_its_fields(
          next, field_count(separators_after, separators_after > 0 && text_ends_with_separator));
      if (before_complete && after_complete) {
        cuts.push_back(p);
        start = p;
        message_separators = 0;
      }
    }
    if (text[p] == ':') {
      if (message_separators == 0) message_first_separator = p;
      ++message_separators;
      message_last_separator = p;
      ++separators_before;
    }
  }
  return cuts;
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
  const std::string_view text = delivery.substr(0, delivery.find('\0'));
  std::vector<std::string> messages;
  std::size_t start = 0;
  for (std::size_t cut : cut_positions(text, verbs_of(receiver))) {
    messages.emplace_back(text.substr(start, cut - start));
    start = cut;
  }
  messages.emplace_back(text.substr(start));
  return messages;
}

std::string make_relayed_move(std::string_view x, std::string_view y) {
  // A cut needs a verb where the message would be cut, and with fields free of separators the
  // only place a verb could start is inside y. Ending y before the first verb of the client,
  // whole field or not, leaves nothing to cut; the leading digits are all before it.
  std::size_t end = 0;
  while (end < y.size()) {
    const std::string_view rest = y.substr(end);
    const bool verb_here = std::ranges::any_of(
        client_verbs, [rest](const KnownVerb& known) { return rest.starts_with(known.verb); });
    if (verb_here) break;
    end += gbk_char_length(y, end);
  }
  return make_rival_move(x, y.substr(0, end));
}

}  // namespace protocol
