#pragma once
// Boxes that cannot pile up: while a box with the same text and caption is open, asking for it
// again opens nothing. A rival flooding "DSLK" or moves then costs one box, and each message
// still takes its effect.
#include <client/seams.h>

#include <set>
#include <string>
#include <utility>

namespace client {

class SingleBoxes : public Dialogs {
 public:
  explicit SingleBoxes(Dialogs& boxes) : boxes_(boxes) {}

  void inform(std::string_view text, std::string_view caption, BoxIcon icon) override;
  // A question already open is answered No at once: the answer that changes nothing further.
  bool ask_yes_no(std::string_view text, std::string_view caption) override;

 private:
  using Key = std::pair<std::string, std::string>;
  Dialogs& boxes_;
  std::set<Key> open_;
};

}  // namespace client
