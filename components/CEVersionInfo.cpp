#include "components/CEVersionInfo.h"

#include <elf.h>

#include <QFile>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#include <map>

#include "platform/exepath.h"

namespace {

const QString kNotAvailable = QStringLiteral("<info not available>");

// The bytes of the version section of an ELF file, or nothing.
QByteArray ReadVersionSection(const QString& fileName) {
  std::ifstream file(QFile::encodeName(fileName).toStdString(), std::ios::binary);
  const std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (image.size() < sizeof(Elf64_Ehdr)) return {};
  auto at = [&](quint64 offset, quint64 size) -> const char* {
    if (offset > image.size() || size > image.size() - offset) return nullptr;
    return image.data() + offset;
  };
  Elf64_Ehdr header;
  const char* h = at(0, sizeof header);
  if (!h || std::memcmp(h, ELFMAG, SELFMAG) != 0 || h[EI_CLASS] != ELFCLASS64) return {};
  std::memcpy(&header, h, sizeof header);
  if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum) return {};
  auto section = [&](unsigned index, Elf64_Shdr& out) {
    const char* p = at(header.e_shoff + quint64{index} * sizeof(Elf64_Shdr), sizeof(Elf64_Shdr));
    if (p) std::memcpy(&out, p, sizeof out);
    return p != nullptr;
  };
  Elf64_Shdr names;
  if (!section(header.e_shstrndx, names)) return {};
  for (unsigned i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr s;
    if (!section(i, s) || s.sh_name >= names.sh_size) continue;
    const char* name = at(names.sh_offset + s.sh_name, sizeof kVersionSectionName);
    if (!name || std::memcmp(name, kVersionSectionName, sizeof kVersionSectionName) != 0) continue;
    const char* bytes = at(s.sh_offset, s.sh_size);
    return bytes ? QByteArray(bytes, static_cast<qsizetype>(s.sh_size)) : QByteArray();
  }
  return {};
}

}  // namespace

void SplitFileVersion(const QString& version, QString& major, QString& minor, QString& release, QString& build) {
  const QChar sep = version.contains(u'.') ? u'.' : u',';
  if (version.isEmpty() || !version.contains(sep)) {
    major = minor = release = build = kNotAvailable;
    return;
  }
  QString rest = version;
  auto take = [&]() {
    const qsizetype p = rest.indexOf(sep);
    if (p < 0) return QString();
    const QString part = rest.left(p);
    rest = rest.mid(p + 1);
    return part;
  };
  major = take();
  minor = take();
  release = take();
  build = rest;
}

TCEVersionInfo::TCEVersionInfo() { GetInfo(ExecutableFileName()); }

void TCEVersionInfo::GetInfo(const QString& fileName) {
  QString* texts[] = {&CompanyName,     &FileDescription,  &FileVersion, &Internalname,   &LegalCopyright,
                      &LegalTradeMarks, &OriginalFilename, &ProductName, &ProductVersion, &Comments,
                      &MajorVersion,    &MinorVersion,     &Release,     &Build};
  const QByteArray block = ReadVersionSection(fileName);
  if (block.isEmpty()) {
    for (QString* t : texts) *t = kNotAvailable;
    return;
  }
  std::map<QString, QString> values;
  for (const QByteArray& entry : block.split('\0')) {
    const qsizetype eq = entry.indexOf('=');
    if (eq > 0) values[QString::fromLatin1(entry.left(eq))] = QString::fromLatin1(entry.mid(eq + 1));
  }
  const char* keys[] = {"CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
                        "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};
  for (std::size_t i = 0; i < std::size(keys); ++i) *texts[i] = values[QString::fromLatin1(keys[i])];
  SplitFileVersion(FileVersion, MajorVersion, MinorVersion, Release, Build);
}
