// What the technician types on the settings pages, or opens from a file, with the
// real main window against the simulated indicator: it is written as typed or
// refused with a message, never saved, sent or printed out of range, and never
// lost by a cancelled read; a file of the other indicator is refused.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>

#include <functional>

#include "mainwindow/settings/settingspagescore.h"
#include "platform/textlines.h"
#include "protocol/database.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class TSettingsValuesTest : public TViewerTest {
 protected:
  void ConnectReadAndShowTheSettings() {
    Connect();
    ReadSettings();
    ShowPage("TSSettings");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    indicator.ClearLog();
    prompter.Clear();
  }
  void ShowSubPage(const char* name) {
    auto& subPages = Control<QTabWidget>(window->SettingsPages(), "PgCSettings");
    QTabBar* tabs = subPages.tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(subPages.indexOf(&Control<QWidget>(*window, name))).center());
  }
  // Clicks into the field, selects all it holds and types the text over it.
  void TypeOver(const char* name, const QString& text) {
    auto& edit = Control<QLineEdit>(window->SettingsPages(), name);
    QTest::mouseClick(&edit, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.hasFocus(); }, kWaitMs));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
      QTest::keyClick(&edit, Qt::Key_Backspace);
    else
      QTest::keyClicks(&edit, text);
  }
  QString Shown(const char* name) { return Control<QLineEdit>(window->SettingsPages(), name).text(); }
  // Ctrl+S where the focus is, as the technician saves without leaving the field.
  void SaveByKeys(const QString& path) {
    prompter.AnswerFile(path);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
  }
  void Write() { Control<QAction>(*window, "WriteSettings1").trigger(); }
  static Lines BaseQueries() {
    std::vector<std::string> queries, prefixes;
    w830::Tdata7400().BuildQueries(false, queries, prefixes);
    return queries;
  }
};

// A field that cannot be collected stops Save, Write and Print at once, with one
// box that says why, whether or not the field was left first.
TEST_F(TSettingsValuesTest, AFieldThatCannotBeStoredStopsSaveWriteAndPrint) {
  const struct {
    const char* subPage;
    const char* edit;
    const char* typed;
    const char* message;
  } fields[] = {
      {"TSSerialSettings", "EDtRows", "", "'' is not a valid integer value"},
      {"TSBuild", "EdtFS1", "12345678", "Out of Range: (0 to 999999)"},
      {"TSSetpOpt", "EdtSetpJogOn", "99", "Out of Range: (100 to 60000)"},
  };
  const QString file = exe.Path(QStringLiteral("scale.vis"));
  const QString pdf = exe.Path(QStringLiteral("report.pdf"));
  const struct {
    const char* name;
    std::function<void()> act;
  } actions[] = {
      {"Save",
       [&] {
         prompter.AnswerFile(file);
         prompter.AnswerMessage(mrOk);
         QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
       }},
      {"Write",
       [&] {
         prompter.AnswerMessage(mrOk);
         Write();
       }},
      {"Print",
       [&] {
         prompter.AnswerPrintToPdf(pdf);
         prompter.AnswerMessage(mrOk);
         Control<QAction>(*window, "Print1").trigger();
       }},
  };
  ConnectReadAndShowTheSettings();
  for (const auto& f : fields) {
    ShowSubPage(f.subPage);
    Lines before;
    window->WorkingData().BuildSetCommands(before);
    TypeOver(f.edit, QString::fromLatin1(f.typed));
    for (const auto& a : actions) {
      prompter.Clear();
      a.act();
      EXPECT_EQ(prompter.Messages(), std::vector<QString>{QString::fromLatin1(f.message)}) << f.edit << " " << a.name;
      EXPECT_EQ(Shown(f.edit), QString::fromLatin1(f.typed)) << "the typed text stays to be mended";
    }
    EXPECT_FALSE(QFile::exists(file)) << f.edit;
    EXPECT_FALSE(QFile::exists(pdf)) << f.edit;
    EXPECT_TRUE(SentCommands().empty()) << f.edit;
    Lines now;
    window->WorkingData().BuildSetCommands(now);
    EXPECT_EQ(now, before) << f.edit;
    TypeOver(f.edit, QString::fromLatin1(f.edit == std::string("EDtRows") ? "4" : "5000"));
  }
  prompter.Clear();
  SaveByKeys(file);
  EXPECT_TRUE(prompter.Messages().empty());
  const Lines saved = ReadTextLines(file);
  for (const char* line : {"IAD1,5000,0,1,0,0,0", "PRS,1,1,0,4,1,0", "LIW5000,0,0,0,0,0"})
    EXPECT_NE(std::find(saved.begin(), saved.end(), line), saved.end()) << line;
}

