// The W840 viewer.
#include "mainwindow/window/runviewer.h"

int main(int argc, char* argv[]) { return RunViewer(argc, argv, w840::Variant()); }
