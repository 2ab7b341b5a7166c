#include <server/server_window.h>

#include <protocol/qt_text.h>

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdlib>

namespace server {

void report_missing_library(std::string_view gbk_message) {
  constexpr std::string_view caption = "\xB4\xED\xCE\xF3";  // 错误
  QMessageBox box(QMessageBox::Warning, protocol::from_gbk(caption),
                  protocol::from_gbk(gbk_message), QMessageBox::Ok);
  box.exec();
  QCoreApplication::exit(EXIT_FAILURE);
}

}  // namespace server
