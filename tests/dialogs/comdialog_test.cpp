#include "dialogs/comdialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "link/IOIfaceSocket.h"
#include "serial/ComSet.h"
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
      {"a rate the list lacks is a custom rate; unknown bits and parity",
       "BaudRate=1234\r\nDataBits=5\r\nStopBits=3\r\nParityBits=3\r\n", false, 99, 1234, 8, 1, 0},
      {"no rate at all", "BaudRate=0\r\n", false, 99, 9600, 8, 1, 0},
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

TEST(TFrmComDialog, AStoredPortTheListLacksIsKeptNotReplaced) {
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

namespace {

namespace fs = std::filesystem;

// A computer's serial ports in folders of the test's own: the tty class, the
// device nodes and the by-id names, which the dialog lists and watches.
class FakePorts {
 public:
  FakePorts() {
    for (const char* folder : {"sys", "dev", "by-id"}) fs::create_directories(Base() / folder);
    places = {(Base() / "sys").string(), (Base() / "dev").string(), (Base() / "by-id").string()};
    SetSerialPortPlaces(&places);
  }
  ~FakePorts() { SetSerialPortPlaces(nullptr); }
  fs::path Base() const { return root.path().toStdString(); }
  QString Dev(const char* node) const { return QString::fromStdString((Base() / "dev" / node).string()); }
  void Plug(const char* node, const char* uartType = nullptr) {
    fs::create_directories(Base() / "sys" / node / "device");
    if (uartType) std::ofstream(Base() / "sys" / node / "type") << uartType << "\n";
    std::ofstream(Base() / "dev" / node) << "";
  }
  void Unplug(const char* node) {
    fs::remove(Base() / "dev" / node);
    fs::remove_all(Base() / "sys" / node);
  }

  QTemporaryDir root;
  TSerialPortPlaces places;
};

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

// Replaces the port box's text by typing, as a person does.
void TypePort(TFrmComDialog& dialog, const QString& text) {
  QLineEdit& edit = *dialog.findChild<QComboBox*>("CBSerialPort")->lineEdit();
  QTest::mouseClick(&edit, Qt::LeftButton);
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(&edit, text);
}

bool MissingShown(const TFrmComDialog& dialog) { return dialog.findChild<QLabel*>("lblPortMissing")->isVisible(); }

}  // namespace

TEST(TFrmComDialog, AnyDevicePathCanBeTypedAndTheAdaptersAreListedByTheirStableNames) {
  FakePorts ports;
  ports.Plug("ttyUSB0");
  ports.Plug("ttyS0", "0");  // registered, no UART behind it
  const fs::path byId = ports.Base() / "by-id" / "usb-FTDI_FT232R_USB_UART_A10K3MQ2-if00-port0";
  fs::create_symlink(ports.Base() / "dev" / "ttyUSB0", byId);
  TStore s("ConnectionType=0\r\nSerialPort=" + ports.Dev("ttyS0").toUtf8() + "\r\n");
  TScriptedPrompter prompter;
  QTemporaryDir virtualPort;
  const QString typed = virtualPort.filePath("vport0");  // where socat puts its link
  prompter.AnswerDialog([&](QDialog& dialog) {
    auto& com = dynamic_cast<TFrmComDialog&>(dialog);
    dialog.show();
    const auto& box = *dialog.findChild<QComboBox*>("CBSerialPort");
    EXPECT_EQ(Items(box), QStringList({QString::fromStdString(byId.string()), ports.Dev("ttyUSB0")}));
    // The stored port is shown as stored, and as missing: it is no item to pick.
    EXPECT_EQ(com.GetSerialPort(), ports.Dev("ttyS0"));
    EXPECT_TRUE(MissingShown(com));
    TypePort(com, ports.Dev("ttyUSB0"));
    EXPECT_FALSE(MissingShown(com));
    TypePort(com, typed);
    EXPECT_TRUE(MissingShown(com));
    std::ofstream(typed.toStdString()) << "";
    TypePort(com, typed);
    EXPECT_FALSE(MissingShown(com));
    QTest::mouseClick(dialog.findChild<QPushButton*>("BtnOk"), Qt::LeftButton);
    return dialog.result();
  });
  int address = 3;
  auto link = ConfigureIOInterface(*s.store, address);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->GetDescription(), typed);
  EXPECT_EQ(s.store->GetSerialPort(), typed);
}

