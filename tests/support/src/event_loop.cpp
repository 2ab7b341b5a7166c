#include <test_support/event_loop.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace test_support {

void ensure_application() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  // Never deleted: tear-down order against other statics at exit is not worth the risk.
  new QCoreApplication(argc, argv);
}

bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  ensure_application();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // The ticker wakes a blocking wait so the deadline is seen even when nothing else happens.
  QTimer ticker;
  ticker.start(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void run_for(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  wait_until([deadline] { return std::chrono::steady_clock::now() >= deadline; }, duration * 2);
}

}  // namespace test_support
