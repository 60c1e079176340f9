// The viewer's ini survives the ways technicians run the programs: once with sudo,
// from a folder they may not write, with a file made read-only, through links. It
// is written only when something changed, keeps its owner, mode and links, and a
// file that cannot be written says so once, with its path.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/dmViewer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tests/support/unprivileged.h"

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;
const QString kIni = QStringLiteral("W830_830.ini");
// Line ends as a text editor leaves them: a write would turn them into CR LF.
const QByteArray kOriginal = "[Options]\nFirstRun=1\n";

struct stat Stat(const QString& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
  return st;
}

void Own(const QString& path, uid_t uid, gid_t gid, mode_t mode) {
  const QByteArray name = QFile::encodeName(path);
  ASSERT_EQ(::chown(name.constData(), uid, gid), 0);
  ASSERT_EQ(::chmod(name.constData(), mode), 0);
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One run of the program: it starts, perhaps changes an option, and ends.
void RunProgram(bool asNobody, bool change) {
  std::unique_ptr<TUnprivileged> user;
  if (asNobody) {
    user = std::make_unique<TUnprivileged>();
    ASSERT_TRUE(user->Active());
  }
  TdatViewer store;
  ASSERT_TRUE(store.HasIniFile());
  if (change) store.SetFirstRun(!store.GetFirstRun());
}

struct TCase {
  const char* name;
  // Makes the situation in the program's folder; gives the path that the checks read.
  std::function<void(TTempExeDir&)> setup;
  bool asNobody;
  bool change;
  bool written;  // the change reached the file
  bool reported;  // one message names the file
  std::function<void(TTempExeDir&)> check;
};

}  // namespace

TEST(IniKeeping, OwnerModeAndLinksSurviveAndOnlyChangesAreWritten) {
  const TCase cases[] = {
      {"an unchanged file is not touched, not even its line ends",
       [](TTempExeDir& exe) { exe.Write(kIni, kOriginal); }, false, false, false, false,
       [](TTempExeDir& exe) { EXPECT_EQ(exe.Read(kIni), kOriginal); }},
      {"a run with sudo gives the user's file back to the user, mode included",
       [](TTempExeDir& exe) {
         exe.Write(kIni, kOriginal);
         Own(exe.Path(kIni), kNobody, kNogroup, 0640);
       },
       false, true, true, false,
       [](TTempExeDir& exe) {
         const struct stat st = Stat(exe.Path(kIni));
         EXPECT_EQ(st.st_uid, kNobody);
         EXPECT_EQ(st.st_gid, kNogroup);
         EXPECT_EQ(st.st_mode & 07777, 0640u);
         // And the user's own next run can still save.
         Own(exe.Dir(), 0, 0, 0755);
         RunProgram(true, true);
         EXPECT_TRUE(exe.Read(kIni).contains("FirstRun=1"));
       }},
      {"a writable file in a folder the user may not write is written in place",
       [](TTempExeDir& exe) {
         exe.Write(kIni, kOriginal);
         Own(exe.Path(kIni), kNobody, kNogroup, 0644);
         Own(exe.Dir(), 0, 0, 0555);
       },
       true, true, true, false,
       [](TTempExeDir& exe) {
         EXPECT_EQ(Stat(exe.Path(kIni)).st_uid, kNobody);
         EXPECT_EQ(QDir(exe.Dir()).entryList(QDir::Files), QStringList{kIni}) << "no temporary file is left";
       }},
      {"a read-only file that nothing changed says nothing",
       [](TTempExeDir& exe) {
         exe.Write(kIni, kOriginal);
         Own(exe.Path(kIni), kNobody, kNogroup, 0444);
         Own(exe.Dir(), kNobody, kNogroup, 0755);
       },
       true, false, false, false, [](TTempExeDir&) {}},
      {"a read-only file that a change cannot reach says so once and stays read-only",
       [](TTempExeDir& exe) {
         exe.Write(kIni, kOriginal);
         Own(exe.Path(kIni), kNobody, kNogroup, 0444);
         Own(exe.Dir(), kNobody, kNogroup, 0755);
       },
       true, true, false, true,
       [](TTempExeDir& exe) { EXPECT_EQ(Stat(exe.Path(kIni)).st_mode & 07777, 0444u); }},
      {"a symbolic link stays a link and its target is written",
       [](TTempExeDir& exe) {
         ASSERT_TRUE(QDir(exe.Dir()).mkdir(QStringLiteral("kept")));
         exe.Write(QStringLiteral("kept/mine.ini"), kOriginal);
         ASSERT_TRUE(QFile::link(QStringLiteral("kept/mine.ini"), exe.Path(kIni)));
       },
       false, true, true, false,
       [](TTempExeDir& exe) {
         EXPECT_TRUE(QFileInfo(exe.Path(kIni)).isSymLink());
         EXPECT_TRUE(exe.Read(QStringLiteral("kept/mine.ini")).contains("FirstRun=0"));
       }},
      {"a file with a second hard link is written through both names",
       [](TTempExeDir& exe) {
         exe.Write(QStringLiteral("other.ini"), kOriginal);
         ASSERT_EQ(::link(QFile::encodeName(exe.Path(QStringLiteral("other.ini"))).constData(),
                          QFile::encodeName(exe.Path(kIni)).constData()),
                   0);
       },
       false, true, true, false,
       [](TTempExeDir& exe) {
         EXPECT_EQ(Stat(exe.Path(kIni)).st_ino, Stat(exe.Path(QStringLiteral("other.ini"))).st_ino);
         EXPECT_TRUE(exe.Read(QStringLiteral("other.ini")).contains("FirstRun=0"));
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTempExeDir exe;
    Own(exe.Dir(), 0, 0, 0755);
    c.setup(exe);
    const ino_t before = Stat(exe.Path(kIni)).st_ino;
    TScriptedPrompter prompter;
    if (c.reported) prompter.AnswerMessage(mrOk);
    RunProgram(c.asNobody, c.change);

    const QByteArray now = ReadFile(QFileInfo(exe.Path(kIni)).canonicalFilePath());
    EXPECT_EQ(now.contains("FirstRun=0"), c.written) << now.constData();
    if (!c.written) {
      EXPECT_EQ(Stat(exe.Path(kIni)).st_ino, before);
    }
    if (c.reported) {
      ASSERT_EQ(prompter.Messages().size(), 1u);
      EXPECT_TRUE(prompter.Messages()[0].contains(exe.Path(kIni))) << prompter.Messages()[0].toStdString();
      EXPECT_TRUE(prompter.Messages()[0].contains(QStringLiteral("cannot be written")));
    } else {
      EXPECT_TRUE(prompter.Messages().empty());
    }
    c.check(exe);
    Own(exe.Dir(), 0, 0, 0700);
  }
}
