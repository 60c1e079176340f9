#include "mainwindow/report/reportsources.h"

#include <QComboBox>
#include <QLineEdit>

template <class T>
const T* TControlReportSources::Find(const QString& name) const {
  for (const QWidget* root : roots_)
    if (const T* control = root->findChild<const T*>(name)) return control;
  return nullptr;
}

QStringList TControlReportSources::Items(const QString& box) const {
  if (const auto it = lists_.constFind(box); it != lists_.constEnd()) return *it;
  QStringList items;
  if (const QComboBox* combo = Find<QComboBox>(box))
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QString TControlReportSources::Text(const QString& control) const {
  if (const QComboBox* combo = Find<QComboBox>(control)) return combo->currentText();
  if (const QLineEdit* edit = Find<QLineEdit>(control)) return edit->text();
  return QString();
}
