#pragma once
// The one place where failures become the application's error box, so that no
// exception ever unwinds through the Qt event loop.
#include <QApplication>
#include <exception>
#include <utility>

// The application's error box for a failure: its message, one OK button.
void ShowException(const std::exception& error);
// The same for an exception that carries no message.
void ShowUnknownException();

// Runs f; any exception it throws is shown instead of passed on.
template <class F>
void Guarded(F&& f) noexcept {
  try {
    std::forward<F>(f)();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
}

// Catches what a slot or event handler let escape, as the last line of defence.
class TViewerApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override;
};
