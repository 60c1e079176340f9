#pragma once
// The options dialog: the two reply time-outs, shown and edited in seconds, kept in
// the viewer settings in tenths of a second.
#include <QDialog>
#include <memory>

class TdatViewer;
namespace Ui {
class TfrmOptions;
}

class TfrmOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmOptions(TdatViewer& store, QWidget* parent = nullptr);
  ~TfrmOptions() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void btnOKClick();
  void edtSerialTimeoutExitError();

  std::unique_ptr<Ui::TfrmOptions> ui_;
  TdatViewer& store_;
};

// A stored time-out counts ticks of the window's 10 ms timer; the dialog shows
// that same time in seconds: the shortest text, the locale's separator.
QString TicksAsSeconds(int ticks);
// Seconds back to ticks, rounded to nearest with halves to even.
int SecondsAsTicks(double seconds);
