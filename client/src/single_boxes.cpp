#include <client/single_boxes.h>

#include <functional>

namespace client {

namespace {

// Marks a box open for as long as it is shown, however the call ends.
class OpenWhile {
 public:
  template <typename Set, typename Key>
  OpenWhile(Set& open, Key key) : erase_([&open, key] { open.erase(key); }) {
    open.insert(std::move(key));
  }
  ~OpenWhile() { erase_(); }
  OpenWhile(const OpenWhile&) = delete;
  OpenWhile& operator=(const OpenWhile&) = delete;

 private:
  std::function<void()> erase_;
};

}  // namespace

void SingleBoxes::inform(std::string_view text, std::string_view caption, BoxIcon icon) {
  Key key{std::string(text), std::string(caption)};
  if (open_.contains(key)) return;
  const OpenWhile shown(open_, std::move(key));
  boxes_.inform(text, caption, icon);
}

bool SingleBoxes::ask_yes_no(std::string_view text, std::string_view caption) {
  Key key{std::string(text), std::string(caption)};
  if (open_.contains(key)) return false;
  const OpenWhile shown(open_, std::move(key));
  return boxes_.ask_yes_no(text, caption);
}

}  // namespace client
