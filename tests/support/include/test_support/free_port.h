#pragma once
// A loopback TCP port that nothing listens on at the moment of the call.
#include <cstdint>

namespace test_support {

std::uint16_t free_port();

}  // namespace test_support
