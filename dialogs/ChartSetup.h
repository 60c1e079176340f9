#pragma once
// The "Chart Setup" dialog: the time and weight ranges of the Log page's chart and
// its comment, with range checks on leaving each field and order checks on OK.
// Numbers are typed with the viewer's decimal character and read with either.
// Made once at start-up and reused.
#include <QDialog>
#include <memory>

class QLineEdit;
class TChartModel;
namespace Ui {
class TFrmChartSetup;
}

class TFrmChartSetup : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmChartSetup(QWidget* parent = nullptr);
  ~TFrmChartSetup() override;

  // Weight decimals 0..5 and the decimal character; set before showing.
  int DecimalPlaces = 0;
  QChar DecimalChar = QLatin1Char('.');
  // The chart the Auto button reads; not owned.
  const TChartModel* Chart = nullptr;

  // Fills the fields as "%f" texts (two decimals), the unit labels and the comment.
  void SetValues(double start, double end, double minWeight, double maxWeight, const QString& units,
                 const QString& comment);
  // The fields read back as numbers (either decimal character), and the comment.
  double StartTime() const;
  double EndTime() const;
  double MinWeight() const;
  double MaxWeight() const;
  QString Comment() const;

  void BtnAutoClick();
  void BtnOkClick();
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsTimeField(const QObject* edit) const;
  bool IsWeightField(const QObject* edit) const;
  // Brings the field to its number of decimals; with check, also its range.
  void Normalise(QLineEdit* edit, bool check);
  QString Fixed(double value) const;

  std::unique_ptr<Ui::TFrmChartSetup> ui_;
};

// The one instance, made at start-up, or nullptr.
extern TFrmChartSetup* FrmChartSetup;

// A number as the chart set-up's fields hold it: digits, a "-" and one decimal
// mark, "." or ","; anything else is passed over.
double ReadChartNumber(const QString& text);
