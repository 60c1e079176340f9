#include "components/ProgramHelp.h"

#include <QWidget>

#include "components/HHPack.h"
#include "platform/apphelp.h"
#include "platform/exepath.h"

TAppHelpSocket& InstallProgramHelp(QWidget& mainWindow) {
  auto* socket = new TAppHelpSocket(&mainWindow);
  socket->setObjectName(QStringLiteral("helpsocket"));
  socket->ShowWarning = false;
  socket->HHPopupsSource = psHtmlHelpFile;
  SetApplicationHelpFile(ChangeFileExt(ExecutableFileName(), QStringLiteral(".chm")));
  return *socket;
}
