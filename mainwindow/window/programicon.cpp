#include "mainwindow/window/programicon.h"

// The icons live in this static library's resources: naming their initialiser
// here keeps the linker from leaving them out. It cannot be inside a namespace.
static void InitIcons() { Q_INIT_RESOURCE(icons); }

QIcon ProgramIcon(const QString& program) {
  static const bool loaded = (InitIcons(), true);
  (void)loaded;
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(program), QSize(size, size));
  return icon;
}
