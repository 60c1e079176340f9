#include "mainwindow/report/reportprinter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <stdexcept>

namespace {

constexpr int kTopEmptyLines = 3;
const QString kIndent = QStringLiteral("     ");

// Cuts a line that is wider than the page into pieces that fit, each later piece
// indented two blanks past the line: clipped at the page edge, settings would be lost.
QStringList FitToWidth(const QString& line, const QFontMetrics& metrics, int width) {
  qsizetype lead = 0;
  while (lead < line.size() && line[lead] == u' ') ++lead;
  const QString hanging(lead + 2, u' ');
  QStringList pieces;
  QString rest = line;
  while (metrics.horizontalAdvance(rest) > width && rest.size() > hanging.size() + 1) {
    qsizetype fits = rest.size() - 1;
    while (fits > hanging.size() + 1 && metrics.horizontalAdvance(rest.left(fits)) > width) --fits;
    // Break after the last blank that fits, when the text has one past the indent.
    const qsizetype blank = rest.left(fits).lastIndexOf(u' ');
    if (blank > hanging.size()) fits = blank + 1;
    pieces << rest.left(fits);
    rest = hanging + rest.mid(fits);
  }
  pieces << rest;
  return pieces;
}

}  // namespace

void PrintReportLines(QPrinter& printer, const QFont& font, const QStringList& lines) {
  QPainter painter;
  if (!painter.begin(&printer)) throw std::runtime_error("The printer could not start the print job.");
  painter.setFont(font);
  const QFontMetrics metrics = painter.fontMetrics();
  const int lineHeight = metrics.lineSpacing();
  const int pageWidth = printer.width();
  const int pageHeight = printer.height();

  QStringList printed;
  for (int i = 0; i < kTopEmptyLines; ++i) printed << QString();
  for (const QString& line : lines) printed << FitToWidth(kIndent + line, metrics, pageWidth);

  int y = 0;
  for (const QString& text : printed) {
    if (y > 0 && y + lineHeight > pageHeight) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(0, y + metrics.ascent(), text);
    y += lineHeight;
  }
}
