#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"

namespace {

// Sorted by code; the rows that this program's paths can show.
constexpr std::array<std::pair<int, const char*>, 45> kRows = {{
    {0, "OK"},
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {6, "Invalid file handle"},
    {8, "Insufficient memory"},
    {160, "Device write error"},
    {161, "Device read error"},
    {162, "General failure"},
    {1001, "Bad handle passed to com function"},
    {1002, "Bad argument passed to function"},
    {1003, "Got quit message"},
    {1006, "Internal error"},
    {2001, "ie_BadId - Specified comport doesn't exist"},
    {2002, "ie_Baudrate - unsupported baud rate"},
    {2003, "ie_Bytesize - invalid byte size"},
    {2004, "ie_Default - error in default parameters"},
    {2005, "ie_Hardware - Specified comport in use"},
    {2006, "ie_Memory - unable to allocate queues"},
    {2007, "ie_NOpen - device not open"},
    {2008, "ie_Open - device already open"},
    {2009, "No more handles, can't open port"},
    {2010, "No timers available"},
    {2011, "The ComNumber property of the TSerComPort has not been set"},
    {2012, "Comport was not opened by Tapi"},
    {3001, "No device layer specified"},
    {3002, "Function not supported by driver"},
    {3003, "EnableCommNotification failed"},
    {3004, "Failed to put entire block"},
    {3005, "Failed to get entire block"},
    {3006, "Output buffer too small for block"},
    {3007, "Buffer is empty"},
    {3008, "Tracing not enabled"},
    {3009, "Logging not enabled"},
    {3010, "Base address not set"},
    {5001, "No more trigger slots"},
    {5002, "Trigger too long"},
    {5003, "Bad trigger handle"},
    {7003, "Internal error"},
    {7006, "Internal error"},
    {7012, "Internal error"},
    {9001, "Serial port error"},
    {13868, "No memory"},
    {13980, "Remote access library failed to load"},
}};

}  // namespace

std::string SerialErrorMessage(int code) {
  const int key = std::abs(code);
  const auto it = std::lower_bound(kRows.begin(), kRows.end(), key,
                                   [](const auto& row, int k) { return row.first < k; });
  if (it == kRows.end() || it->first != key) return std::string();
  return it->second;
}

std::string CleanMessage(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  for (size_t at = text.find("  "); at != std::string::npos; at = text.find("  ", at)) text.erase(at, 1);
  return text;
}

// A system error that the table has no row for speaks with the system's own text.
std::string ErrorMessageText(int code) {
  std::string text = SerialErrorMessage(code);
  if (text.empty() && SerErr::IsSystemError(code)) text = CleanMessage(std::strerror(SerErr::SystemErrorNumber(code)));
  return text;
}
