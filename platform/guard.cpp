#include "platform/guard.h"

#include "platform/prompter.h"

void ShowException(const std::exception& error) {
  Prompter().MessageDlg(QString::fromLatin1(error.what()), TMsgDlgType::mtError, mbOK);
}

void ShowUnknownException() {
  Prompter().MessageDlg(QStringLiteral("An unexpected error occurred."), TMsgDlgType::mtError, mbOK);
}

bool TViewerApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}
