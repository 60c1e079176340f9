#pragma once
// The programs' help: the manual in the help folder among the program's side
// files, and one help socket owned by the main window that shows context pop-ups
// as topics of that file, with F1 taken for the whole application (see
// ContextHelp.h). Destroying the window closes every help window the engine opened.
#include <QString>

class QWidget;
class TAppHelpSocket;

// SideFileDir()/help/<program>.chm: the manual's folder of HTML pages, whose
// context numbers map to pages through <program>.ali beside it.
QString ProgramHelpFile();
TAppHelpSocket& InstallProgramHelp(QWidget& mainWindow);
