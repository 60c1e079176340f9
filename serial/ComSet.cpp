#include "serial/ComSet.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr std::array<const char*, 16> kBaud = {"Custom", "110",   "300",   "600",    "1200",   "2400",
                                               "4800",   "9600",  "14400", "19200",  "38400",  "56000",
                                               "57600",  "115200", "128000", "256000"};
constexpr std::array<const char*, 3> kStop = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kData = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParity = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> kFlow = {"Hardware", "Software", "None", "Custom"};
constexpr std::array<const char*, 3> kDtr = {"Disable", "Enable", "Handshake"};
constexpr std::array<const char*, 4> kRts = {"Disable", "Enable", "Handshake", "Toggle"};

constexpr std::array<const char*, 23> kErrors = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

template <std::size_t N>
std::string TextOf(const std::array<const char*, N>& table, int code) {
  return code >= 0 && static_cast<std::size_t>(code) < N ? table[static_cast<std::size_t>(code)] : "";
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

template <std::size_t N>
int CodeOf(const std::array<const char*, N>& table, const std::string& text, int fallback) {
  const std::string wanted = Upper(text);
  for (std::size_t i = 0; i < N; ++i)
    if (Upper(table[i]) == wanted) return static_cast<int>(i);
  return fallback;
}

std::string ReadFirstLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::string BaudRateText(TBaudRateCode code) { return TextOf(kBaud, code); }
std::string StopBitsText(TStopBitsCode code) { return TextOf(kStop, code); }
std::string DataBitsText(TDataBitsCode code) { return TextOf(kData, code); }
std::string ParityText(TParityBits code) { return TextOf(kParity, code); }
std::string FlowControlText(TFlowControl code) { return TextOf(kFlow, code); }
std::string DTRText(TDTRFlowControl code) { return TextOf(kDtr, code); }
std::string RTSText(TRTSFlowControl code) { return TextOf(kRts, code); }

TBaudRateCode BaudRateFromText(const std::string& t) { return static_cast<TBaudRateCode>(CodeOf(kBaud, t, br9600)); }
TStopBitsCode StopBitsFromText(const std::string& t) { return static_cast<TStopBitsCode>(CodeOf(kStop, t, 0)); }
TDataBitsCode DataBitsFromText(const std::string& t) { return static_cast<TDataBitsCode>(CodeOf(kData, t, dbEight)); }
TParityBits ParityFromText(const std::string& t) { return static_cast<TParityBits>(CodeOf(kParity, t, prNone)); }
TFlowControl FlowControlFromText(const std::string& t) { return static_cast<TFlowControl>(CodeOf(kFlow, t, fcCustom)); }
TDTRFlowControl DTRFromText(const std::string& t) { return static_cast<TDTRFlowControl>(CodeOf(kDtr, t, dtrDisable)); }
TRTSFlowControl RTSFromText(const std::string& t) { return static_cast<TRTSFlowControl>(CodeOf(kRts, t, rtsDisable)); }

std::vector<std::string> BaudRateTexts() { return {kBaud.begin(), kBaud.end()}; }

std::string ComErrorText(int errorCode) {
  if (errorCode >= 1 && errorCode <= static_cast<int>(kErrors.size()))
    return kErrors[static_cast<std::size_t>(errorCode - 1)];
  return "Serial port error " + std::to_string(errorCode);
}

EComPort::EComPort(int errorCode, int systemError)
    : std::runtime_error(ComErrorText(errorCode) + " (win error code: " + std::to_string(systemError) + ")"),
      ErrorCode(errorCode),
      WinErrorCode(systemError) {}

EComPort::EComPort(int errorCode) : std::runtime_error(ComErrorText(errorCode)), ErrorCode(errorCode), WinErrorCode(-1) {}

namespace {
const TSerialPortPlaces* installedPlaces = nullptr;

// The registered UART without a chip: its class entry says port type 0.
bool IsEmptyUart(const std::filesystem::path& classEntry) {
  return classEntry.filename().string().rfind("ttyS", 0) == 0 && ReadFirstLine(classEntry / "type") == "0";
}
}  // namespace

const TSerialPortPlaces& SerialPortPlaces() {
  static const TSerialPortPlaces system;
  return installedPlaces ? *installedPlaces : system;
}

void SetSerialPortPlaces(const TSerialPortPlaces* places) { installedPlaces = places; }

void EnumComPorts(std::vector<std::string>& list, const TSerialPortPlaces& places) {
  namespace fs = std::filesystem;
  // A failure anywhere in the listing, not only at its start, is this component's
  // own error: that is the one its callers catch.
  std::error_code ec;
  std::vector<std::string> ports;
  for (fs::directory_iterator it(places.ttys, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path dir = it->path();
    // Virtual terminals and pseudo-terminals have no device behind them.
    std::error_code unreadable;
    if (!fs::exists(dir / "device", unreadable)) continue;
    // The legacy 8250 driver registers ttyS0..ttyS31 whether or not a UART answers.
    if (IsEmptyUart(dir)) continue;
    ports.push_back(places.dev + "/" + dir.filename().string());
  }
  if (ec) throw EComPort(EComPort::kRegistryError, ec.value());
  // The by-id names are links that udev makes only for adapters plugged in; a
  // system without them has no such folder.
  std::error_code noNames;
  for (fs::directory_iterator it(places.byId, noNames); !noNames && it != fs::directory_iterator();
       it.increment(noNames)) {
    std::error_code dangling;
    if (fs::exists(it->path(), dangling)) ports.push_back(it->path().string());
  }
  std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
  list = std::move(ports);
}

bool IsPortPresent(const std::string& path, const TSerialPortPlaces& places) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return false;
  const fs::path device = fs::canonical(path, ec);
  if (ec) return false;
  return !IsEmptyUart(fs::path(places.ttys) / device.filename());
}
