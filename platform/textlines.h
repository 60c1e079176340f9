#pragma once
// Text files of lines, as the programs' own files are kept: Latin-1 bytes, any of
// CR LF, LF or CR ends a line on reading (a last line end adds no empty line), CR
// LF on writing, and a written file is replaced whole or not at all.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

// Skipped where a file starts with it: the files are Latin-1, the mark is no text.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Throws std::runtime_error naming the file when it cannot be read.
std::vector<std::string> ReadTextLines(const QString& path);
// Splits bytes as ReadTextLines does, a leading UTF-8 byte-order mark skipped.
std::vector<std::string> SplitTextLines(const std::string& bytes);
// Throws std::runtime_error naming the file when it cannot be written; the old
// file is then left as it was.
void WriteTextLines(const QString& path, const std::vector<std::string>& lines);
