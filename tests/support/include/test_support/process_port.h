#pragma once
// Whether a child process has started listening, read from /proc without talking to it.
#include <sys/types.h>

#include <cstdint>

namespace test_support {

// True when process `pid` holds the socket listening on `port`.
bool process_listens_on(pid_t pid, std::uint16_t port);

}  // namespace test_support
