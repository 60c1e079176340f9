#pragma once
// The instrument line of the status bar: red with yellow text while the settings
// pages may differ from what the indicator holds, plain otherwise.
#include <QWidget>

class TStatusLinePanel : public QWidget {
 public:
  explicit TStatusLinePanel(QWidget* parent = nullptr);
  QString Text() const { return text_; }
  void SetText(const QString& text);
  void SetInSync(bool inSync);
  bool DrawnRed() const { return !text_.isEmpty() && !inSync_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  bool inSync_ = false;
};
