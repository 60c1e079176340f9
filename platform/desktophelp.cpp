#include "platform/desktophelp.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include "platform/desktopapps.h"
#include "platform/shellopen.h"

namespace {

// "path::/topic>window" names the file path.
QString FilePath(const QString& file) {
  QString path = file.section(QLatin1Char('>'), 0, 0);
  if (const qsizetype topic = path.indexOf(QLatin1String("::")); topic >= 0) path.truncate(topic);
  return path;
}

int OpenFile(const QString& file) {
  const QString path = FilePath(file);
  if (path.isEmpty() || !QFileInfo(path).isFile()) return 0;
  return ShellOpen(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())) ? 1 : 0;
}

}  // namespace

TDesktopHelpEngine::~TDesktopHelpEngine() {
  // Freed at program end, perhaps after the application: its pop-ups are gone then.
  if (QCoreApplication::instance()) ClosePopups();
}

int TDesktopHelpEngine::HtmlHelpA(QWidget* caller, const QString& file, unsigned command, THHData& data) {
  switch (command) {
    case HH_DISPLAY_TOPIC:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_HELP_CONTEXT:
    case HH_ALINK_LOOKUP:
      return OpenFile(file);
    case HH_DISPLAY_TEXT_POPUP:
      return ShowPopup(caller, data);
    case HH_GET_WIN_TYPE:
    case HH_SET_WIN_TYPE:
      return -1;
    case HH_CLOSE_ALL:
      ClosePopups();
      return 1;
    default:
      return 0;
  }
}

int TDesktopHelpEngine::ShowPopup(QWidget* caller, const THHData& data) {
  const auto* record = std::get_if<THHPopup>(&data);
  if (!record) return 0;
  std::erase_if(popups_, [](const QPointer<THelpPopup>& popup) { return popup.isNull(); });
  auto* popup = new THelpPopup(*record, caller);
  popup->show();
  popups_.emplace_back(popup);
  return 1;
}

void TDesktopHelpEngine::ClosePopups() {
  for (const QPointer<THelpPopup>& popup : popups_) delete popup.data();
  popups_.clear();
}

std::unique_ptr<THelpEngine> LoadDesktopHelpEngine() {
  if (!DesktopHasOpenerFor(QStringLiteral("help.chm"))) return nullptr;
  return std::make_unique<TDesktopHelpEngine>();
}
