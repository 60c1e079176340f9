#include "platform/manualhelp.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#include "platform/prompter.h"

namespace {

// "path[::/topic][>window]": the path and the topic.
QString FilePart(const QString& file, QString* topic = nullptr) {
  QString path = file.section(QLatin1Char('>'), 0, 0);
  if (const qsizetype at = path.indexOf(QLatin1String("::")); at >= 0) {
    if (topic) *topic = path.mid(at + 2);
    path.truncate(at);
  }
  return path;
}

}  // namespace

TManualHelpEngine::~TManualHelpEngine() {
  // Freed at program end, perhaps after the application: its windows are gone then.
  if (QCoreApplication::instance()) CloseWindow();
}

int TManualHelpEngine::HtmlHelpA(QWidget* caller, const QString& file, unsigned command, THHData& data) {
  QString topic;
  const QString folder = FilePart(file, &topic);
  const bool manual = !folder.isEmpty() && QFileInfo(folder).isDir();
  const bool request = command == HH_DISPLAY_TOPIC || command == HH_HELP_CONTEXT || command == HH_DISPLAY_TOC ||
                       command == HH_DISPLAY_INDEX || command == HH_DISPLAY_SEARCH || command == HH_ALINK_LOOKUP;
  if (request && !manual && (!QFileInfo::exists(folder) || !LoadDesktopHelpEngine())) {
    const QString text = QFileInfo::exists(folder)
                             ? QStringLiteral("The help file %1 cannot be opened: no help viewer for \".chm\" help "
                                              "files is installed.")
                             : QStringLiteral("The help file %1 cannot be found.");
    Prompter().MessageDlg(text.arg(folder), TMsgDlgType::mtError, mbOK);
    return 0;
  }
  switch (command) {
    case HH_DISPLAY_TOPIC:
      if (!manual) break;
      if (const auto* path = std::get_if<QString>(&data)) topic = *path;
      return ShowTopic(folder, topic);
    case HH_HELP_CONTEXT:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_ALINK_LOOKUP:
      if (!manual) break;
      return ShowTopic(folder, topic);
    case HH_GET_WIN_TYPE:
    case HH_SET_WIN_TYPE:
      return -1;
    case HH_CLOSE_ALL:
      CloseWindow();
      break;
    default:
      break;
  }
  return desktop_.HtmlHelpA(caller, file, command, data);
}

int TManualHelpEngine::ShowTopic(const QString& folder, QString topic) {
  while (topic.startsWith(QLatin1Char('/'))) topic.remove(0, 1);
  if (topic.isEmpty()) topic = QLatin1String(kHelpContentsPage);
  const QString fragment = topic.section(QLatin1Char('#'), 1);
  const QString path = folder + QLatin1Char('/') + topic.section(QLatin1Char('#'), 0, 0);
  if (!QFileInfo(path).isFile()) {
    Prompter().MessageDlg(QStringLiteral("The help page %1 cannot be found.").arg(path), TMsgDlgType::mtError, mbOK);
    return 0;
  }
  QUrl page = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  if (!fragment.isEmpty()) page.setFragment(fragment);
  // A window opened from a modal dialog must belong to it, or the dialog would
  // keep every click from reaching the help.
  QWidget* owner = QApplication::activeModalWidget();
  if (window_ && window_->parentWidget() != owner) window_->setParent(owner, Qt::Window);
  if (!window_) window_ = new THelpWindow(owner);
  window_->ShowPage(page, QUrl::fromLocalFile(QFileInfo(folder + QLatin1Char('/') + QLatin1String(kHelpContentsPage))
                                                  .absoluteFilePath()));
  return 1;
}

void TManualHelpEngine::CloseWindow() { delete window_.data(); }

std::unique_ptr<THelpEngine> LoadProgramHelpEngine() { return std::make_unique<TManualHelpEngine>(); }
