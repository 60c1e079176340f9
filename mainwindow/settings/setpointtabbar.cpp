#include "mainwindow/settings/setpointtabbar.h"

#include <QStyleOptionTab>
#include <QStylePainter>

namespace {
const QColor kUsed(0x00, 0x00, 0x80);
}

void TSetpointTabBar::SetUsed(int index, bool used) {
  if (index < 0) return;
  if (static_cast<std::size_t>(index) >= used_.size()) used_.resize(static_cast<std::size_t>(index) + 1, false);
  if (used_[static_cast<std::size_t>(index)] == used) return;
  used_[static_cast<std::size_t>(index)] = used;
  update();
}

bool TSetpointTabBar::Used(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < used_.size() && used_[static_cast<std::size_t>(index)];
}

void TSetpointTabBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  for (int i = 0; i < count(); ++i) {
    QStyleOptionTab option;
    initStyleOption(&option, i);
    painter.drawControl(QStyle::CE_TabBarTabShape, option);
    QFont font = painter.font();
    font.setBold(Used(i));
    font.setItalic(!Used(i));
    painter.setFont(font);
    option.palette.setColor(QPalette::WindowText, Used(i) ? kUsed : QColor(Qt::black));
    painter.drawControl(QStyle::CE_TabBarTabLabel, option);
  }
}
