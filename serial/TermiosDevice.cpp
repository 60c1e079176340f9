#include "serial/TermiosDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "serial/SerErrorCodes.h"
#include "serial/TermiosLine.h"

namespace {

// ioctl errors of a device that has no such line (a pseudo-terminal has no modem lines).
bool IsNoSuchLine(int error) { return error == ENOTTY || error == EINVAL || error == ENOTSUP; }

int ReadWriteErrorCode(int error, int faultCode) {
  if (error == EBADF) return SerErr::InvalidHandle;
  return faultCode;
}

constexpr int kModemLines = TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD;
constexpr int kModemPollMs = 100;

void Interrupted(int) {}

// The signal that ends a modem-line interrupt wait; 0 when the program uses it
// for something else, and the waits then poll.
int InterruptSignal() {
  static const int signal = [] {
    const int s = SIGRTMAX - 2;
    struct sigaction old {};
    if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) return 0;
    struct sigaction sa {};
    sa.sa_handler = Interrupted;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: the interrupted wait returns
    return ::sigaction(s, &sa, nullptr) == 0 ? s : 0;
  }();
  return signal;
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
    default: return SerErr::SystemError(error);
  }
}

TTermiosDevice::TTermiosDevice(std::string lockFolder)
    : lockFolder_(std::move(lockFolder)),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), interruptFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TTermiosDevice::~TTermiosDevice() {
  Close();
  for (const int fd : {wakeFd_, interruptFd_})
    if (fd >= 0) ::close(fd);
}

int TTermiosDevice::Failed(int code) {
  lastError_ = errno;
  return code;
}

int TTermiosDevice::Open(const std::string& name) {
  if (wakeFd_ < 0 || interruptFd_ < 0) return SerErr::TooManyOpenFiles;
  if (FindLockOwner(name, lockFolder_)) {
    lastError_ = EBUSY;
    return SerErr::AlreadyOpen;
  }
  const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failed(OpenErrorCode(errno));
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) {
    const int code = Failed(SerErr::BadId);
    ::close(fd);
    return code;
  }
  if (const int refused = RefuseHeld(fd, name); refused != SerErr::Ok) {
    ::close(fd);
    return refused;
  }
  TPortHolder owner;
  if (!lock_.Acquire(name, lockFolder_, owner)) {
    ::close(fd);
    lastError_ = EBUSY;
    return SerErr::AlreadyOpen;
  }
  // TIOCEXCL keeps out those who look for none of the locks, but root passes it.
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int code = Failed(OpenErrorCode(errno));
    lock_.Release();
    ::close(fd);
    return code;
  }
  int lines = 0;
  hasModemLines_ = ::ioctl(fd, TIOCMGET, &lines) == 0;
  useModemInterrupt_ = hasModemLines_ && InterruptSignal() != 0;
  fd_ = fd;
  hasCounts_ = ReadCounts(counts_);
  carry_.clear();
  return SerErr::Ok;
}

// Every test here only looks, so a port held by someone else keeps its lock and
// its exclusive mode. The super-user passes another holder's exclusive mode, so
// that mode is read rather than relied on.
int TTermiosDevice::RefuseHeld(int fd, const std::string& name) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return Failed(OpenErrorCode(errno));
  int exclusive = 0;
  const bool held = (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) || FindOpenHolder(name);
  if (!held) return SerErr::Ok;
  lastError_ = EBUSY;
  return SerErr::AlreadyOpen;
}

void TTermiosDevice::Close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  lock_.Release();
}

