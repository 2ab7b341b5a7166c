#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace end_to_end {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& working_dir,
                           const std::string& log_path, const std::string& fd3_path) {
  // chdir before spawning keeps this portable to glibc without posix_spawn_file_actions_addchdir.
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_path.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (!fd3_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 3, fd3_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }

  char previous[4096];
  if (!getcwd(previous, sizeof previous) || chdir(working_dir.c_str()) != 0) {
    throw std::runtime_error("cannot enter " + working_dir);
  }
  const int error = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  if (chdir(previous) != 0) throw std::runtime_error("cannot return to the working directory");
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + argv[0]);
}

ChildProcess::~ChildProcess() { kill_now(); }

bool ChildProcess::running() { return !wait_for_exit(std::chrono::milliseconds(0)).has_value(); }

std::optional<int> ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : 128 + WTERMSIG(*status_);
}

void ChildProcess::kill_now() {
  if (pid_ > 0 && !status_) {
    ::kill(pid_, SIGKILL);
    wait_for_exit(std::chrono::seconds(5));
  }
}

std::string run_command(const std::string& command, int* exit_code) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  if (exit_code) *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

}  // namespace end_to_end
