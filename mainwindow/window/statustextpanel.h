#pragma once
// A status bar panel for the text of each command sent and each reply, which
// changes many times a second. Every character is drawn once, in the panel's font
// and colours, and a new text is put together from those pictures: showing it lays
// out and blends no glyphs, and only the columns that differ from the text before
// are painted again. Plain text on one line, cut off at the panel's edge; the text
// is the link's, Latin-1.
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>

class TStatusTextPanel : public QWidget {
 public:
  explicit TStatusTextPanel(QWidget* parent = nullptr);
  const QString& Text() const { return text_; }
  void SetText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  const QImage& Character(char16_t c);
  // The device pixels from the line's left edge to the end of the first count characters.
  int Advance(const QString& text, qsizetype count);
  QRect ChangedPart(const QString& from, const QString& to);
  void Compose();
  void Restyle();

  QString text_;
  std::array<QImage, 256> characters_;  // by Latin-1 code, drawn when first needed
  QImage line_;                         // the text as shown
  bool composed_ = false;
};
