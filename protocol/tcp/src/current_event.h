#pragma once
// What the handlers may ask while an event is raised. A handler that runs a nested event loop
// can see further events raised inside it, so the values form a stack: each raise pushes its
// own and the outer handler gets its values back when the inner one returns.
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace protocol::detail {

struct CurrentEvent {
  std::string client;
  std::string data;
};

class CurrentEvents {
 public:
  std::string client() const { return stack_.empty() ? std::string() : stack_.back().client; }
  std::string data() const { return stack_.empty() ? std::string() : stack_.back().data; }

  // Calls emit_event with `event` current. False when the component was destroyed meanwhile;
  // `alive` is the component's liveness flag and this object must not be touched then.
  template <class Emit>
  bool raise(CurrentEvent event, const std::shared_ptr<bool>& alive, Emit&& emit_event) {
    const std::shared_ptr<bool> still_alive = alive;
    stack_.push_back(std::move(event));
    std::forward<Emit>(emit_event)();
    if (!*still_alive) return false;
    stack_.pop_back();
    return true;
  }

 private:
  std::vector<CurrentEvent> stack_;
};

}  // namespace protocol::detail
