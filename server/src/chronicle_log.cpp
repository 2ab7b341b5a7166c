#include <server/chronicle_log.h>

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace server {

std::string run_directory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.parent_path().string();
}

std::vector<std::string> ChronicleLog::default_candidates() {
  return {run_directory() + "/" + std::string(chronicle_library), std::string(chronicle_library)};
}

std::string ChronicleLog::missing_message() {
  // 找不到日志库 libChronicle.so 或其中的函数 Chronicle，程序将退出。
  return "\xD5\xD2\xB2\xBB\xB5\xBD\xC8\xD5\xD6\xBE\xBF\xE2 " + std::string(chronicle_library) +
         " \xBB\xF2\xC6\xE4\xD6\xD0\xB5\xC4\xBA\xAF\xCA\xFD " + std::string(chronicle_function) +
         "\xA3\xAC\xB3\xCC\xD0\xF2\xBD\xAB\xCD\xCB\xB3\xF6\xA1\xA3";
}

ChronicleLog::ChronicleLog(std::vector<std::string> candidates, MissingHandler on_missing)
    : candidates_(std::move(candidates)), on_missing_(std::move(on_missing)) {}

void ChronicleLog::log(std::string_view text, int category) {
  if (state_ == State::unbound) bind();
  if (state_ != State::bound) return;
  const std::string copy(text);  // zero-terminated for the C function
  function_(copy.c_str(), category);
}

// The first candidate that loads is the library; it stays loaded until the program ends.
void ChronicleLog::bind() {
  for (const std::string& candidate : candidates_) {
    void* library = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) continue;
    function_ = reinterpret_cast<Function>(::dlsym(library, std::string(chronicle_function).c_str()));
    break;
  }
  // Marked before the handler runs: a handler that waits in a message box may see more log
  // calls, and those are dropped instead of asking again.
  state_ = function_ != nullptr ? State::bound : State::missing;
  if (state_ == State::missing && on_missing_) on_missing_(missing_message());
}

}  // namespace server
