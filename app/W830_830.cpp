// The W830 viewer.
#include "mainwindow/window/runviewer.h"

int main(int argc, char* argv[]) { return RunViewer(argc, argv, w830::Variant()); }
