#pragma once
// Stands in for 服务器1, the log and the online-count label, writing everything the rules do
// into one ordered list so that tests can check the order across all three.
#include <server/seams.h>

#include <protocol/gbk_codec.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace server_test {

struct Event {
  enum Kind { send, log, count, port } kind;
  std::string a;  // client_id, log text, label text
  std::string b;  // sent text
  int number = 0; // log category, port

  bool operator==(const Event&) const = default;
};

// Failure messages show the GBK texts as readable Chinese.
inline void PrintTo(const Event& e, std::ostream* os) {
  static const char* const kinds[] = {"send", "log", "count", "port"};
  *os << kinds[e.kind] << "(" << protocol::gbk_to_utf8(e.a);
  if (e.kind == Event::send) *os << ", " << protocol::gbk_to_utf8(e.b);
  if (e.kind == Event::log || e.kind == Event::port) *os << ", " << e.number;
  *os << ")";
}

inline Event sent(std::string_view to, std::string_view text) {
  return {Event::send, std::string(to), std::string(text)};
}
inline Event logged(std::string_view text, int category) {
  return {Event::log, std::string(text), {}, category};
}
inline Event counted(std::string_view text) { return {Event::count, std::string(text), {}}; }
inline Event port_set(std::int32_t port) { return {Event::port, {}, {}, port}; }

class Recorder : public server::Transport, public server::LogSink, public server::CountDisplay {
 public:
  void send(std::string_view client_id, std::string_view text) override {
    events.push_back(sent(client_id, text));
  }
  void set_port(std::int32_t port) override { events.push_back(port_set(port)); }
  void log(std::string_view text, int category) override { events.push_back(logged(text, category)); }
  void show_online_count(std::string_view text) override { events.push_back(counted(text)); }

  std::vector<Event> of_kind(Event::Kind kind) const {
    std::vector<Event> picked;
    for (const Event& e : events) {
      if (e.kind == kind) picked.push_back(e);
    }
    return picked;
  }

  std::vector<Event> events;
};

}  // namespace server_test
