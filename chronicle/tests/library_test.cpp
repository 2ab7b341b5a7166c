// The built library, loaded by a separate host program the way the server loads it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "entry.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using chronicle_test::read_file;
using chronicle_test::TempDir;

// Host and library copied into directories of their own, and a third one to run from.
class ChronicleLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const fs::path& d : {host_dir(), library_dir(), work_dir()}) fs::create_directory(d);
    fs::copy_file(CHRONICLE_HOST, host());
    fs::copy_file(CHRONICLE_LIBRARY, library());
  }

  fs::path host_dir() const { return root_.path() / "host"; }
  fs::path library_dir() const { return root_.path() / "lib"; }
  fs::path work_dir() const { return root_.path() / "work"; }
  fs::path host() const { return host_dir() / "chronicle_host"; }
  fs::path library() const { return library_dir() / "libChronicle.so"; }
  fs::path log() const { return host_dir() / "Log.txt"; }
  const fs::path& root_path() const { return root_.path(); }

  // With `pause_input` the host waits after its first entry for a line on that descriptor.
  pid_t start_host(const std::string& category, const std::string& text, int count = 1,
                   int pause_input = -1) const {
    const pid_t child = ::fork();
    if (child == 0) {
      if (::chdir(work_dir().c_str()) != 0) ::_exit(101);
      if (pause_input >= 0 && ::dup2(pause_input, STDIN_FILENO) < 0) ::_exit(101);
      const std::string host_path = host().string(), library_path = library().string();
      const std::string count_text = std::to_string(count);
      ::execl(host_path.c_str(), host_path.c_str(), library_path.c_str(), category.c_str(),
              text.c_str(), count_text.c_str(), pause_input >= 0 ? "pause" : nullptr,
              static_cast<char*>(nullptr));
      ::_exit(102);
    }
    return child;
  }

  static int wait_host(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int run_host(const std::string& category, const std::string& text) const {
    return wait_host(start_host(category, text));
  }

  // The entry as the library should have written it at some second between `from` and `to`.
  static bool written_between(const std::string& bytes, std::string_view text, int category,
                              std::time_t from, std::time_t to) {
    for (std::time_t t = from; t <= to; ++t) {
      std::tm local{};
      ::localtime_r(&t, &local);
      if (bytes == chronicle::format_entry(text, category, local)) return true;
    }
    return false;
  }

 private:
  TempDir root_;
};

TEST_F(ChronicleLibrary, WritesBesideTheHostExecutableNotTheWorkingOrLibraryDirectory) {
  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(run_host("4", "127.0.0.1:5000 \xCE\xBB\xD6\xC3\xA3\xBA" "100:200"), 0);  // 位置：
  const std::time_t after = std::time(nullptr);
  EXPECT_TRUE(written_between(read_file(log()), "127.0.0.1:5000 \xCE\xBB\xD6\xC3\xA3\xBA" "100:200",
                              4, before, after))
      << read_file(log());
  EXPECT_FALSE(fs::exists(work_dir() / "Log.txt"));
  EXPECT_FALSE(fs::exists(library_dir() / "Log.txt"));
}

TEST_F(ChronicleLibrary, NullTextGivesAnEmptyMessage) {
  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(run_host("6", "-"), 0);
  const std::time_t after = std::time(nullptr);
  EXPECT_TRUE(written_between(read_file(log()), "", 6, before, after)) << read_file(log());
}

TEST_F(ChronicleLibrary, SecondCallAppendsAfterTheFirst) {
  ASSERT_EQ(run_host("1", "one"), 0);
  const std::string first = read_file(log());
  ASSERT_EQ(run_host("2", "two\r\nthree"), 0);
  const std::string both = read_file(log());
  ASSERT_GT(both.size(), first.size());
  EXPECT_EQ(both.substr(0, first.size()), first);
  EXPECT_NE(both.find("    ConOut    two\r\nthree\r\n\r\n", first.size()), std::string::npos);
}

// The host's directory is renamed between two entries, and a new one takes its old name: the
// second entry still goes beside the executable, under the directory's new name.
TEST_F(ChronicleLibrary, EntriesFollowTheHostDirectoryWhenItIsRenamed) {
  int input[2];
  ASSERT_EQ(::pipe(input), 0);
  const pid_t child = start_host("2", "entry", 2, input[0]);
  ::close(input[0]);
  for (int i = 0; i < 500 && read_file(log()).empty(); ++i) ::usleep(10'000);
  ASSERT_FALSE(read_file(log()).empty()) << "no first entry";
  const fs::path moved = root_path() / "moved";
  fs::rename(host_dir(), moved);
  fs::create_directory(host_dir());
  ASSERT_EQ(::write(input[1], "\n", 1), 1);
  ::close(input[1]);
  ASSERT_EQ(wait_host(child), 0);

  const std::string bytes = read_file(moved / "Log.txt");
  const std::size_t first = bytes.find("    ConOut    entry\r\n\r\n");
  ASSERT_NE(first, std::string::npos) << bytes;
  EXPECT_NE(bytes.find("    ConOut    entry\r\n\r\n", first + 1), std::string::npos) << bytes;
  EXPECT_FALSE(fs::exists(log()));
}

TEST_F(ChronicleLibrary, UnwritableLogStillReturnsZero) {
  fs::create_directory(log());
  EXPECT_EQ(run_host("8", "lost"), 0);
  EXPECT_TRUE(fs::is_directory(log()));
}

// Each entry goes out in one append, so hosts logging at once never cut into each other's entries.
TEST_F(ChronicleLibrary, EntriesOfConcurrentHostsStayWhole) {
  const int hosts = 4, entries = 150;
  std::vector<pid_t> children;
  std::vector<std::string> texts;
  for (int h = 0; h < hosts; ++h) {
    texts.push_back(std::string(2000, static_cast<char>('a' + h)));
    children.push_back(start_host("3", texts.back(), entries));
  }
  for (pid_t child : children) ASSERT_EQ(wait_host(child), 0);

  const std::string bytes = read_file(log());
  std::vector<int> seen(hosts, 0);
  std::size_t pos = 0;
  const std::string label = "    Me&Opponent    ";
  while (pos < bytes.size()) {
    const std::size_t at = bytes.find(label, pos);
    ASSERT_NE(at, std::string::npos) << "stray bytes at " << pos;
    const std::size_t text_start = at + label.size();
    const std::size_t end = bytes.find("\r\n\r\n", text_start);
    ASSERT_NE(end, std::string::npos);
    const std::string text = bytes.substr(text_start, end - text_start);
    const int h = text.empty() ? -1 : text[0] - 'a';
    ASSERT_TRUE(h >= 0 && h < hosts && text == texts[h]) << "cut entry at " << at;
    ++seen[h];
    pos = end + 4;
  }
  for (int h = 0; h < hosts; ++h) EXPECT_EQ(seen[h], entries) << "host " << h;
}

TEST(ChronicleExports, OnlyChronicleIsExported) {
  const std::string command = std::string("nm -D --defined-only ") + CHRONICLE_LIBRARY + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string entry(line);
    while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) entry.pop_back();
    const std::size_t space = entry.rfind(' ');
    names.insert(space == std::string::npos ? entry : entry.substr(space + 1));
  }
  ASSERT_EQ(::pclose(pipe), 0) << "nm failed";
  EXPECT_EQ(names, std::set<std::string>{"Chronicle"});
}

}  // namespace
