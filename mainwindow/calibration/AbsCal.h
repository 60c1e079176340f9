#pragma once
// The W840's absolute mV/V calibration dialog: the indicator's value offered with
// four decimals under a prompt, for the technician to confirm or change. OK takes
// only a value within -3.0000..3.0000 mV/V, brought to four decimals; out of range
// the dialog says so and stays open. Made once at start-up and reused.
#include <QDialog>
#include <cstdint>
#include <memory>

namespace Ui {
class TFrmAbsCal;
}

class TFrmAbsCal : public QDialog {
  Q_OBJECT
 public:
  // 3.0000 mV/V in the indicator's 1/10000 mV/V.
  static constexpr int32_t kLimit = 30000;

  explicit TFrmAbsCal(QWidget* parent = nullptr);
  ~TFrmAbsCal() override;

  // The viewer's decimal character; set before showing.
  QChar DecimalChar = QLatin1Char('.');
  // The prompt, and the value (x 10000) the field offers.
  void SetValue(const QString& prompt, int32_t value);
  // The field's value (x 10000), as OK left it.
  int32_t Value() const;

  void BtnOkClick();
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Brings the field to four decimals; true when its value is in range, else the
  // error box, and the field takes the focus again.
  bool EdtAbsMVExit();
  QString Normalised(const QString& text) const;

  std::unique_ptr<Ui::TFrmAbsCal> ui_;
};

// The one instance, made at start-up by the W840 viewer, or nullptr.
extern TFrmAbsCal* FrmAbsCal;
