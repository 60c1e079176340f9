#include "serial/EComPort.h"

#include <array>

namespace {

constexpr std::array<const char*, 23> kTexts = {
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

std::string MessageOf(int errorCode, int systemErrorCode, bool withSystem) {
  std::string text = ComErrorText(errorCode);
  if (withSystem) text += " (win error code: " + std::to_string(systemErrorCode) + ")";
  return text;
}

}  // namespace

std::string ComErrorText(int errorCode) {
  if (errorCode < 1 || errorCode > static_cast<int>(kTexts.size()))
    return "Com port error " + std::to_string(errorCode);
  return kTexts[static_cast<size_t>(errorCode - 1)];
}

EComPort::EComPort(int errorCode)
    : std::runtime_error(MessageOf(errorCode, -1, false)), errorCode_(errorCode), winErrorCode_(-1) {}

EComPort::EComPort(int errorCode, int systemErrorCode)
    : std::runtime_error(MessageOf(errorCode, systemErrorCode, true)),
      errorCode_(errorCode),
      winErrorCode_(systemErrorCode) {}
