#include <gtest/gtest.h>

#include <cerrno>

#include "serial/SerErrorCodes.h"
#include "serial/TermiosDevice.h"

TEST(OpenErrorCode, OperatingSystemErrorsMapOntoTheDriversCodes) {
  struct Case {
    int error;
    int code;
  } cases[] = {
      {ENOENT, SerErr::BadId},          {ENODEV, SerErr::BadId},
      {ENXIO, SerErr::BadId},           {ENOTTY, SerErr::BadId},
      {ENOTDIR, SerErr::PathNotFound},  {EBUSY, SerErr::AlreadyOpen},
      {EWOULDBLOCK, SerErr::AlreadyOpen}, {EACCES, SerErr::AccessDenied},
      {EPERM, SerErr::AccessDenied},    {EMFILE, SerErr::TooManyOpenFiles},
      {ENOMEM, SerErr::OutOfMemory},    {EIO, SerErr::SystemError(EIO)},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenErrorCode(c.error), c.code) << c.error;
}

TEST(TTermiosDevice, AFileThatIsNoTtyIsNoSerialPort) {
  TTermiosDevice device;
  EXPECT_EQ(device.Open("/dev/null"), SerErr::BadId);
  EXPECT_EQ(device.LastSystemError(), ENOTTY);
}
