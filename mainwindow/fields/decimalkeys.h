#pragma once
// The keys of a field that holds a decimal number: Enter brings the text to its
// decimals (and presses no default button); digits, signs, separators, blank and
// control keys pass, and every other character is swallowed.
#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

class TDecimalKeys final : public QObject {
 public:
  // Watches edit, which owns it. normalise: what Enter makes of the text.
  TDecimalKeys(QLineEdit* edit, std::function<QString(const QString& text)> normalise);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edit_;
  std::function<QString(const QString& text)> normalise_;
};
