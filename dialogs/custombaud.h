#pragma once
// Asks for the rate of the baud rate "Custom": any whole rate the line may run at.
#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCustomBaud;
}

class TFrmCustomBaud : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMinBaud = 50;
  static constexpr int kMaxBaud = 4000000;

  // Opens on rate, or empty for 0.
  explicit TFrmCustomBaud(int rate, QWidget* parent = nullptr);
  ~TFrmCustomBaud() override;
  // The rate typed; 0 when the text is none.
  int Rate() const;

 protected:
  // OK takes only a rate within range; the box says which rates are.
  void done(int result) override;

 private:
  std::unique_ptr<Ui::TFrmCustomBaud> ui_;
};
