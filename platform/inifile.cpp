#include "platform/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/filereplace.h"
#include "platform/textlines.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A view, so that reading a file copies each key and value once.
QByteArrayView Trimmed(QByteArrayView text) {
  const char* begin = text.begin();
  const char* end = text.end();
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return QByteArrayView(begin, end);
}

// Case folding for Latin-1: ASCII letters and the accented capitals.
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

// A name held in the file against one asked for, whose characters beyond Latin-1
// stand for '?' as they would once written.
bool SameName(QByteArrayView held, QStringView asked) {
  if (held.size() != asked.size()) return false;
  const auto* x = reinterpret_cast<const unsigned char*>(held.data());
  const char16_t* ys = asked.utf16();
  for (qsizetype i = 0; i < held.size(); ++i) {
    const char16_t u = ys[i];
    const auto y = static_cast<unsigned char>(u > 0xFF ? '?' : u);
    if (x[i] != y && Fold(x[i]) != Fold(y)) return false;
  }
  return true;
}

// Writes a text's Latin-1 bytes at out, '?' for what Latin-1 lacks, as toLatin1
// would, and returns their end: a line is built in place, not from a copy of each piece.
char* PutLatin1(char* out, QStringView text) {
  return QStringEncoder(QStringConverter::Latin1).appendToBuffer(out, text);
}
char* PutLatin1(char* out, QByteArrayView latin1) { return std::copy(latin1.begin(), latin1.end(), out); }

// The first line of a value, as a file gives it back once written.
QByteArray OneLine(const QString& value) {
  QByteArray bytes = value.toLatin1();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes.at(i) == '\r' || bytes.at(i) == '\n') {
      bytes.truncate(i);
      break;
    }
  }
  return bytes;
}

bool ParseInteger(QByteArrayView text, int& out) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-')) negative = text.at(i++) == '-';
  if (i >= text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text.at(i);
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

}  // namespace

TMemIniFile::TMemIniFile(const QString& fileName) : fileName_(fileName) {
  if (!QFileInfo::exists(fileName)) return;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    loadError_ = file.errorString();
    return;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    loadError_ = file.errorString();
    return;
  }
  SetBytes(bytes);
  onDisk_ = Bytes();
  existsOnDisk_ = true;
}

