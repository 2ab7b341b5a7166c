#pragma once
// A plain blocking loopback peer for network tests, every wait bounded.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace test_support {

using namespace std::chrono_literals;

class RawSocket {
 public:
  RawSocket() = default;
  explicit RawSocket(int fd) : fd_(fd) {}
  ~RawSocket();
  RawSocket(RawSocket&& other) noexcept;
  RawSocket& operator=(RawSocket&& other) noexcept;
  RawSocket(const RawSocket&) = delete;
  RawSocket& operator=(const RawSocket&) = delete;

  // Connects to 127.0.0.1:port; false when refused or not done within the timeout.
  bool connect(std::uint16_t port, std::chrono::milliseconds timeout = 2s);
  bool is_open() const { return fd_ >= 0; }
  std::uint16_t local_port() const;

  bool send_all(std::string_view bytes, std::chrono::milliseconds timeout = 2s);
  // Sends what the socket takes without waiting; returns the count.
  std::size_t send_available(std::string_view bytes);
  // Whatever arrives within the timeout (empty when nothing did or the peer closed).
  std::string read_some(std::chrono::milliseconds timeout = 2s);
  // Exactly n bytes, or fewer when the timeout passes or the peer closes first.
  std::string read_exactly(std::size_t n, std::chrono::milliseconds timeout = 2s);
  // True when the peer closes or resets within the timeout; data read meanwhile is discarded.
  bool wait_closed(std::chrono::milliseconds timeout = 2s);

  void close();
  // Closes with SO_LINGER 0, so the peer sees a reset instead of an orderly close.
  void reset();

 private:
  int fd_ = -1;
};

class RawListener {
 public:
  // Listens on 127.0.0.1 on a port chosen by the system (or the given one).
  explicit RawListener(std::uint16_t port = 0);
  ~RawListener();
  RawListener(const RawListener&) = delete;
  RawListener& operator=(const RawListener&) = delete;

  bool is_listening() const { return fd_ >= 0; }
  std::uint16_t port() const { return port_; }
  RawSocket accept(std::chrono::milliseconds timeout = 2s);

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace test_support
