#include "components/ContextHelp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

#include "platform/apphelp.h"

namespace {

std::int32_t OwnContext(const QWidget* widget) {
  bool ok = false;
  const std::int32_t context = widget->property(kHelpContextProperty).toInt(&ok);
  return ok ? context : 0;
}

class TF1Help final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    const QWidget* target = qobject_cast<const QWidget*>(watched);
    if (!target) target = QApplication::activeWindow();
    if (const std::int32_t context = HelpContextOf(target)) ApplicationHelpCommand(HELP_CONTEXT, context);
    else ApplicationHelpCommand(HELP_CONTENTS, 0);
    return true;
  }
};

}  // namespace

std::int32_t HelpContextOf(const QWidget* widget) {
  const QWidget* previous = nullptr;
  for (const QWidget* w = widget; w; previous = w, w = w->parentWidget()) {
    if (const std::int32_t context = OwnContext(w)) return context;
    if (const auto* tabs = qobject_cast<const QTabWidget*>(w); tabs && previous == tabs->tabBar() && tabs->currentWidget())
      if (const std::int32_t context = OwnContext(tabs->currentWidget())) return context;
    // Outside its pages (the tool bar, the menus, or where the focus is at start) a
    // window means the page it shows.
    if (w->isWindow()) {
      const auto* pages = w->findChild<const QTabWidget*>();
      return pages && pages->currentWidget() ? OwnContext(pages->currentWidget()) : 0;
    }
  }
  return 0;
}

void InstallF1Help(QObject& owner) { qApp->installEventFilter(new TF1Help(&owner)); }
