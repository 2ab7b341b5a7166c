#pragma once
// A program started by the suite, ended by the suite: killed on destruction if still running.
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace end_to_end {

class ChildProcess {
 public:
  // Starts `argv[0]` with the suite's environment in `working_dir`; output goes to `log_path`.
  // With `fd3_path`, descriptor 3 of the program is that file, opened for writing.
  ChildProcess(const std::vector<std::string>& argv, const std::string& working_dir,
               const std::string& log_path, const std::string& fd3_path = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // The exit status once the program has ended within `timeout`; nothing if it still runs.
  std::optional<int> wait_for_exit(std::chrono::milliseconds timeout);
  void kill_now();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;  // raw wait status
};

// Runs a shell command and gives its standard output (the exit code in `exit_code` if asked).
std::string run_command(const std::string& command, int* exit_code = nullptr);

}  // namespace end_to_end
