#pragma once
// A one-line edit that filters keystrokes by the kind of value it holds, checks the
// whole text against a range (numbers) or a length range (texts) after every change
// and on leaving, shows an invalid text in the error colour, and keeps the focus
// while the text is invalid unless the focus goes to the form's cancel control.
#include <QColor>
#include <QLineEdit>
#include <functional>

enum TDataType { dtFloat, dtInteger, dtString, dtPrintable, dtFilename };

// Whether a key's text is a typed character (backspace included) rather than an
// editing or control key: X11 sends Delete with the text 0x7F.
bool IsTypedCharacter(const QString& text);

class TNumEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TNumEdit(QWidget* parent = nullptr);

  double MaxReal = 1000.0;
  int Max = 1000;
  bool MaxInclusive = true;
  double MinReal = 0.0;
  int Min = 0;
  bool MinInclusive = true;
  QColor ColorOK = Qt::black;
  QColor ColorError = Qt::red;
  int CancelTag = 1234567890;

  std::function<void(TNumEdit*)> OnChange;
  std::function<void(TNumEdit*)> OnExit;
  std::function<void(TNumEdit*, QChar&)> OnKeyPress;
  std::function<void(TNumEdit*)> OnDataError;
  std::function<void(TNumEdit*)> OnExitError;
  std::function<void(TNumEdit*)> OnEnterKeyPress;

  TDataType editType() const { return editType_; }
  void setEditType(TDataType type);
  bool Valid() const { return valid_; }
  // The text as a number with the locale's separator, or MinReal when it is none.
  double RealValue() const;
  // Runs the check of the current kind now (an OK button re-checks its fields).
  void Check();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Change();
  void DoExit(QWidget* newFocus);
  bool FilterKey(QChar& c) const;  // false: the key is dropped
  void Mark(bool valid);
  void CheckBounds(double value, double min, double max);

  TDataType editType_ = dtInteger;
  bool valid_ = true;
  bool changeSeen_ = false;
};
