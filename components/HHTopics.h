#pragma once
// A list of context numbers with their texts (pop-up texts or topic paths): the
// Strings set in code, and the lines of a side file beside the help file, named
// like it with the list's extension in place of "chm". One entry a line: the
// number, "=" or a space, and the text.
#include <QString>
#include <QStringList>
#include <cstdint>

// What a list asks of the help file it belongs to.
class THelpFileSource {
 public:
  virtual QString SideFileName(const QString& ext) const = 0;
  virtual bool IsHtmlHelpFile() const = 0;

 protected:
  ~THelpFileSource() = default;
};

class THHTopics {
 public:
  // extension: "pup" or "ali". Takes its default side file at once.
  THHTopics(const THelpFileSource& socket, QString extension);

  QStringList Strings;

  const QString& TextFile() const { return textFile_; }
  // Reads the side file's lines; an empty path takes the default side file. A
  // file that cannot be read says so, and the lines held so far stay.
  void SetTextFile(const QString& path);

  // The text of context n: from Strings, else from the side file. The side file is
  // read again on each search until the help file is an HTML help file.
  QString Find(std::int32_t n);

 private:
  const THelpFileSource& socket_;
  QString extension_;
  bool loaded_ = false;
  QStringList lines_;
  QString textFile_;
};

// The text after the number n in the first line that starts with it; each line
// is trimmed and its first "=" read as a space. Lines without a space, and lines
// whose first word is not a number, are skipped.
QString FindTopicText(const QStringList& lines, std::int32_t n);
