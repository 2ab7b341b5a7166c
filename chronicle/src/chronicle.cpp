// The library's one exported function; everything else in it is hidden.
#include <ctime>
#include <string_view>

#include "entry.h"
#include "log_file.h"

extern "C" __attribute__((visibility("default"))) int Chronicle(const char* text, int category) {
  try {
    const std::string_view message = text != nullptr ? std::string_view(text) : std::string_view();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return 0;
    chronicle::append_entry(chronicle::host_directory(),
                            chronicle::format_entry(message, category, local));
  } catch (...) {
    // Out of memory: the entry is dropped like any other failure; nothing crosses the C boundary.
  }
  return 0;
}
