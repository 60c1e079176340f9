#pragma once
// Walks a window as a technician would look it over: every tab of every tab bar it
// shows is clicked at its centre through the window, and each combination of tabs
// is checked for controls that a click could not reach.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QTabBar;
class QWidget;

// The visible, enabled controls of window whose geometry is empty, reaches outside
// the window, or whose centre a click would not land on (the widget there is
// neither the control nor one of its children), each as "name (why)".
QStringList UnreachableControls(QWidget& window);

class TScreenWalker {
 public:
  // visit is called with window showing each combination of tabs, with a path that
  // names them ("Settings/Setpoints/ 3").
  using TVisit = std::function<void(const QString& path)>;
  TScreenWalker(QWidget& window, TVisit visit) : window_(window), visit_(std::move(visit)) {}

  // Visits every combination; the tabs a click did not make current, as "path: tab".
  QStringList Walk(const QString& path);

 private:
  void Explore(const QString& path);
  std::vector<QTabBar*> UnopenedBars() const;

  QWidget& window_;
  TVisit visit_;
  std::vector<QTabBar*> open_;
  QStringList missed_;
};
