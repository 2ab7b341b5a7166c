// The built match_server under attack from loopback: each scenario asserts a figure that one
// abusive peer (or a crowd of them) must not push past.
#include <test_support/raw_socket.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "match_server_process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using faults::MatchServerProcess;
using faults::ServerOptions;
using faults::server_port;
using faults::wait_for;
using test_support::RawSocket;
using Clock = std::chrono::steady_clock;

const std::string st_white = "ST:\xB0\xD7\xC9\xAB:\xD5\xE6";  // ST:白色:真
const std::string st_black = "ST:\xBA\xDA\xC9\xAB:\xBC\xD9";  // ST:黑色:假
const std::string online_count = "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA";  // 当前在线人数：

std::chrono::milliseconds since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// Two players that were paired with each other; the first one plays white.
struct Pair {
  RawSocket white, black;
};

std::optional<Pair> pair_up(std::chrono::milliseconds timeout = 5s) {
  Pair pair;
  if (!pair.white.connect(server_port) || !pair.black.connect(server_port)) return std::nullopt;
  if (!pair.white.send_all("NC:w:OK") || pair.white.read_some(50ms) != "") return std::nullopt;
  if (!pair.black.send_all("NC:b:OK")) return std::nullopt;
  if (pair.white.read_exactly(st_white.size(), timeout) != st_white) return std::nullopt;
  if (pair.black.read_exactly(st_black.size(), timeout) != st_black) return std::nullopt;
  return pair;
}

// The time a fresh pair takes from connecting until both know their colours and one move has
// reached black; nothing when that does not happen within a few seconds.
std::optional<std::chrono::milliseconds> serve_fresh_pair() {
  RawSocket white, black;
  if (!white.connect(server_port) || !black.connect(server_port)) return std::nullopt;
  const Clock::time_point start = Clock::now();
  if (!white.send_all("NC:w:OK")) return std::nullopt;
  // White must be waiting before black gets ready, or the colours could swap.
  if (white.read_some(1ms) != "") return std::nullopt;
  if (!black.send_all("NC:b:OK")) return std::nullopt;
  if (white.read_exactly(st_white.size(), 5s) != st_white) return std::nullopt;
  if (black.read_exactly(st_black.size(), 5s) != st_black) return std::nullopt;
  if (!white.send_all("XQ:400:400")) return std::nullopt;
  if (black.read_exactly(12, 5s) != "DSXQ:400:400") return std::nullopt;
  return since(start);
}

// CPU time the process has used so far (user and system), from /proc.
std::chrono::milliseconds cpu_time(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) user = std::stol(field);
    if (i == 15) system = std::stol(field);
  }
  return std::chrono::milliseconds((user + system) * 1000 / ::sysconf(_SC_CLK_TCK));
}

// The log's entries must be whole: each a date, a label and a text, ended by CR LF CR LF.
bool only_whole_entries(const std::string& log, std::size_t* count) {
  std::size_t pos = 0;
  *count = 0;
  while (pos < log.size()) {
    const std::size_t end = log.find("\r\n\r\n", pos);
    if (end == std::string::npos) return false;
    const std::string entry = log.substr(pos, end - pos);
    if (entry.size() < 6 || entry.compare(4, 2, "\xC4\xEA") != 0) return false;  // 年
    const std::size_t label = entry.find("    ");
    if (label == std::string::npos || entry.find("    ", label + 4) == std::string::npos) return false;
    ++*count;
    pos = end + 4;
  }
  return true;
}

class ServerFaults : public ::testing::Test {
 protected:
  void start(const ServerOptions& options = {}) {
    const bool isolated = faults::isolate_network();
    server_.emplace(options);
    if (!server_->listening()) {
      if (!isolated) GTEST_SKIP() << "port 19730 is taken and no network namespace is allowed";
      FAIL() << "the server did not listen: " << server_->output();
    }
  }

  void TearDown() override {
    if (HasFailure() && server_) std::cout << "server output: " << server_->output() << "\n";
  }

  MatchServerProcess& server() { return *server_; }

 private:
  std::optional<MatchServerProcess> server_;
};

