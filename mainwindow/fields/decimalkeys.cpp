#include "mainwindow/fields/decimalkeys.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

bool NumericKey(char16_t u) {
  return u < 32 || u == ' ' || u == '+' || u == ',' || u == '-' || u == '.' || (u >= '0' && u <= '9');
}

}  // namespace

TDecimalKeys::TDecimalKeys(QLineEdit* edit, std::function<QString(const QString& text)> normalise)
    : QObject(edit), edit_(edit), normalise_(std::move(normalise)) {
  edit->installEventFilter(this);
}

bool TDecimalKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      edit_->setText(normalise_(edit_->text()));
      return true;
    }
    const QString typed = key->text();
    if (typed.size() == 1 && !(key->modifiers() & Qt::ControlModifier) && !NumericKey(typed.front().unicode()))
      return true;
  }
  return QObject::eventFilter(watched, event);
}
