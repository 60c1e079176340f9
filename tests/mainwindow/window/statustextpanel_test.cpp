#include "mainwindow/window/statustextpanel.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// The rows and columns that hold any pixel other than the background's.
QRect InkBounds(const QImage& image) {
  const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
  return ink;
}

class TPaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted |= static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
  int paints = 0;
  QRegion painted;
};

class StatusTextPanel : public ::testing::Test {
 protected:
  StatusTextPanel() {
    panel.setFixedSize(150, panel.fontMetrics().height());
    label.setFixedSize(panel.size());
  }
  QImage Shown(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  TStatusTextPanel panel;
  QLabel label;
};

// Where a label of the same font and size puts the text: the same rows, and the
// same columns give or take the rounding of each character's advance.
TEST_F(StatusTextPanel, ShowsItsTextWhereALabelWould) {
  for (const char* text : {"FPL?;", "S99;ESR?;", "000060BE60F654400000", "?", "-12.5,kg"}) {
    panel.SetText(QString::fromLatin1(text));
    label.setText(QString::fromLatin1(text));
    const QRect shown = InkBounds(Shown(panel));
    const QRect expected = InkBounds(Shown(label));
    EXPECT_EQ(shown.top(), expected.top()) << text;
    EXPECT_EQ(shown.bottom(), expected.bottom()) << text;
    EXPECT_NEAR(shown.left(), expected.left(), 1) << text;
    EXPECT_NEAR(shown.right(), expected.right(), static_cast<int>(std::strlen(text)) / 2 + 1) << text;
  }
}

// Stray bytes in a reply are shown as they come, and a text beyond the link's
// Latin-1 as question marks.
TEST_F(StatusTextPanel, ATextWiderThanThePanelIsCutAtItsEdgeAndAnyCharacterIsShown) {
  panel.SetText(QString(400, QLatin1Char('W')));
  EXPECT_GE(InkBounds(Shown(panel)).right(), panel.width() - 3);
  panel.SetText(QString::fromLatin1("\x01\xB5\xFF"));
  label.setText(QString::fromLatin1("\x01\xB5\xFF"));
  EXPECT_NEAR(InkBounds(Shown(panel)).right(), InkBounds(Shown(label)).right(), 2);
  panel.SetText(QStringLiteral("\u20AC"));
  label.setText(QStringLiteral("?"));
  EXPECT_EQ(Shown(panel), Shown(label));
}

TEST_F(StatusTextPanel, AFontChangeRedrawsTheCharactersAndTheSameTextPaintsNothing) {
  panel.SetText(QStringLiteral("ADR?"));
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  const QImage before = Shown(panel);
  QFont bold = panel.font();
  bold.setBold(true);
  panel.setFont(bold);
  EXPECT_NE(Shown(panel), before);
  panel.setFont(QFont());
  EXPECT_EQ(Shown(panel), before);

  TPaintCounter counter;
  panel.installEventFilter(&counter);
  QApplication::processEvents();
  const int paints = counter.paints;
  panel.SetText(QStringLiteral("ADR?"));
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, paints);
  panel.SetText(QStringLiteral("1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > paints; }, 5000));
}

// A new text paints the columns it changes, and no more than it must where the
// characters around them stay in place.
TEST_F(StatusTextPanel, ANewTextPaintsEveryPixelThatChanges) {
  struct Case {
    const char* from;
    const char* to;
    bool narrow;  // the change fits in a fraction of the panel
  };
  const Case cases[] = {
      {"000060BE60F654400000", "000060BE60F754400000", true},  // one digit of a display image
      {"000060BE60F654400000", "000060BE61F654400001", false},  // two digits far apart: their span
      {"FPL?;", "ESR?;", true},                                  // the first character
      {"FPL?;", "S99;ESR?;", false},                             // longer, everything moves
      {"W1234567890123", "i1234567890123", false},               // narrower: what follows moves
      {"12345", "123", true},                                    // shorter at the end
      {"", "0", true},
  };
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    panel.SetText(QString::fromLatin1(c.from));
    QApplication::processEvents();
    const QImage before = Shown(panel);
    TPaintCounter counter;
    panel.installEventFilter(&counter);
    panel.SetText(QString::fromLatin1(c.to));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));
    panel.removeEventFilter(&counter);
    const QImage after = Shown(panel);
    QRegion changed;
    for (int y = 0; y < after.height(); ++y)
      for (int x = 0; x < after.width(); ++x)
        if (before.pixel(x, y) != after.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE((changed - counter.painted).isEmpty()) << "left stale: " << (changed - counter.painted).boundingRect().x();
    EXPECT_EQ(c.narrow, counter.painted.boundingRect().width() < panel.width() / 3);
  }
}

}  // namespace
