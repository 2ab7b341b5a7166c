// Bounds that keep one peer from holding the server: delivery size, send queue, descriptors.
#include "server_fixture.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace protocol_tcp_test {
namespace {

using test_support::run_for;
using test_support::wait_until;

constexpr std::size_t max_delivery = 64 * 1024;
constexpr std::size_t queue_cap = 1024 * 1024;

// Bytes that show their own position, so a reordered or lost piece is seen.
std::string pattern(std::size_t n, char seed) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>('A' + (seed + i / 7) % 26);
  return bytes;
}

using TcpServerLimits = ServerFixture;

TEST_F(TcpServerLimits, OneDeliveryHoldsAtMost64KiBAndOtherPeersGetTheirTurn) {
  RawSocket flooder = connect_peer();
  RawSocket quiet = connect_peer();
  // Fill everything the system buffers for the flooder before the server reads anything.
  const std::string flood = pattern(4 * 1024 * 1024, 1);
  const std::size_t buffered = flooder.send_available(flood);
  ASSERT_GT(buffered, 3 * max_delivery) << "loopback buffers too small to show the bound";
  ASSERT_TRUE(quiet.send_all("q"));

  const std::string flood_id = id_of(flooder);
  ASSERT_TRUE(wait_until([&] { return received_from(flood_id).size() == buffered; }, 10s));
  EXPECT_EQ(received_from(flood_id), flood.substr(0, buffered));
  std::size_t quiet_index = 0;
  std::size_t last_flood_index = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_LE(events[i].data.size(), max_delivery);
    if (events[i].kind != "data") continue;
    if (events[i].client == flood_id) last_flood_index = i;
    else quiet_index = i;
  }
  EXPECT_NE(quiet_index, 0u);
  EXPECT_LT(quiet_index, last_flood_index) << "the quiet peer waited for the whole flood";
}

TEST_F(TcpServerLimits, SendQueuesWhatTheSocketCannotTakeAndRefusesBeyondTheCap) {
  RawSocket slow_reader = connect_peer();
  const std::string id = id_of(slow_reader);
  // The peer reads nothing yet: sends fill the system buffers, then the queue, then are refused.
  std::string accepted;
  std::string refused;
  for (int seed = 0; seed < 120 && refused.empty(); ++seed) {
    const std::string piece = pattern(256 * 1024 + 3, static_cast<char>(seed));
    if (server->send(id, piece)) accepted += piece;
    else refused = piece;
  }
  ASSERT_FALSE(refused.empty()) << "the queue never filled";
  EXPECT_FALSE(server->send(id, std::string(queue_cap + 1, 'x'))) << "larger than the cap";
  EXPECT_TRUE(server->send(id, "")) << "nothing to send always fits";

  std::string got;
  const bool complete = wait_until([&] {
    got += slow_reader.read_some(1ms);
    return got.size() >= accepted.size();
  }, 10s);
  ASSERT_TRUE(complete) << got.size() << " of " << accepted.size();
  got += slow_reader.read_some(50ms);
  EXPECT_TRUE(got == accepted) << "queued bytes must follow in order, the refused text not at all";

  ASSERT_TRUE(server->send(id, "after")) << "a drained queue takes texts again";
  EXPECT_EQ(slow_reader.read_exactly(5), "after");
}

TEST_F(TcpServerLimits, SendToAResetPeerFailsWithoutEndingTheProgram) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  peer.reset();
  // Before the departure is handled the connection is still listed; writing to it raises
  // SIGPIPE unless the component asks the system not to.
  int failures = 0;
  for (int i = 0; i < 200 && failures < 3; ++i) {
    if (!server->send(id, "DSXQ:1:1")) ++failures;
    usleep(1000);
  }
  EXPECT_GE(failures, 2);
  EXPECT_TRUE(wait_until([&] { return count("left", id) == 1; }));
}

// Lowers the descriptor limit for the life of the object and fills what is left.
class DescriptorsExhausted {
 public:
  DescriptorsExhausted() {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit low = saved_;
    low.rlim_cur = 256;
    ::setrlimit(RLIMIT_NOFILE, &low);
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) fillers_.push_back(fd);
  }
  ~DescriptorsExhausted() {
    for (const int fd : fillers_) ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &saved_);
  }
  // Frees one descriptor for the caller's next socket.
  void release_one() {
    ::close(fillers_.back());
    fillers_.pop_back();
  }
  DescriptorsExhausted(const DescriptorsExhausted&) = delete;
  DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

 private:
  rlimit saved_{};
  std::vector<int> fillers_;
};

TEST_F(TcpServerLimits, ConnectionThatFindsNoDescriptorIsDroppedNotRetriedForEver) {
  RawSocket turned_away;
  {
    DescriptorsExhausted exhausted;
    exhausted.release_one();
    ASSERT_TRUE(turned_away.connect(port));  // takes the one free descriptor
    run_for(100ms);
    EXPECT_TRUE(turned_away.wait_closed(1s)) << "the pending connection must be taken and closed";
  }
  EXPECT_EQ(count("entered"), 0);
  EXPECT_EQ(server->connection_count(), 0);
  connect_peer();  // once descriptors are back, connections are accepted as before
}

}  // namespace
}  // namespace protocol_tcp_test
