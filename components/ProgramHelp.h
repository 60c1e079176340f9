#pragma once
// The programs' help: the help file beside the executable, and one help socket
// owned by the main window that shows context pop-ups as topics of that file.
// Destroying the window closes every help window the engine opened.
class QWidget;
class TAppHelpSocket;

TAppHelpSocket& InstallProgramHelp(QWidget& mainWindow);
