#pragma once
// The setpoint record tabs: the number of a setpoint in use is navy and bold, that
// of an unused one black and italic, so the whole set shows at a glance.
#include <QTabBar>
#include <vector>

class TSetpointTabBar : public QTabBar {
 public:
  explicit TSetpointTabBar(QWidget* parent = nullptr) : QTabBar(parent) {}
  void SetUsed(int index, bool used);
  bool Used(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<bool> used_;
};
