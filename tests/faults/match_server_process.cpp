#include "match_server_process.h"
#include <test_support/process_port.h>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <posix/unique_fd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

namespace faults {
namespace fs = std::filesystem;

namespace {

bool bring_loopback_up() {
  const posix::UniqueFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!socket) return false;
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  if (::ioctl(socket.get(), SIOCGIFFLAGS, &request) != 0) return false;
  request.ifr_flags |= IFF_UP;
  return ::ioctl(socket.get(), SIOCSIFFLAGS, &request) == 0;
}

}  // namespace

bool isolate_network() {
  static const bool isolated = ::geteuid() == 0 && ::unshare(CLONE_NEWNET) == 0 && bring_loopback_up();
  return isolated;
}

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

MatchServerProcess::MatchServerProcess(const ServerOptions& options) {
  std::string pattern = (fs::temp_directory_path() / "faults-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  root_ = pattern;
  directory_ = root_ / "server";
  fs::create_directory(directory_);
  fs::create_directory(root_ / "work");
  fs::copy_file(MATCH_SERVER, directory_ / "match_server");
  fs::copy_file(CHRONICLE_LIBRARY, directory_ / "libChronicle.so");
  if (options.prepare) options.prepare(directory_);

  const std::string program = (directory_ / "match_server").string();
  const std::string output = (root_ / "server.out").string();
  const std::string work = (root_ / "work").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (::chdir(work.c_str()) != 0) ::_exit(101);
    if (options.open_files) {
      const rlimit limit{*options.open_files, *options.open_files};
      if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::_exit(103);
    }
    if (options.file_size) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*options.file_size, *options.file_size};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(103);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(102);
  }
  listening_ = wait_for([&] { return test_support::process_listens_on(pid_, server_port); });
}

MatchServerProcess::~MatchServerProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  if (!root_.empty()) fs::remove_all(root_, ignored);
}

bool MatchServerProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

std::string MatchServerProcess::output() const { return read_file(root_ / "server.out"); }

long MatchServerProcess::resident_kib() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

}  // namespace faults
