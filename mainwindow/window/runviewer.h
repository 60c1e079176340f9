#pragma once
// A viewer program from start to end: the settings store first, then the main
// window and the reusable dialogs, then the event loop until the main window closes.
#include "mainwindow/window/viewervariant.h"

int RunViewer(int argc, char* argv[], const TViewerVariant& variant);
