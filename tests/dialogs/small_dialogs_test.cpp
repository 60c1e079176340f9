#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "components/NumEdit.h"
#include "dialogs/option.h"
#include "dialogs/passcode.h"
#include "dialogs/trafficdlg.h"
#include "link/dmViewer.h"
#include "tests/support/accessible_names.h"
#include "tests/support/locale_text.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

// The stored time-outs count 10 ms ticks, and the dialog shows that very time.
TEST(OptionsDialog, ShowsTicksAsSecondsAndStoresThemBack) {
  EXPECT_EQ(TicksAsSeconds(60), LocaleDecimal("0.6"));
  EXPECT_EQ(TicksAsSeconds(5), LocaleDecimal("0.05"));
  EXPECT_EQ(TicksAsSeconds(200), "2");
  EXPECT_EQ(SecondsAsTicks(0.65), 65);
  EXPECT_EQ(SecondsAsTicks(0.125), 12);  // half to even

  TTempExeDir exe;
  exe.Write("W830_830.ini", "");
  TdatViewer store;
  TfrmOptions dialog(store);
  dialog.show();
  auto* serial = dialog.findChild<TNumEdit*>("edtSerialTimeout");
  auto* tcp = dialog.findChild<TNumEdit*>("edtTCPTimeout");
  ASSERT_TRUE(serial && tcp);
  EXPECT_EQ(serial->text(), LocaleDecimal("0.6"));
  EXPECT_EQ(tcp->text(), LocaleDecimal("0.7"));
  serial->setText(LocaleDecimal("0.65"));
  dialog.findChild<QPushButton*>("btnOK")->click();
  EXPECT_EQ(dialog.result(), mrOk);
  EXPECT_EQ(store.GetSerTimeout(), 65);
  EXPECT_FALSE(store.GetFirstRun());
}

TEST(OptionsDialog, EnterInATimeOutFieldPressesOk) {
  TTempExeDir exe;
  exe.Write("W830_830.ini", "");
  TdatViewer store;
  TfrmOptions dialog(store);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* serial = dialog.findChild<TNumEdit*>("edtSerialTimeout");
  QTest::mouseClick(serial, Qt::LeftButton);
  serial->selectAll();
  QTest::keyClicks(serial, LocaleDecimal("0.65"));
  QTest::keyClick(serial, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), mrOk);
  EXPECT_EQ(store.GetSerTimeout(), 65);
}

TEST(OptionsDialog, OkRefusesAnOutOfRangeFieldAndCancelStillClearsFirstRun) {
  TTempExeDir exe;
  exe.Write("W830_830.ini", "");
  TdatViewer store;
  TScriptedPrompter prompter;
  {
    TfrmOptions dialog(store);
    dialog.show();
    dialog.findChild<TNumEdit*>("edtTCPTimeout")->setText("2.5");
    prompter.AnswerMessage(mrOk);
    dialog.findChild<QPushButton*>("btnOK")->click();
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{"The number must be within the range 0.05s to 2s"});
    EXPECT_EQ(store.GetTcpTimeout(), 70);
    EXPECT_TRUE(store.GetFirstRun());
    dialog.findChild<QPushButton*>("btnCancel")->click();
    EXPECT_EQ(dialog.result(), mrCancel);
  }
  EXPECT_FALSE(store.GetFirstRun());
}

TEST(OptionsDialog, OkRefusesAPastedTimeOutThatIsNoNumberInRange) {
  for (const char* pasted : {"nan", "inf", "25"}) {
    TTempExeDir exe;
    exe.Write("W830_830.ini", "");
    TdatViewer store;
    TScriptedPrompter prompter;
    TfrmOptions dialog(store);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* tcp = dialog.findChild<TNumEdit*>("edtTCPTimeout");
    QTest::mouseClick(tcp, Qt::LeftButton);
    QTest::keyClick(tcp, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(QString::fromLatin1(pasted));
    QTest::keyClick(tcp, Qt::Key_V, Qt::ControlModifier);
    prompter.AnswerMessage(mrOk);
    auto* ok = dialog.findChild<QPushButton*>("btnOK");
    QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{"The number must be within the range 0.05s to 2s"}) << pasted;
    EXPECT_EQ(store.GetTcpTimeout(), 70) << pasted;
    EXPECT_TRUE(dialog.isVisible()) << pasted;
  }
}

