#include "log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <posix/run_directory.h>

#include <cerrno>

namespace chronicle {
namespace {

constexpr const char* log_name = "Log.txt";

ssize_t write_once(int fd, std::string_view bytes) {
  ssize_t written;
  do written = ::write(fd, bytes.data(), bytes.size());
  while (written < 0 && errno == EINTR);
  return written;
}

// A short write means the disk is full or the file-size limit was reached. With O_APPEND our
// bytes went to the end, so the descriptor's offset is right behind them: if the file still
// ends there, it is cut back to where they began and the log holds whole entries only. Another
// process appending between the write and the cut would lose its bytes with ours; the server is
// the only writer in practice, and the window is a few system calls on a full disk.
void take_back(int fd, ssize_t written) {
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  struct stat status {};
  if (end < written || ::fstat(fd, &status) != 0 || status.st_size != end) return;
  (void)::ftruncate(fd, end - written);
}

}  // namespace

posix::UniqueFd open_directory(const std::filesystem::path& path) {
  if (path.empty()) return posix::UniqueFd();
  return posix::UniqueFd(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// Resolving /proc/self/exe for every entry cost the server a fifth of its time. The handle is
// the one thing the library keeps between calls: it holds no file open, no buffer and nothing
// of any entry, so every call still opens, appends and closes Log.txt. Through the handle the
// entries stay beside the executable even when its directory is renamed while the host runs.
int host_directory() {
  static posix::UniqueFd directory;
  if (!directory) directory = open_directory(posix::run_directory());
  return directory.get();
}

bool append_entry(int directory, std::string_view entry) {
  if (directory < 0) return false;
  // O_NONBLOCK: a FIFO without a reader fails at once instead of holding the host; one with a
  // reader, a device or a directory is refused below. On a regular file it changes nothing.
  const posix::UniqueFd file(
      ::openat(directory, log_name,
               O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
  if (!file) return false;
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  const ssize_t written = write_once(file.get(), entry);
  if (written == static_cast<ssize_t>(entry.size())) return true;
  if (written > 0) take_back(file.get(), written);
  return false;
}

}  // namespace chronicle
