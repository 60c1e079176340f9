#include "serial/SafeYield.h"

#include <QCoreApplication>
#include <QEventLoop>

// A request to end the program that is handled in here still ends the
// application's own loop afterwards: Qt marks every running loop of the thread,
// not only the innermost, so nothing needs to be put back.
void SafeYield() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}
