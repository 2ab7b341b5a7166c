#include <server/server_window.h>

#include <protocol/gbk_codec.h>

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdlib>

namespace server {

void report_missing_library(std::string_view gbk_message) {
  constexpr std::string_view caption = "\xB4\xED\xCE\xF3";  // 错误
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(protocol::gbk_to_utf8(caption)),
                  QString::fromStdString(protocol::gbk_to_utf8(gbk_message)), QMessageBox::Ok);
  box.exec();
  QCoreApplication::exit(EXIT_FAILURE);
}

}  // namespace server
