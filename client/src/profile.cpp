#include <client/profile.h>

#include <client/files.h>

#include <algorithm>
#include <optional>

namespace client {

namespace {

bool same_ignoring_case(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) {
    return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
  });
}

constexpr std::string_view blanks = " \t\r\n\v\f";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The value of the first "key = value" line of the section; a line is a section header
// ("[name]"), a comment (";" or "#" first), a key line (split at its first "=", and only "=") or
// ignored. Nothing inside a value is a comment and no line continues another.
std::optional<std::string_view> find_value(std::string_view text, std::string_view section,
                                           std::string_view key) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  bool in_section = section.empty();
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      if (close != std::string_view::npos) in_section = same_ignoring_case(line.substr(1, close - 1), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_section || equals == std::string_view::npos) continue;
    if (same_ignoring_case(trimmed(line.substr(0, equals)), key)) return trimmed(line.substr(equals + 1));
  }
  return std::nullopt;
}

}  // namespace

std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key) {
  return find_profile_string(read_file_start(file, max_profile_bytes), section, key);
}

std::string find_profile_string(std::string_view text, std::string_view section, std::string_view key) {
  std::string_view value = find_value(text, section, key).value_or(std::string_view());
  // A text ends at its first zero byte.
  value = trimmed(value.substr(0, value.find('\0')));
  return std::string(value.substr(0, max_profile_value));
}

}  // namespace client
