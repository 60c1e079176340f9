#include "mainwindow/fields/decimalpointlist.h"

#include <QComboBox>
#include <gtest/gtest.h>

TEST(FillDecimalPointList, RelabelsWithTheSeparatorAndKeepsTheSelection) {
  QComboBox list;
  FillDecimalPointList(list, '.');
  list.setCurrentIndex(3);
  FillDecimalPointList(list, ',');
  const QStringList expected = {"123456", "12345 , 6", "1234 , 56", "123 , 456", "12 , 3456", "1 , 23456"};
  ASSERT_EQ(list.count(), expected.size());
  for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(list.itemText(i), expected[i]);
  EXPECT_EQ(list.currentIndex(), 3);
}
