#pragma once
// The built match_server, run headless from a temporary directory of its own beside its log
// library, for scenarios that attack it from loopback.
#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace faults {

using namespace std::chrono_literals;

inline constexpr std::uint16_t server_port = 19730;

// Gives this test process a network namespace of its own with loopback up, so that the
// server's fixed port is free whatever else runs on the machine. False where that is not
// permitted (not root); callers then need the machine's port 19730 to be free.
bool isolate_network();

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

struct ServerOptions {
  std::optional<rlim_t> open_files;  // RLIMIT_NOFILE of the server
  std::optional<rlim_t> file_size;   // RLIMIT_FSIZE of the server (SIGXFSZ ignored)
  // Called with the server's directory before it starts, e.g. to put something at Log.txt.
  std::function<void(const std::filesystem::path&)> prepare;
};

class MatchServerProcess {
 public:
  explicit MatchServerProcess(const ServerOptions& options = {});
  ~MatchServerProcess();
  MatchServerProcess(const MatchServerProcess&) = delete;
  MatchServerProcess& operator=(const MatchServerProcess&) = delete;

  bool listening() const { return listening_; }
  bool running();
  pid_t pid() const { return pid_; }
  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path log_path() const { return directory_ / "Log.txt"; }
  std::string output() const;

  // Resident memory in KiB, from /proc; 0 when the process is gone.
  long resident_kib() const;

 private:
  std::filesystem::path root_, directory_;
  pid_t pid_ = -1;
  bool listening_ = false;
};

std::string read_file(const std::filesystem::path& path);

}  // namespace faults
