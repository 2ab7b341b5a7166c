#pragma once
// A connection's read budget: bytes per second with a burst allowance. A delivery may take the
// bucket into debt by up to one delivery; the connection is then not read until the debt is
// paid, so over any span T it is read at most burst + rate·T + one delivery.
#include <protocol/tcp_server.h>

#include <chrono>
#include <cstddef>

namespace protocol::detail {

class TokenBucket {
 public:
  using Clock = std::chrono::steady_clock;

  TokenBucket(ReadBudget budget, Clock::time_point now);

  // Takes `bytes` read at `now`; false when the bucket is in debt and reading must wait.
  bool spend(std::size_t bytes, Clock::time_point now);

  // The first moment at which the bucket is out of debt.
  Clock::time_point ready_at() const;

 private:
  void refill(Clock::time_point now);

  double bytes_per_second_;
  double burst_;
  double tokens_;
  Clock::time_point filled_at_;
};

}  // namespace protocol::detail
