#pragma once
// The viewer's ini file, held whole in memory with the rules technicians know from
// Windows: section and key names match without regard to case, values are kept
// exactly as typed (backslashes, commas, quotes), and every line the program does
// not understand - unknown keys, comments, stray text - is written back unchanged
// and in its place. Bytes are Latin-1; any of CR LF, LF or CR ends a line on
// reading, CR LF on writing.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class TMemIniFile {
 public:
  // An ini object with no file behind it (UpdateFile fails).
  TMemIniFile() = default;
  // Reads the whole file when it exists. A file that exists but cannot be read
  // leaves the object empty and says why in LoadError().
  explicit TMemIniFile(const QString& fileName);

  const QString& FileName() const { return fileName_; }
  // Empty when the file was read (or did not exist); otherwise the reason it could not be.
  const QString& LoadError() const { return loadError_; }

  // Replaces the whole content by these bytes, as if read from a file.
  void SetBytes(const QByteArray& bytes);
  // The whole content as UpdateFile writes it.
  QByteArray Bytes() const;

  QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const;
  // A value keeps only its first line and loses its outer blanks once written and
  // read again: this is what ReadString gives back for what WriteString was given.
  static QString ValueAsRead(const QString& value);
  void WriteString(const QString& section, const QString& ident, const QString& value);
  // A value that is not a decimal 32-bit integer (optional sign) gives the default.
  int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
  void WriteInteger(const QString& section, const QString& ident, int value);
  // Any integer other than 0 is true; a value that is not an integer gives the default.
  bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;
  void WriteBool(const QString& section, const QString& ident, bool value);

  bool ValueExists(const QString& section, const QString& ident) const;
  bool SectionExists(const QString& section) const;
  // Section names in file order, and the keys of the first section of that name.
  QStringList ReadSections() const;
  QStringList ReadSection(const QString& section) const;

  // True when the content differs from what the file held when it was read (or
  // the file did not exist then).
  bool Modified() const;
  // Writes the whole content to FileName through a temporary file and a rename,
  // so that a failure leaves the old file as it was, keeping the file's owner,
  // mode and links (see ReplaceFileContent). On failure returns false and
  // LastError() says why.
  bool UpdateFile();
  const QString& LastError() const { return lastError_; }

 private:
  // A line read from a file is a place in the file's bytes, which all its lines
  // share: reading a file of hundreds of lines allocates for none of them. A line
  // written since holds bytes of its own. Key and value are places in the same bytes.
  struct TLine {
    QByteArray text;                   // the file's bytes, or the line's own
    qsizetype at = 0, size = 0;        // the line as read, written back unless the value changed
    qsizetype keyAt = 0, keySize = 0;  // no key for comments, blank and malformed lines
    qsizetype valueAt = 0, valueSize = 0;
    bool isKey = false;
    QByteArrayView Raw() const { return QByteArrayView(text).sliced(at, size); }
    QByteArrayView Key() const { return QByteArrayView(text).sliced(keyAt, keySize); }
    QByteArrayView Value() const { return QByteArrayView(text).sliced(valueAt, valueSize); }
    // "key=value" in one allocation, the value up to its first line break: a value
    // must stay on its line, or the file would grow a line of its own.
    template <class KeyText>
    static TLine KeyLine(KeyText key, QStringView value);
  };
  struct TSection {
    TLine header;  // its key is the section's name
    bool hasHeader = false;  // false for the lines before the first header
    std::vector<TLine> lines;
    QByteArrayView Name() const { return header.Key(); }
  };

  // Names asked for are matched as their Latin-1 bytes, without making them.
  const TSection* FindSection(QStringView name) const;
  TSection* FindSection(QStringView name);
  const TLine* FindKey(QStringView section, QStringView ident) const;

  QString fileName_;
  QString loadError_;
  QString lastError_;
  std::vector<TSection> sections_;
  // What the file held, as Bytes() gives it, when it was read or last written.
  QByteArray onDisk_;
  bool existsOnDisk_ = false;
};
