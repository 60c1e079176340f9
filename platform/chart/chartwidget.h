#pragma once
// The chart on screen. It keeps the last drawn chart as a picture and draws only
// the measuring cursors (in XOR, as cross-hairs) and the zoom rectangle over it, so
// moving a cursor never redraws the series. A left drag to the lower right zooms
// into the rectangle, any other left drag undoes the zoom; a right drag pans.
#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/chart/chartmodel.h"

class TChart : public QWidget {
  Q_OBJECT
 public:
  explicit TChart(QWidget* parent = nullptr);

  TChartModel& Model() { return model_; }
  const TChartModel& Model() const { return model_; }

  // The owner's handlers, called after the chart has done its own part.
  std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)> OnMouseDown;
  std::function<void()> OnZoom;
  std::function<void()> OnUndoZoom;
  std::function<void()> OnDblClick;
  // A new picture was drawn: the cursors on the old one are gone.
  std::function<void()> OnAfterDraw;

  // The chart as it shows now, cursors and all (tests, pictures).
  QImage Grab();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Render();
  // Only the samples added since the last picture, when nothing else changed.
  bool RenderNewSamples();
  void RenderIfStale();
  // The cursors and the zoom rectangle over the picture.
  void Compose(QPainter& painter) const;

  TChartModel model_;
  QImage picture_;
  uint64_t pictureRevision_ = ~uint64_t{0};
  uint64_t pictureLayout_ = ~uint64_t{0};
  std::size_t pictureSamples_ = 0;
  enum class TDrag { None, Zoom, Pan } drag_ = TDrag::None;
  QPoint dragStart_;
  QPoint dragNow_;
};
