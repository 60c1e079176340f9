#pragma once
// A program's icon from the PNG sizes that the program carries in its resources
// (drawn from mainwindow/window/icons/<program>.svg by scripts/draw-icons).
#include <QIcon>
#include <QString>

QIcon ProgramIcon(const QString& program);
