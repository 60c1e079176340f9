// The desktop's help engine: when it counts as installed, what it opens, and the
// text pop-ups it shows and closes.
#include "platform/desktophelp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include "platform/desktopapps.h"
#include "platform/shellopen.h"

namespace {

// Desktop folders of our own: no program is associated with anything until a
// test writes an association list. The system's type database stays visible.
class DesktopFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    for (const char* dir : {"home/applications", "system/applications", "config"})
      ASSERT_TRUE(QDir().mkpath(root.filePath(QString::fromLatin1(dir))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/mime"), root.filePath(QStringLiteral("system/mime"))));
    Set("XDG_DATA_HOME", root.filePath(QStringLiteral("home")));
    Set("XDG_DATA_DIRS", root.filePath(QStringLiteral("system")));
    Set("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")));
    Set("XDG_CONFIG_DIRS", root.filePath(QStringLiteral("config")));
  }
  void TearDown() override {
    for (const auto& [name, value] : saved) value.isNull() ? qunsetenv(name) : qputenv(name, value);
  }
  void Set(const char* name, const QString& value) {
    saved.emplace_back(name, qgetenv(name));
    qputenv(name, value.toLocal8Bit());
  }
  void Write(const QString& file, const QByteArray& text) {
    QFile out(root.filePath(file));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
  }

  QTemporaryDir root;
  std::vector<std::pair<const char*, QByteArray>> saved;
};

TEST_F(DesktopFolders, AHelpViewerIsInstalledWhenADesktopProgramTakesTheHelpFileType) {
  ASSERT_EQ(QMimeDatabase().mimeTypeForFile(QStringLiteral("a.chm"), QMimeDatabase::MatchExtension).name(),
            "application/vnd.ms-htmlhelp");
  const struct {
    const char* file;
    const char* text;
    bool installed;
  } cases[] = {
      {nullptr, nullptr, false},
      {"system/applications/mimeinfo.cache", "[MIME Cache]\napplication/vnd.ms-htmlhelp=chmviewer.desktop;\n", true},
      {"config/mimeapps.list", "[Added Associations]\napplication/x-chm=chmviewer.desktop;\n", true},
      {"home/applications/mimeapps.list", "[Default Applications]\napplication/vnd.ms-htmlhelp=chmviewer.desktop\n",
       true},
      {"config/mimeapps.list", "[Removed Associations]\napplication/vnd.ms-htmlhelp=chmviewer.desktop;\n", false},
      {"system/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=editor.desktop;\n", false},
  };
  for (const auto& c : cases) {
    for (const char* list : {"system/applications/mimeinfo.cache", "config/mimeapps.list",
                             "home/applications/mimeapps.list"})
      QFile::remove(root.filePath(QString::fromLatin1(list)));
    if (c.file) Write(QString::fromLatin1(c.file), c.text);
    EXPECT_EQ(DesktopHasOpenerFor(QStringLiteral("viewer.chm")), c.installed) << (c.text ? c.text : "none");
    EXPECT_EQ(LoadDesktopHelpEngine() != nullptr, c.installed) << (c.text ? c.text : "none");
  }
}

class DesktopHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellOpener([this](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
    ASSERT_TRUE(dir.isValid());
    helpFile = dir.filePath(QStringLiteral("viewer.chm"));
    QFile file(helpFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  void TearDown() override {
    THHData none = 0;
    engine.HtmlHelpA(nullptr, QString(), HH_CLOSE_ALL, none);
    SetShellOpener({});
  }
  // Asks the engine for the pop-up; the window it showed, once exposed, or null.
  QPointer<THelpPopup> ShowPopup(const THHPopup& record) {
    THHData data = record;
    if (engine.HtmlHelpA(nullptr, QString(), HH_DISPLAY_TEXT_POPUP, data) != 1) return nullptr;
    QPointer<THelpPopup> popup;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* shown = dynamic_cast<THelpPopup*>(widget)) popup = shown;
    if (popup && !QTest::qWaitForWindowExposed(popup)) return nullptr;
    return popup;
  }

  QTemporaryDir dir;
  QString helpFile;
  std::vector<QUrl> opened;
  TDesktopHelpEngine engine;
};

TEST_F(DesktopHelp, EveryPageOfTheHelpFileOpensTheFileInTheDesktopsViewer) {
  const struct {
    unsigned command;
    QString file;
    int result;
  } cases[] = {
      {HH_DISPLAY_TOC, helpFile, 1},
      {HH_DISPLAY_INDEX, helpFile + ">main", 1},
      {HH_DISPLAY_SEARCH, helpFile + "::/start.htm>main", 1},
      {HH_DISPLAY_TOPIC, helpFile, 1},
      {HH_HELP_CONTEXT, helpFile, 1},
      {HH_DISPLAY_TOC, dir.filePath(QStringLiteral("missing.chm")), 0},
      {HH_DISPLAY_TOC, QString(), 0},
      {HH_GET_WIN_TYPE, helpFile + ">main", -1},
  };
  for (const auto& c : cases) {
    opened.clear();
    THHData data = 0;
    EXPECT_EQ(engine.HtmlHelpA(nullptr, c.file, c.command, data), c.result) << c.file.toStdString();
    const std::vector<QUrl> expected =
        c.result > 0 ? std::vector<QUrl>{QUrl::fromLocalFile(helpFile)} : std::vector<QUrl>{};
    EXPECT_EQ(opened, expected) << c.file.toStdString();
  }
}

TEST_F(DesktopHelp, ATextPopupShowsTheTextInItsLookUntilCloseAll) {
  THHPopup record;
  record.pszText = QStringLiteral("Zero the scale first.");
  record.x = 300;
  record.y = 200;
  record.clrForeground = 0x000000FF;
  record.clrBackground = 0x00FFFF00;
  record.rcMargins = THHRect{7, 8, 9, 10};
  record.pszFont = QStringLiteral("Serif, 14, 1, italic srikeout");
  const QPointer<THelpPopup> popup = ShowPopup(record);
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->text(), record.pszText);
  EXPECT_EQ(popup->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
  EXPECT_EQ(popup->palette().color(QPalette::Window), QColor(0, 0xFF, 0xFF));
  EXPECT_EQ(popup->contentsMargins(), QMargins(7, 8, 9, 10));
  EXPECT_EQ(popup->font().family(), "Serif");
  EXPECT_EQ(popup->font().pointSize(), 14);
  EXPECT_TRUE(popup->font().italic() && popup->font().strikeOut());
  EXPECT_FALSE(popup->font().bold());
  EXPECT_EQ(popup->geometry().top(), 200);
  EXPECT_LE(std::abs(popup->geometry().center().x() - 300), 1);

  THHData none = 0;
  EXPECT_EQ(engine.HtmlHelpA(nullptr, QString(), HH_CLOSE_ALL, none), 1);
  EXPECT_TRUE(popup.isNull());
}

TEST_F(DesktopHelp, APopupWithDefaultsTakesTheToolTipLookStaysOnTheScreenAndAClickClosesIt) {
  THHPopup record;
  record.pszText = QStringLiteral("Near the corner");
  record.x = -500;
  record.y = 100000;
  const QPointer<THelpPopup> popup = ShowPopup(record);
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->palette().color(QPalette::Window), QToolTip::palette().color(QPalette::ToolTipBase));
  EXPECT_TRUE(popup->screen()->availableGeometry().contains(popup->geometry()));
  QTest::mouseClick(popup, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return popup.isNull(); }, 5000));
}

}  // namespace
