#include <client/files.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

namespace client {

namespace {

// True only when the path surely names nothing; an unanswerable question counts as "something",
// so that an existing file is never overwritten.
bool nothing_at(const std::filesystem::path& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0) return false;
  return errno == ENOENT;
}

bool write_all(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void create_when_missing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  if (!nothing_at(path)) return;
  // O_EXCL: should something appear meanwhile, it is left alone.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const bool complete = write_all(fd, bytes);
  const bool closed = ::close(fd) == 0;
  // A cut-off default would count as present and never be repaired.
  if (!complete || !closed) ::unlink(path.c_str());
}

std::string read_whole_file(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return {};
  return bytes;
}

std::filesystem::path run_directory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return std::filesystem::current_path(error);
  return exe.parent_path();
}

}  // namespace client
