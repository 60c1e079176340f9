#pragma once
// Inside the serial driver every operation reports an integer code: 0 or a positive
// count for success, a negative code for failure. At the port component's surface
// CheckException turns a negative code into an exception whose class tells the
// kind of failure.
#include <stdexcept>
#include <string>

class ESerException : public std::runtime_error {
 public:
  // The message is the code table's text for the code.
  explicit ESerException(int code);
  // ErrorCode 0.
  explicit ESerException(const std::string& text);
  // The code's class with a text that says more than the table's.
  ESerException(int code, const std::string& text);
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// The run-time library's I/O error: the system error numbers 2 to 162.
class EInOutError : public std::runtime_error {
 public:
  EInOutError(const std::string& text, int errorCode) : std::runtime_error(text), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

class EOutOfMemory : public std::runtime_error {
 public:
  EOutOfMemory() : std::runtime_error("Out of memory") {}
};

// Each group of codes has its class, and most codes a leaf class of their own.
#define SER_EXCEPTION_CLASSES \
  X_GROUP(EGeneral) \
  X_GROUP(EOpenComm) \
  X_GROUP(ESerialIO) \
  X_GROUP(EModem) \
  X_GROUP(ETrigger) \
  X_GROUP(EProtocol) \
  X_GROUP(EINI) \
  X_GROUP(EFax) \
  X_GROUP(ETapi) \
  X_GROUP(ERas) \
  X_LEAF(EGeneral, EBadArgument) \
  X_LEAF(EGeneral, EGotQuitMsg) \
  X_LEAF(EGeneral, EBufferTooBig) \
  X_LEAF(EGeneral, EPortNotAssigned) \
  X_LEAF(EGeneral, EInternal) \
  X_LEAF(EGeneral, EModemNotAssigned) \
  X_LEAF(EGeneral, EPhonebookNotAssigned) \
  X_LEAF(EGeneral, ECannotUseWithWinSock) \
  X_LEAF(EOpenComm, EBadId) \
  X_LEAF(EOpenComm, EBaudRate) \
  X_LEAF(EOpenComm, EByteSize) \
  X_LEAF(EOpenComm, EDefault) \
  X_LEAF(EOpenComm, EHardware) \
  X_LEAF(EOpenComm, EMemory) \
  X_LEAF(EOpenComm, ECommNotOpen) \
  X_LEAF(EOpenComm, EAlreadyOpen) \
  X_LEAF(EOpenComm, ENoHandles) \
  X_LEAF(EOpenComm, ENoTimers) \
  X_LEAF(EOpenComm, ENoPortSelected) \
  X_LEAF(EOpenComm, ENotOpenedByTapi) \
  X_LEAF(ESerialIO, ENullApi) \
  X_LEAF(ESerialIO, ERegisterHandlerFailed) \
  X_LEAF(ESerialIO, EPutBlockFail) \
  X_LEAF(ESerialIO, EGetBlockFail) \
  X_LEAF(ESerialIO, EOutputBufferTooSmall) \
  X_LEAF(ESerialIO, EBufferIsEmpty) \
  X_LEAF(ESerialIO, ETracingNotEnabled) \
  X_LEAF(ESerialIO, ELoggingNotEnabled) \
  X_LEAF(ESerialIO, EBaseAddressNotSet) \
  X_LEAF(EModem, EModemNotStarted) \
  X_LEAF(EModem, EModemBusy) \
  X_LEAF(EModem, EModemNotDialing) \
  X_LEAF(EModem, ENotDialing) \
  X_LEAF(EModem, EAlreadyDialing) \
  X_LEAF(EModem, EModemNotResponding) \
  X_LEAF(EModem, EModemRejectedCommand) \
  X_LEAF(EModem, EModemStatusMismatch) \
  X_LEAF(ETrigger, ENoMoreTriggers) \
  X_LEAF(ETrigger, ETriggerTooLong) \
  X_LEAF(ETrigger, EBadTriggerHandle) \
  X_LEAF(EINI, EKeyTooLong) \
  X_LEAF(EINI, EDataTooLarge) \
  X_LEAF(EINI, EIniWrite) \
  X_LEAF(EINI, EIniRead) \
  X_LEAF(EINI, ERecordExists) \
  X_LEAF(EINI, ERecordNotFound) \
  X_LEAF(EINI, EDatabaseFull) \
  X_LEAF(EINI, EDatabaseEmpty) \
  X_LEAF(EINI, EBadFieldList) \
  X_LEAF(EINI, EBadFieldForIndex) \
  X_LEAF(EFax, EFaxBadFormat) \
  X_LEAF(EFax, EBadGraphicsFormat) \
  X_LEAF(EFax, EConvertAbort) \
  X_LEAF(EFax, EUnpackAbort) \
  X_LEAF(EFax, ECantMakeBitmap) \
  X_LEAF(EFax, EInvalidPageNumber) \
  X_LEAF(EFax, EFaxBadMachine) \
  X_LEAF(EFax, EFaxBadModemResult) \
  X_LEAF(EFax, EFaxTrainError) \
  X_LEAF(EFax, EFaxInitError) \
  X_LEAF(EFax, EFaxBusy) \
  X_LEAF(EFax, EFaxVoiceCall) \
  X_LEAF(EFax, EFaxDataCall) \
  X_LEAF(EFax, EFaxNoDialTone) \
  X_LEAF(EFax, EFaxNoCarrier) \
  X_LEAF(EFax, EFaxSessionError) \
  X_LEAF(EFax, EFaxPageError) \
  X_LEAF(ETapi, ETapiAllocated) \
  X_LEAF(ETapi, ETapiBadDeviceID) \
  X_LEAF(ETapi, ETapiBearerModeUnavail) \
  X_LEAF(ETapi, ETapiCallUnavail) \
  X_LEAF(ETapi, ETapiCompletionOverrun) \
  X_LEAF(ETapi, ETapiConferenceFull) \
  X_LEAF(ETapi, ETapiDialBilling) \
  X_LEAF(ETapi, ETapiDialDialtone) \
  X_LEAF(ETapi, ETapiDialPrompt) \
  X_LEAF(ETapi, ETapiDialQuiet) \
  X_LEAF(ETapi, ETapiIncompatibleApiVersion) \
  X_LEAF(ETapi, ETapiIncompatibleExtVersion) \
  X_LEAF(ETapi, ETapiIniFileCorrupt) \
  X_LEAF(ETapi, ETapiInUse) \
  X_LEAF(ETapi, ETapiInvalAddress) \
  X_LEAF(ETapi, ETapiInvalAddressID) \
  X_LEAF(ETapi, ETapiInvalAddressMode) \
  X_LEAF(ETapi, ETapiInvalAddressState) \
  X_LEAF(ETapi, ETapiInvalAppHandle) \
  X_LEAF(ETapi, ETapiInvalAppName) \
  X_LEAF(ETapi, ETapiInvalBearerMode) \
  X_LEAF(ETapi, ETapiInvalCallComplMode) \
  X_LEAF(ETapi, ETapiInvalCallHandle) \
  X_LEAF(ETapi, ETapiInvalCallParams) \
  X_LEAF(ETapi, ETapiInvalCallPrivilege) \
  X_LEAF(ETapi, ETapiInvalCallSelect) \
  X_LEAF(ETapi, ETapiInvalCallState) \
  X_LEAF(ETapi, ETapiInvalCallStatelist) \
  X_LEAF(ETapi, ETapiInvalCard) \
  X_LEAF(ETapi, ETapiInvalCompletionID) \
  X_LEAF(ETapi, ETapiInvalConfCallHandle) \
  X_LEAF(ETapi, ETapiInvalConsultCallHandle) \
  X_LEAF(ETapi, ETapiInvalCountryCode) \
  X_LEAF(ETapi, ETapiInvalDeviceClass) \
  X_LEAF(ETapi, ETapiInvalDeviceHandle) \
  X_LEAF(ETapi, ETapiInvalDialParams) \
  X_LEAF(ETapi, ETapiInvalDigitList) \
  X_LEAF(ETapi, ETapiInvalDigitMode) \
  X_LEAF(ETapi, ETapiInvalDigits) \
  X_LEAF(ETapi, ETapiInvalExtVersion) \
  X_LEAF(ETapi, ETapiInvalGroupID) \
  X_LEAF(ETapi, ETapiInvalLineHandle) \
  X_LEAF(ETapi, ETapiInvalLineState) \
  X_LEAF(ETapi, ETapiInvalLocation) \
  X_LEAF(ETapi, ETapiInvalMediaList) \
  X_LEAF(ETapi, ETapiInvalMediaMode) \
  X_LEAF(ETapi, ETapiInvalMessageID) \
  X_LEAF(ETapi, ETapiInvalParam) \
  X_LEAF(ETapi, ETapiInvalParkID) \
  X_LEAF(ETapi, ETapiInvalParkMode) \
  X_LEAF(ETapi, ETapiInvalPointer) \
  X_LEAF(ETapi, ETapiInvalPrivSelect) \
  X_LEAF(ETapi, ETapiInvalRate) \
  X_LEAF(ETapi, ETapiInvalRequestMode) \
  X_LEAF(ETapi, ETapiInvalTerminalID) \
  X_LEAF(ETapi, ETapiInvalTerminalMode) \
  X_LEAF(ETapi, ETapiInvalTimeout) \
  X_LEAF(ETapi, ETapiInvalTone) \
  X_LEAF(ETapi, ETapiInvalToneList) \
  X_LEAF(ETapi, ETapiInvalToneMode) \
  X_LEAF(ETapi, ETapiInvalTransferMode) \
  X_LEAF(ETapi, ETapiLineMapperFailed) \
  X_LEAF(ETapi, ETapiNoConference) \
  X_LEAF(ETapi, ETapiNoDevice) \
  X_LEAF(ETapi, ETapiNoDriver) \
  X_LEAF(ETapi, ETapiNoMem) \
  X_LEAF(ETapi, ETapiNoRequest) \
  X_LEAF(ETapi, ETapiNotOwner) \
  X_LEAF(ETapi, ETapiNotRegistered) \
  X_LEAF(ETapi, ETapiOperationFailed) \
  X_LEAF(ETapi, ETapiOperationUnavail) \
  X_LEAF(ETapi, ETapiRateUnavail) \
  X_LEAF(ETapi, ETapiResourceUnavail) \
  X_LEAF(ETapi, ETapiRequestOverrun) \
  X_LEAF(ETapi, ETapiStructureTooSmall) \
  X_LEAF(ETapi, ETapiTargetNotFound) \
  X_LEAF(ETapi, ETapiTargetSelf) \
  X_LEAF(ETapi, ETapiUninitialized) \
  X_LEAF(ETapi, ETapiUserUserInfoTooBig) \
  X_LEAF(ETapi, ETapiReinit) \
  X_LEAF(ETapi, ETapiAddressBlocked) \
  X_LEAF(ETapi, ETapiBillingRejected) \
  X_LEAF(ETapi, ETapiInvalFeature) \
  X_LEAF(ETapi, ETapiNoMultipleInstance) \
  X_LEAF(ETapi, ETapiBusy) \
  X_LEAF(ETapi, ETapiNotSet) \
  X_LEAF(ETapi, ETapiNoSelect) \
  X_LEAF(ETapi, ETapiLoadFail) \
  X_LEAF(ETapi, ETapiGetAddrFail) \
  X_LEAF(ETapi, ETapiVoiceNotSupported) \
  X_LEAF(ETapi, ETapiWaveFail) \
  X_LEAF(ETapi, ETapiTranslateFail) \
  X_LEAF(ERas, ERasLoadFail)

#define X_GROUP(G) \
  class G : public ESerException { \
   public: \
    using ESerException::ESerException; \
  };
#define X_LEAF(G, L) \
  class L : public G { \
   public: \
    using G::G; \
  };
SER_EXCEPTION_CLASSES
#undef X_GROUP
#undef X_LEAF

// The table's message for the code's absolute value; empty when the table has no row.
std::string SerialErrorMessage(int code);
// SerialErrorMessage; for a code without a row, the system's text for its number.
std::string ErrorMessageText(int code);
// Every character below 32 becomes a blank, then runs of blanks become one.
std::string CleanMessage(std::string text);

// Returns a code of 0 or above unchanged; raises for a negative one. A system
// error raises EInOutError with the system's number and text.
int CheckException(int code);
