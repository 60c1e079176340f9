#include "platform/helppopup.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

THelpPopup::THelpPopup(const THHPopup& record, QWidget* owner) : QLabel(owner, Qt::Popup | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("HelpPopup"));
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setText(record.pszText);
  setFont(PopupFont(record.pszFont, QToolTip::font()));

  const QPalette tips = QToolTip::palette();
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ColorOfRef(record.clrBackground, tips.color(QPalette::ToolTipBase)));
  colours.setColor(QPalette::WindowText, ColorOfRef(record.clrForeground, tips.color(QPalette::ToolTipText)));
  setPalette(colours);
  setAutoFillBackground(true);

  const int standard = style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this);
  auto margin = [standard](std::int32_t m) { return m < 0 ? standard : m; };
  setContentsMargins(margin(record.rcMargins.left), margin(record.rcMargins.top), margin(record.rcMargins.right),
                     margin(record.rcMargins.bottom));

  const QPoint topCentre(record.x, record.y);
  const QScreen* screen = QGuiApplication::screenAt(topCentre);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
  setMaximumWidth(qMax(200, area.width() / 3));
  adjustSize();
  QRect placed(QPoint(topCentre.x() - width() / 2, topCentre.y()), size());
  placed.moveRight(qMin(placed.right(), area.right()));
  placed.moveBottom(qMin(placed.bottom(), area.bottom()));
  placed.moveLeft(qMax(placed.left(), area.left()));
  placed.moveTop(qMax(placed.top(), area.top()));
  move(placed.topLeft());
}

void THelpPopup::mousePressEvent(QMouseEvent*) { close(); }

void THelpPopup::keyPressEvent(QKeyEvent*) { close(); }

QFont PopupFont(const QString& fontText, const QFont& fallback) {
  QFont font = fallback;
  const QStringList parts = fontText.split(QLatin1Char(','));
  if (const QString family = parts.value(0).trimmed(); !family.isEmpty()) font.setFamily(family);
  bool ok = false;
  if (const int points = parts.value(1).trimmed().toInt(&ok); ok && points > 0) font.setPointSize(points);
  // parts[2] is the character set; Qt picks glyphs by the text itself.
  const QStringList styles = parts.value(3).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  font.setBold(styles.contains(QStringLiteral("bold")));
  font.setItalic(styles.contains(QStringLiteral("italic")));
  font.setUnderline(styles.contains(QStringLiteral("underline")));
  // The bridge spells strike-out "srikeout".
  font.setStrikeOut(styles.contains(QStringLiteral("srikeout")) || styles.contains(QStringLiteral("strikeout")));
  return font;
}

QColor ColorOfRef(THHColor color, const QColor& fallback) {
  if (color == kHHDefaultColor) return fallback;
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
