// F1 opens the technician's manual in the program's own help window at the topic
// of the page or dialog in use; Help/Contents opens its contents page. Each
// program shows its own icon on its windows and in the About box.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>

#include "components/HHIntf.h"
#include "mainwindow/window/programicon.h"
#include "platform/helpwindow.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

class F1Help : public TViewerFixture, public ::testing::WithParamInterface<const TViewerProgram*> {
 protected:
  F1Help() : TViewerFixture(*GetParam()) {}

  void SetUp() override {
    // The real engine: the help window, not a recorder.
    SetHelpEngineLoader({});
    TViewerFixture::SetUp();
    const QString name = QString::fromLatin1(GetParam()->name);
    const QString bin = qEnvironmentVariable("VIEWER_BIN_DIR") + QStringLiteral("/help/");
    const QString help = exe.Path(QStringLiteral("help/"));
    ASSERT_TRUE(QDir().mkpath(help + name + QStringLiteral(".chm")));
    ASSERT_TRUE(QFile::copy(bin + name + QStringLiteral(".ali"), help + name + QStringLiteral(".ali")));
    const QDir pages(bin + name + QStringLiteral(".chm"));
    ASSERT_FALSE(pages.entryList(QDir::Files).isEmpty());
    for (const QString& page : pages.entryList(QDir::Files))
      ASSERT_TRUE(QFile::copy(pages.filePath(page), help + name + QStringLiteral(".chm/") + page));
  }

  static THelpWindow* HelpWindow() {
    for (QWidget* w : QApplication::allWidgets())
      if (auto* help = dynamic_cast<THelpWindow*>(w); help && help->isVisible()) return help;
    return nullptr;
  }
  // The page the help window shows, "settings.html#passcode"; empty without one.
  static QString Topic() {
    const THelpWindow* help = HelpWindow();
    if (!help) return QString();
    const QUrl page = help->Page();
    return page.fileName() + (page.hasFragment() ? QLatin1Char('#') + page.fragment() : QString());
  }
  // A person clicks into the window first, on a control that takes the focus (not
  // on a button, which would act).
  static QWidget& ClickSomewhereIn(QWidget& root) {
    for (QWidget* w : root.findChildren<QWidget*>()) {
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus) && !qobject_cast<QTabBar*>(w) &&
          !qobject_cast<QAbstractButton*>(w) && w->width() > 4 && w->height() > 4) {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2));
        return *w;
      }
    }
    return root;
  }
  static QString F1In(QWidget& root) {
    QWidget& control = ClickSomewhereIn(root);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && (focus == &root || root.isAncestorOf(focus)) ? focus : &control, Qt::Key_F1);
    return Topic();
  }
  // F1 in a dialog that the program opens through the prompter; it is cancelled.
  void AnswerWithF1(QString& topic) {
    prompter.AnswerDialog([&topic](QDialog& dialog) {
      dialog.show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
      topic = F1In(dialog);
      dialog.hide();
      return static_cast<int>(mrCancel);
    });
  }
};

