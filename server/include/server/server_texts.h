#pragma once
// The server's own fixed texts, in GBK.
#include <string_view>

namespace server::texts {

inline constexpr std::string_view received = "\xCA\xD5\xB5\xBD\xB5\xC4\xCA\xFD\xBE\xDD\xA3\xBA";  // 收到的数据：
inline constexpr std::string_view position = " \xCE\xBB\xD6\xC3\xA3\xBA";                          // " 位置："
inline constexpr std::string_view port_changed = "\xB8\xC4\xB1\xE4\xB6\xCB\xBF\xDA\xA3\xBA";        // 改变端口：
inline constexpr std::string_view online_count = "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA";  // 当前在线人数：
inline constexpr std::string_view persons = " \xC8\xCB";                                           // " 人"
inline constexpr std::string_view versus = "   VS   ";
// Closes a log entry cut short: "……（全长 " n " 字节）".
inline constexpr std::string_view cut_note_before = "\xA1\xAD\xA1\xAD\xA3\xA8\xC8\xAB\xB3\xA4 ";
inline constexpr std::string_view cut_note_after = " \xD7\xD6\xBD\xDA\xA3\xA9";

}  // namespace server::texts
