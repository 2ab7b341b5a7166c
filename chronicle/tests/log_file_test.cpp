#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <functional>
#include <string>

#include "log_file.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using chronicle_test::read_file;
using chronicle_test::TempDir;
using chronicle_test::write_file;

// Appends through a handle on the directory, as the library does.
bool append_in(const fs::path& directory, std::string_view entry) {
  return chronicle::append_entry(chronicle::open_directory(directory).get(), entry);
}

// Runs the attempt in a child that is killed after a few seconds, so an open that blocks shows
// as a failure instead of a hung suite. Returns what the attempt returned.
bool run_in_child(const std::function<bool()>& attempt) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(5);
    ::_exit(attempt() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) throw std::runtime_error("the attempt did not end by itself");
  return WEXITSTATUS(status) == 1;
}

// Root writes through read-only permissions, so the attempt runs in a child that has given up
// root. Returns what the attempt returned.
bool run_unprivileged(const std::function<bool()>& attempt) {
  if (::geteuid() != 0) return attempt();
  const pid_t child = ::fork();
  if (child == 0) {
    const uid_t nobody = 65534;
    if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(2);
    ::_exit(attempt() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) throw std::runtime_error("no unprivileged child");
  return WEXITSTATUS(status) == 1;
}

TEST(ChronicleLogFile, FirstCallCreatesTheFileLaterCallsOnlyAppend) {
  TempDir dir;
  const fs::path path = dir.path() / "Log.txt";
  ASSERT_TRUE(append_in(dir.path(), "first\r\n\r\n"));
  EXPECT_EQ(read_file(path), "first\r\n\r\n");
  ASSERT_TRUE(append_in(dir.path(), "second\r\n\r\n"));
  EXPECT_EQ(read_file(path), "first\r\n\r\nsecond\r\n\r\n");
}

TEST(ChronicleLogFile, ExistingContentIsNeverRewritten) {
  TempDir dir;
  const fs::path path = dir.path() / "Log.txt";
  const std::string old("\xEF\xBB\xBF" "old bytes\n\0kept", 18);
  write_file(path, old);
  ASSERT_TRUE(append_in(dir.path(), "new"));
  EXPECT_EQ(read_file(path), old + "new");
}

TEST(ChronicleLogFile, ReadOnlyFileStaysUnchanged) {
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const fs::path path = dir.path() / "Log.txt";
  write_file(path, "before");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(run_unprivileged([&] { return append_in(dir.path(), "entry"); }));
  EXPECT_EQ(read_file(path), "before");
}

// Whatever sits at the name, the call returns promptly; only a regular file takes the entry.
TEST(ChronicleLogFile, OnlyARegularFileIsWrittenAndNothingBlocks) {
  const struct Case {
    const char* what;
    std::function<void(const fs::path& dir, const fs::path& log)> make;
    bool written;  // the entry lands in dir/target (through a link) or dir/Log.txt
  } cases[] = {
      {"FIFO without a reader", [](const fs::path&, const fs::path& log) { ::mkfifo(log.c_str(), 0644); },
       false},
      {"link to a FIFO",
       [](const fs::path& dir, const fs::path& log) {
         ::mkfifo((dir / "target").c_str(), 0644);
         fs::create_symlink(dir / "target", log);
       },
       false},
      {"directory", [](const fs::path&, const fs::path& log) { fs::create_directory(log); }, false},
      {"link to a character device",
       [](const fs::path&, const fs::path& log) { fs::create_symlink("/dev/null", log); }, false},
      {"link to a regular file",
       [](const fs::path& dir, const fs::path& log) {
         write_file(dir / "target", "");
         fs::create_symlink(dir / "target", log);
       },
       true},
      {"dangling link", [](const fs::path& dir, const fs::path& log) { fs::create_symlink(dir / "target", log); },
       true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path log = dir.path() / "Log.txt";
    c.make(dir.path(), log);
    const fs::file_type kind = fs::symlink_status(log).type();
    EXPECT_EQ(run_in_child([&] { return append_in(dir.path(), "entry"); }), c.written) << c.what;
    if (c.written) {
      EXPECT_EQ(read_file(dir.path() / "target"), "entry") << c.what;
    }
    EXPECT_EQ(fs::symlink_status(log).type(), kind) << c.what;
    if (fs::is_directory(log)) {
      EXPECT_TRUE(fs::is_empty(log)) << c.what;
    }
  }
}

TEST(ChronicleLogFile, FIFOWithAReaderGetsNothing) {
  TempDir dir;
  const fs::path log = dir.path() / "Log.txt";
  ASSERT_EQ(::mkfifo(log.c_str(), 0644), 0);
  const posix::UniqueFd reader(::open(log.c_str(), O_RDONLY | O_NONBLOCK));
  ASSERT_TRUE(reader);
  EXPECT_FALSE(run_in_child([&] { return append_in(dir.path(), "entry"); }));
  char byte;
  EXPECT_LE(::read(reader.get(), &byte, 1), 0);
}

// A full disk, made by a file-size limit in a child: an entry that does not fit leaves no part
// of itself behind, and the entries before it stay as they were.
TEST(ChronicleLogFile, WriteThatFailsPartWayLeavesNoPartOfTheEntry) {
  const std::string before = "whole entry\r\n\r\n";
  const std::string entry(100, 'e');
  const struct {
    std::size_t room;  // bytes the limit allows after the existing content
    bool written;
  } cases[] = {{0, false}, {1, false}, {entry.size() - 1, false}, {entry.size(), true}};
  for (const auto& c : cases) {
    TempDir dir;
    const fs::path log = dir.path() / "Log.txt";
    write_file(log, before);
    const bool written = run_in_child([&] {
      std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead of a kill
      const rlimit limit{before.size() + c.room, before.size() + c.room};
      return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && append_in(dir.path(), entry);
    });
    EXPECT_EQ(written, c.written) << c.room;
    EXPECT_EQ(read_file(log), c.written ? before + entry : before) << c.room;
  }
}

TEST(ChronicleLogFile, MissingDirectoryIsNotCreated) {
  TempDir dir;
  EXPECT_FALSE(append_in(dir.path() / "gone", "entry"));
  EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST(ChronicleLogFile, NoDirectoryWritesNothing) { EXPECT_FALSE(chronicle::append_entry(-1, "entry")); }

TEST(ChronicleLogFile, HostDirectoryIsTheOneOfThisExecutable) {
  const fs::path exe = fs::read_symlink("/proc/self/exe");
  struct stat expected {}, actual {};
  ASSERT_EQ(::stat(exe.parent_path().c_str(), &expected), 0);
  ASSERT_EQ(::fstat(chronicle::host_directory(), &actual), 0);
  EXPECT_EQ(actual.st_dev, expected.st_dev);
  EXPECT_EQ(actual.st_ino, expected.st_ino);
  EXPECT_EQ(chronicle::host_directory(), chronicle::host_directory());
}

}  // namespace
