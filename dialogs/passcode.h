#pragma once
// Asks for the instrument's numeric passcode; the viewer itself holds none.
#include <QDialog>
#include <memory>

namespace Ui {
class TFrmPasscode;
}

class TFrmPasscode : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmPasscode(QWidget* parent = nullptr);
  ~TFrmPasscode() override;
  // At most six digits, whether typed or pasted.
  QString Passcode() const;
  void Clear();

 private:
  std::unique_ptr<Ui::TFrmPasscode> ui_;
};