bool TTermiosDevice::ReadCounts(TCounts& counts) {
  serial_icounter_struct c{};
  if (::ioctl(fd_, TIOCGICOUNT, &c) != 0) return false;
  counts = {c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
  return true;
}

int TTermiosDevice::GetLineState(TSerLineState& state) {
  termios2 t{};
  if (::ioctl(fd_, TCGETS2, &t) != 0) return Failed(SerErr::SystemError(errno));
  state = LineStateOf(t);
  // Marks the reader does not expect would corrupt the data.
  state.Raw = state.Raw && static_cast<bool>(t.c_iflag & PARMRK) == hasCounts_;
  state.DiscardNull = discardNull_;
  state.ReplaceErrors = replaceErrors_;
  state.ErrorChar = static_cast<char>(errorChar_);
  return SerErr::Ok;
}

int TTermiosDevice::SetLineState(const TSerLineState& state) {
  termios2 t{};
  if (::ioctl(fd_, TCGETS2, &t) != 0) return Failed(SerErr::SystemError(errno));
  const termios2 wanted = BuildTermios(t, state, hasCounts_);
  if (::ioctl(fd_, TCSETS2, &wanted) != 0)
    return Failed(errno == EINVAL ? SerErr::BadBaudRate : SerErr::SystemError(errno));
  // A driver that cannot make the rate keeps another one without saying so.
  termios2 got{};
  if (::ioctl(fd_, TCGETS2, &got) != 0) return Failed(SerErr::SystemError(errno));
  if (got.c_ospeed != wanted.c_ospeed) {
    lastError_ = EINVAL;
    return SerErr::BadBaudRate;
  }
  discardNull_ = state.DiscardNull;
  replaceErrors_ = state.ReplaceErrors;
  errorChar_ = static_cast<uint8_t>(state.ErrorChar);
  return SerErr::Ok;
}

int TTermiosDevice::Read(uint8_t* buffer, size_t count) {
  const size_t carried = carry_.size();
  if (count <= carried) return 0;
  if (carried > 0) std::memcpy(buffer, carry_.data(), carried);
  carry_.clear();
  const ssize_t n = ::read(fd_, buffer + carried, count - carried);
  if (n == 0) return Failed(SerErr::ReadFault);  // end of file: the far end hung up
  if (n < 0) {
    const int error = errno;
    carry_.assign(buffer, buffer + carried);
    if (error == EAGAIN || error == EINTR) return 0;
    lastError_ = error;
    return ReadWriteErrorCode(error, SerErr::ReadFault);
  }
  const size_t total = carried + static_cast<size_t>(n);
  if (!hasCounts_ && !discardNull_) return static_cast<int>(total);
  return static_cast<int>(UnmarkInput(buffer, total, {hasCounts_, discardNull_, replaceErrors_, errorChar_}, carry_));
}

int TTermiosDevice::Write(const uint8_t* buffer, size_t count) {
  const ssize_t n = ::write(fd_, buffer, count);
  if (n >= 0) return static_cast<int>(n);
  if (errno == EAGAIN || errno == EINTR) return 0;
  return Failed(ReadWriteErrorCode(errno, SerErr::WriteFault));
}

int TTermiosDevice::Wait(short events, int faultCode, int timeoutMs) {
  pollfd fds[3] = {{fd_, events, 0}, {wakeFd_, POLLIN, 0}, {interruptFd_, static_cast<short>(events == POLLIN ? POLLIN : 0), 0}};
  for (;;) {
    const int n = ::poll(fds, 3, timeoutMs);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(faultCode);
    if (n == 0) return SerWait::TimedOut;
    if (fds[1].revents) return SerWait::Woken;
    if (fds[2].revents) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t r = ::read(interruptFd_, &count, sizeof count);
      return SerWait::TimedOut;
    }
    if (fds[0].revents & POLLNVAL) return SerErr::InvalidHandle;
    // A hang-up or error still lets the caller read what is left; the read then fails.
    if (events == POLLIN && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) return SerWait::Ready;
    if (fds[0].revents & (POLLHUP | POLLERR)) return faultCode;
    if (fds[0].revents & events) return SerWait::Ready;
  }
}

int TTermiosDevice::WaitReadable(int timeoutMs) { return Wait(POLLIN, SerErr::ReadFault, timeoutMs); }
int TTermiosDevice::WaitWritable(int timeoutMs) { return Wait(POLLOUT, SerErr::WriteFault, timeoutMs); }

void TTermiosDevice::Interrupt() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(interruptFd_, &one, sizeof one);
}

int TTermiosDevice::WaitModemChange(int& bits) {
  if (!hasModemLines_) return SerWait::NoModemLines;
  for (;;) {
    int now = 0;
    if (GetModemStatus(now) < 0) return SerErr::GeneralFailure;
    if (now != bits) {
      bits = now;
      return SerWait::Ready;
    }
    const int r = useModemInterrupt_ ? WaitModemInterrupt() : PollModemLines();
    if (r == SerWait::NoModemLines) useModemInterrupt_ = false;
    else if (r != SerWait::Ready) return r;
  }
}

