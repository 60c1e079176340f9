// Any bytes read as a calibration backup give five blocks, a stored checksum and
// the restore's questions without failing. A backup written from what was read,
// or from any five block replies, reads back with the same blocks and a checksum
// that matches, so a complete backup never asks the checksum question; nor does it
// ask about the viewer or the indicator it was made for, whatever their texts hold.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/seen_recently.h"
#include "mainwindow/calibration/calbackupfile.h"
#include "platform/inifile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

TCalBackup Reread(const TMemIniFile& ini) {
  TMemIniFile again;
  again.SetBytes(ini.Bytes());
  return ReadCalBackup(again);
}

// The identity is one read from a file, so it is written back unchanged.
TCalBackup CheckRoundTrip(const TCalIdentity& identity, const std::vector<TCalBlock>& blocks) {
  TMemIniFile ini;
  FillCalBackup(ini, identity, blocks);
  const TCalBackup back = Reread(ini);
  Check(back.storedChecksum == back.Checksum());
  Check(RestoreQuestions(back, identity, QStringLiteral("serial?")).empty());
  return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TMemIniFile ini;
  ini.SetBytes(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  const TCalBackup read = ReadCalBackup(ini);
  const std::vector<QString> questions = RestoreQuestions(read, read.identity, QStringLiteral("serial?"));
  Check(questions.size() <= 1);
  Check(questions.empty() == (read.storedChecksum == read.Checksum()));

  // Most inputs read as a backup read before, header and blocks alike: its round
  // trip is proved once.
  const TCalIdentity& id = read.identity;
  if (!SeenRecently(std::tuple(id.viewerProduct, id.viewerVersion, id.indicatorModel, id.indicatorVersion,
                               id.indicatorSerialNo, read.values))) {
    std::vector<TCalBlock> blocks;
    for (int i = 0; i < kCalBlocks; ++i) blocks.push_back({i, read.values[static_cast<std::size_t>(i)]});
    Check(CheckRoundTrip(read.identity, blocks).values == read.values);
  }

  // The same bytes as five raw replies of the indicator, cut at NUL bytes.
  std::vector<TCalBlock> raw;
  std::size_t begin = 0;
  for (int i = 0; i < kCalBlocks; ++i) {
    const std::size_t end = std::min(bytes.find('\0', begin), bytes.size());
    raw.push_back({i, bytes.substr(std::min(begin, bytes.size()), end - std::min(begin, bytes.size()))});
    begin = end + 1;
  }
  CheckRoundTrip(read.identity, raw);

  // The same pieces as the viewer and indicator at hand, blanks and line breaks
  // included: a backup made of them restores onto them without a question.
  const auto text = [&](std::size_t i) {
    return QString::fromLatin1(raw[i].value.data(), static_cast<qsizetype>(raw[i].value.size()));
  };
  CheckRoundTrip({text(0), text(1), text(2), text(3), text(4)}, raw);
  return 0;
}
