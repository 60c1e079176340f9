#include "mainwindow/settings/settingspagescore.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <algorithm>
#include <map>

#include "components/NumEdit.h"
#include "mainwindow/fields/fieldtext.h"
#include "mainwindow/settings/pagecontrols.h"
#include "platform/prompter.h"
#include "protocol/tools.h"

// The input checks of the pages' edits: what a key may type, what leaving a field
// warns of, and the header's six lines of thirty characters.
namespace {

// Limits of the checked edits by their Tag, in stored units.
struct TLimit {
  int min, max, decimals;
};
constexpr TLimit kEditLimits[23] = {
    {0, 0, 0},       {15, 60, 0},     {100, 999999, 0}, {100, 999999, 0}, {0, 999999, 0}, {0, 10, 0},
    {0, 20, 0},      {0, 200, 0},     {1, 200, 0},      {0, 100, 0},      {1, 200, 0},    {1, 99, 0},
    {10, 999999, 0}, {10, 999999, 0}, {0, 999999, 0},   {0, 999999, 0},   {-99999, 999999, 0},
    {1, 999999, 3},  {100, 60000, 0}, {100, 60000, 0},  {1, 20, 0},       {0, 20, 0},     {0, 60000, 0},
};

enum class TCheck { kNone, kDecimalPoint, kTableDecimals, kAddTare, kFilterOnly, kHostName };

// The checks of both page sets by control name (each name is one page set's or both's).
const std::map<QString, TCheck>& CheckKinds() {
  static const std::map<QString, TCheck> kinds = {
      {"EdtFS1", TCheck::kDecimalPoint},         {"EdtFs2", TCheck::kDecimalPoint},
      {"EdtZband", TCheck::kDecimalPoint},       {"EdtInflight", TCheck::kDecimalPoint},
      {"EdtHysteresis", TCheck::kDecimalPoint},  {"EdtTarget", TCheck::kDecimalPoint},
      {"EdtFlight", TCheck::kDecimalPoint},      {"EdtTol", TCheck::kDecimalPoint},
      {"EdtCalWeight", TCheck::kDecimalPoint},   {"edtAddTare", TCheck::kAddTare},
      {"EdtConversionFactor", TCheck::kTableDecimals}, {"EdtSetpJogOn", TCheck::kTableDecimals},
      {"EdtSetpJogOff", TCheck::kTableDecimals}, {"EdtSetpOptJogSet", TCheck::kTableDecimals},
      {"EdtSetpOptMaxJogSets", TCheck::kTableDecimals}, {"EdtSetpOptDelayCheck", TCheck::kTableDecimals},
      {"EDtRows", TCheck::kFilterOnly},          {"EdtCols", TCheck::kFilterOnly},
      {"edtEthHostname", TCheck::kHostName},     {"edtEthSearchDomain", TCheck::kHostName},
  };
  return kinds;
}

TCheck CheckOf(const QObject* o) {
  const auto it = CheckKinds().find(o->objectName());
  return it == CheckKinds().end() ? TCheck::kNone : it->second;
}


}  // namespace

bool TSettingsPagesCore::HasInputCheck(const QObject* edit) { return CheckOf(edit) != TCheck::kNone; }

void TSettingsPagesCore::MemoHeaderChange() {
  QPlainTextEdit* memo = bound_->memo;
  while (memo->blockCount() > 6) {
    QTextCursor cursor(memo->document()->lastBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
    Prompter().ShowMessage(kHeaderLimit);
  }
}

bool TSettingsPagesCore::KeyFilter(QLineEdit* edit, QChar key) {
  const char16_t u = key.unicode();
  if (u == '\r') {
    const TCheck check = CheckOf(edit);
    const int tag = edit->property("Tag").toInt();
    const int decimals = check == TCheck::kTableDecimals ? kEditLimits[std::clamp(tag, 0, 22)].decimals
                         : check == TCheck::kFilterOnly  ? 0
                                                         : Decimals();
    edit->setText(FromLatin1(FixDecimals(Latin1(edit->text()), decimals, decimalChar_.toLatin1())));
    return false;
  }
  if (u == ' ' || u == '+' || u == ',' || u == '-' || u == '.') return true;
  if ((u >= 32 && u <= '/') || u > '9') return false;
  return true;
}

void TSettingsPagesCore::WarnOnExit(const QString& text) {
  exitWarning_ = text;
  ShowError(text);
}

void TSettingsPagesCore::ExitCheck(QLineEdit* edit) {
  const TCheck check = CheckOf(edit);
  const char c = decimalChar_.toLatin1();
  if (check == TCheck::kHostName) {
    const QString error = HostNameError(bound_->hostName->text());
    if (!error.isEmpty()) WarnOnExit(error);
    return;
  }
  if (check != TCheck::kDecimalPoint && check != TCheck::kTableDecimals && check != TCheck::kAddTare) return;
  const int tag = std::clamp(edit->property("Tag").toInt(), 0, 22);
  const int decimals = check == TCheck::kTableDecimals ? kEditLimits[tag].decimals : Decimals();
  const std::string text = FixDecimals(Latin1(edit->text()), decimals, c);
  edit->setText(FromLatin1(text));
  const int32_t v = DigitsToInt(text);
  if (check == TCheck::kAddTare) {
    const bool dual = bound_->weighMode->currentIndex() == 1 || bound_->weighMode->currentIndex() == 2;
    const int32_t limit = DigitsToInt(Latin1((dual ? bound_->fs2 : bound_->fs1)->text()));
    if (v < 0 || v > limit) WarnOnExit(OutOfRangeText(0, limit, decimals, decimalChar_));
    return;
  }
  if (v < kEditLimits[tag].min || v > kEditLimits[tag].max)
    WarnOnExit(OutOfRangeText(kEditLimits[tag].min, kEditLimits[tag].max, decimals, decimalChar_));
}

bool TSettingsPagesCore::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    exitWarning_.clear();
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == bound_->memo) {
      if (IsTypedCharacter(typed) && typed.front().unicode() > 32 &&
          bound_->memo->textCursor().block().text().size() >= 30) {
        Prompter().ShowMessage(kHeaderLimit);
        return true;
      }
      return false;
    }
    // The host name edits take any text; their check is on leaving.
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && CheckOf(edit) != TCheck::kHostName &&
                                                       (enter || typed.size() == 1) &&
                                                       !(key->modifiers() & Qt::ControlModifier)) {
      if (enter) return !KeyFilter(edit, QChar(u'\r'));
      // Delete and the other editing keys are no typed characters.
      if (!IsTypedCharacter(typed) || typed.front().unicode() < 32) return false;
      // Alt or Super with a key is the window's, never typed text.
      if (key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return true;
      return !KeyFilter(edit, typed.front());
    }
  } else if (event->type() == QEvent::FocusOut) {
    // Only a move within this window is leaving the field: the warning box that the
    // check raises must not check again.
    QWidget* next = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && next && next->window() == edit->window())
      ExitCheck(edit);
  }
  return QWidget::eventFilter(watched, event);
}