// The driver's own wait for a change of the input lines. Wake signals this thread
// until it has left the wait, so a wake that comes just before the wait starts
// is not lost.
int TTermiosDevice::WaitModemInterrupt() {
  modemWaiter_ = ::pthread_self();
  inModemWait_ = true;
  if (woken_) {
    inModemWait_ = false;
    return SerWait::Woken;
  }
  const int r = ::ioctl(fd_, TIOCMIWAIT, kModemLines);
  const int error = errno;
  inModemWait_ = false;
  if (woken_) return SerWait::Woken;
  if (r == 0 || error == EINTR) return SerWait::Ready;
  if (IsNoSuchLine(error)) return SerWait::NoModemLines;
  lastError_ = error;
  return SerErr::ReadFault;
}

// Without the driver's wait the lines are looked at ten times a second.
int TTermiosDevice::PollModemLines() {
  pollfd wake{wakeFd_, POLLIN, 0};
  const int n = ::poll(&wake, 1, kModemPollMs);
  if (n < 0 && errno != EINTR) return Failed(SerErr::GeneralFailure);
  return woken_ || (n > 0 && wake.revents) ? SerWait::Woken : SerWait::Ready;
}

void TTermiosDevice::Wake() {
  woken_ = true;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
  while (inModemWait_) {
    ::pthread_kill(modemWaiter_, InterruptSignal());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int TTermiosDevice::SetModemLine(int line, bool on) {
  if (!hasModemLines_) return kNoModemLines;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return SerErr::Ok;
  if (IsNoSuchLine(errno)) return kNoModemLines;
  return Failed(SerErr::SystemError(errno));
}

int TTermiosDevice::SetDTR(bool on) { return SetModemLine(TIOCM_DTR, on); }
int TTermiosDevice::SetRTS(bool on) { return SetModemLine(TIOCM_RTS, on); }

int TTermiosDevice::GetModemStatus(int& bits) {
  bits = 0;
  if (!hasModemLines_) return kNoModemLines;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) != 0)
    return IsNoSuchLine(errno) ? kNoModemLines : Failed(SerErr::SystemError(errno));
  if (lines & TIOCM_CTS) bits |= SerModem::CTS;
  if (lines & TIOCM_DSR) bits |= SerModem::DSR;
  if (lines & TIOCM_RI) bits |= SerModem::Ring;
  if (lines & TIOCM_CD) bits |= SerModem::RLSD;
  return SerErr::Ok;
}

int TTermiosDevice::SetRS485(bool on) {
  serial_rs485 rs{};
  if (on) rs.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
  if (::ioctl(fd_, TIOCSRS485, &rs) == 0) return SerErr::Ok;
  if (IsNoSuchLine(errno)) return kNoModemLines;
  return Failed(SerErr::SystemError(errno));
}

int TTermiosDevice::TakeLineErrors() {
  if (!hasCounts_) return 0;
  std::lock_guard lock(countsLock_);
  TCounts now;
  if (!ReadCounts(now)) return 0;
  int bits = 0;
  if (now.frame != counts_.frame) bits |= SerLineError::Framing;
  if (now.parity != counts_.parity) bits |= SerLineError::Parity;
  if (now.brk != counts_.brk) bits |= SerLineError::Break;
  if (now.overrun != counts_.overrun) bits |= SerLineError::Overrun;
  if (now.bufOverrun != counts_.bufOverrun) bits |= SerLineError::Overflow;
  counts_ = now;
  return bits;
}

int TTermiosDevice::InputCount() {
  int n = 0;
  return ::ioctl(fd_, FIONREAD, &n) == 0 ? n : Failed(SerErr::SystemError(errno));
}

int TTermiosDevice::OutputCount() {
  int n = 0;
  return ::ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : Failed(SerErr::SystemError(errno));
}

int TTermiosDevice::PurgeInput() {
  return ::ioctl(fd_, TCFLSH, TCIFLUSH) == 0 ? SerErr::Ok : Failed(SerErr::SystemError(errno));
}

int TTermiosDevice::PurgeOutput() {
  return ::ioctl(fd_, TCFLSH, TCOFLUSH) == 0 ? SerErr::Ok : Failed(SerErr::SystemError(errno));
}
