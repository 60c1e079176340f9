#include "components/NumEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>
#include <cmath>

namespace {
constexpr char16_t kBackspace = 8;

bool IsFilenameForbidden(QChar c) { return QStringLiteral("\"*/:<>?\\|").contains(c); }


// What a number check accepts: "nan" and "inf" convert, but are no value in range.
bool ToFiniteDouble(const QString& text, double& value) {
  bool ok = false;
  value = QLocale().toDouble(text, &ok);
  return ok && std::isfinite(value);
}
}  // namespace

bool IsTypedCharacter(const QString& text) {
  if (text.size() != 1) return false;
  const char16_t u = text.front().unicode();
  return u == kBackspace || (u >= 32 && u != 0x7F && !(u >= 0x80 && u < 0xA0));
}

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TNumEdit::setEditType(TDataType type) {
  editType_ = type;
  if (changeSeen_) Check();
}

void TNumEdit::Change() {
  if (!changeSeen_) {
    changeSeen_ = true;
    return;
  }
  Check();
  if (OnChange) OnChange(this);
}

void TNumEdit::Mark(bool valid) {
  QPalette p = palette();
  p.setColor(QPalette::Text, valid ? ColorOK : ColorError);
  setPalette(p);
  if (valid) {
    valid_ = true;
  } else {
    valid_ = false;
    if (OnDataError) OnDataError(this);
  }
}

void TNumEdit::CheckBounds(double value, double min, double max) {
  valid_ = true;
  if (MaxInclusive ? value > max : value >= max) Mark(false);
  if (MinInclusive ? value < min : value <= min) Mark(false);
  if (valid_) Mark(true);
}

void TNumEdit::Check() {
  bool ok = false;
  switch (editType_) {
    case dtFloat: {
      double v = 0;
      if (!ToFiniteDouble(text(), v)) return Mark(false);
      return CheckBounds(v, MinReal, MaxReal);
    }
    case dtInteger: {
      const int v = text().toInt(&ok);
      if (!ok) return Mark(false);
      return CheckBounds(v, Min, Max);
    }
    case dtString:
    case dtPrintable:
    case dtFilename: return CheckBounds(static_cast<double>(text().size()), Min, Max);
  }
}

double TNumEdit::RealValue() const {
  double v = 0;
  return ToFiniteDouble(text(), v) ? v : MinReal;
}

bool TNumEdit::FilterKey(QChar& c) const {
  const char16_t u = c.unicode();
  if (u == kBackspace) return true;
  switch (editType_) {
    case dtFloat:
      return (u >= '0' && u <= '9') || c == QLocale().decimalPoint().front() || c == u'+' || c == u'-' ||
             c.toLower() == u'e';
    case dtInteger: return (u >= '0' && u <= '9') || u == '-';
    case dtString: return true;
    case dtPrintable: return (u >= 32 && u <= 126) || u == 145 || u == 146 || (u >= 160 && u <= 255);
    case dtFilename: return !IsFilenameForbidden(c);
  }
  return true;
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const QString typed = event->text();
  const bool character = IsTypedCharacter(typed);
  // Alt and Super with a letter are the window's and the desktop's keys (menu
  // mnemonics), never typed text: they go on to the window.
  if (!enter && character && typed.front() != QChar(kBackspace) &&
      (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
    event->ignore();
    return;
  }
  if (!enter && ((event->modifiers() & Qt::ControlModifier) || !character)) {
    QLineEdit::keyPressEvent(event);  // navigation, editing and clipboard keys
    return;
  }
  const QChar original = enter ? QChar(u'\r') : typed.front();
  QChar c = original;
  if (FilterKey(c)) {
    if (OnKeyPress) OnKeyPress(this, c);
    // The handler may drop the character or type another in its place.
    if (c == original)
      QLineEdit::keyPressEvent(event);
    else if (!c.isNull())
      insert(QString(c));
  }
  if (!enter) return;
  if (OnEnterKeyPress)
    OnEnterKeyPress(this);
  else
    event->ignore();  // an Enter the edit has no use for presses the dialog's default button
}

void TNumEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  DoExit(QApplication::focusWidget());
}

void TNumEdit::DoExit(QWidget* newFocus) {
  // Only a move within this window counts as leaving the field: a message box or
  // another window taking the focus (the range warning itself) must not re-check.
  if (!newFocus || newFocus->window() != window()) return;
  Check();
  if (valid_) {
    if (OnExit) OnExit(this);
    return;
  }
  if (newFocus->property("Tag").toInt() == CancelTag) return;
  QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
  if (OnExitError) OnExitError(this);
}
