#pragma once
// What the serial port components share: the text tables of the port settings with
// their conversions both ways, the component set's exception, and the list of the
// system's serial ports.
#include <stdexcept>
#include <string>
#include <vector>

enum TBaudRateCode : int { brCustom = 0, br9600 = 7, brCount = 16 };
enum TStopBitsCode : int { sbOneStopBit = 0, sbOne5StopBits = 1, sbTwoStopBits = 2 };
enum TDataBitsCode : int { dbFive = 0, dbSix = 1, dbSeven = 2, dbEight = 3 };
enum TParityBits : int { prNone, prOdd, prEven, prMark, prSpace };
enum TFlowControl : int { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl : int { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : int { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TComProperty : int { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

std::string BaudRateText(TBaudRateCode code);
std::string StopBitsText(TStopBitsCode code);
std::string DataBitsText(TDataBitsCode code);
std::string ParityText(TParityBits code);
std::string FlowControlText(TFlowControl code);
std::string DTRText(TDTRFlowControl code);
std::string RTSText(TRTSFlowControl code);

// Compared without regard to ASCII case; an unknown text gives the table's fallback.
TBaudRateCode BaudRateFromText(const std::string& text);
TStopBitsCode StopBitsFromText(const std::string& text);
TDataBitsCode DataBitsFromText(const std::string& text);
TParityBits ParityFromText(const std::string& text);
TFlowControl FlowControlFromText(const std::string& text);
TDTRFlowControl DTRFromText(const std::string& text);
TRTSFlowControl RTSFromText(const std::string& text);

// The texts of one table, in code order.
std::vector<std::string> BaudRateTexts();

// Component set errors: ErrorCode 1..23, WinErrorCode the system's error number
// that went with it, or -1.
class EComPort : public std::runtime_error {
 public:
  static constexpr int kRegistryError = 23;
  EComPort(int errorCode, int systemError);
  explicit EComPort(int errorCode);
  int ErrorCode;
  int WinErrorCode;
};
// The text of an error code; codes outside the table get a text that names the code.
std::string ComErrorText(int errorCode);

// Where the system keeps its serial ports; tests point it at folders of their own.
struct TSerialPortPlaces {
  std::string ttys = "/sys/class/tty";     // the tty class of sysfs
  std::string dev = "/dev";                // the device nodes, watched for ports that come and go
  std::string byId = "/dev/serial/by-id";  // the stable names of the adapters plugged in
};
// The places in force: the ones installed last, or the system's.
const TSerialPortPlaces& SerialPortPlaces();
// Installs places (tests); nullptr goes back to the system's. Not owned.
void SetSerialPortPlaces(const TSerialPortPlaces* places);

// Replaces list by the device paths of the system's serial ports and the stable
// by-id names of the adapters present, sorted ignoring case. The ports come from
// the tty class of sysfs: entries with a device, and of the 8250-style ttyS* only
// those whose port type is not 0. Raises EComPort (code 23, the errno) when the
// class cannot be read, at its start or half-way; list is then unchanged.
void EnumComPorts(std::vector<std::string>& list, const TSerialPortPlaces& places = SerialPortPlaces());

// Whether the device a path names is there: its node exists, and a UART port the
// kernel registered without finding its chip is not there. Any other device path
// (a pseudo-terminal, a virtual port's link) is there when it exists.
bool IsPortPresent(const std::string& path, const TSerialPortPlaces& places = SerialPortPlaces());