void TMemIniFile::SetBytes(const QByteArray& bytes) {
  sections_.clear();
  sections_.push_back(TSection{});
  // A file saved as UTF-8 by an editor may start with a byte-order mark (more than
  // one, when each save added its own); none is part of the first line, which may
  // be a section header, and none is written back.
  const QByteArrayView mark(kUtf8ByteOrderMark.data(), static_cast<qsizetype>(kUtf8ByteOrderMark.size()));
  const QByteArrayView all(bytes);
  qsizetype pos = 0;
  while (all.sliced(pos).startsWith(mark)) pos += mark.size();
  while (pos < all.size()) {
    const char* data = all.data();
    qsizetype end = pos;
    while (end < all.size() && data[end] != '\r' && data[end] != '\n') ++end;
    const QByteArrayView raw = all.sliced(pos, end - pos);
    pos = end;
    if (pos < all.size() && all[pos] == '\r') {
      ++pos;
      if (pos < all.size() && all[pos] == '\n') ++pos;
    } else if (pos < all.size()) {
      ++pos;
    }

    TLine line;
    line.text = bytes;
    line.at = raw.data() - all.data();
    line.size = raw.size();
    const auto place = [&](QByteArrayView part, qsizetype& at, qsizetype& size) {
      at = part.data() - all.data();
      size = part.size();
    };
    const QByteArrayView text = Trimmed(raw);
    if (text.size() >= 2 && text.startsWith('[') && text.endsWith(']')) {
      place(Trimmed(text.sliced(1, text.size() - 2)), line.keyAt, line.keySize);
      TSection section;
      section.header = std::move(line);
      section.hasHeader = true;
      sections_.push_back(std::move(section));
      continue;
    }
    const qsizetype eq = text.indexOf('=');
    if (!text.startsWith(';') && eq > 0) {
      const QByteArrayView key = Trimmed(text.first(eq));
      place(key, line.keyAt, line.keySize);
      place(Trimmed(text.sliced(eq + 1)), line.valueAt, line.valueSize);
      line.isKey = !key.isEmpty();
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

QByteArray TMemIniFile::Bytes() const {
  qsizetype size = 0;
  for (const auto& section : sections_) {
    if (section.hasHeader) size += section.header.size + 2;
    for (const auto& line : section.lines) size += line.size + 2;
  }
  QByteArray out;
  out.reserve(size);
  for (const auto& section : sections_) {
    if (section.hasHeader) out.append(section.header.Raw()).append("\r\n", 2);
    for (const auto& line : section.lines) out.append(line.Raw()).append("\r\n", 2);
  }
  return out;
}

template <class KeyText>
TMemIniFile::TLine TMemIniFile::TLine::KeyLine(KeyText key, QStringView value) {
  TLine line;
  line.text.resize(key.size() + 1 + value.size());
  char* const begin = line.text.data();
  char* const equals = PutLatin1(begin, key);
  *equals = '=';
  char* const valueBegin = equals + 1;
  const std::string_view written(valueBegin, static_cast<std::size_t>(PutLatin1(valueBegin, value) - valueBegin));
  line.keySize = equals - begin;
  line.valueAt = line.keySize + 1;
  line.valueSize = static_cast<qsizetype>(std::min(written.find_first_of("\r\n"), written.size()));
  line.size = line.valueAt + line.valueSize;
  line.text.truncate(line.size);
  line.isKey = true;
  return line;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(QStringView name) const {
  for (const auto& section : sections_)
    if (section.hasHeader && SameName(section.Name(), name)) return &section;
  return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(QStringView name) {
  return const_cast<TSection*>(static_cast<const TMemIniFile*>(this)->FindSection(name));
}

const TMemIniFile::TLine* TMemIniFile::FindKey(QStringView section, QStringView ident) const {
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const auto& line : s->lines)
    if (line.isKey && SameName(line.Key(), ident)) return &line;
  return nullptr;
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
  const TLine* line = FindKey(section, ident);
  return line ? QString::fromLatin1(line->Value()) : defaultValue;
}

QString TMemIniFile::ValueAsRead(const QString& value) { return QString::fromLatin1(Trimmed(OneLine(value))); }

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  TSection* s = FindSection(section);
  if (!s) {
    if (sections_.empty()) sections_.push_back(TSection{});
    auto& last = sections_.back();
    const bool endsBlank = last.lines.empty() ? !last.hasHeader : Trimmed(last.lines.back().Raw()).isEmpty();
    if (!endsBlank) last.lines.push_back(TLine{});
    TSection added;
    TLine& header = added.header;
    header.size = section.size() + 2;
    header.text.resize(header.size);
    header.text[0] = '[';
    *PutLatin1(header.text.data() + 1, section) = ']';
    header.keyAt = 1;
    header.keySize = header.size - 2;
    added.hasHeader = true;
    sections_.push_back(std::move(added));
    s = &sections_.back();
  }
  for (auto& line : s->lines) {
    if (line.isKey && SameName(line.Key(), ident)) {
      line = TLine::KeyLine(line.Key(), value);
      return;
    }
  }
  // New keys go after the section's last non-blank line, so the blank line that
  // separates it from the next section stays where it was.
  auto at = s->lines.end();
  while (at != s->lines.begin() && Trimmed((at - 1)->Raw()).isEmpty()) --at;
  s->lines.insert(at, TLine::KeyLine(QStringView(ident), value));
}

int TMemIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
  const TLine* line = FindKey(section, ident);
  int value = 0;
  return line && ParseInteger(line->Value(), value) ? value : defaultValue;
}

void TMemIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, QString::number(value));
}

bool TMemIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TMemIniFile::ValueExists(const QString& section, const QString& ident) const {
  return FindKey(section, ident) != nullptr;
}

bool TMemIniFile::SectionExists(const QString& section) const { return FindSection(section) != nullptr; }

QStringList TMemIniFile::ReadSections() const {
  QStringList names;
  for (const auto& section : sections_)
    if (section.hasHeader) names << QString::fromLatin1(section.Name());
  return names;
}

QStringList TMemIniFile::ReadSection(const QString& section) const {
  QStringList keys;
  const TSection* s = FindSection(section);
  if (!s) return keys;
  for (const auto& line : s->lines)
    if (line.isKey) keys << QString::fromLatin1(line.Key());
  return keys;
}

bool TMemIniFile::Modified() const { return !existsOnDisk_ || Bytes() != onDisk_; }

bool TMemIniFile::UpdateFile() {
  lastError_.clear();
  if (fileName_.isEmpty()) {
    lastError_ = QStringLiteral("no file name");
    return false;
  }
  if (!loadError_.isEmpty()) {
    lastError_ = loadError_;
    return false;
  }
  const QByteArray bytes = Bytes();
  if (!ReplaceFileContent(fileName_, bytes, lastError_)) return false;
  onDisk_ = bytes;
  existsOnDisk_ = true;
  return true;
}
