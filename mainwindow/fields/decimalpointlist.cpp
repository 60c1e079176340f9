#include "mainwindow/fields/decimalpointlist.h"

#include <QComboBox>
#include <QSignalBlocker>

void FillDecimalPointList(QComboBox& list, QChar separator) {
  const QSignalBlocker blocker(list);
  const int index = list.currentIndex();
  list.clear();
  list.addItem(QStringLiteral("123456"));
  const QString digits = QStringLiteral("123456");
  for (int places = 1; places <= 5; ++places)
    list.addItem(digits.left(6 - places) + ' ' + separator + ' ' + digits.right(places));
  list.setCurrentIndex(index);
}
