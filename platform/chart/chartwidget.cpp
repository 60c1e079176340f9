#include "platform/chart/chartwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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
  if (!RenderNewSamples()) {
    QPainter painter(&picture_);
    painter.setFont(font());
    model_.SetPlotRect(PaintChart(painter, rect(), model_));
  }
  pictureRevision_ = model_.Revision();
  pictureLayout_ = model_.LayoutRevision();
  pictureSamples_ = model_.Data().Size();
  model_.ForgetCursors();
  if (OnAfterDraw) OnAfterDraw();
}

bool TChart::RenderNewSamples() {
  const TSampleColumns& data = model_.Data();
  if (pictureLayout_ != model_.LayoutRevision() || pictureSamples_ == 0 || data.Size() <= pictureSamples_ ||
      !data.TimesOrdered())
    return false;
  const TChartMapping map = model_.Mapping();
  const QRect plot = model_.PlotRect();
  const double from = std::max<double>(map.X(data.Time(pictureSamples_ - 1)), plot.left() - 2);
  const double to = std::min<double>(map.X(data.Time(data.Size() - 1)), plot.right() + 2);
  if (to >= from) {
    const QRect strip(QPoint(static_cast<int>(std::floor(from)) - 2, plot.top()),
                      QPoint(static_cast<int>(std::ceil(to)) + 2, plot.bottom()));
    QPainter painter(&picture_);
    painter.setFont(font());
    PaintChart(painter, rect(), model_, strip);
  }
  return true;
}

void TChart::Compose(QPainter& painter) const {
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

void TChart::RenderIfStale() {
  if (picture_.size() != size() * devicePixelRatioF()) pictureLayout_ = ~uint64_t{0};
  if (pictureLayout_ != model_.LayoutRevision() || pictureRevision_ != model_.Revision()) Render();
}

QImage TChart::Grab() {
  RenderIfStale();
  QImage frame = picture_.copy();
  QPainter painter(&frame);
  Compose(painter);
  return frame;
}

void TChart::paintEvent(QPaintEvent*) {
  RenderIfStale();
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
  Compose(painter);
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
