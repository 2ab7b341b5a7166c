#pragma once
// The fixed Chinese texts of the protocol, as the GBK bytes that travel on the wire.
#include <string_view>

namespace protocol::gbk {

inline constexpr std::string_view white = "\xB0\xD7\xC9\xAB";                      // 白色
inline constexpr std::string_view black = "\xBA\xDA\xC9\xAB";                      // 黑色
inline constexpr std::string_view yes = "\xD5\xE6";                                 // 真
inline constexpr std::string_view no = "\xBC\xD9";                                  // 假
inline constexpr std::string_view draw = "\xC6\xBD\xBE\xD6";                        // 平局
inline constexpr std::string_view rival_left = "\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA";  // 对手已离开

}  // namespace protocol::gbk
