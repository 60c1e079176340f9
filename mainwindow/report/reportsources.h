#pragma once
// Report sources read from live controls: a box's items and a control's text are
// found by object name under the given widgets, so the report uses the pages' words.
#include <QMap>
#include <vector>

#include "mainwindow/report/settingsreport.h"

class QWidget;

class TControlReportSources final : public TReportSources {
 public:
  // lists: item lists that stand in for a box's own, for a box whose items change
  // with what the page shows.
  explicit TControlReportSources(std::vector<const QWidget*> roots, QMap<QString, QStringList> lists = {})
      : roots_(std::move(roots)), lists_(std::move(lists)) {}

  QStringList Items(const QString& box) const override;
  QString Text(const QString& control) const override;

 private:
  template <class T>
  const T* Find(const QString& name) const;

  std::vector<const QWidget*> roots_;
  QMap<QString, QStringList> lists_;
};
