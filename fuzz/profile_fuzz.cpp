// Reading the client's configuration: the input is the whole file, read for the keys the client
// asks for and for a section and key named by the first bytes.
#include "fuzz_input.h"

#include <client/profile.h>
#include <client/texts.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

// One file per fuzzing process, rewritten for every input and removed at exit.
const std::filesystem::path& config_file() {
  static const std::filesystem::path path = [] {
    std::filesystem::path p = std::filesystem::temp_directory_path() /
                              ("profile_fuzz_" + std::to_string(getpid()) + ".ini");
    std::atexit([] { std::filesystem::remove(config_file()); });
    return p;
  }();
  return path;
}

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void check_value(const std::string& value) {
  require(value.size() <= client::max_profile_value);
  require(value.find('\n') == std::string::npos && value.find('\0') == std::string::npos);
  // A value cut at the size bound may end anywhere.
  if (!value.empty() && value.size() < client::max_profile_value) require(!is_blank(value.front()) && !is_blank(value.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::string section = in.text();
  const std::string key = in.text();
  const std::string_view contents = in.rest();
  {
    std::ofstream out(config_file(), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }
  namespace text = client::text;
  check_value(client::read_profile_string(config_file(), text::config_section, text::address_key));
  check_value(client::read_profile_string(config_file(), text::config_section, text::port_key));
  check_value(client::read_profile_string(config_file(), section, key));
  return 0;
}