TEST(OptionsDialog, EveryFieldCarriesItsCaptionForAssistiveTechnology) {
  TTempExeDir exe;
  TdatViewer store;
  TfrmOptions dialog(store);
  EXPECT_EQ(UncaptionedFields(dialog), QStringList());
  EXPECT_EQ(Caption(*dialog.findChild<TNumEdit*>("edtTCPTimeout")), "TCP (ethernet) connection timeout");
}

TEST(PasscodeDialog, TakesAtMostSixDigitsHoweverTheyArrive) {
  TFrmPasscode dialog;
  auto* edit = dialog.findChild<QLineEdit*>("EdtPasscode");
  ASSERT_TRUE(edit);
  QTest::keyClicks(edit, "1a2.3- 4");
  EXPECT_EQ(dialog.Passcode(), "1234");
  EXPECT_EQ(edit->displayText(), "****");
  QTest::keyClicks(edit, "56789");
  EXPECT_EQ(dialog.Passcode(), "123456");
  dialog.Clear();
  edit->insert("12;PCD");  // a paste that is not all digits
  EXPECT_EQ(dialog.Passcode(), "");
}

// The timer slot that gives up shows no box: it says so, and its caller tells the
// technician once the dialog has closed.
TEST(TransferDialog, GivesUpWithoutABoxOfItsOwnAndEndsCancelled) {
  TScriptedPrompter prompter;
  TFrmTraffic dialog;
  std::vector<std::string> sent;
  dialog.SendCommand = [&](const std::string& c) { sent.push_back(c); };
  dialog.SetCommands({"ENU?"}, {"ENU"});
  dialog.show();
  dialog.Timer1().stop();
  for (int i = 0; i < 1000 && dialog.isVisible(); ++i) dialog.Timer1Timer();
  EXPECT_EQ(dialog.result(), mrCancel);
  EXPECT_TRUE(dialog.GaveUp());
  EXPECT_EQ(sent.size(), 4u);
  QCoreApplication::processEvents();
  EXPECT_TRUE(prompter.Messages().empty());
}

// While an earlier command's reply is owed on the link, neither the first send
// nor a retry goes out.
TEST(TransferDialog, SendsOnlyWhileNoEarlierReplyIsOwed) {
  TFrmTraffic dialog;
  std::vector<std::string> sent;
  bool clear = false;
  dialog.LinkClear = [&] { return clear; };
  dialog.SendCommand = [&](const std::string& c) { sent.push_back(c); };
  dialog.SetCommands({"ENU?"}, {"ENU"});
  dialog.show();
  dialog.Timer1().stop();
  for (int i = 0; i < 500; ++i) dialog.Timer1Timer();
  EXPECT_TRUE(sent.empty());
  clear = true;
  dialog.Timer1Timer();
  ASSERT_EQ(sent.size(), 1u);
  clear = false;
  for (int i = 0; i < 500; ++i) dialog.Timer1Timer();
  EXPECT_EQ(sent.size(), 1u);  // the retry waits too
  EXPECT_TRUE(dialog.isVisible());
  dialog.ReplyReceived("7");
  clear = true;
  for (int i = 0; i < 5 && dialog.isVisible(); ++i) dialog.Timer1Timer();
  EXPECT_EQ(dialog.result(), mrOk);
  EXPECT_EQ(dialog.Replies(), std::vector<std::string>{"ENU7"});
}

TEST(TransferDialog, CollectsRepliesAndEndsOk) {
  TFrmTraffic dialog;
  dialog.SendCommand = [&](const std::string& c) { dialog.ReplyReceived(c == "ADR?" ? "5" : "?"); };
  dialog.SetCommands({"ADR?"}, {"ADR"});
  dialog.show();
  dialog.Timer1().stop();
  for (int i = 0; i < 10 && dialog.isVisible(); ++i) dialog.Timer1Timer();
  EXPECT_EQ(dialog.result(), mrOk);
  EXPECT_EQ(dialog.Replies(), std::vector<std::string>{"ADR5"});
}

}  // namespace
