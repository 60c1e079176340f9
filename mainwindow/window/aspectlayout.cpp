#include "mainwindow/window/aspectlayout.h"

TAspectLayout::~TAspectLayout() = default;

void TAspectLayout::addItem(QLayoutItem* item) { item_.reset(item); }

QSize TAspectLayout::sizeHint() const { return item_ ? item_->sizeHint() : QSize(width_, height_); }

void TAspectLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  if (!item_) return;
  QSize size(rect.width(), rect.width() * height_ / width_);
  if (size.height() > rect.height()) size = QSize(rect.height() * width_ / height_, rect.height());
  QRect placed(QPoint(0, 0), size);
  placed.moveCenter(rect.center());
  item_->setGeometry(placed);
}
