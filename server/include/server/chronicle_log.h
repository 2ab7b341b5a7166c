#pragma once
// The log sink bound to the log library's `Chronicle`, looked up at the first log call and kept
// for every later one. When neither the library nor the function can be found, the handler is
// told once with a GBK message that names both; the production handler shows it and exits.
#include <server/seams.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

inline constexpr std::string_view chronicle_library = "libChronicle.so";
inline constexpr std::string_view chronicle_function = "Chronicle";

class ChronicleLog : public LogSink {
 public:
  using MissingHandler = std::function<void(std::string_view gbk_message)>;

  // The library beside the running program first, then the system's library search path.
  static std::vector<std::string> default_candidates();
  static std::string missing_message();

  ChronicleLog(std::vector<std::string> candidates, MissingHandler on_missing);

  void log(std::string_view text, int category) override;

 private:
  using Function = int (*)(const char*, int);
  enum class State { unbound, bound, missing };

  void bind();

  std::vector<std::string> candidates_;
  MissingHandler on_missing_;
  State state_ = State::unbound;
  Function function_ = nullptr;
};

// The directory that holds the running program's executable, without a trailing separator.
std::string run_directory();

}  // namespace server
