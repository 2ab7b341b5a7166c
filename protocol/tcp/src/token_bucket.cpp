#include "token_bucket.h"

#include <algorithm>
#include <cmath>

namespace protocol::detail {

TokenBucket::TokenBucket(ReadBudget budget, Clock::time_point now)
    : bytes_per_second_(static_cast<double>(std::max<std::size_t>(budget.bytes_per_second, 1))),
      burst_(static_cast<double>(budget.burst)),
      tokens_(burst_),
      filled_at_(now) {}

void TokenBucket::refill(Clock::time_point now) {
  if (now <= filled_at_) return;
  const std::chrono::duration<double> elapsed = now - filled_at_;
  tokens_ = std::min(burst_, tokens_ + elapsed.count() * bytes_per_second_);
  filled_at_ = now;
}

bool TokenBucket::spend(std::size_t bytes, Clock::time_point now) {
  refill(now);
  tokens_ -= static_cast<double>(bytes);
  return tokens_ > 0;
}

TokenBucket::Clock::time_point TokenBucket::ready_at() const {
  if (tokens_ > 0) return filled_at_;
  // One byte beyond the debt, rounded up to whole nanoseconds, so the bucket is surely positive.
  const double seconds = (1 - tokens_) / bytes_per_second_;
  const auto wait = std::chrono::nanoseconds(static_cast<std::int64_t>(std::ceil(seconds * 1e9)));
  return filled_at_ + wait;
}

}  // namespace protocol::detail
