#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
  const std::string path = (dir.path() / "Log.txt").string();
  ASSERT_TRUE(chronicle::append_entry(path, "first\r\n\r\n"));
  EXPECT_EQ(read_file(path), "first\r\n\r\n");
  ASSERT_TRUE(chronicle::append_entry(path, "second\r\n\r\n"));
  EXPECT_EQ(read_file(path), "first\r\n\r\nsecond\r\n\r\n");
}

TEST(ChronicleLogFile, ExistingContentIsNeverRewritten) {
  TempDir dir;
  const fs::path path = dir.path() / "Log.txt";
  const std::string old("\xEF\xBB\xBF" "old bytes\n\0kept", 18);
  write_file(path, old);
  ASSERT_TRUE(chronicle::append_entry(path.string(), "new"));
  EXPECT_EQ(read_file(path), old + "new");
}

TEST(ChronicleLogFile, ReadOnlyFileStaysUnchanged) {
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const fs::path path = dir.path() / "Log.txt";
  write_file(path, "before");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(run_unprivileged([&] { return chronicle::append_entry(path.string(), "entry"); }));
  EXPECT_EQ(read_file(path), "before");
}

TEST(ChronicleLogFile, DirectoryNamedLikeTheLogIsLeftAlone) {
  TempDir dir;
  const fs::path path = dir.path() / "Log.txt";
  fs::create_directory(path);
  EXPECT_FALSE(chronicle::append_entry(path.string(), "entry"));
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(fs::is_empty(path));
}

TEST(ChronicleLogFile, MissingDirectoryIsNotCreated) {
  TempDir dir;
  const fs::path path = dir.path() / "gone" / "Log.txt";
  EXPECT_FALSE(chronicle::append_entry(path.string(), "entry"));
  EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST(ChronicleLogFile, EmptyPathWritesNothing) {
  EXPECT_FALSE(chronicle::append_entry("", "entry"));
}

TEST(ChronicleLogFile, PathIsBesideThisExecutable) {
  const fs::path exe = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(chronicle::log_path(), (exe.parent_path() / "Log.txt").string());
}

}  // namespace
