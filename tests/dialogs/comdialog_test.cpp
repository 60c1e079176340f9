#include "dialogs/comdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "dialogs/IOIfaceConfigure.h"
#include "link/dmViewer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

// A settings store on an ini file with the given [Connection] lines.
struct TStoreWith {
  TTempExeDir exe;
  std::unique_ptr<TdatViewer> store;
  explicit TStoreWith(const QByteArray& connection) {
    exe.Write(QStringLiteral("W830_830.ini"), "[Connection]\r\n" + connection);
    store = std::make_unique<TdatViewer>();
  }
};

}  // namespace

TEST(TFrmComDialog, AddressesOutsideTheListSelectAny) {
  const std::pair<int, int> cases[] = {{0, 99}, {99, 99}, {1, 1}, {31, 31}, {32, 99}, {-4, 99}};
  for (const auto& [stored, read] : cases) {
    TFrmComDialog dialog;
    dialog.SetAddress(stored);
    EXPECT_EQ(dialog.GetAddress(), read) << stored;
  }
}

TEST(TFrmComDialog, OverTcpTheW830SendsToAnyUnitAndHidesTheAddress) {
  struct Case {
    TComDialogModel model;
    int address;
    bool addressShown;
  } cases[] = {{TComDialogModel::W830, 99, false}, {TComDialogModel::W840, 7, true}};
  for (const Case& c : cases) {
    TFrmComDialog dialog(c.model);
    dialog.show();
    dialog.SetAddress(7);
    dialog.findChild<QRadioButton*>(QStringLiteral("RBTcp"))->click();
    EXPECT_TRUE(dialog.IsTcp());
    EXPECT_EQ(dialog.GetAddress(), c.address);
    EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("GBUnitAddress"))->isVisible(), c.addressShown);
    EXPECT_TRUE(dialog.findChild<QWidget*>(QStringLiteral("GBTcp"))->isVisible());
    EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("GBSerial"))->isVisible());
  }
}

TEST(TFrmComDialog, StoredValuesLoadAndSaveBackInTheirOwnTerms) {
  TStoreWith with("ConnectionType=5\r\nParityBits=3\r\nSerialPort=/dev/ttyVIEWER9\r\nBaudRate=12345\r\n"
                  "DataBits=7\r\nStopBits=2\r\nSerialAddress=40\r\nTcpPort=4001\r\n");
  TdatViewer& store = *with.store;
  TFrmComDialog dialog;
  dialog.LoadFromSettings(store);
  EXPECT_TRUE(dialog.IsTcp());
  EXPECT_EQ(dialog.GetParity(), 0);
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/ttyVIEWER9"));  // kept, not replaced
  EXPECT_EQ(dialog.GetBaudRate(), 9600);                                 // not in the list: the default
  EXPECT_EQ(dialog.GetDataBits(), 7);
  EXPECT_EQ(dialog.GetStopBits(), 2);
  EXPECT_EQ(dialog.GetTcpPort(), 4001);
  dialog.SaveToSettings(store);
  EXPECT_EQ(store.GetConnectionType(), 1);
  EXPECT_EQ(store.GetParityBits(), 0);
  EXPECT_EQ(store.GetSerialPort(), QStringLiteral("/dev/ttyVIEWER9"));
  EXPECT_EQ(store.GetSerialAddress(), 99);
}

TEST(TFrmComDialog, TheTcpPortMustBeAWholeNumberFrom1To65535) {
  const std::pair<const char*, int> cases[] = {{"2222", 2222}, {"1", 1},  {"65535", 65535}, {"0", 0},
                                               {"65536", 0},   {"-1", 0}, {"22a", 0},       {"", 0}};
  for (const auto& [text, port] : cases) {
    TFrmComDialog dialog;
    dialog.findChild<QLineEdit*>(QStringLiteral("EdtTcpPort"))->setText(QString::fromLatin1(text));
    EXPECT_EQ(dialog.GetTcpPort(), port) << text;
  }
}

TEST(TFrmComDialog, OkWithABadTcpPortSaysSoAndStaysOpen) {
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  TFrmComDialog dialog;
  dialog.SetTcp(true);
  dialog.findChild<QLineEdit*>(QStringLiteral("EdtTcpPort"))->setText(QStringLiteral("70000"));
  dialog.findChild<QPushButton*>(QStringLiteral("BtnOk"))->click();
  EXPECT_EQ(dialog.result(), 0);
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_EQ(prompter.Messages()[0], QStringLiteral("'70000' is not a valid TCP port (1 to 65535)"));
  dialog.findChild<QLineEdit*>(QStringLiteral("EdtTcpPort"))->setText(QStringLiteral("7000"));
  dialog.findChild<QPushButton*>(QStringLiteral("BtnOk"))->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ConfigureIOInterface, OkWithTcpGivesAClosedLinkToTheTypedHost) {
  struct Case {
    const char* host;
    const char* description;
  } cases[] = {{"10.0.0.5", "10.0.0.5:2222"}, {"plant-7", "plant-7:2222"}};
  for (const Case& c : cases) {
    TStoreWith with("");
    TdatViewer& store = *with.store;
    TScriptedPrompter prompter;
    prompter.AnswerDialog([&c](QDialog& dialog) {
      auto& com = static_cast<TFrmComDialog&>(dialog);
      com.SetTcp(true);
      com.SetHostName(QString::fromLatin1(c.host));
      com.SetTcpPort(2222);
      return int(mrOk);
    });
    int address = 5;
    std::unique_ptr<TIOIface> link = ConfigureIOInterface(store, address);
    ASSERT_TRUE(link) << c.host;
    EXPECT_FALSE(link->GetActive());
    EXPECT_EQ(link->GetDescription(), QString::fromLatin1(c.description));
    EXPECT_EQ(address, 99);
    EXPECT_EQ(store.GetConnectionType(), 1);
    EXPECT_EQ(store.GetTcpHostname(), QString::fromLatin1(c.host));
  }
}

TEST(ConfigureIOInterface, CancelChangesNothing) {
  TStoreWith with("ConnectionType=0\r\nTcpPort=4001\r\n");
  TdatViewer& store = *with.store;
  TScriptedPrompter prompter;
  prompter.AnswerDialog([](QDialog& dialog) {
    static_cast<TFrmComDialog&>(dialog).SetTcp(true);
    return int(mrCancel);
  });
  int address = 5;
  EXPECT_FALSE(ConfigureIOInterface(store, address));
  EXPECT_EQ(address, 5);
  EXPECT_EQ(store.GetConnectionType(), 0);
  EXPECT_EQ(store.GetTcpPort(), 4001);
}

TEST(IsNumericIPv4, TellsDottedAddressesFromNames) {
  const std::pair<const char*, bool> cases[] = {
      {"10.0.0.5", true},  {"127.0.0.1", true},     {"plant-7", false}, {"10.0.0", false},
      {"256.1.1.1", false}, {"10.0.0.5.6", false}, {"", false},         {"1.2.3.4a", false}};
  for (const auto& [host, numeric] : cases) EXPECT_EQ(IsNumericIPv4(QString::fromLatin1(host)), numeric) << host;
}
