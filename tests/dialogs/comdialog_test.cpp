#include "dialogs/comdialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include "link/IOIfaceSocket.h"
#include "tests/support/accessible_names.h"
#include "tests/support/failing_readdir.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

// A settings store on an ini file with the given Connection section.
struct TStore {
  TTempExeDir exe;
  std::unique_ptr<TdatViewer> store;
  explicit TStore(const QByteArray& connection) {
    exe.Write("W830_830.ini", "[Connection]\r\n" + connection);
    store = std::make_unique<TdatViewer>();
  }
};

}  // namespace

TEST(TFrmComDialog, StoredValuesOutsideTheListsFallBackSoundly) {
  struct Case {
    const char* name;
    QByteArray ini;
    bool tcp;
    int address;
    int baud;
    int dataBits;
    int stopBits;
    int parity;
  } cases[] = {
      {"as stored", "ConnectionType=0\r\nSerialAddress=5\r\nBaudRate=19200\r\nDataBits=7\r\nStopBits=2\r\nParityBits=2\r\n",
       false, 5, 19200, 7, 2, 2},
      {"connection type 5 is TCP", "ConnectionType=5\r\n", true, 99, 9600, 8, 1, 0},
      {"address 0 and 40 mean any", "SerialAddress=40\r\n", false, 99, 9600, 8, 1, 0},
      {"unknown baud, bits and parity", "BaudRate=1234\r\nDataBits=5\r\nStopBits=3\r\nParityBits=3\r\n", false, 99,
       9600, 8, 1, 0},
  };
  for (const auto& c : cases) {
    TStore s(c.ini);
    TFrmComDialog dialog;
    dialog.LoadFromSettings(*s.store);
    EXPECT_EQ(dialog.IsTcp(), c.tcp) << c.name;
    EXPECT_EQ(dialog.GetAddress(), c.address) << c.name;
    EXPECT_EQ(dialog.GetBaudRate(), c.baud) << c.name;
    EXPECT_EQ(dialog.GetDataBits(), c.dataBits) << c.name;
    EXPECT_EQ(dialog.GetStopBits(), c.stopBits) << c.name;
    EXPECT_EQ(dialog.GetParity(), c.parity) << c.name;
    dialog.SaveToSettings(*s.store);
    EXPECT_EQ(s.store->GetConnectionType(), c.tcp ? 1 : 0) << c.name;
    EXPECT_EQ(s.store->GetParityBits(), c.parity) << c.name;
  }
}

TEST(TFrmComDialog, AStoredPortTheListLacksIsAddedNotReplaced) {
  TStore s("SerialPort=/dev/ttyUSB7\r\n");
  TFrmComDialog dialog;
  dialog.LoadFromSettings(*s.store);
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/ttyUSB7"));
  dialog.SetSerialPort(QStringLiteral("COM3"));
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/ttyS2"));
}

TEST(TFrmComDialog, TcpHidesTheUnitAddressInTheW830BuildOnly) {
  TStore s("");
  TFrmComDialog w830(TViewerModel::W830);
  w830.SetAddress(7);
  w830.SetTcp(true);
  EXPECT_EQ(w830.GetAddress(), 99);
  EXPECT_TRUE(w830.findChild<QGroupBox*>("GBUnitAddress")->isHidden());
  EXPECT_TRUE(w830.findChild<QGroupBox*>("GBSerial")->isHidden());
  EXPECT_FALSE(w830.findChild<QGroupBox*>("GBTcp")->isHidden());
  TFrmComDialog w840(TViewerModel::W840);
  w840.SetAddress(7);
  w840.SetTcp(true);
  EXPECT_EQ(w840.GetAddress(), 7);
  EXPECT_FALSE(w840.findChild<QGroupBox*>("GBUnitAddress")->isHidden());
}

TEST(TFrmComDialog, TheHostFieldShowsAWholeDottedAddress) {
  for (const TViewerModel model : {TViewerModel::W830, TViewerModel::W840}) {
    TStore s("");
    TFrmComDialog dialog(model);
    dialog.SetTcp(false);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.findChild<QRadioButton*>("RGConnectionItem1"), Qt::LeftButton);
    auto& host = *dialog.findChild<QLineEdit*>("EdtIndHostname");
    // The text, the edit's frame and its fixed inner margin of 2 pixels a side.
    const int frame = host.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &host);
    const int needed = host.fontMetrics().horizontalAdvance(QStringLiteral("192.168.100.100")) + 2 * frame + 4;
    EXPECT_GE(host.width(), needed) << static_cast<int>(model);
  }
}

