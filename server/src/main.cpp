// match_server: pairs ready players, relays their moves and tells them when a rival leaves.
#include <server/chronicle_log.h>
#include <server/server_window.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  server::ChronicleLog log(server::ChronicleLog::default_candidates(), server::report_missing_library);
  server::ServerWindow window(log);
  window.show();
  return QApplication::exec();
}
