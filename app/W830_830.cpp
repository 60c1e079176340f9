// The W830 viewer: the settings store first, then the main window and the
// reusable dialogs, then the event loop until the main window closes.
#include <memory>

#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "mainwindow/reusabledialogs.h"
#include "platform/guard.h"

int main(int argc, char* argv[]) {
  TViewerApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
  TdatViewer store(TViewerModel::W830);
  auto window = std::make_unique<TFrmMain>();
  // The reusable dialogs follow the main window, in this order: log set-up,
  // settings transfer, about, chart set-up, passcode (the transfer and passcode
  // dialogs are made for each use).
  CreateReusableDialogs(window.get());
  window->show();
  const int result = QApplication::exec();
  // Poll thread, link and traffic log go before the window; the store writes
  // its file last.
  window->Shutdown();
  window.reset();
  return result;
}