TEST_P(F1Help, OpensTheTopicOfEachPageAndDialogAndTheContentsFromTheHelpMenu) {
  const bool w840 = GetParam()->model == TViewerModel::W840;
  QString topic;

  // Dialogs that are opened before a connection.
  struct MenuDialog {
    const char* action;
    const char* topic;
  } menuDialogs[] = {
      {"Connect2", "connecting.html"},
      {"MnuOptions", "options.html"},
      {"MnuDeviceFinder", "devicefinder.html"},
      {"ChartSetup", "logging.html#chart"},
  };
  for (const MenuDialog& d : menuDialogs) {
    AnswerWithF1(topic);
    Control<QAction>(*window, d.action).trigger();
    EXPECT_EQ(topic, QString::fromLatin1(d.topic)) << d.action;
  }

  Control<QAction>(*window, "Contents1").trigger();
  EXPECT_EQ(Topic(), QStringLiteral("index.html"));
  Connect();

  // The settings transfer dialog, while it reads: it has only its Cancel button.
  prompter.AnswerDialog([&topic](QDialog& dialog) {
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_F1);
    topic = Topic();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
    return dialog.result();
  });
  Control<QAction>(*window, "ReadSettings1").trigger();
  ASSERT_TRUE(window->InSync());
  EXPECT_EQ(topic, QStringLiteral("settings.html#transfer"));

  struct Page {
    const char* name;
    const char* topic;
  } pages[] = {
      {"TSDisplay", "display.html"}, {"TSSettings", "settings.html"}, {"TSCal", "calibration.html"},
      {"TSLog", "logging.html"},     {"TSTest", "testpage.html"},
  };
  auto& tabs = Control<QTabWidget>(*window, "PgCMain");
  for (const Page& p : pages) {
    QWidget& page = Control<QWidget>(*window, p.name);
    QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(tabs.indexOf(&page)).center());
    ASSERT_EQ(tabs.currentWidget(), &page) << p.name;
    EXPECT_EQ(F1In(page), QString::fromLatin1(p.topic)) << p.name;
    // With the focus on the page tabs F1 means the page shown.
    tabs.tabBar()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tabs.tabBar(), Qt::Key_F1);
    EXPECT_EQ(Topic(), QString::fromLatin1(p.topic)) << p.name << " from the tabs";
  }

  // The log set-up, from the Log page's Start button.
  AnswerWithF1(topic);
  QPushButton& start = Control<QPushButton>(*window, "BtnStart");
  QTest::mouseClick(&start, Qt::LeftButton);
  EXPECT_EQ(topic, QStringLiteral("logging.html#setup"));

  // The dialogs that a write or a calibration step asks with.
  struct Reusable {
    const char* name;
    const char* topic;
    bool w840Only;
  } reusable[] = {{"FrmPasscode", "settings.html#passcode", false}, {"FrmAbsCal", "calibration.html#absolute", true}};
  for (const Reusable& r : reusable) {
    if (r.w840Only && !w840) continue;
    auto* dialog = window->findChild<QDialog*>(QString::fromLatin1(r.name));
    ASSERT_NE(dialog, nullptr) << r.name;
    dialog->show();
    EXPECT_EQ(F1In(*dialog), QString::fromLatin1(r.topic)) << r.name;
    dialog->hide();
  }

  // F1 in the help window itself goes to the contents; the window shows one page at a time.
  THelpWindow* help = HelpWindow();
  ASSERT_NE(help, nullptr);
  QTest::keyClick(&help->Browser(), Qt::Key_F1);
  EXPECT_EQ(Topic(), QStringLiteral("index.html"));
  EXPECT_TRUE(help->Browser().toPlainText().contains(QStringLiteral("technician's manual")));
  EXPECT_TRUE(prompter.Messages().empty());
}

TEST_P(F1Help, TheHelpWindowShowsTheTopicsPages) {
  // Right after the start, wherever the focus is, or on the tool bar: the page shown.
  window->activateWindow();
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus ? focus : window.get(), Qt::Key_F1);
  EXPECT_EQ(Topic(), QStringLiteral("display.html"));
  auto& connect = Control<QWidget>(*window, "ToolButton4");
  connect.setFocus(Qt::TabFocusReason);
  QTest::keyClick(&connect, Qt::Key_F1);
  EXPECT_EQ(Topic(), QStringLiteral("display.html"));
  THelpWindow* help = HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->Browser().toPlainText().contains(QStringLiteral("front-panel keys")));
  KeepPicture(help->grab().toImage(), (std::string(GetParam()->name) + "-help-display.png").c_str());

  // A link on the page leads to its page in the same window, and Back comes back.
  QTextBrowser& browser = help->Browser();
  QUrl backup = QUrl::fromLocalFile(exe.Path(QStringLiteral("help/")) + QString::fromLatin1(GetParam()->name) +
                                    QStringLiteral(".chm/calibration.html"));
  backup.setFragment(QStringLiteral("backup"));
  browser.setSource(backup);
  EXPECT_TRUE(browser.toPlainText().contains(QStringLiteral("Backup and restore")));
  KeepPicture(help->grab().toImage(), (std::string(GetParam()->name) + "-help-calibration.png").c_str());
  QTest::mouseClick(help->findChild<QWidget*>(QStringLiteral("HelpBack")), Qt::LeftButton);
  EXPECT_EQ(Topic(), QStringLiteral("display.html"));

  // Closing the main window ends the program's event loop, the help still open or
  // not; the guard only keeps a failure from hanging the run.
  bool stuck = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&stuck] {
    stuck = true;
    QApplication::quit();
  });
  guard.start(kWaitMs);
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  QApplication::exec();
  EXPECT_FALSE(stuck) << "the help window kept the program running";
}

TEST_P(F1Help, EachProgramShowsItsOwnIconOnItsWindowsAndInTheAboutBox) {
  const QString name = QString::fromLatin1(GetParam()->name);
  const QString other = name == QStringLiteral("W830_830") ? QStringLiteral("W840Viewer") : QStringLiteral("W830_830");
  const QImage own = ProgramIcon(name).pixmap(48, 48).toImage();
  ASSERT_FALSE(own.isNull());
  EXPECT_NE(own, ProgramIcon(other).pixmap(48, 48).toImage());
  EXPECT_EQ(window->windowIcon().pixmap(48, 48).toImage(), own);
  auto* about = window->findChild<QDialog*>(QStringLiteral("frmAbout"));
  ASSERT_NE(about, nullptr);
  const QPixmap picture = Control<QLabel>(*about, "ImageAbout").pixmap();
  EXPECT_EQ(picture.toImage().convertToFormat(own.format()), own);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, F1Help, ::testing::Values(&kW830Program, &kW840Program),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
