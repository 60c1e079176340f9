#include "platform/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>

#include "platform/filereplace.h"
#include "platform/textlines.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray Trimmed(const QByteArray& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text.at(begin))) ++begin;
  while (end > begin && IsBlank(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

// Case folding for Latin-1: ASCII letters and the accented capitals.
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

bool SameName(const QByteArray& a, const QByteArray& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (Fold(static_cast<unsigned char>(a.at(i))) != Fold(static_cast<unsigned char>(b.at(i)))) return false;
  return true;
}

QByteArray Latin1(const QString& text) { return text.toLatin1(); }

// A value must stay on its line, or the file would grow a line of its own.
QByteArray OneLine(const QString& value) {
  QByteArray bytes = Latin1(value);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes.at(i) == '\r' || bytes.at(i) == '\n') {
      bytes.truncate(i);
      break;
    }
  }
  return bytes;
}

bool ParseInteger(const QByteArray& text, int& out) {
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
  // A file saved as UTF-8 by an editor may start with a byte-order mark; it is no
  // part of the first line, which may be a section header.
  const QByteArrayView mark(kUtf8ByteOrderMark.data(), static_cast<qsizetype>(kUtf8ByteOrderMark.size()));
  qsizetype pos = bytes.startsWith(mark) ? mark.size() : 0;
  while (pos < bytes.size()) {
    qsizetype end = pos;
    while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n') ++end;
    TLine line;
    line.raw = bytes.mid(pos, end - pos);
    pos = end;
    if (pos < bytes.size() && bytes.at(pos) == '\r') {
      ++pos;
      if (pos < bytes.size() && bytes.at(pos) == '\n') ++pos;
    } else if (pos < bytes.size()) {
      ++pos;
    }

    const QByteArray text = Trimmed(line.raw);
    if (text.size() >= 2 && text.startsWith('[') && text.endsWith(']')) {
      TSection section;
      section.name = Trimmed(text.mid(1, text.size() - 2));
      section.headerRaw = line.raw;
      section.hasHeader = true;
      sections_.push_back(std::move(section));
      continue;
    }
    const qsizetype eq = text.indexOf('=');
    if (!text.startsWith(';') && eq > 0) {
      line.key = Trimmed(text.left(eq));
      line.value = Trimmed(text.mid(eq + 1));
      line.isKey = !line.key.isEmpty();
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

QByteArray TMemIniFile::Bytes() const {
  QByteArray out;
  for (const auto& section : sections_) {
    if (section.hasHeader) out += section.headerRaw + "\r\n";
    for (const auto& line : section.lines) out += line.raw + "\r\n";
  }
  return out;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const QByteArray& name) const {
  for (const auto& section : sections_)
    if (section.hasHeader && SameName(section.name, name)) return &section;
  return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const QByteArray& name) {
  return const_cast<TSection*>(static_cast<const TMemIniFile*>(this)->FindSection(name));
}

const TMemIniFile::TLine* TMemIniFile::FindKey(const QByteArray& section, const QByteArray& ident) const {
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const auto& line : s->lines)
    if (line.isKey && SameName(line.key, ident)) return &line;
  return nullptr;
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
  const TLine* line = FindKey(Latin1(section), Latin1(ident));
  return line ? QString::fromLatin1(line->value) : defaultValue;
}

QString TMemIniFile::ValueAsRead(const QString& value) { return QString::fromLatin1(Trimmed(OneLine(value))); }

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  const QByteArray sectionName = Latin1(section);
  const QByteArray key = Latin1(ident);
  const QByteArray bytes = OneLine(value);
  TSection* s = FindSection(sectionName);
  if (!s) {
    if (sections_.empty()) sections_.push_back(TSection{});
    auto& last = sections_.back();
    const bool endsBlank = last.lines.empty() ? !last.hasHeader : Trimmed(last.lines.back().raw).isEmpty();
    if (!endsBlank) last.lines.push_back(TLine{});
    TSection added;
    added.name = sectionName;
    added.headerRaw = '[' + sectionName + ']';
    added.hasHeader = true;
    sections_.push_back(std::move(added));
    s = &sections_.back();
  }
  for (auto& line : s->lines) {
    if (line.isKey && SameName(line.key, key)) {
      line.value = bytes;
      line.raw = line.key + '=' + bytes;
      return;
    }
  }
  // New keys go after the section's last non-blank line, so the blank line that
  // separates it from the next section stays where it was.
  auto at = s->lines.end();
  while (at != s->lines.begin() && Trimmed((at - 1)->raw).isEmpty()) --at;
  TLine line;
  line.key = key;
  line.value = bytes;
  line.raw = key + '=' + bytes;
  line.isKey = true;
  s->lines.insert(at, std::move(line));
}

int TMemIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
  const TLine* line = FindKey(Latin1(section), Latin1(ident));
  int value = 0;
  return line && ParseInteger(line->value, value) ? value : defaultValue;
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
  return FindKey(Latin1(section), Latin1(ident)) != nullptr;
}

bool TMemIniFile::SectionExists(const QString& section) const { return FindSection(Latin1(section)) != nullptr; }

QStringList TMemIniFile::ReadSections() const {
  QStringList names;
  for (const auto& section : sections_)
    if (section.hasHeader) names << QString::fromLatin1(section.name);
  return names;
}

QStringList TMemIniFile::ReadSection(const QString& section) const {
  QStringList keys;
  const TSection* s = FindSection(Latin1(section));
  if (!s) return keys;
  for (const auto& line : s->lines)
    if (line.isKey) keys << QString::fromLatin1(line.key);
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