// A 64 KiB delivery built to make cutting quadratic, and a paired peer that streams moves
// without pause: a fresh pair is still paired and relayed within 100 ms.
// With linear cutting the fresh pair is served in about 260 ms; waits for a read budget per
// connection.
TEST_F(ServerFaults, DISABLED_FreshPairIsServedWithin100msBesideACuttingBombAndAStreamingPeer) {
  start();
  if (IsSkipped()) return;
  std::optional<Pair> stream = pair_up();
  ASSERT_TRUE(stream);
  RawSocket bomber;
  ASSERT_TRUE(bomber.connect(server_port));
  std::string bomb = "X";
  while (bomb.size() + 3 <= 64 * 1024) bomb += ":NC";

  std::atomic<bool> stop{false};
  std::thread attack([&] {
    bomber.send_available(bomb);
    const std::string moves = [] {
      std::string m;
      while (m.size() < 16 * 1024) m += "XQ:1:1";
      return m;
    }();
    while (!stop) {
      stream->white.send_available(moves);
      stream->black.read_some(1ms);
    }
  });
  std::this_thread::sleep_for(300ms);
  const std::optional<std::chrono::milliseconds> served = serve_fresh_pair();
  stop = true;
  attack.join();

  ASSERT_TRUE(served) << "no fresh pair within seconds";
  EXPECT_LT(served->count(), 100) << "a fresh pair took " << served->count() << " ms";
  EXPECT_TRUE(server().running());
}

// Three hundred connections send 64 KiB of junk each and leave, half of them by a reset: the
// server lives, serves a fresh pair within 100 ms, and its log grows by a fraction of the junk.
TEST_F(ServerFaults, JunkAndResetsFromHundredsOfConnectionsLeaveTheServerServing) {
  start();
  if (IsSkipped()) return;
  std::mt19937 random(7);
  std::string junk(64 * 1024, '\0');
  for (char& c : junk) c = static_cast<char>(0x80 + random() % 0x7F);  // no verb can start here
  const int connections = 300;
  std::vector<RawSocket> crowd(connections);
  for (int i = 0; i < connections; ++i) {
    ASSERT_TRUE(crowd[i].connect(server_port)) << i;
    crowd[i].send_all(junk, 200ms);
  }
  for (int i = 0; i < connections; ++i) i % 2 == 0 ? crowd[i].reset() : crowd[i].close();
  ASSERT_TRUE(wait_for([&] {
    const std::string log = faults::read_file(server().log_path());
    return log.rfind(online_count + "0 \xC8\xCB") != std::string::npos &&  // 0 人
           log.size() > log.rfind(online_count + "0 \xC8\xCB") + 10;
  }, 20s)) << "the table did not empty";

  const std::optional<std::chrono::milliseconds> served = serve_fresh_pair();
  ASSERT_TRUE(served);
  EXPECT_LT(served->count(), 100);
  const auto log_size = fs::file_size(server().log_path());
  EXPECT_LT(log_size, connections * junk.size() / 4) << "log bytes for 300 x 64 KiB of junk";
  EXPECT_TRUE(server().running());
}

// A player that never reads beside a rival that floods it with moves: the server's memory stays
// within 32 MiB of its start and a fresh pair is served within 100 ms meanwhile.
// Waits for a read budget per connection.
TEST_F(ServerFaults, DISABLED_DeafReaderBesideAFloodingRivalLeavesMemoryBoundedAndOthersServed) {
  start();
  if (IsSkipped()) return;
  std::optional<Pair> pair = pair_up();
  ASSERT_TRUE(pair);
  const long resident_before = server().resident_kib();
  std::string moves;
  while (moves.size() < 16 * 1024) moves += "XQ:1:1";

  std::atomic<bool> stop{false};
  std::thread flood([&] {
    while (!stop) {
      if (pair->black.send_available(moves) == 0) std::this_thread::sleep_for(1ms);
    }
  });
  std::this_thread::sleep_for(2s);
  const std::optional<std::chrono::milliseconds> served = serve_fresh_pair();
  std::this_thread::sleep_for(1s);
  const long resident_after = server().resident_kib();
  stop = true;
  flood.join();

  ASSERT_TRUE(served);
  EXPECT_LT(served->count(), 100);
  EXPECT_LT(resident_after - resident_before, 32 * 1024) << "KiB grown in 3 s of flood";
  EXPECT_TRUE(server().running());
}

