#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"
#include "serial/TermiosDevice.h"

namespace {

template <class E>
void ExpectRaises(int code, const char* message) {
  try {
    CheckException(code);
    ADD_FAILURE() << code << " raised nothing";
  } catch (const E& e) {
    EXPECT_STREQ(e.what(), message) << code;
  } catch (const std::exception& e) {
    ADD_FAILURE() << code << " raised the wrong class: " << e.what();
  }
}

}  // namespace

TEST(CheckException, CodesOfZeroAndAboveComeBackUnchanged) {
  EXPECT_EQ(CheckException(0), 0);
  EXPECT_EQ(CheckException(5), 5);
}

TEST(CheckException, EachCodeRaisesItsClassWithTheTablesMessage) {
  ExpectRaises<EBadId>(-2001, "ie_BadId - Specified comport doesn't exist");
  ExpectRaises<EAlreadyOpen>(-2008, "ie_Open - device already open");
  ExpectRaises<ECommNotOpen>(-2007, "ie_NOpen - device not open");
  ExpectRaises<ENoPortSelected>(-2011, "The ComNumber property of the TSerComPort has not been set");
  ExpectRaises<EOutputBufferTooSmall>(-3006, "Output buffer too small for block");
  ExpectRaises<EBufferIsEmpty>(-3007, "Buffer is empty");
  ExpectRaises<ENullApi>(-3001, "No device layer specified");
  ExpectRaises<ETapiNoMem>(-13868, "No memory");
  ExpectRaises<EOpenComm>(-2002, "ie_Baudrate - unsupported baud rate");
  ExpectRaises<ESerialIO>(-3004, "Failed to put entire block");
  ExpectRaises<ETrigger>(-5001, "No more trigger slots");
  // One leaf for several codes, and a group class standing for its codes.
  for (int code : {-1006, -7003, -7006, -7012}) ExpectRaises<EInternal>(code, "Internal error");
  for (int code : {-6006, -6008, -6009}) EXPECT_THROW(CheckException(code), EProtocol);
}

// A code with a class of its own never raises an exception without a message.
TEST(CheckException, EveryCodeWithAClassOfItsOwnHasAMessage) {
  for (int code = -1; code >= -14000; --code) {
    try {
      CheckException(code);
    } catch (const ESerException& e) {
      if (e.ErrorCode() != 0) {
        EXPECT_STRNE(e.what(), "") << code;
      }
    } catch (const std::exception&) {
      // The system's errors: their texts are tested apart.
    }
  }
}

TEST(CheckException, SystemErrorsRaiseTheIoErrorAndOthersTheGeneralOne) {
  try {
    CheckException(-2);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
    EXPECT_EQ(e.ErrorCode(), 2);
  }
  EXPECT_THROW(CheckException(-8), EOutOfMemory);
  ExpectRaises<EInOutError>(-161, "Device read error");
  // A code with a message but no class of its own.
  try {
    CheckException(-3002);
    FAIL();
  } catch (const ESerException& e) {
    EXPECT_STREQ(e.what(), "Serial port exception");
    EXPECT_EQ(e.ErrorCode(), 0);
  }
  EXPECT_THROW(CheckException(-99999), ESerException);
}

TEST(SerialErrorMessage, LooksUpByAbsoluteValue) {
  EXPECT_EQ(SerialErrorMessage(-2008), "ie_Open - device already open");
  EXPECT_EQ(SerialErrorMessage(2008), "ie_Open - device already open");
  EXPECT_EQ(SerialErrorMessage(0), "OK");
  EXPECT_EQ(SerialErrorMessage(-7), "");
  EXPECT_EQ(SerialErrorMessage(-99999), "");
}

TEST(CleanMessage, LineEndsBecomeBlanksAndRunsOfBlanksOne) {
  EXPECT_EQ(CleanMessage("Input/output  error\r\n"), "Input/output error ");
  EXPECT_EQ(CleanMessage("a\tb   c"), "a b c");
  EXPECT_EQ(CleanMessage(""), "");
}

// A system error that the table lacks keeps the system's reason, with its number.
TEST(CheckException, ASystemErrorWithoutARowRaisesTheSystemsText) {
  // The system's text is in the locale's language.
  const std::string reason = std::strerror(EIO);
  EXPECT_EQ(ErrorMessageText(SerErr::SystemError(EIO)), reason);
  try {
    CheckException(OpenErrorCode(EIO));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), reason);
    EXPECT_EQ(e.ErrorCode(), EIO);
  }
}

// The codes at the ends of the range are taken apart without overflow (the
// undefined behaviour sanitizer watches this) and still speak with a text.
TEST(ErrorMessageText, TheCodesAtTheEndsOfTheRangeGetTheSystemsText) {
  constexpr int lowest = std::numeric_limits<int>::min();
  constexpr int highest = std::numeric_limits<int>::max();
  EXPECT_EQ(SerialErrorMessage(lowest), "");
  EXPECT_EQ(ErrorMessageText(lowest), std::strerror(SerErr::SystemErrorNumber(lowest)));
  EXPECT_EQ(ErrorMessageText(highest), std::strerror(highest));
}

// The table's I/O rows that carry no text of their own, and numbers it has no row
// for at all, speak with the system's text for the number ("Argument list too
// long", "Unknown error 150"), in the locale's language.
TEST(ErrorMessageText, ACodeWithoutATextOfItsOwnGetsTheSystemsText) {
  for (const int code : {-7, -15, -18, -100, -105, -150}) {
    const std::string text = std::strerror(-code);
    EXPECT_EQ(ErrorMessageText(code), text) << code;
    try {
      CheckException(code);
      ADD_FAILURE() << code << " raised nothing";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.what(), text) << code;
      EXPECT_EQ(e.ErrorCode(), -code);
    }
  }
}
