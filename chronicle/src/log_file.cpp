#include "log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace chronicle {

std::string log_path() {
  char exe[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe);
  if (length <= 0 || length == static_cast<ssize_t>(sizeof exe)) return {};
  const std::string path(exe, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash) + "/Log.txt";
}

bool append_entry(const std::string& path, std::string_view entry) {
  if (path.empty()) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // One write normally takes the whole entry; a short write (a full disk) is continued rather
  // than leaving a cut entry behind.
  const char* data = entry.data();
  std::size_t left = entry.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

}  // namespace chronicle
