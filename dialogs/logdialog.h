#pragma once
// The "Logging" dialog: the sample rate of a weight log and which signal each of
// the eight digital channels shows. Made once at start-up and reused.
#include <QDialog>
#include <QStringList>
#include <array>
#include <memory>

class QComboBox;
namespace Ui {
class TFrmLogDialog;
}

class TFrmLogDialog : public QDialog {
  Q_OBJECT
 public:
  // signalNames fill each channel's list; the first is "None".
  explicit TFrmLogDialog(const QStringList& signalNames, QWidget* parent = nullptr);
  ~TFrmLogDialog() override;

  // Milliseconds between polled samples; 0 for "Auto" (the indicator streams).
  int GetSampleInterval() const;
  // 1 when the indicator streams ("Auto"), otherwise 2 (the viewer polls).
  int GetLogMode() const;
  // The signal index of channel 0..7; any other channel gives 0.
  int GetDigitalSource(int channel) const;

  void reject() override;

 private:
  std::unique_ptr<Ui::TFrmLogDialog> ui_;
  std::array<QComboBox*, 8> Channels{};
};

// The one instance, made at start-up, or nullptr.
extern TFrmLogDialog* FrmLogDialog;
