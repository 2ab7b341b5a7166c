#include <client/qt/qt_seams.h>

#include <protocol/qt_text.h>
#include <protocol/tcp_client.h>

#include <QAbstractButton>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace client {

using protocol::from_gbk;

namespace {

constexpr std::string_view ok_text = "\xC8\xB7\xB6\xA8";  // 确定
constexpr std::string_view yes_text = "\xCA\xC7";         // 是
constexpr std::string_view no_text = "\xB7\xF1";          // 否

}  // namespace

void QtDialogs::inform(std::string_view text, std::string_view caption, BoxIcon icon) {
  // With an owner, Qt opens the box centred over it.
  QMessageBox box(icon == BoxIcon::exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                  from_gbk(caption), from_gbk(text), QMessageBox::Ok, owner_);
  box.button(QMessageBox::Ok)->setText(from_gbk(ok_text));
  box.exec();
}

bool QtDialogs::ask_yes_no(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Question, from_gbk(caption), from_gbk(text),
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.button(QMessageBox::Yes)->setText(from_gbk(yes_text));
  box.button(QMessageBox::No)->setText(from_gbk(no_text));
  // Closing the box any other way counts as No.
  return box.exec() == QMessageBox::Yes;
}

bool TcpConnection::connect(std::string_view address, std::int32_t port) {
  return client_.connect(address, port);
}

bool TcpConnection::send(std::string_view text) { return client_.send(text); }

void ProcessExit::end(int code) {
  std::fflush(nullptr);
  // Not exit(): it would run global destructors under widgets that are still alive, possibly
  // inside a nested event loop.
  std::_Exit(code);
}

}  // namespace client
