#pragma once
// Reading one key of an INI file.
#include <filesystem>
#include <string>
#include <string_view>

namespace client {

inline constexpr std::size_t max_profile_value = 10239;  // bytes

// The value of `key` in `section`, both matched regardless of ASCII letter case, blanks around it
// removed and cut to max_profile_value bytes; the first occurrence wins. Empty when the file,
// the section or the key is missing.
std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key);

}  // namespace client
