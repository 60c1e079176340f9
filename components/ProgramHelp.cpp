#include "components/ProgramHelp.h"

#include <QFileInfo>
#include <QWidget>

#include "components/ContextHelp.h"
#include "components/HHPack.h"
#include "platform/apphelp.h"
#include "platform/exepath.h"

QString ProgramHelpFile() {
  return SideFileDir() + QStringLiteral("help/") + QFileInfo(ExecutableFileName()).completeBaseName() +
         QStringLiteral(".chm");
}

TAppHelpSocket& InstallProgramHelp(QWidget& mainWindow) {
  auto* socket = new TAppHelpSocket(&mainWindow);
  socket->setObjectName(QStringLiteral("helpsocket"));
  socket->ShowWarning = false;
  socket->HHPopupsSource = psHtmlHelpFile;
  SetApplicationHelpFile(ProgramHelpFile());
  InstallF1Help(*socket);
  return *socket;
}
