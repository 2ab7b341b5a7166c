#pragma once
// Reading one key of an INI file.
#include <filesystem>
#include <string>
#include <string_view>

namespace client {

inline constexpr std::size_t max_profile_value = 10239;  // bytes
// Only this much of the file is read: room for every key's longest value many times over.
inline constexpr std::size_t max_profile_bytes = std::size_t{1} << 20;

// The value of `key` in `section`, both matched regardless of ASCII letter case, blanks around it
// removed and cut to max_profile_value bytes; the first occurrence wins. Only "=" separates a key
// from its value. Empty when the file (a regular one, of which the first max_profile_bytes are
// read), the section or the key is missing.
std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key);

// The same, over the text of such a file.
std::string find_profile_string(std::string_view text, std::string_view section, std::string_view key);

}  // namespace client
