#pragma once
// Reading a printed settings report back: the golden text it is held against, and
// the PDF's text and lines as pdftotext finds them.
#include <QString>
#include <QStringList>
#include <vector>

// A file of tests/mainwindow/files in the source tree.
QString SourceFile(const char* name);
// A golden text's lines, without the empty one after its last line end.
QStringList GoldenLines(const QString& path);

// One printed line as pdftotext finds it: its words, page and position in points.
struct TPdfLine {
  int page = 0;
  double top = 0, left = 0, width = 0;
  QStringList words;
};

QString PdfText(const QString& pdf, const QString& option = QStringLiteral("-raw"));
// Every line of the PDF in reading order, page by page.
std::vector<TPdfLine> PdfLines(const QString& pdf);
