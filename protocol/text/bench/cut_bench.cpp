// Prints the time cut_delivery takes on deliveries shaped to hit the cutting rule everywhere,
// at 16, 32 and 64 KiB (or the sizes in KiB given as arguments). Linear cutting doubles the time
// with the size; a rule that re-splits what came before would quadruple it.
#include <protocol/messages.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Shape {
  const char* name;
  protocol::Receiver receiver;
  std::string head;
  std::string unit;  // repeated after the head up to the size
};

std::string filled(const Shape& shape, std::size_t size) {
  std::string delivery = shape.head;
  while (delivery.size() + shape.unit.size() <= size) delivery += shape.unit;
  return delivery;
}

// Mean time of one cut, repeating small ones so that the clock's grain does not show.
double seconds_per_cut(const std::string& delivery, protocol::Receiver receiver,
                       std::size_t& messages) {
  using clock = std::chrono::steady_clock;
  const clock::time_point begin = clock::now();
  int rounds = 0;
  std::chrono::duration<double> spent{};
  do {
    messages = protocol::cut_delivery(delivery, receiver).size();
    ++rounds;
    spent = clock::now() - begin;
  } while (spent.count() < 0.2);
  return spent.count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
  const Shape shapes[] = {
      // A verb after every separator, behind a first field that is no verb: no cut ever falls.
      {"\"X\" then \":NC\" repeated (server)", protocol::Receiver::server, "X", ":NC"},
      {"\"X\" then \":DSLK\" repeated (client)", protocol::Receiver::client, "X", ":DSLK"},
      {"\"X\" then GBK characters and \":NC:\" repeated (server)", protocol::Receiver::server,
       "X", "\xB0\xB0:NC:"},
      // Many short messages, each cut off.
      {"\"NC:a:OK\" repeated (server)", protocol::Receiver::server, "", "NC:a:OK"},
      {"\"DSLK:\" repeated (client)", protocol::Receiver::client, "", "DSLK:"},
      // One message of many fields, or of GBK lead bytes only.
      {"\"DSXQ\" then \":\" repeated (client)", protocol::Receiver::client, "DSXQ", ":"},
      {"\"NC:\" then lead bytes (server)", protocol::Receiver::server, "NC:", "\xB0"},
  };
  std::vector<std::size_t> sizes_kib{16, 32, 64};
  if (argc > 1) {
    sizes_kib.clear();
    for (int i = 1; i < argc; ++i) sizes_kib.push_back(std::strtoul(argv[i], nullptr, 10));
  }

  for (const Shape& shape : shapes) {
    std::printf("%s\n", shape.name);
    for (std::size_t kib : sizes_kib) {
      const std::string delivery = filled(shape, kib * 1024);
      std::size_t messages = 0;
      const double seconds = seconds_per_cut(delivery, shape.receiver, messages);
      std::printf("  %3zu KiB: %12.3f ms per delivery, %zu messages\n", kib, seconds * 1e3,
                  messages);
    }
  }
  return 0;
}
