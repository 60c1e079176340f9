#include <gtest/gtest.h>

#include "serial/ComSetCtl.h"
#include "serial/ComSetTexts.h"

TEST(ComSetTexts, FromTextComparesUpperCasedAndFallsBack) {
  struct Case {
    const char* text;
    int (*convert)(const QString&);
    int want;
  } cases[] = {
      {"custom", BaudRateFromText, 0},
      {"115200", BaudRateFromText, 13},
      {"9601", BaudRateFromText, 7},
      {"", BaudRateFromText, 7},
      {"9", DataBitsFromText, 3},
      {"5", DataBitsFromText, 0},
      {"1.5", StopBitsFromText, 1},
      {"3", StopBitsFromText, 0},
      {"even", [](const QString& t) { return int(ParityFromText(t)); }, prEven},
      {"parity", [](const QString& t) { return int(ParityFromText(t)); }, prNone},
      {"none", [](const QString& t) { return int(FlowControlFromText(t)); }, fcNone},
      {"xon", [](const QString& t) { return int(FlowControlFromText(t)); }, fcCustom},
      {"HANDSHAKE", [](const QString& t) { return int(DTRFromText(t)); }, dtrHandshake},
      {"toggle", [](const QString& t) { return int(RTSFromText(t)); }, rtsToggle},
      {"on", [](const QString& t) { return int(RTSFromText(t)); }, rtsDisable},
  };
  for (const auto& c : cases) EXPECT_EQ(c.convert(QString::fromLatin1(c.text)), c.want) << c.text;
}

TEST(ComSetTexts, CodesOutsideATableGiveNoText) {
  EXPECT_EQ(BaudRateText(15), QStringLiteral("256000"));
  EXPECT_EQ(BaudRateText(16), QString());
  EXPECT_EQ(BaudRateText(-1), QString());
  EXPECT_EQ(BaudRateOfCode(7), 9600);
  EXPECT_EQ(BaudRateOfCode(0), 0);
  EXPECT_EQ(BaudRateOfCode(99), 0);
}

TEST(TComComboBox, ABaudListHoldsTheSixteenRatesWithCustomSelected) {
  TComComboBox box;
  box.SetComProperty(cpBaudRate);
  ASSERT_EQ(box.count(), 16);
  EXPECT_EQ(box.itemText(0), QStringLiteral("Custom"));
  EXPECT_EQ(box.itemText(15), QStringLiteral("256000"));
  EXPECT_EQ(box.Text(), QStringLiteral("Custom"));
  EXPECT_FALSE(box.isEditable());
}

TEST(TComComboBox, TextSelectsOnlyListedItemsAndReadsEmptyWithoutSelection) {
  TComComboBox box;
  box.SetComProperty(cpBaudRate);
  box.SetText(QStringLiteral("19200"));
  EXPECT_EQ(box.currentIndex(), 9);
  box.SetText(QStringLiteral("19201"));
  EXPECT_EQ(box.currentIndex(), 9);
  box.setCurrentIndex(-1);
  EXPECT_EQ(box.Text(), QString());
}

TEST(TComComboBox, PickingAnItemKeepsItsCode) {
  TComComboBox box;
  box.SetComProperty(cpParity);
  int changes = 0;
  QObject::connect(&box, &TComComboBox::OnChange, [&] { ++changes; });
  box.setCurrentIndex(2);
  emit box.activated(2);
  EXPECT_EQ(box.Selector().ParityCode(), prEven);
  EXPECT_EQ(changes, 1);
}

TEST(TComComboBox, EveryPropertyFillsItsTable) {
  struct Case {
    TComProperty p;
    int count;
    const char* first;
  } cases[] = {{cpNone, 0, ""}, {cpDataBits, 4, "5"}, {cpStopBits, 3, "1"},
               {cpParity, 5, "None"}, {cpFlowControl, 4, "Hardware"}};
  TComComboBox box;
  for (const auto& c : cases) {
    box.SetComProperty(c.p);
    EXPECT_EQ(box.count(), c.count) << c.p;
    EXPECT_EQ(box.Text(), QString::fromLatin1(c.first)) << c.p;
  }
}