TEST(TFrmComDialog, WithoutAStoredPortTheAbsentFirstPortIsShownAsMissing) {
  FakePorts ports;
  ports.Plug("ttyS0", "0");
  TFrmComDialog dialog;  // opens on "COM1", which is /dev/ttyS0
  dialog.show();
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(Items(*dialog.findChild<QComboBox*>("CBSerialPort")), QStringList());
  EXPECT_TRUE(MissingShown(dialog));
}

TEST(TFrmComDialog, AnAdapterPluggedInOrOutWhileTheDialogIsOpenComesAndGoesInTheList) {
  FakePorts ports;
  ports.Plug("ttyUSB0");
  TFrmComDialog dialog;
  dialog.show();
  const auto& box = *dialog.findChild<QComboBox*>("CBSerialPort");
  ASSERT_EQ(Items(box), QStringList{ports.Dev("ttyUSB0")});
  TypePort(dialog, QStringLiteral("/dev/tty"));  // half typed: a refresh must keep it
  ports.Plug("ttyUSB1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return box.count() == 2; }, 10000));
  EXPECT_EQ(Items(box), QStringList({ports.Dev("ttyUSB0"), ports.Dev("ttyUSB1")}));
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/tty"));
  ports.Unplug("ttyUSB0");
  ASSERT_TRUE(QTest::qWaitFor([&] { return box.count() == 1; }, 10000));
  EXPECT_EQ(Items(box), QStringList{ports.Dev("ttyUSB1")});
  EXPECT_EQ(dialog.GetSerialPort(), QStringLiteral("/dev/tty"));
}

// "Custom" asks for its rate; the answer is the rate the link opens at.
TEST(TFrmComDialog, ChoosingCustomAsksForTheRate) {
  struct Case {
    const char* name;
    QStringList typed;  // into the question, one try after another
    bool ok;
    int baud;
    const char* shown;
    std::vector<QString> boxes;
  };
  const QString range = QStringLiteral("Enter a baud rate from 50 to 4000000.");
  const Case cases[] = {
      {"a rate", {"250000"}, true, 250000, "250000 baud", {}},
      {"out of range, then a rate", {"20", "31250"}, true, 31250, "31250 baud", {range}},
      {"cancelled", {"250000"}, false, 19200, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TStore s("ConnectionType=0\r\nBaudRate=19200\r\n");
    TScriptedPrompter prompter;
    TFrmComDialog dialog;
    dialog.LoadFromSettings(*s.store);
    dialog.show();
    prompter.AnswerDialog([&](QDialog& ask) {
      ask.show();
      EXPECT_EQ(ask.windowTitle(), QStringLiteral("Custom Baud Rate"));
      EXPECT_EQ(UncaptionedFields(ask), QStringList());
      auto* edit = ask.findChild<QLineEdit*>("EdtBaudRate");
      EXPECT_EQ(edit->text(), QStringLiteral("19200"));  // opens on the rate before
      for (const QString& rate : c.typed) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, rate);
        QTest::mouseClick(ask.findChild<QPushButton*>(c.ok ? "BtnOk" : "BtnCancel"), Qt::LeftButton);
      }
      return ask.result();
    });
    for (int i = 1; i < c.typed.size(); ++i) prompter.AnswerMessage(mrOk);
    auto* baud = dialog.findChild<QComboBox*>("CBBaud");
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Home);  // up to the first item, "Custom"
    EXPECT_EQ(prompter.Messages(), c.boxes);
    EXPECT_EQ(dialog.GetBaudRate(), c.baud);
    EXPECT_EQ(baud->currentText(), c.ok ? QStringLiteral("Custom") : QStringLiteral("19200"));
    EXPECT_EQ(dialog.findChild<QLabel*>("lblCustomBaudRate")->text(), QString::fromLatin1(c.shown));
    dialog.SaveToSettings(*s.store);
    EXPECT_EQ(s.store->GetBaudRate(), c.baud);
    EXPECT_TRUE(prompter.AllAnswersUsed());
  }
}
