#include "platform/chart/chartwidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/chart/chartpaint.h"

namespace {
constexpr int kDragThreshold = 4;
}

TChart::TChart(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  model_.OnChanged = [this] { update(); };
}

void TChart::Render() {
  const qreal ratio = devicePixelRatioF();
  if (picture_.size() != size() * ratio) {
    picture_ = QImage(size() * ratio, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
  }
  QPainter painter(&picture_);
  painter.setFont(font());
  model_.SetPlotRect(PaintChart(painter, rect(), model_));
  pictureRevision_ = model_.Revision();
  model_.ForgetCursors();
  if (OnAfterDraw) OnAfterDraw();
}

void TChart::Compose(QImage& frame) const {
  QPainter painter(&frame);
  const QRect plot = model_.PlotRect();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::yellow, 1));
  for (int i = 0; i < 2; ++i) {
    const TChartCursor& c = model_.Cursor(i);
    if (!c.Drawn()) continue;
    painter.drawLine(c.x, plot.top(), c.x, plot.bottom());
    painter.drawLine(plot.left(), c.y, plot.right(), c.y);
  }
  if (drag_ == TDrag::Zoom) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(QRect(dragStart_, dragNow_).normalized());
  }
}

QImage TChart::Grab() {
  if (picture_.size() != size() * devicePixelRatioF() || pictureRevision_ != model_.Revision()) Render();
  QImage frame = picture_.copy();
  Compose(frame);
  return frame;
}

void TChart::paintEvent(QPaintEvent*) {
  const QImage frame = Grab();
  QPainter(this).drawImage(0, 0, frame);
}

void TChart::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (OnMouseDown) OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
  if (event->button() == Qt::LeftButton) drag_ = TDrag::Zoom;
  else if (event->button() == Qt::RightButton) drag_ = TDrag::Pan;
  dragStart_ = dragNow_ = at;
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (drag_ == TDrag::Pan) {
    const TChartMapping map = model_.Mapping();
    model_.Pan(map.Time(dragNow_.x()) - map.Time(at.x()), map.Value(dragNow_.y()) - map.Value(at.y()));
  }
  dragNow_ = at;
  if (drag_ == TDrag::Zoom) update();
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
  const TDrag drag = drag_;
  drag_ = TDrag::None;
  if (drag != TDrag::Zoom) return;
  const QPoint end = event->position().toPoint();
  const QPoint moved = end - dragStart_;
  update();
  if (moved.x() > kDragThreshold && moved.y() > kDragThreshold) {
    const TChartMapping map = model_.Mapping();
    model_.Zoom(map.Time(dragStart_.x()), map.Time(end.x()), map.Value(end.y()), map.Value(dragStart_.y()));
    if (OnZoom) OnZoom();
  } else if (moved.x() < -kDragThreshold || moved.y() < -kDragThreshold) {
    model_.UndoZoom();
    if (OnUndoZoom) OnUndoZoom();
  }
}

void TChart::mouseDoubleClickEvent(QMouseEvent*) {
  if (OnDblClick) OnDblClick();
}