// Each text field takes only as many characters as its settings line carries back
// and the indicator takes.
TEST_F(TSettingsValuesTest, TextFieldsTakeOnlyWhatTheIndicatorTakes) {
  ConnectReadAndShowTheSettings();
  ShowSubPage("TSSerialSettings");
  TypeOver("EdtID", QStringLiteral("Bay-Scale-013"));
  TypeOver("EdtAFmt", QStringLiteral("<G><N><T><CR><LF><X><Y>"));
  EXPECT_EQ(Shown("EdtID"), "Bay-Scale-");
  EXPECT_EQ(Shown("EdtAFmt"), "<G><N><T><CR><LF><X>");
  AnswerTraffic();
  AnswerTraffic();
  Write();
  EXPECT_TRUE(prompter.Messages().empty());
  EXPECT_EQ(indicator.Setting("IDN").substr(0, 16), "IDN\"Bay-Scale-\",");
  EXPECT_EQ(indicator.Setting("AFT"), "AFT\"<G><N><T><CR><LF><X>\"");
  EXPECT_TRUE(window->InSync());
}

TEST_F(TSettingsValuesTest, AChangeOfLetterCaseIsWritten) {
  ASSERT_EQ(indicator.Feed("IDN\"Scale\";"), "0\r\n");
  ConnectReadAndShowTheSettings();
  ShowSubPage("TSSerialSettings");
  TypeOver("EdtID", QStringLiteral("SCALE"));
  ShowPage("TSDisplay");
  EXPECT_FALSE(window->InSync());
  indicator.ClearLog();
  AnswerTraffic();
  AnswerTraffic();
  Write();
  EXPECT_EQ(SentCommands(), (BaseQueries() + Lines{"IDN\"SCALE\"", "PCD", "TDD1"}));
  EXPECT_EQ(indicator.Setting("IDN").substr(0, 11), "IDN\"SCALE\",");
  EXPECT_TRUE(window->InSync());
}

TEST_F(TSettingsValuesTest, ACancelledReadKeepsWhatWasTypedAndNotYetStored) {
  ConnectReadAndShowTheSettings();
  ShowSubPage("TSSerialSettings");
  TypeOver("EdtID", QStringLiteral("Bay 7"));
  prompter.AnswerDialog([](QDialog&) { return static_cast<int>(mrCancel); });
  Control<QAction>(*window, "ReadSettings1").trigger();
  EXPECT_EQ(Shown("EdtID"), "Bay 7");
  ShowPage("TSDisplay");
  EXPECT_EQ(window->WorkingData().InstrumentID, "Bay 7");
  EXPECT_FALSE(window->InSync());
}

// The W840's file holds lines of the same names with other fields: it is told
// apart and refused, as is a file that holds no settings at all.
TEST_F(TSettingsValuesTest, AFileOfTheOtherIndicatorOrOfNoSettingsIsRefusedAndLoadsNothing) {
  const struct {
    const char* name;
    QString path;
    QString message;
  } cases[] = {
      {"W840 file", SourceFile("report840_fixture.vis"), "holds the settings of a W840 indicator, not of a W830"},
      {"weight log", exe.Write(QStringLiteral("run.log"), "Weight log\r\nMotion,Zero\r\n1.5,12\r\n"),
       "holds no W830 settings"},
      {"empty", exe.Write(QStringLiteral("empty.vis"), ""), "holds no W830 settings"},
  };
  Connect();
  ReadSettings();
  Lines before;
  window->WorkingData().BuildSetCommands(before);
  for (const auto& c : cases) {
    indicator.ClearLog();
    prompter.Clear();
    prompter.AnswerFile(c.path);
    prompter.AnswerMessage(mrOk);
    Control<QAction>(*window, "Open1").trigger();
    EXPECT_EQ(prompter.Messages(),
              std::vector<QString>{QStringLiteral("\"%1\" %2: nothing was loaded.").arg(c.path, c.message)})
        << c.name;
    Lines after;
    window->WorkingData().BuildSetCommands(after);
    EXPECT_EQ(after, before) << c.name;
    EXPECT_TRUE(SentCommands().empty()) << c.name << ": no \"WFP?\" for a file that is refused";
    EXPECT_TRUE(window->InSync()) << c.name;
  }
}

// An editor that saves the ini as UTF-8 puts a byte-order mark before its first
// section: the section is read, and a value written goes into it.
class TIniWithByteOrderMarkTest : public TViewerTest {
 protected:
  QByteArray IniText() const override { return QByteArray(kUtf8ByteOrderMark.data(), 3) + TViewerTest::IniText(); }
};

TEST_F(TIniWithByteOrderMarkTest, TheFirstSectionIsReadAndWrittenInPlace) {
  EXPECT_EQ(store->GetConnectionType(), 1);
  EXPECT_EQ(store->GetTcpPort(), port);
  EXPECT_EQ(store->GetTcpTimeout(), 200);
  store->SetTcpPort(port + 1);
  window.reset();
  store.reset();
  const QByteArray written = exe.Read(QStringLiteral("W830_830.ini"));
  EXPECT_EQ(written.count("[Connection]"), 1) << written.toStdString();
  EXPECT_TRUE(written.contains(QByteArray("TcpPort=") + QByteArray::number(port + 1)));
}

}  // namespace
