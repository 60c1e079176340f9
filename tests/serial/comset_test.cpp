#include "serial/ComSet.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "serial/ComSetCtl.h"
#include "tests/support/failing_readdir.h"

namespace fs = std::filesystem;

TEST(ComSetTexts, ConvertBothWaysWithTheirFallbacks) {
  EXPECT_EQ(BaudRateFromText("custom"), brCustom);
  EXPECT_EQ(BaudRateFromText("9601"), br9600);
  EXPECT_EQ(BaudRateFromText(""), br9600);
  EXPECT_EQ(BaudRateFromText("115200"), 13);
  EXPECT_EQ(DataBitsFromText("9"), dbEight);
  EXPECT_EQ(FlowControlFromText("none"), fcNone);
  EXPECT_EQ(FlowControlFromText("xon"), fcCustom);
  EXPECT_EQ(StopBitsFromText("1.5"), sbOne5StopBits);
  EXPECT_EQ(ParityFromText("EVEN"), prEven);
  EXPECT_EQ(RTSFromText("toggle"), rtsToggle);
  EXPECT_EQ(DTRFromText("?"), dtrDisable);
  EXPECT_EQ(BaudRateText(static_cast<TBaudRateCode>(15)), "256000");
  EXPECT_EQ(BaudRateTexts().size(), 16u);
}

TEST(ComSetErrors, MessagesCarryTheSystemNumberWhenThereIsOne) {
  EXPECT_STREQ(EComPort(23, 2).what(), "Registry error (win error code: 2)");
  EXPECT_STREQ(EComPort(1).what(), "Unable to open com port");
  EXPECT_EQ(EComPort(1).WinErrorCode, -1);
  EXPECT_EQ(ComErrorText(99), "Serial port error 99");
  EXPECT_EQ(ComErrorText(0), "Serial port error 0");
}

class FakeTtyClass : public ::testing::Test {
 protected:
  void Add(const std::string& name, bool device, const char* type = nullptr) {
    const fs::path dir = fs::path(root.path().toStdString()) / name;
    fs::create_directories(dir);
    if (device) fs::create_directories(dir / "device");
    if (type) std::ofstream(dir / "type") << type << "\n";
  }
  std::string Root() const { return root.path().toStdString(); }
  // This class's entries, as the system's device nodes, with no by-id names.
  TSerialPortPlaces Places(const std::string& ttys) const { return {ttys, "/dev", Root() + "/no-by-id"}; }
  QTemporaryDir root;
};

TEST_F(FakeTtyClass, ListsRealPortsSortedIgnoringCase) {
  Add("ttyUSB1", true);
  Add("ttyUSB10", true);
  Add("ttyACM0", true);
  Add("tty1", false);        // a virtual terminal
  Add("ttyS0", true, "4");   // a UART answered
  Add("ttyS1", true, "0");   // registered, no UART
  std::vector<std::string> list = {"stale"};
  EnumComPorts(list, Places(Root()));
  EXPECT_EQ(list, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB1", "/dev/ttyUSB10"}));
}

TEST_F(FakeTtyClass, AnEmptyClassEmptiesTheListAndAMissingOneRaises) {
  std::vector<std::string> list = {"kept"};
  EnumComPorts(list, Places(Root()));
  EXPECT_TRUE(list.empty());
  list = {"kept"};
  try {
    EnumComPorts(list, Places(Root() + "/missing"));
    FAIL() << "no exception";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 23);
    EXPECT_EQ(e.WinErrorCode, ENOENT);
  }
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST_F(FakeTtyClass, AFailureHalfWayThroughTheListingIsTheComponentsOwnError) {
  for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB3"}) Add(name, true);
  std::vector<std::string> list = {"kept"};
  try {
    const TFailingReaddir failing(4, EIO);  // past the first entry and the two dots
    EnumComPorts(list, Places(Root()));
    FAIL() << "no exception";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 23);
    EXPECT_EQ(e.WinErrorCode, EIO);
  }
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST_F(FakeTtyClass, TheByIdNamesOfTheAdaptersPresentAreListedAndAChiplessUartIsNotPresent) {
  const fs::path base = Root();
  const std::string adapter = "usb-FTDI_FT232R_USB_UART_A10K3MQ2-if00-port0";
  for (const char* node : {"ttyUSB0", "ttyS0", "ttyS1"}) fs::create_directories(base / "sys" / node);
  fs::create_directories(base / "dev");
  for (const char* node : {"ttyUSB0", "ttyS0", "ttyS1"}) std::ofstream(base / "dev" / node) << "";
  fs::create_directories(base / "sys" / "ttyUSB0" / "device");
  fs::create_directories(base / "sys" / "ttyS1" / "device");
  std::ofstream(base / "sys" / "ttyS0" / "type") << "0\n";
  std::ofstream(base / "sys" / "ttyS1" / "type") << "4\n";
  fs::create_directories(base / "by-id");
  fs::create_symlink(base / "dev" / "ttyUSB0", base / "by-id" / adapter);
  fs::create_symlink(base / "dev" / "ttyUSB9", base / "by-id" / "usb-unplugged-if00-port0");
  const TSerialPortPlaces places{(base / "sys").string(), (base / "dev").string(), (base / "by-id").string()};

  std::vector<std::string> list;
  EnumComPorts(list, places);
  EXPECT_EQ(list, (std::vector<std::string>{(base / "by-id" / adapter).string(), (base / "dev/ttyS1").string(),
                                            (base / "dev/ttyUSB0").string()}));
  struct Case {
    fs::path path;
    bool present;
  } cases[] = {
      {base / "dev/ttyUSB0", true}, {base / "by-id" / adapter, true}, {base / "dev/ttyS1", true},
      {base / "dev/ttyS0", false},  {base / "dev/ttyUSB9", false},    {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPortPresent(c.path.string(), places), c.present) << c.path;
}

TEST(ComComboBox, ListsTheBaudRatesAndKeepsTheSelectionOnAnUnknownText) {
  TComComboBox box;
  box.SetComProperty(cpBaudRate);
  EXPECT_EQ(box.count(), 16);
  EXPECT_EQ(box.Text(), "Custom");
  box.SetText("19200");
  EXPECT_EQ(box.Text(), "19200");
  box.SetText("19201");
  EXPECT_EQ(box.Text(), "19200");
  box.setCurrentIndex(-1);
  EXPECT_EQ(box.Text(), "");
}
