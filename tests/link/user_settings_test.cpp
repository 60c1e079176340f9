// An installed program keeps each user's options in that user's configuration
// folder, made from the shipped default on the first start, with no box at start
// or at exit for a user who never wrote an ini of their own.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/dmViewer.h"
#include "platform/exepath.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tests/support/unprivileged.h"

namespace {

constexpr uid_t kNobody = 65534;
const QByteArray kShipped = "[General]\r\nBackgroundImage=W830_830panel.BMP\r\n";

uid_t Owner(const QString& path) {
  struct stat st {};
  EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
  return st.st_uid;
}

}  // namespace

TEST(UserSettings, TheFirstStartMakesTheUsersIniFromTheShippedOneAndLaterRunsKeepIt) {
  struct Case {
    const char* name;
    bool firstRunWithSudo;  // sudo that keeps the user's home
  } cases[] = {{"the user starts it", false}, {"the first start is with sudo", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTempExeDir root;
    const QDir dir(root.Dir());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("usr/bin")) && dir.mkpath(QStringLiteral("usr/share/") + PackageName()) &&
                dir.mkpath(QStringLiteral("home")));
    root.Write(QStringLiteral("usr/share/") + PackageName() + QStringLiteral("/W830_830.ini"), kShipped);
    ASSERT_EQ(::chmod(QFile::encodeName(root.Dir()).constData(), 0755), 0);
    ASSERT_EQ(::chown(QFile::encodeName(root.Path(QStringLiteral("home"))).constData(), kNobody, kNobody), 0);
    SetExecutableFileNameForTests(root.Path(QStringLiteral("usr/bin/W830_830")));
    TScopedEnv config("XDG_CONFIG_HOME", QByteArray());
    TScopedEnv home("HOME", root.Path(QStringLiteral("home")).toLocal8Bit());
    const QString ini = root.Path(QStringLiteral("home/.config/")) + PackageName() + QStringLiteral("/W830_830.ini");

    TScriptedPrompter prompter;
    {
      std::unique_ptr<TUnprivileged> user;
      if (!c.firstRunWithSudo) user = std::make_unique<TUnprivileged>();
      TdatViewer store;
      EXPECT_EQ(store.IniFileName(), ini);
      EXPECT_TRUE(store.HasIniFile());
      EXPECT_EQ(store.GetBackgroundImage(), QStringLiteral("W830_830panel.BMP"));
      EXPECT_TRUE(store.GetFirstRun());
    }
    EXPECT_TRUE(prompter.Messages().empty()) << "no box at start or at exit";
    EXPECT_EQ(root.Read(QStringLiteral("home/.config/") + PackageName() + QStringLiteral("/W830_830.ini")), kShipped);
    EXPECT_EQ(Owner(ini), kNobody);
    EXPECT_EQ(Owner(root.Path(QStringLiteral("home/.config"))), kNobody);

    {
      TUnprivileged user;
      ASSERT_TRUE(user.Active());
      TdatViewer store;
      store.SetFirstRun(false);
    }
    {
      TUnprivileged user;
      TdatViewer store;
      EXPECT_FALSE(store.GetFirstRun()) << "the user's own change was kept";
    }
    EXPECT_TRUE(prompter.Messages().empty());
  }
}
