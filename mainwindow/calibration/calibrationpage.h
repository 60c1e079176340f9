#pragma once
// The Calibration page's controls below its front panel: zero and span, direct
// mV/V values, the linearisation points and the backup buttons. The steps behind
// the buttons are TCalibrationSteps; this widget keeps its own fields tidy.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "mainwindow/calibration/calibrationsteps.h"

namespace Ui {
class TCalibrationPage;
}
class QLineEdit;

// One row of the linearisation list: "3:   50%   6.25 kg" for point 3 at 50 % with
// a weight of 1000 sixteenths of a count at one decimal, or "3:" for a point not set.
QString LinearisationRow(int point, int32_t percent, int32_t weight, int decimals, char decimalChar,
                         const QString& unit);

class TCalibrationPage : public QWidget {
  Q_OBJECT
 public:
  explicit TCalibrationPage(QWidget* parent = nullptr);
  ~TCalibrationPage() override;

  QLineEdit* Edit(TCalibrationSteps::TField field) const;
  // The linearisation point the technician picked, or -1: the list makes its first
  // row current, unselected, when it takes the focus from the keyboard.
  int SelectedLinPoint() const;
  // Each step button runs its step through run.
  void ConnectSteps(const std::function<void(void (TCalibrationSteps::*step)())>& run);

  // What Enter in the linearisation weight makes of its text: the weight with the
  // display's decimals.
  std::function<QString(const QString& text)> NormaliseWeight;
  // The units text beside both weights.
  void SetUnits(const QString& units);
  // Rewrites the list row by row, appending rows it lacks, so the selection stays.
  void SetLinearisationRows(const QStringList& rows);
  // For absolute mV/V calibration the span weight and the linearisation are hidden
  // and the direct mV/V group is usable; for weighing the other way round.
  void ArrangeForAbsoluteCalibration(bool absolute);

 private:
  std::unique_ptr<Ui::TCalibrationPage> ui_;
};
