#include "mainwindow/window/runviewer.h"

#include <memory>

#include "mainwindow/window/main.h"
#include "mainwindow/window/reusabledialogs.h"
#include "platform/guard.h"

int RunViewer(int argc, char* argv[], const TViewerVariant& variant) {
  // A window painted through X shared memory waits, before each paint, for the X
  // server to have read the last one: a round trip and two thread wake-ups for
  // every display reply. The LCD's small changed parts cost less sent over the
  // connection, where nothing waits. Set by hand, the variable is left as it is.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  TViewerApplication app(argc, argv);
  QApplication::setApplicationDisplayName(variant.Title());
  TdatViewer store(variant.Model());
  auto window = std::make_unique<TFrmMain>(variant);
  // The reusable dialogs follow the main window, in this order: log set-up,
  // settings transfer, about, the W840's absolute mV/V calibration, chart set-up,
  // passcode.
  CreateReusableDialogs(window.get(), variant);
  window->show();
  const int result = QApplication::exec();
  // Poller, link and traffic log go before the window; the store writes its file
  // last.
  window->Shutdown();
  window.reset();
  return result;
}
