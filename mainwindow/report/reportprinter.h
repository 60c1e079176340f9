#pragma once
// Prints report lines the way a text file goes to the printer: from the top of the
// printable area, three empty lines, then each line behind five blanks, one line
// height apart, in the given font; a full page goes on on the next one.
#include <QStringList>

class QFont;
class QPrinter;

// Throws std::runtime_error when the printer cannot start the job.
void PrintReportLines(QPrinter& printer, const QFont& font, const QStringList& lines);
