#include "components/NumEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "tests/support/locale_text.h"

namespace {

bool ValidAfterTyping(TNumEdit& e, const char* text) {
  e.setText(LocaleDecimal(text));
  e.Check();
  return e.Valid();
}

TEST(NumEdit, ChecksNumbersAgainstTheirBounds) {
  TNumEdit e;
  for (const char* t : {"0", "1000"}) EXPECT_TRUE(ValidAfterTyping(e, t)) << t;
  for (const char* t : {"1001", "-1", "", "99999999999"}) EXPECT_FALSE(ValidAfterTyping(e, t)) << t;

  e.setEditType(dtFloat);
  e.MinReal = 0.5;
  e.MaxReal = 20;
  for (const char* t : {"0.5", "20"}) EXPECT_TRUE(ValidAfterTyping(e, t)) << t;
  for (const char* t : {"0.4", "20.01", "abc"}) EXPECT_FALSE(ValidAfterTyping(e, t)) << t;
  e.MaxInclusive = false;
  EXPECT_FALSE(ValidAfterTyping(e, "20"));
  e.setText("abc");
  EXPECT_EQ(e.RealValue(), 0.5);
  e.setText(LocaleDecimal("2.5"));
  EXPECT_EQ(e.RealValue(), 2.5);
}

TEST(NumEdit, TheFirstChangeIsNotCheckedAndLaterOnesAre) {
  TNumEdit e;
  int errors = 0;
  e.OnDataError = [&](TNumEdit*) { ++errors; };
  e.setText("5000");  // as a form loads its initial text
  EXPECT_TRUE(e.Valid());
  e.setEditType(dtInteger);
  EXPECT_FALSE(e.Valid());
  EXPECT_EQ(errors, 1);
  e.setText("7");
  EXPECT_TRUE(e.Valid());
  EXPECT_EQ(e.palette().color(QPalette::Text), e.ColorOK);
}

TEST(NumEdit, FiltersTypedCharactersByKind) {
  const struct {
    TDataType type;
    const char* typed;
    const char* kept;
  } cases[] = {
      {dtInteger, "12a-3.", "12-3"},
      {dtFloat, "1x.5e-3Q", "1.5e-3"},
      {dtFilename, "a:b*c", "abc"},
      {dtPrintable, "ok ~", "ok ~"},
  };
  for (const auto& c : cases) {
    TNumEdit e;
    e.setEditType(c.type);
    int presses = 0;
    e.OnKeyPress = [&](TNumEdit*, QChar&) { ++presses; };
    QTest::keyClicks(&e, LocaleDecimal(c.typed));
    EXPECT_EQ(e.text(), LocaleDecimal(c.kept)) << c.typed;
    EXPECT_EQ(presses, static_cast<int>(std::strlen(c.kept))) << c.typed;
  }
  TNumEdit e;
  e.setEditType(dtFloat);
  // Only the digits 0 to 9 make a number: other scripts' digits are dropped.
  QKeyEvent arabicThree(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u0663"));
  QApplication::sendEvent(&e, &arabicThree);
  EXPECT_EQ(e.text(), "");
  int enters = 0, presses = 0;
  e.OnEnterKeyPress = [&](TNumEdit*) { ++enters; };
  e.OnKeyPress = [&](TNumEdit*, QChar&) { ++presses; };
  QTest::keyClick(&e, Qt::Key_Return);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(presses, 0);
}

TEST(NumEdit, TheKeyPressHandlerMayDropACharacterOrTypeAnotherInItsPlace) {
  TNumEdit e;
  e.setEditType(dtString);
  e.OnKeyPress = [](TNumEdit*, QChar& c) {
    if (c == u'x') c = QChar();
    else c = c.toUpper();
  };
  QTest::keyClicks(&e, QStringLiteral("axbc"));
  EXPECT_EQ(e.text(), "ABC");
  QTest::keyClick(&e, Qt::Key_Backspace);
  EXPECT_EQ(e.text(), "AB");
}

// Keys as X11 delivers them: Delete carries the text 0x7F, and Alt or Super with a
// letter carries the letter.
TEST(NumEdit, EditingAndWindowKeysAreNotTypedCharacters) {
  const struct {
    TDataType type;
    Qt::Key key;
    const char* text;
    Qt::KeyboardModifiers modifiers;
    const char* after;  // from "1|2e", the cursor at the bar
  } cases[] = {
      {dtInteger, Qt::Key_Delete, "\x7f", Qt::NoModifier, "1e"},
      {dtFloat, Qt::Key_Delete, "\x7f", Qt::NoModifier, "1e"},
      {dtFloat, Qt::Key_Backspace, "\b", Qt::NoModifier, "2e"},
      {dtFloat, Qt::Key_E, "e", Qt::AltModifier, "12e"},
      {dtFloat, Qt::Key_E, "e", Qt::MetaModifier, "12e"},
      {dtInteger, Qt::Key_3, "3", Qt::AltModifier, "12e"},
      {dtFloat, Qt::Key_E, "e", Qt::NoModifier, "1e2e"},
  };
  for (const auto& c : cases) {
    TNumEdit e;
    e.setEditType(dtString);
    e.setText("12e");
    e.setEditType(c.type);
    e.setCursorPosition(1);
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString::fromLatin1(c.text));
    QApplication::sendEvent(&e, &press);
    EXPECT_EQ(e.text(), c.after) << c.key << " " << c.modifiers;
    // What the edit does not take goes on to the window (a menu's Alt key).
    EXPECT_EQ(press.isAccepted(), !(c.modifiers & (Qt::AltModifier | Qt::MetaModifier))) << c.key;
  }
}

TEST(NumEdit, APastedNanOrInfinityIsNoNumberInRange) {
  for (const char* pasted : {"nan", "inf", "-inf", "NaN"}) {
    TNumEdit e;
    e.setEditType(dtFloat);
    e.MinReal = 0.5;
    e.MaxReal = 20;
    e.setText("1");
    QApplication::clipboard()->setText(QString::fromLatin1(pasted));
    e.selectAll();
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(e.text(), pasted);
    EXPECT_FALSE(e.Valid()) << pasted;
    EXPECT_EQ(e.RealValue(), 0.5) << pasted;
  }
}

class NumEditForm : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&form);
    edit = new TNumEdit(&form);
    other = new QPushButton("Other", &form);
    cancel = new QPushButton("Cancel", &form);
    cancel->setProperty("Tag", 1234567890);
    layout->addWidget(edit);
    layout->addWidget(other);
    layout->addWidget(cancel);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    edit->OnExitError = [this](TNumEdit*) { ++exitErrors; };
    edit->setText("x");
    edit->setText("5000");
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return edit->hasFocus(); }));
  }
  QDialog form;
  TNumEdit* edit = nullptr;
  QPushButton* other = nullptr;
  QPushButton* cancel = nullptr;
  int exitErrors = 0;
};

TEST_F(NumEditForm, LeavingAnInvalidFieldPutsTheFocusBack) {
  other->setFocus();
  EXPECT_EQ(exitErrors, 1);
  EXPECT_TRUE(QTest::qWaitFor([this] { return edit->hasFocus(); }));
}

TEST_F(NumEditForm, TheCancelControlMayTakeTheFocus) {
  cancel->setFocus();
  QTest::qWait(20);
  EXPECT_EQ(exitErrors, 0);
  EXPECT_TRUE(cancel->hasFocus());
}

}  // namespace
