// A log library that keeps its calls in memory; the test reaches them through the same handle.
#include <string>
#include <vector>

namespace {
std::vector<std::pair<std::string, int>> calls;
}

extern "C" int Chronicle(const char* text, int category) {
  calls.emplace_back(text != nullptr ? text : "(null)", category);
  return 0;
}

extern "C" int recorded_call_count() { return static_cast<int>(calls.size()); }

extern "C" const char* recorded_text(int index) { return calls.at(static_cast<std::size_t>(index)).first.c_str(); }

extern "C" int recorded_category(int index) { return calls.at(static_cast<std::size_t>(index)).second; }
