#pragma once
// The driver's result codes that its own code produces or maps onto.
namespace SerErr {
constexpr int Ok = 0;
constexpr int FileNotFound = -2;
constexpr int PathNotFound = -3;
constexpr int TooManyOpenFiles = -4;
constexpr int AccessDenied = -5;
constexpr int InvalidHandle = -6;
constexpr int OutOfMemory = -8;
constexpr int WriteFault = -160;
constexpr int ReadFault = -161;
constexpr int GeneralFailure = -162;
constexpr int BadHandle = -1001;
constexpr int BadArgument = -1002;
constexpr int BadId = -2001;
constexpr int BadBaudRate = -2002;
constexpr int CommNotOpen = -2007;
constexpr int AlreadyOpen = -2008;
constexpr int NoPortSelected = -2011;
constexpr int NullApi = -3001;
constexpr int PutBlockFail = -3004;
constexpr int GetBlockFail = -3005;
constexpr int OutputBufferTooSmall = -3006;
constexpr int BufferIsEmpty = -3007;
constexpr int TracingNotEnabled = -3008;
constexpr int LoggingNotEnabled = -3009;
constexpr int NotOpenedByTapi = -2012;
constexpr int NoMoreTriggers = -5001;
constexpr int TriggerTooLong = -5002;
constexpr int BadTriggerHandle = -5003;
constexpr int NoMemory = -13868;

// A system error that no code of the driver names travels with its own number,
// so that its message can be the system's text for it.
constexpr int kSystemErrorBase = 100000;
constexpr int SystemError(int error) { return -(kSystemErrorBase + error); }
constexpr bool IsSystemError(int code) { return code <= -kSystemErrorBase; }
// Taken apart in 64 bits: the lowest int has no negation of its own.
constexpr int SystemErrorNumber(int code) { return static_cast<int>(-static_cast<long long>(code) - kSystemErrorBase); }
}  // namespace SerErr
