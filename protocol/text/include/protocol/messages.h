#pragma once
// The six messages of the game, and how a delivery of bytes becomes messages and fields.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

namespace verb {
inline constexpr std::string_view ready = "NC";       // client -> server
inline constexpr std::string_view move = "XQ";        // client -> server
inline constexpr std::string_view game_over = "JS";   // client -> server
inline constexpr std::string_view start = "ST";       // server -> client
inline constexpr std::string_view rival_move = "DSXQ";  // server -> client
inline constexpr std::string_view rival_left = "DSLK";  // server -> client
}  // namespace verb

inline constexpr std::string_view ready_mark = "OK";

std::string make_ready(std::string_view nickname);                   // "NC:" nickname ":OK"
std::string make_move(std::int32_t x, std::int32_t y);               // "XQ:" x ":" y
std::string make_game_over(std::string_view winner_or_draw);         // "JS:" colour|平局 ":真"
std::string make_start(bool moves_first);                            // "ST:白色:真" | "ST:黑色:假"
std::string make_rival_move(std::string_view x, std::string_view y); // "DSXQ:" x ":" y
std::string make_rival_left();                                       // "DSLK:对手已离开"

using Fields = std::vector<std::string>;

// Fields of one message: split at ":"; field 0 is the verb.
Fields fields_of(std::string_view message);

enum class Receiver { server, client };

// Cuts one delivery into the messages it holds. The delivery is first read as a text (up to its
// first zero byte). A cut falls only on a character boundary where a verb this receiver knows
// starts, followed by ":" or the end, and only with a complete message on both sides: the text
// before it (from the previous cut) and the text from it to the end each start with a known
// verb and hold the fields that verb reads. The pieces joined give the text back; the empty text
// gives one empty message. Time and memory are linear in the length of the delivery.
std::vector<std::string> cut_delivery(std::string_view delivery, Receiver receiver);

// "DSXQ:" x ":" y for relaying the fields x and y of a move (texts without ":"), with y ended
// before the first place where one of the client's verbs starts, so that the receiving client
// never cuts a message of its own out of it. The client reads the same numbers, since it reads
// only leading digits; an honest move comes out as make_rival_move byte for byte.
std::string make_relayed_move(std::string_view x, std::string_view y);

}  // namespace protocol
