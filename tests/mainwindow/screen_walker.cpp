#include "tests/mainwindow/screen_walker.h"

#include <QAbstractButton>
#include <QTabBar>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// What a person can click or type into: whatever takes the focus from a click, and
// the buttons that take none.
bool IsControl(const QWidget& w) {
  return (w.focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus || qobject_cast<const QAbstractButton*>(&w);
}

int Depth(const QWidget* w) {
  int depth = 0;
  for (; w; w = w->parentWidget()) ++depth;
  return depth;
}

QString Describe(const QWidget& w) {
  return w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
}

}  // namespace

QStringList UnreachableControls(QWidget& window) {
  QStringList unreachable;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (w->window() != &window || !w->isVisible() || !w->isEnabled() || !IsControl(*w)) continue;
    const QRect area(w->mapTo(&window, QPoint(0, 0)), w->size());
    if (area.isEmpty()) {
      unreachable << Describe(*w) + QStringLiteral(" (empty)");
    } else if (!window.rect().contains(area)) {
      unreachable << Describe(*w) + QStringLiteral(" (outside the window)");
    } else {
      QWidget* hit = window.childAt(area.center());
      if (hit != w && !w->isAncestorOf(hit))
        unreachable << Describe(*w) + QStringLiteral(" (covered by %1)").arg(hit ? Describe(*hit) : QString("nothing"));
    }
  }
  return unreachable;
}

QStringList TScreenWalker::Walk(const QString& path) {
  open_.clear();
  missed_.clear();
  Explore(path);
  return missed_;
}

// Outermost first, so that a page's own tab bars are walked under each of its tabs.
std::vector<QTabBar*> TScreenWalker::UnopenedBars() const {
  std::vector<QTabBar*> bars;
  for (QTabBar* bar : window_.findChildren<QTabBar*>())
    if (bar->window() == &window_ && bar->isVisible() && bar->isEnabled() &&
        std::find(open_.begin(), open_.end(), bar) == open_.end())
      bars.push_back(bar);
  std::stable_sort(bars.begin(), bars.end(), [](QTabBar* a, QTabBar* b) { return Depth(a) < Depth(b); });
  return bars;
}

void TScreenWalker::Explore(const QString& path) {
  const std::vector<QTabBar*> bars = UnopenedBars();
  if (bars.empty()) return visit_(path);
  QTabBar* bar = bars.front();
  open_.push_back(bar);
  for (int i = 0; i < bar->count(); ++i) {
    if (!bar->isTabEnabled(i) || !bar->isTabVisible(i)) continue;
    const QString tab = path + '/' + bar->tabText(i).remove('&');
    // Through the window, as the pointer does: a bar too small for its tabs does not get the click.
    const QPoint centre = bar->mapTo(&window_, bar->tabRect(i).center());
    QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, centre);
    if (bar->currentIndex() != i) {
      missed_ << tab;
      continue;
    }
    Explore(tab);
  }
  open_.pop_back();
}
