#pragma once
// Whole text files of lines, as the indicator's settings and log files are kept:
// bytes are Latin-1 and travel untouched in std::string, any of CR LF, LF or CR
// ends a line on reading, and every line is written with CR LF.
#include <QString>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A file that could not be read or written; the message names the file and the
// system's reason.
class ETextFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The lines of a file's bytes. A last line without an ending still counts; the
// ending after the last line makes no empty line of its own.
std::vector<std::string> SplitLines(std::string_view bytes);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Throws ETextFileError when the file cannot be opened or read.
std::vector<std::string> ReadTextLines(const QString& path);
// Writes the whole file through a temporary file and a rename, so a failed write
// leaves any old file as it was. Throws ETextFileError on failure.
void WriteTextLines(const QString& path, const std::vector<std::string>& lines);
