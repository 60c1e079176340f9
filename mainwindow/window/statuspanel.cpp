#include "mainwindow/window/statuspanel.h"

#include <QPainter>

TStatusLinePanel::TStatusLinePanel(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(fontMetrics().height() + 4);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TStatusLinePanel::SetText(const QString& text) {
  text_ = text;
  update();
}

void TStatusLinePanel::SetInSync(bool inSync) {
  inSync_ = inSync;
  update();
}

void TStatusLinePanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool red = DrawnRed();
  painter.fillRect(rect(), red ? QColor(Qt::red) : palette().color(QPalette::Button));
  painter.setPen(red ? QColor(Qt::yellow) : QColor(Qt::black));
  painter.drawText(rect().adjusted(30, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text_);
}
