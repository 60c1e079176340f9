// The W830 viewer: the settings store first, then the main window (and, as they
// are built, the reusable dialogs: log set-up, settings transfer, about, chart
// set-up, passcode), then the event loop. Teardown runs the other way round: the
// window stops its poll thread, closes its link and the traffic log, and the
// store writes the ini file back last.
#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "platform/guard.h"

int main(int argc, char* argv[]) {
  TViewerApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(TFrmMain::kTitle));
  TdatViewer store(TViewerModel::W830);
  int result = 0;
  {
    TFrmMain window;
    window.show();
    result = QApplication::exec();
  }
  return result;
}
