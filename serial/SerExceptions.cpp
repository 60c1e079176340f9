#include "serial/SerExceptions.h"

#include "serial/SerErrorCodes.h"

// The class each code is raised as.
#define SER_EXCEPTION_CODES \
  X_CODE(EBadArgument, -1002) \
  X_CODE(EGotQuitMsg, -1003) \
  X_CODE(EBufferTooBig, -1004) \
  X_CODE(EPortNotAssigned, -1005) \
  X_CODE(EInternal, -1006) \
  X_CODE(EInternal, -7003) \
  X_CODE(EInternal, -7006) \
  X_CODE(EInternal, -7012) \
  X_CODE(EModemNotAssigned, -1007) \
  X_CODE(EPhonebookNotAssigned, -1008) \
  X_CODE(ECannotUseWithWinSock, -1009) \
  X_CODE(EBadId, -2001) \
  X_CODE(EBaudRate, -2002) \
  X_CODE(EByteSize, -2003) \
  X_CODE(EDefault, -2004) \
  X_CODE(EHardware, -2005) \
  X_CODE(EMemory, -2006) \
  X_CODE(ECommNotOpen, -2007) \
  X_CODE(EAlreadyOpen, -2008) \
  X_CODE(ENoHandles, -2009) \
  X_CODE(ENoTimers, -2010) \
  X_CODE(ENoPortSelected, -2011) \
  X_CODE(ENotOpenedByTapi, -2012) \
  X_CODE(ENullApi, -3001) \
  X_CODE(ERegisterHandlerFailed, -3003) \
  X_CODE(EPutBlockFail, -3004) \
  X_CODE(EGetBlockFail, -3005) \
  X_CODE(EOutputBufferTooSmall, -3006) \
  X_CODE(EBufferIsEmpty, -3007) \
  X_CODE(ETracingNotEnabled, -3008) \
  X_CODE(ELoggingNotEnabled, -3009) \
  X_CODE(EBaseAddressNotSet, -3010) \
  X_CODE(EModemNotStarted, -4001) \
  X_CODE(EModemBusy, -4002) \
  X_CODE(EModemNotDialing, -4003) \
  X_CODE(ENotDialing, -4004) \
  X_CODE(EAlreadyDialing, -4005) \
  X_CODE(EModemNotResponding, -4006) \
  X_CODE(EModemRejectedCommand, -4007) \
  X_CODE(EModemStatusMismatch, -4008) \
  X_CODE(ENoMoreTriggers, -5001) \
  X_CODE(ETriggerTooLong, -5002) \
  X_CODE(EBadTriggerHandle, -5003) \
  X_CODE(EProtocol, -6006) \
  X_CODE(EProtocol, -6008) \
  X_CODE(EProtocol, -6009) \
  X_CODE(EKeyTooLong, -7001) \
  X_CODE(EDataTooLarge, -7002) \
  X_CODE(EIniWrite, -7004) \
  X_CODE(EIniRead, -7005) \
  X_CODE(ERecordExists, -7007) \
  X_CODE(ERecordNotFound, -7008) \
  X_CODE(EDatabaseFull, -7010) \
  X_CODE(EDatabaseEmpty, -7011) \
  X_CODE(EBadFieldList, -7013) \
  X_CODE(EBadFieldForIndex, -7014) \
  X_CODE(EFaxBadFormat, -8001) \
  X_CODE(EBadGraphicsFormat, -8002) \
  X_CODE(EConvertAbort, -8003) \
  X_CODE(EUnpackAbort, -8004) \
  X_CODE(ECantMakeBitmap, -8005) \
  X_CODE(EInvalidPageNumber, -8053) \
  X_CODE(EFaxBadMachine, -8060) \
  X_CODE(EFaxBadModemResult, -8061) \
  X_CODE(EFaxTrainError, -8062) \
  X_CODE(EFaxInitError, -8063) \
  X_CODE(EFaxBusy, -8064) \
  X_CODE(EFaxVoiceCall, -8065) \
  X_CODE(EFaxDataCall, -8066) \
  X_CODE(EFaxNoDialTone, -8067) \
  X_CODE(EFaxNoCarrier, -8068) \
  X_CODE(EFaxSessionError, -8069) \
  X_CODE(EFaxPageError, -8070) \
  X_CODE(ETapiAllocated, -13801) \
  X_CODE(ETapiBadDeviceID, -13802) \
  X_CODE(ETapiBearerModeUnavail, -13803) \
  X_CODE(ETapiCallUnavail, -13805) \
  X_CODE(ETapiCompletionOverrun, -13806) \
  X_CODE(ETapiConferenceFull, -13807) \
  X_CODE(ETapiDialBilling, -13808) \
  X_CODE(ETapiDialDialtone, -13809) \
  X_CODE(ETapiDialPrompt, -13810) \
  X_CODE(ETapiDialQuiet, -13811) \
  X_CODE(ETapiIncompatibleApiVersion, -13812) \
  X_CODE(ETapiIncompatibleExtVersion, -13813) \
  X_CODE(ETapiIniFileCorrupt, -13814) \
  X_CODE(ETapiInUse, -13815) \
  X_CODE(ETapiInvalAddress, -13816) \
  X_CODE(ETapiInvalAddressID, -13817) \
  X_CODE(ETapiInvalAddressMode, -13818) \
  X_CODE(ETapiInvalAddressState, -13819) \
  X_CODE(ETapiInvalAppHandle, -13820) \
  X_CODE(ETapiInvalAppName, -13821) \
  X_CODE(ETapiInvalBearerMode, -13822) \
  X_CODE(ETapiInvalCallComplMode, -13823) \
  X_CODE(ETapiInvalCallHandle, -13824) \
  X_CODE(ETapiInvalCallParams, -13825) \
  X_CODE(ETapiInvalCallPrivilege, -13826) \
  X_CODE(ETapiInvalCallSelect, -13827) \
  X_CODE(ETapiInvalCallState, -13828) \
  X_CODE(ETapiInvalCallStatelist, -13829) \
  X_CODE(ETapiInvalCard, -13830) \
  X_CODE(ETapiInvalCompletionID, -13831) \
  X_CODE(ETapiInvalConfCallHandle, -13832) \
  X_CODE(ETapiInvalConsultCallHandle, -13833) \
  X_CODE(ETapiInvalCountryCode, -13834) \
  X_CODE(ETapiInvalDeviceClass, -13835) \
  X_CODE(ETapiInvalDeviceHandle, -13836) \
  X_CODE(ETapiInvalDialParams, -13837) \
  X_CODE(ETapiInvalDigitList, -13838) \
  X_CODE(ETapiInvalDigitMode, -13839) \
  X_CODE(ETapiInvalDigits, -13840) \
  X_CODE(ETapiInvalExtVersion, -13841) \
  X_CODE(ETapiInvalGroupID, -13842) \
  X_CODE(ETapiInvalLineHandle, -13843) \
  X_CODE(ETapiInvalLineState, -13844) \
  X_CODE(ETapiInvalLocation, -13845) \
  X_CODE(ETapiInvalMediaList, -13846) \
  X_CODE(ETapiInvalMediaMode, -13847) \
  X_CODE(ETapiInvalMessageID, -13848) \
  X_CODE(ETapiInvalParam, -13850) \
  X_CODE(ETapiInvalParkID, -13851) \
  X_CODE(ETapiInvalParkMode, -13852) \
  X_CODE(ETapiInvalPointer, -13853) \
  X_CODE(ETapiInvalPrivSelect, -13854) \
  X_CODE(ETapiInvalRate, -13855) \
  X_CODE(ETapiInvalRequestMode, -13856) \
  X_CODE(ETapiInvalTerminalID, -13857) \
  X_CODE(ETapiInvalTerminalMode, -13858) \
  X_CODE(ETapiInvalTimeout, -13859) \
  X_CODE(ETapiInvalTone, -13860) \
  X_CODE(ETapiInvalToneList, -13861) \
  X_CODE(ETapiInvalToneMode, -13862) \
  X_CODE(ETapiInvalTransferMode, -13863) \
  X_CODE(ETapiLineMapperFailed, -13864) \
  X_CODE(ETapiNoConference, -13865) \
  X_CODE(ETapiNoDevice, -13866) \
  X_CODE(ETapiNoDriver, -13867) \
  X_CODE(ETapiNoMem, -13868) \
  X_CODE(ETapiNoRequest, -13869) \
  X_CODE(ETapiNotOwner, -13870) \
  X_CODE(ETapiNotRegistered, -13871) \
  X_CODE(ETapiOperationFailed, -13872) \
  X_CODE(ETapiOperationUnavail, -13873) \
  X_CODE(ETapiRateUnavail, -13874) \
  X_CODE(ETapiResourceUnavail, -13875) \
  X_CODE(ETapiRequestOverrun, -13876) \
  X_CODE(ETapiStructureTooSmall, -13877) \
  X_CODE(ETapiTargetNotFound, -13878) \
  X_CODE(ETapiTargetSelf, -13879) \
  X_CODE(ETapiUninitialized, -13880) \
  X_CODE(ETapiUserUserInfoTooBig, -13881) \
  X_CODE(ETapiReinit, -13882) \
  X_CODE(ETapiAddressBlocked, -13883) \
  X_CODE(ETapiBillingRejected, -13884) \
  X_CODE(ETapiInvalFeature, -13885) \
  X_CODE(ETapiNoMultipleInstance, -13886) \
  X_CODE(ETapiBusy, -13928) \
  X_CODE(ETapiNotSet, -13929) \
  X_CODE(ETapiNoSelect, -13930) \
  X_CODE(ETapiLoadFail, -13931) \
  X_CODE(ETapiGetAddrFail, -13932) \
  X_CODE(ETapiVoiceNotSupported, -13935) \
  X_CODE(ETapiWaveFail, -13936) \
  X_CODE(ETapiTranslateFail, -13942) \
  X_CODE(ERasLoadFail, -13980)

ESerException::ESerException(int code) : std::runtime_error(ErrorMessageText(code)), errorCode_(code) {}

ESerException::ESerException(const std::string& text) : std::runtime_error(text), errorCode_(0) {}

ESerException::ESerException(int code, const std::string& text) : std::runtime_error(text), errorCode_(code) {}

int CheckException(int code) {
  if (code >= 0) return code;
  switch (code) {
#define X_CODE(C, N) \
  case N:            \
    throw C(N);
    SER_EXCEPTION_CODES
#undef X_CODE
    default:
      break;
  }
  if (code == SerErr::OutOfMemory) throw EOutOfMemory();
  if (SerErr::IsSystemError(code)) throw EInOutError(ErrorMessageText(code), SerErr::SystemErrorNumber(code));
  if (code <= -2 && code >= -162) throw EInOutError(ErrorMessageText(-code), -code);
  throw ESerException(std::string("Serial port exception"));
}
