#include "tests/mainwindow/printed_report.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

QString SourceFile(const char* name) {
  return qEnvironmentVariable("VIEWER_SOURCE_DIR") + QStringLiteral("/tests/mainwindow/files/") + name;
}

QStringList GoldenLines(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

QString PdfText(const QString& pdf, const QString& option) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {option, pdf, QStringLiteral("-")});
  EXPECT_TRUE(process.waitForFinished(30000)) << "pdftotext";
  return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<TPdfLine> PdfLines(const QString& pdf) {
  const QString html = PdfText(pdf, QStringLiteral("-bbox"));
  struct TWord {
    int page;
    double top, left, right;
    QString text;
  };
  std::vector<TWord> words;
  int page = 0;
  static const QRegularExpression tag(QStringLiteral(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
  for (auto it = tag.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (m.captured(0) == QStringLiteral("<page ")) ++page;
    else words.push_back({page, m.captured(2).toDouble(), m.captured(1).toDouble(), m.captured(3).toDouble(), m.captured(4)});
  }
  // pdftotext does not always give a line's words in reading order.
  std::sort(words.begin(), words.end(), [](const TWord& a, const TWord& b) {
    return std::tie(a.page, a.top, a.left) < std::tie(b.page, b.top, b.left);
  });
  std::vector<TPdfLine> lines;
  for (const TWord& w : words) {
    if (lines.empty() || lines.back().page != w.page || lines.back().top != w.top)
      lines.push_back({w.page, w.top, w.left, 0, {}});
    lines.back().width = w.right - lines.back().left;
    lines.back().words << w.text;
  }
  return lines;
}
