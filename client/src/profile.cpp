#include <client/profile.h>

#include <ini.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace client {

namespace {

bool same_ignoring_case(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) {
    return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
  });
}

struct Lookup {
  std::string_view section;
  std::string_view key;
  std::optional<std::string> value;
};

int on_entry(void* user, const char* section, const char* name, const char* value) {
  auto& lookup = *static_cast<Lookup*>(user);
  if (!lookup.value && same_ignoring_case(section, lookup.section) && same_ignoring_case(name, lookup.key)) {
    lookup.value = std::string(value, std::min(std::strlen(value), max_profile_value));
  }
  return 1;
}

// The parser's stock settings cut lines at 200 bytes, strip text after ";" and join indented
// lines to the value before; a configuration value is none of that. Debian's build exposes these
// settings at run time.
void configure_parser() {
  ini_use_stack = false;
  ini_allow_realloc = true;
  ini_max_line = 1 << 30;  // the buffer only grows as far as the longest line needs
  ini_allow_inline_comments = false;
  ini_allow_multiline = false;
  ini_stop_on_first_error = false;
}

}  // namespace

std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key) {
  configure_parser();
  Lookup lookup{section, key, std::nullopt};
  ini_parse(file.c_str(), &on_entry, &lookup);
  return lookup.value.value_or(std::string());
}

}  // namespace client
