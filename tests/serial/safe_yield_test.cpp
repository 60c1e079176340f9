#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "serial/SafeYield.h"

// What waits for the GUI thread is handled from inside a handler, and a loop that
// was asked to end meanwhile still ends when the handler returns.
TEST(SafeYield, HandlesWhatIsPendingAndKeepsARequestToEndTheLoop) {
  QEventLoop loop;
  bool pendingRan = false;
  bool ranInsideHandler = false;
  QTimer::singleShot(0, &loop, [&] {
    QMetaObject::invokeMethod(&loop, [&] { pendingRan = true; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&loop, [&] { loop.exit(5); }, Qt::QueuedConnection);
    SafeYield();
    ranInsideHandler = pendingRan;
  });
  EXPECT_EQ(loop.exec(), 5);
  EXPECT_TRUE(ranInsideHandler);
  SafeYield();
}
