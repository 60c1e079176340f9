#include "tests/support/accessible_names.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

QString Caption(QWidget& field) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&field);
  if (!accessible) return QString();
  const auto labels = accessible->relations(QAccessible::Label);
  return labels.isEmpty() ? QString() : labels.front().first->text(QAccessible::Name);
}

QString AccessibleName(QWidget& field) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&field);
  return accessible ? accessible->text(QAccessible::Name) : QString();
}

QStringList UncaptionedFields(const QWidget& form) {
  QStringList uncaptioned;
  for (QWidget* w : form.findChildren<QWidget*>()) {
    const bool field = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                       qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
    // A combo box's own line edit is labelled through the box.
    if (field && !qobject_cast<QComboBox*>(w->parentWidget()) && AccessibleName(*w).isEmpty())
      uncaptioned << w->objectName();
  }
  return uncaptioned;
}
