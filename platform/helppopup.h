#pragma once
// The help engine's text pop-up: a small frameless window with the text in the
// record's colours, font and margins, its top centre at the record's point and
// kept on the screen. A click or a key closes it, as does a click elsewhere.
#include <QColor>
#include <QFont>
#include <QLabel>

#include "platform/htmlhelpapi.h"

class THelpPopup final : public QLabel {
 public:
  THelpPopup(const THHPopup& record, QWidget* owner);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The font of a pop-up's font text "family, size in points, character set, style
// words" (bold, italic, underline, strike-out); a missing family or size keeps
// fallback's, and the styles are those the text names.
QFont PopupFont(const QString& fontText, const QFont& fallback);

// A COLORREF as a colour; the default colour (-1) gives fallback.
QColor ColorOfRef(THHColor color, const QColor& fallback);
