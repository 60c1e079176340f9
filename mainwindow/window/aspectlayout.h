#pragma once
// Lays out one widget at a fixed width-to-height ratio, as large as its space
// allows and centred in it, so a front-panel picture keeps its proportions
// whatever room its page leaves it.
#include <QLayout>
#include <memory>

class TAspectLayout final : public QLayout {
 public:
  TAspectLayout(QWidget* parent, int width, int height) : QLayout(parent), width_(width), height_(height) {}
  ~TAspectLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return item_ ? 1 : 0; }
  QLayoutItem* itemAt(int index) const override { return index == 0 ? item_.get() : nullptr; }
  QLayoutItem* takeAt(int index) override { return index == 0 ? item_.release() : nullptr; }
  QSize sizeHint() const override;
  QSize minimumSize() const override { return {0, 0}; }
  Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }
  void setGeometry(const QRect& rect) override;

 private:
  int width_;
  int height_;
  std::unique_ptr<QLayoutItem> item_;
};