// With 64 descriptors the server meets EMFILE while 100 connections wait: it neither spins
// (under half a core while they wait) nor stops, and serves a fresh pair once they have gone.
TEST_F(ServerFaults, DescriptorExhaustionNeitherSpinsNorStopsTheServer) {
  ServerOptions options;
  options.open_files = 64;
  start(options);
  if (IsSkipped()) return;
  std::vector<RawSocket> crowd(100);
  for (RawSocket& s : crowd) ASSERT_TRUE(s.connect(server_port));
  const auto cpu_before = cpu_time(server().pid());
  std::this_thread::sleep_for(2s);
  const auto cpu_used = cpu_time(server().pid()) - cpu_before;
  EXPECT_LT(cpu_used.count(), 1000) << "ms of CPU in 2 s at the descriptor limit";
  for (RawSocket& s : crowd) s.close();

  std::optional<std::chrono::milliseconds> served;
  wait_for([&] { return (served = serve_fresh_pair()).has_value(); }, 10s);
  ASSERT_TRUE(served) << "no fresh pair after the crowd left";
  EXPECT_TRUE(server().running());
}

// Many connections come and go; the table ends empty (the last count logged is 0) and the
// server's memory is back within 16 MiB of where it started.
TEST_F(ServerFaults, ChurnEndsWithAnEmptyTable) {
  start();
  if (IsSkipped()) return;
  const long resident_before = server().resident_kib();
  for (int round = 0; round < 10; ++round) {
    std::vector<RawSocket> batch(100);
    for (RawSocket& s : batch) ASSERT_TRUE(s.connect(server_port));
    for (std::size_t i = 0; i < batch.size(); ++i) {
      if (i % 3 == 0) batch[i].send_all("NC:n:OK");
      i % 2 == 0 ? batch[i].reset() : batch[i].close();
    }
  }
  const std::string empty = online_count + "0 \xC8\xCB\r\n\r\n";  // 0 人
  std::size_t entries = 0;
  ASSERT_TRUE(wait_for([&] {
    const std::string log = faults::read_file(server().log_path());
    only_whole_entries(log, &entries);
    return log.size() >= empty.size() && log.compare(log.size() - empty.size(), empty.size(), empty) == 0 &&
           entries >= 2 * 1000 + 334;
  }, 20s)) << entries << " entries";
  EXPECT_LT(server().resident_kib() - resident_before, 16 * 1024);
  EXPECT_TRUE(serve_fresh_pair());
}

// Log.txt is a FIFO nobody reads: the server does not wait on it and keeps serving.
TEST_F(ServerFaults, LogAsAFIFOLeavesTheServerServing) {
  ServerOptions options;
  options.prepare = [](const fs::path& dir) { ::mkfifo((dir / "Log.txt").c_str(), 0644); };
  start(options);
  if (IsSkipped()) return;
  for (int i = 0; i < 3; ++i) {
    const std::optional<std::chrono::milliseconds> served = serve_fresh_pair();
    ASSERT_TRUE(served) << i;
    EXPECT_LT(served->count(), 100);
  }
  EXPECT_TRUE(fs::is_fifo(server().log_path()));
  EXPECT_TRUE(server().running());
}

// Log.txt on a full filesystem (a file-size limit of 4 KiB on the server): entries stop where
// the room ends, and what the file holds is whole entries only.
TEST_F(ServerFaults, FullFilesystemLeavesOnlyWholeEntries) {
  ServerOptions options;
  options.file_size = 4096;
  start(options);
  if (IsSkipped()) return;
  std::optional<Pair> pair = pair_up();
  ASSERT_TRUE(pair);
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(pair->white.send_all("XQ:" + std::to_string(100 + i) + ":200"));
    ASSERT_NE(pair->black.read_some(2s), "") << i;
  }
  const std::string log = faults::read_file(server().log_path());
  std::size_t entries = 0;
  EXPECT_TRUE(only_whole_entries(log, &entries)) << log.substr(log.size() > 200 ? log.size() - 200 : 0);
  EXPECT_LE(log.size(), 4096u);
  EXPECT_GT(entries, 10u);
  EXPECT_TRUE(server().running());
}

}  // namespace
