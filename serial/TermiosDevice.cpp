#include "serial/TermiosDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "serial/SerErrorCodes.h"
#include "serial/TermiosLine.h"

namespace {

// ioctl errors of a device that has no such line (a pseudo-terminal has no modem lines).
bool IsNoSuchLine(int error) { return error == ENOTTY || error == EINVAL || error == ENOTSUP; }

int ReadWriteErrorCode(int error, int faultCode) {
  if (error == EBADF) return SerErr::InvalidHandle;
  return faultCode;
}

}  // namespace

int OpenErrorCode(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTTY: return SerErr::BadId;
    case ENOTDIR: return SerErr::PathNotFound;
    case EACCES:
    case EPERM: return SerErr::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK: return SerErr::AlreadyOpen;
    case EMFILE:
    case ENFILE: return SerErr::TooManyOpenFiles;
    case ENOMEM: return SerErr::OutOfMemory;
    default: return SerErr::GeneralFailure;
  }
}

TTermiosDevice::TTermiosDevice() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TTermiosDevice::~TTermiosDevice() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

int TTermiosDevice::Open(const std::string& name) {
  if (wakeFd_ < 0) return SerErr::TooManyOpenFiles;
  const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    openErrno_ = errno;
    return OpenErrorCode(openErrno_);
  }
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) {
    openErrno_ = errno;
    ::close(fd);
    return SerErr::BadId;
  }
  // TIOCEXCL keeps other users out, but root passes it; the advisory lock does not.
  if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    openErrno_ = errno;
    ::close(fd);
    return OpenErrorCode(openErrno_);
  }
  int lines = 0;
  hasModemLines_ = ::ioctl(fd, TIOCMGET, &lines) == 0;
  fd_ = fd;
  return SerErr::Ok;
}

void TTermiosDevice::Close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
}

int TTermiosDevice::GetLineState(TSerLineState& state) {
  termios2 t{};
  if (::ioctl(fd_, TCGETS2, &t) != 0) return SerErr::GeneralFailure;
  state = LineStateOf(t);
  return SerErr::Ok;
}

int TTermiosDevice::SetLineState(const TSerLineState& state) {
  termios2 t{};
  if (::ioctl(fd_, TCGETS2, &t) != 0) return SerErr::GeneralFailure;
  const termios2 wanted = BuildTermios(t, state);
  if (::ioctl(fd_, TCSETS2, &wanted) != 0) return errno == EINVAL ? SerErr::BadBaudRate : SerErr::GeneralFailure;
  // A driver that cannot make the rate keeps another one without saying so.
  termios2 got{};
  if (::ioctl(fd_, TCGETS2, &got) != 0) return SerErr::GeneralFailure;
  if (got.c_ospeed != wanted.c_ospeed) return SerErr::BadBaudRate;
  return SerErr::Ok;
}

int TTermiosDevice::Read(uint8_t* buffer, size_t count) {
  const ssize_t n = ::read(fd_, buffer, count);
  if (n > 0) return static_cast<int>(n);
  if (n == 0) return SerErr::ReadFault;  // end of file: the far end hung up
  if (errno == EAGAIN || errno == EINTR) return 0;
  return ReadWriteErrorCode(errno, SerErr::ReadFault);
}

int TTermiosDevice::Write(const uint8_t* buffer, size_t count) {
  const ssize_t n = ::write(fd_, buffer, count);
  if (n >= 0) return static_cast<int>(n);
  if (errno == EAGAIN || errno == EINTR) return 0;
  return ReadWriteErrorCode(errno, SerErr::WriteFault);
}

int TTermiosDevice::Wait(short events, int faultCode) {
  pollfd fds[2] = {{fd_, events, 0}, {wakeFd_, POLLIN, 0}};
  for (;;) {
    const int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return faultCode;
    if (fds[1].revents) return SerWait::Woken;
    if (fds[0].revents & POLLNVAL) return SerErr::InvalidHandle;
    // A hang-up or error still lets the caller read what is left; the read then fails.
    if (events == POLLIN && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) return SerWait::Ready;
    if (fds[0].revents & (POLLHUP | POLLERR)) return faultCode;
    if (fds[0].revents & events) return SerWait::Ready;
  }
}

int TTermiosDevice::WaitReadable() { return Wait(POLLIN, SerErr::ReadFault); }
int TTermiosDevice::WaitWritable() { return Wait(POLLOUT, SerErr::WriteFault); }

void TTermiosDevice::Wake() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

int TTermiosDevice::SetModemLine(int line, bool on) {
  if (!hasModemLines_) return kNoModemLines;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return SerErr::Ok;
  if (IsNoSuchLine(errno)) return kNoModemLines;
  return SerErr::GeneralFailure;
}

int TTermiosDevice::SetDTR(bool on) { return SetModemLine(TIOCM_DTR, on); }
int TTermiosDevice::SetRTS(bool on) { return SetModemLine(TIOCM_RTS, on); }

int TTermiosDevice::GetModemStatus(int& bits) {
  bits = 0;
  if (!hasModemLines_) return kNoModemLines;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) != 0) return IsNoSuchLine(errno) ? kNoModemLines : SerErr::GeneralFailure;
  if (lines & TIOCM_CTS) bits |= SerModem::CTS;
  if (lines & TIOCM_DSR) bits |= SerModem::DSR;
  if (lines & TIOCM_RI) bits |= SerModem::Ring;
  if (lines & TIOCM_CD) bits |= SerModem::RLSD;
  return SerErr::Ok;
}

void TTermiosDevice::PurgeInput() { ::ioctl(fd_, TCFLSH, TCIFLUSH); }
void TTermiosDevice::PurgeOutput() { ::ioctl(fd_, TCFLSH, TCOFLUSH); }

int TTermiosDevice::InputCount() {
  int n = 0;
  return ::ioctl(fd_, FIONREAD, &n) == 0 ? n : SerErr::GeneralFailure;
}
