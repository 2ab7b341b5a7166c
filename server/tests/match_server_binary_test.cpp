// The built match_server, started headless beside its log library, played through by raw
// loopback clients. It listens on 19730 as shipped, so the test runs only when that port is free.
#include <test_support/raw_socket.h>
#include <test_support/process_port.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::RawSocket;

constexpr std::uint16_t server_port = 19730;

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

bool port_is_free(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return free;
}

// True when process `pid` holds the socket listening on `port`: the listening entry's inode in
std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Entry {
  std::string label, text;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) { *os << "[" << e.label << "] " << e.text; }

// Entries as (label, text); an entry whose date part does not start with a year and 年 is kept
// with the label "bad date" so that the comparison shows it.
std::vector<Entry> entries_of(const std::string& log) {
  std::vector<Entry> entries;
  std::size_t pos = 0;
  while (pos < log.size()) {
    std::size_t end = log.find("\r\n\r\n", pos);
    if (end == std::string::npos) end = log.size();
    const std::string entry = log.substr(pos, end - pos);
    const std::size_t label_start = entry.find("    ");
    const std::size_t label_end = entry.find("    ", label_start + 4);
    if (label_start == std::string::npos || label_end == std::string::npos) {
      entries.push_back({"no label", entry});
    } else {
      const std::string date = entry.substr(0, label_start);
      const bool dated = date.size() > 6 && date.compare(4, 2, "\xC4\xEA") == 0;  // 年
      entries.push_back({dated ? entry.substr(label_start + 4, label_end - label_start - 4) : "bad date",
                         entry.substr(label_end + 4)});
    }
    pos = end + 4;
  }
  return entries;
}

const std::string received = "\xCA\xD5\xB5\xBD\xB5\xC4\xCA\xFD\xBE\xDD\xA3\xBA";  // 收到的数据：
std::string online(int n) {
  return "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA" + std::to_string(n) + " \xC8\xCB";  // 当前在线人数：n 人
}

class MatchServerBinary : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!port_is_free(server_port)) GTEST_SKIP() << "port 19730 is taken; the shipped server needs it";
    std::string pattern = (fs::temp_directory_path() / "match-server-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directory(server_dir());
    fs::create_directory(work_dir());
    fs::copy_file(MATCH_SERVER, server_dir() / "match_server");
    if (ships_library()) fs::copy_file(CHRONICLE_LIBRARY, server_dir() / "libChronicle.so");
    start_server();
  }

  virtual bool ships_library() const { return true; }

  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (!root_.empty()) {
      if (HasFailure()) std::cout << "server output: " << read_file(root_ / "server.out") << "\n";
      fs::remove_all(root_);
    }
  }

  fs::path server_dir() const { return root_ / "server"; }
  std::string server_output() const { return read_file(root_ / "server.out"); }
  fs::path work_dir() const { return root_ / "work"; }
  std::vector<Entry> log_entries() const { return entries_of(read_file(server_dir() / "Log.txt")); }

  bool wait_for_entries(std::size_t n) {
    return wait_for([&] { return log_entries().size() >= n; });
  }

  RawSocket connect_client(std::size_t entries_after) {
    RawSocket client;
    EXPECT_TRUE(client.connect(server_port));
    EXPECT_TRUE(wait_for_entries(entries_after));
    return client;
  }

  pid_t pid_ = -1;

 private:
  void start_server() {
    const std::string program = (server_dir() / "match_server").string();
    const std::string output = (root_ / "server.out").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, 1);
      ::dup2(out, 2);
      if (::chdir(work_dir().c_str()) != 0) ::_exit(101);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(102);
    }
    ASSERT_TRUE(wait_for([&] { return test_support::process_listens_on(pid_, server_port); })) << "the server did not listen";
  }

  fs::path root_;
};

TEST_F(MatchServerBinary, PairsRelaysAndReportsADepartureAndLogsEveryStep) {
  RawSocket a = connect_client(1);
  RawSocket b = connect_client(2);
  const std::string id_a = "127.0.0.1:" + std::to_string(a.local_port());
  const std::string id_b = "127.0.0.1:" + std::to_string(b.local_port());

  // B is ready first, so B plays white although A connected first.
  ASSERT_TRUE(b.send_all("NC:\xD2\xD2:OK"));  // 乙
  ASSERT_TRUE(wait_for_entries(3));
  ASSERT_TRUE(a.send_all("NC:\xBC\xD7:OK"));  // 甲
  const std::string st_white = "ST:\xB0\xD7\xC9\xAB:\xD5\xE6";  // ST:白色:真
  const std::string st_black = "ST:\xBA\xDA\xC9\xAB:\xBC\xD9";  // ST:黑色:假
  EXPECT_EQ(b.read_exactly(st_white.size(), 10s), st_white);
  EXPECT_EQ(a.read_exactly(st_black.size(), 10s), st_black);

  ASSERT_TRUE(b.send_all("XQ:100:200"));
  EXPECT_EQ(a.read_exactly(12, 10s), "DSXQ:100:200");

  a.close();
  const std::string rival_left = "DSLK:\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA";  // DSLK:对手已离开
  EXPECT_EQ(b.read_exactly(rival_left.size(), 10s), rival_left);
  ASSERT_TRUE(wait_for_entries(9));
  EXPECT_EQ(b.read_some(200ms), "") << "nothing more reaches B";

  EXPECT_EQ(log_entries(), (std::vector<Entry>{
                               {"Other", online(1)},
                               {"Other", online(2)},
                               {"Other", received + "NC:\xD2\xD2:OK"},
                               {"Other", received + "NC:\xBC\xD7:OK"},
                               {"Me&Opponent", id_b + "   VS   " + id_a},
                               {"Other", received + "XQ:100:200"},
                               {"Play Chess", id_b + " \xCE\xBB\xD6\xC3\xA3\xBA" "100:200"},  // " 位置："
                               {"ConOut", id_a},
                               {"Other", online(1)},
                           }));
  EXPECT_FALSE(fs::exists(work_dir() / "Log.txt"));
}

// Headless, nobody could close a box: the server says what is missing on standard error and
// ends with status 1 at its first log call.
class MatchServerWithoutLibrary : public MatchServerBinary {
 protected:
  bool ships_library() const override { return false; }
};

TEST_F(MatchServerWithoutLibrary, FirstClientEndsItWithTheMessageOnStandardError) {
  RawSocket client;
  ASSERT_TRUE(client.connect(server_port));
  int status = 0;
  ASSERT_TRUE(wait_for([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) << "still running";
  pid_ = -1;
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  // 找不到日志库 libChronicle.so 或其中的函数 Chronicle，程序将退出。
  EXPECT_NE(server_output().find("找不到日志库 libChronicle.so 或其中的函数 Chronicle，程序将退出。\n"),
            std::string::npos)
      << server_output();
}

}  // namespace
