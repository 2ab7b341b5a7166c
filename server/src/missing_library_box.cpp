#include <server/server_window.h>

#include <protocol/qt_text.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace server {

void show_missing_library_box(std::string_view gbk_message) {
  constexpr std::string_view caption = "\xB4\xED\xCE\xF3";  // 错误
  QMessageBox box(QMessageBox::Warning, protocol::from_gbk(caption), protocol::from_gbk(gbk_message),
                  QMessageBox::Ok);
  box.exec();
  QCoreApplication::exit(EXIT_FAILURE);
}

// Without a display nobody could close the box, so the message goes to standard error instead.
void report_missing_library(std::string_view gbk_message) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    show_missing_library_box(gbk_message);
    return;
  }
  std::fprintf(stderr, "%s\n", protocol::from_gbk(gbk_message).toUtf8().constData());
  QCoreApplication::exit(EXIT_FAILURE);
}

}  // namespace server
