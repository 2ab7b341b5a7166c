#pragma once
// The one place where GBK meets Unicode: the windows show UTF-8, the core keeps GBK bytes.
#include <string>
#include <string_view>

namespace protocol {

// Undecodable bytes become U+FFFD; characters GBK lacks become "?".
std::string gbk_to_utf8(std::string_view gbk);
std::string utf8_to_gbk(std::string_view utf8);

}  // namespace protocol
