#pragma once
// How the help bridge's text pop-ups look: colours, font and margins, each -1
// (the engine's default) until set.
#include <QFont>
#include <QFontInfo>
#include <cstdint>

#include "platform/htmlhelpapi.h"

struct TRcMargins {
  std::int32_t Bottom = -1;
  std::int32_t Left = -1;
  std::int32_t Right = -1;
  std::int32_t Top = -1;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };

// The pop-up font, with its text colour.
class THHFont : public QFont {
 public:
  THHColor Color = kHHDefaultColor;
  // Whether the font the system matched has fixed or variable pitch.
  TFontPitch Pitch() const { return QFontInfo(*this).fixedPitch() ? fpFixed : fpVariable; }
};

struct THHPopupWindow {
  THHColor BackgroundColor = kHHDefaultColor;
  THHFont Font;
  TRcMargins RcMargins;
};
