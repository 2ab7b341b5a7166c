#pragma once
// Running the Qt event loop from a test for a bounded time.
#include <chrono>
#include <functional>

namespace test_support {

using namespace std::chrono_literals;

// Makes sure a QCoreApplication exists (created once, kept until the process ends).
void ensure_application();

// Processes events until `done` answers true or `timeout` has passed; returns the last answer.
// Safe to call from inside an event handler: it then runs a nested loop.
bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);

// Processes events for `duration`, for checks that something does not happen.
void run_for(std::chrono::milliseconds duration);

}  // namespace test_support