TEST(TFrmComDialog, OkRefusesATcpPortOutsideOneTo65535) {
  TStore s("");
  TScriptedPrompter prompter;
  TFrmComDialog dialog;
  dialog.SetTcp(true);
  auto* port = dialog.findChild<QLineEdit*>("EdtTcpPort");
  for (const char* text : {"0", "65536", "22x"}) {
    prompter.AnswerMessage(mrOk);
    port->setText(QString::fromLatin1(text));
    dialog.findChild<QPushButton*>("BtnOk")->click();
    EXPECT_EQ(dialog.result(), 0) << text;
    EXPECT_THROW(dialog.GetTcpPort(), std::runtime_error) << text;
  }
  EXPECT_EQ(prompter.Messages().size(), 3u);
  port->setText(QStringLiteral("65535"));
  dialog.findChild<QPushButton*>("BtnOk")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ConfigureIOInterface, OkGivesAClosedTcpLinkAndWritesTheChoiceBack) {
  TStore s("ConnectionType=0\r\n");
  TScriptedPrompter prompter;
  prompter.AnswerDialog([](QDialog& dialog) {
    auto& com = dynamic_cast<TFrmComDialog&>(dialog);
    com.SetTcp(true);
    com.SetHostName(QStringLiteral("10.0.0.5"));
    com.SetTcpPort(2222);
    return static_cast<int>(mrOk);
  });
  int address = 3;
  auto link = ConfigureIOInterface(*s.store, address);
  ASSERT_NE(dynamic_cast<TIOIfaceSocket*>(link.get()), nullptr);
  EXPECT_FALSE(link->GetActive());
  EXPECT_EQ(link->GetDescription(), QStringLiteral("10.0.0.5:2222"));
  EXPECT_EQ(address, 99);
  EXPECT_EQ(s.store->GetConnectionType(), 1);
  EXPECT_EQ(s.store->GetTcpHostname(), QStringLiteral("10.0.0.5"));
}

TEST(ConfigureIOInterface, CancelChangesNothing) {
  TStore s("ConnectionType=0\r\nTcpPort=1111\r\n");
  TScriptedPrompter prompter;
  prompter.AnswerDialog([](QDialog& dialog) {
    dynamic_cast<TFrmComDialog&>(dialog).SetTcpPort(2222);
    return static_cast<int>(mrCancel);
  });
  int address = 3;
  EXPECT_EQ(ConfigureIOInterface(*s.store, address), nullptr);
  EXPECT_EQ(address, 3);
  EXPECT_EQ(s.store->GetTcpPort(), 1111);
}

TEST(ConfigureIOInterface, ABadStoredTcpPortDoesNotStopASerialConnect) {
  TStore s("ConnectionType=0\r\nSerialPort=/dev/ttyS0\r\nTcpPort=0\r\n");
  TScriptedPrompter prompter;
  prompter.AnswerDialog([](QDialog& dialog) {
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("BtnOk"), Qt::LeftButton);
    return dialog.result();
  });
  int address = 3;
  auto link = ConfigureIOInterface(*s.store, address);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->GetDescription(), QStringLiteral("/dev/ttyS0"));
  EXPECT_TRUE(prompter.Messages().empty());
  EXPECT_EQ(s.store->GetConnectionType(), 0);
  EXPECT_EQ(s.store->GetTcpPort(), 0);
}

TEST(ConfigureIOInterface, TheDialogOpensWhenThePortListCannotBeRead) {
  TStore s("ConnectionType=1\r\nTcpHostname=127.0.0.1\r\nTcpPort=2222\r\n");
  TScriptedPrompter prompter;
  delete new TFrmComDialog;  // what Qt reads from disk for a first dialog is read now
  prompter.AnswerDialog([](QDialog& dialog) {
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("BtnOk"), Qt::LeftButton);
    return dialog.result();
  });
  int address = 3;
  std::unique_ptr<TIOIface> link;
  {
    const TFailingReaddir failing(4, EIO);
    link = ConfigureIOInterface(*s.store, address);
  }
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->GetDescription(), QStringLiteral("127.0.0.1:2222"));
  EXPECT_TRUE(prompter.Messages().empty());
}

TEST(TFrmComDialog, EveryFieldCarriesItsCaptionForAssistiveTechnology) {
  TFrmComDialog dialog;
  EXPECT_EQ(UncaptionedFields(dialog), QStringList());
  EXPECT_EQ(Caption(*dialog.findChild<QLineEdit*>("EdtTcpPort")), "TCP Port");
  EXPECT_EQ(Caption(*dialog.findChild<QComboBox*>("CBBaud")), "Baud Rate");
}
