#pragma once
// The failure of the port enumeration component set: its own error number and the
// system's error number that went with it (-1 when there was none).
#include <stdexcept>
#include <string>

class EComPort : public std::runtime_error {
 public:
  explicit EComPort(int errorCode);
  EComPort(int errorCode, int systemErrorCode);

  int ErrorCode() const { return errorCode_; }
  int WinErrorCode() const { return winErrorCode_; }

 private:
  int errorCode_;
  int winErrorCode_;
};

// The text of an error code 1..23; codes outside the table get a text that names the code.
std::string ComErrorText(int errorCode);

namespace ComError {
constexpr int OpenFailed = 1;
constexpr int ReadFailed = 3;
constexpr int InvalidAsync = 4;
constexpr int PurgeFailed = 5;
constexpr int SetStateFailed = 7;
constexpr int SetTimeoutsFailed = 8;
constexpr int SetupFailed = 9;
constexpr int ClearErrorFailed = 10;
constexpr int ModemStatusFailed = 11;
constexpr int Registry = 23;
}  // namespace ComError
