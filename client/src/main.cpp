// board_client: one window, one connection to the match server.
#include <client/files.h>
#include <client/qt/client_window.h>
#include <client/qt/qt_seams.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  client::QtDialogs dialogs;
  client::ProcessExit program;
  client::ClientWindow window(dialogs, program);
  dialogs.set_owner(&window);
  window.show();
  // Runs to its end, blocking connect included, before the window handles any other event.
  window.start(client::run_directory());
  app.exec();
  return 0;
}
