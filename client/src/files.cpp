#include <client/files.h>

#include <board/picture.h>
#include <posix/unique_fd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// O_NONBLOCK keeps a FIFO without writer from blocking the open; anything but a regular file is
// refused before a byte is read, and the file is then read normally.
posix::UniqueFd open_regular(const std::filesystem::path& path) {
  posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info;
  if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return {};
  return fd;
}

// Up to `cap` bytes from the current offset; false on a read error.
bool read_up_to(int fd, std::size_t cap, std::string& bytes) {
  bytes.clear();
  char buffer[64 * 1024];
  while (bytes.size() < cap) {
    const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, cap - bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

std::span<const std::uint8_t> as_bytes(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace

void create_when_missing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  if (!nothing_at(path)) return;
  // O_EXCL: should something appear meanwhile, it is left alone.
  posix::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd) return;
  const bool complete = write_all(fd.get(), bytes);
  const bool closed = ::close(fd.release()) == 0;
  // A cut-off default would count as present and never be repaired.
  if (!complete || !closed) ::unlink(path.c_str());
}

std::string read_file_start(const std::filesystem::path& path, std::size_t cap) {
  const posix::UniqueFd fd = open_regular(path);
  std::string bytes;
  if (!fd || !read_up_to(fd.get(), cap, bytes)) return {};
  return bytes;
}

std::vector<std::uint8_t> read_picture_for_area(const std::filesystem::path& path, int width, int height) {
  const posix::UniqueFd fd = open_regular(path);
  if (!fd) return {};
  std::string start;
  if (!read_up_to(fd.get(), max_whole_picture_bytes + 1, start)) return {};
  const auto size = board::png_size(as_bytes(start));
  const bool fits = !size || (size->first <= std::uint32_t(width) && size->second <= std::uint32_t(height));
  if (start.size() <= max_whole_picture_bytes && fits) return {start.begin(), start.end()};
  if (!size || ::lseek(fd.get(), 0, SEEK_SET) != 0) return {};
  const std::optional<board::Picture> fitted = board::decode_png_fitted(fd.get(), width, height);
  return fitted ? board::encode_png(*fitted) : std::vector<std::uint8_t>{};
}

std::filesystem::path run_directory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return std::filesystem::current_path(error);
  return exe.parent_path();
}

}  // namespace client
