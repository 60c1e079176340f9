#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QTest>
#include <memory>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "serial/ComSelectForm.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"

namespace {

constexpr int kWaitMs = 10000;

std::string AllByteValues(int times) {
  std::string s;
  for (int t = 0; t < times; ++t)
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

// A port on the slave of a fresh pair, gathering what it receives and counting
// its closes. A port left open closes as it is freed and calls its handlers then,
// so whatever they touch is declared before the port and outlives it.
class PortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetDeviceName(pty.SlavePath());
    port.SetOnTriggerAvail([this](TSerComPort* cp, int count) {
      for (int i = 0; i < count; ++i) received += cp->GetChar();
    });
    port.OnPortClose = [this](TSerComPort*) { ++closes; };
  }
  bool WaitReceived(size_t n) {
    return QTest::qWaitFor([&] { return received.size() >= n; }, kWaitMs);
  }

  TScriptedPrompter prompter;
  TPtyPair pty;
  std::string received;
  int closes = 0;
  TSerComPort port;
};

}  // namespace

TEST_F(PortOnPty, EveryByteValuePassesBothWaysInOrder) {
  port.SetOpen(true);
  ASSERT_TRUE(port.Open());
  const std::string bytes = AllByteValues(4);
  pty.Write(bytes);
  ASSERT_TRUE(WaitReceived(bytes.size()));
  EXPECT_EQ(received, bytes);

  port.PutString(bytes);
  EXPECT_EQ(pty.Read(bytes.size()), bytes);
}

TEST_F(PortOnPty, SpeedAndStopBitsReachTheDevice) {
  port.SetBaud(19200);
  port.SetStopBits(2);
  port.SetOpen(true);
  TSerLineState line = pty.SlaveLine();
  EXPECT_EQ(line.Baud, 19200);
  EXPECT_EQ(line.StopBits, 2);
  EXPECT_EQ(line.ByteSize, 8);

  // A rate no standard constant names, changed while open.
  port.SetBaud(250000);
  port.SetStopBits(1);
  line = pty.SlaveLine();
  EXPECT_EQ(line.Baud, 250000);
  EXPECT_EQ(line.StopBits, 0);
}

TEST_F(PortOnPty, ASecondOpenOfTheSamePortIsRefused) {
  port.SetOpen(true);
  TSerComPort second;
  second.SetDeviceName(pty.SlavePath());
  try {
    second.SetOpen(true);
    FAIL() << "opened twice";
  } catch (const EAlreadyOpen& e) {
    // The first port's lock names this very program.
    EXPECT_EQ(e.what(), "ie_Open - device already open: " + pty.SlavePath() + " is locked by test_serial (process " +
                            std::to_string(::getpid()) + ").");
    EXPECT_EQ(e.ErrorCode(), -2008);
  }
  EXPECT_FALSE(second.Open());
  EXPECT_EQ(second.State(), TSerComPort::psClosed);
  // The first port still works.
  pty.Write("ok");
  EXPECT_TRUE(WaitReceived(2));
}

// A holder that only takes the lock: the refused open must not make its port
// exclusive, or the holder could not open it again.
TEST_F(PortOnPty, ARefusedOpenLeavesTheHoldersPortAsItWas) {
  const int holder = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_THROW(port.SetOpen(true), EAlreadyOpen);
  // The port list's probe of a held port counts it, and leaves it alone too.
  EXPECT_TRUE(IsPortAvailable(pty.SlavePath()));
  int exclusive = -1;
  ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  ::close(holder);
}

TEST_F(PortOnPty, AMissingDeviceIsReportedAsAPortThatDoesNotExist) {
  TSerComPort missing;
  missing.SetDeviceName("/dev/no-such-serial-port");
  EXPECT_THROW(
      {
        try {
          missing.SetOpen(true);
        } catch (const EBadId& e) {
          EXPECT_STREQ(e.what(), "ie_BadId - Specified comport doesn't exist");
          throw;
        }
      },
      EBadId);
  EXPECT_FALSE(missing.Open());
}

TEST_F(PortOnPty, ClosingTheFarEndClosesThePortCleanly) {
  port.SetOpen(true);
  pty.Write("last words");
  ASSERT_TRUE(WaitReceived(10));
  pty.CloseMaster();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs));
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
  EXPECT_EQ(received, "last words");
  EXPECT_TRUE(prompter.Prompts().empty());
  port.SetAutoOpen(false);
  EXPECT_THROW(port.PutString("x"), ECommNotOpen);
}

TEST_F(PortOnPty, ClosingFromInsideTheTriggerHandlerIsSafe) {
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    received += cp->GetChar();
    cp->SetOpen(false);
    EXPECT_EQ(count, static_cast<int>(count));
  });
  port.SetOpen(true);
  pty.Write("abc");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.State() == TSerComPort::psClosed; }, kWaitMs));
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(received, "a");

  // And it opens again afterwards.
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    for (int i = 0; i < count; ++i) received += cp->GetChar();
  });
  port.SetOpen(true);
  pty.Write("de");
  EXPECT_TRUE(WaitReceived(3));
  EXPECT_EQ(received, "ade");
}

TEST_F(PortOnPty, OpenAskedDuringADeferredCloseReopensWhenTheCloseEnds) {
  port.SetOnTriggerAvail([&](TSerComPort* cp, int) {
    cp->SetOpen(false);
    cp->SetOpen(true);
    EXPECT_EQ(cp->State(), TSerComPort::psClosing);
  });
  port.SetOpen(true);
  pty.Write("x");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.State() == TSerComPort::psOpen && port.Open(); }, kWaitMs));
}

TEST_F(PortOnPty, NineThousandUnreadBytesAreDeliveredWholeAndInOrder) {
  bool hold = true;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    if (hold) return;
    for (int i = 0; i < count; ++i) received += cp->GetChar();
  });
  port.SetOpen(true);
  std::string bytes;
  for (int i = 0; i < 9000; ++i) bytes += static_cast<char>('A' + i % 26);
  pty.Write(bytes);
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.InBuffUsed() == 8192; }, kWaitMs));
  hold = false;
  // Reading outside a delivery makes room, and the rest follows.
  received += port.GetChar();
  ASSERT_TRUE(WaitReceived(bytes.size()));
  EXPECT_EQ(received, bytes);
}

// More than the reader lets wait behind the ring: it stops reading until the GUI
// side has taken bytes, and nothing is lost or reordered meanwhile.
TEST_F(PortOnPty, AStreamLongerThanTheInputQueueArrivesWholeAndInOrder) {
  port.SetOnTriggerAvail([this](TSerComPort* cp, int count) { received += cp->GetBlock(count); });
  port.SetOpen(true);
  std::string bytes;
  for (int i = 0; i < 300 * 1024; ++i) bytes += static_cast<char>(i % 251);
  std::thread farEnd([&] { pty.Write(bytes); });
  const bool whole = WaitReceived(bytes.size());
  farEnd.join();
  ASSERT_TRUE(whole);
  EXPECT_TRUE(received == bytes);
}

TEST_F(PortOnPty, GetCharPastTheAnnouncedBytesRaisesBufferIsEmpty) {
  std::string error;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    for (int i = 0; i < count; ++i) received += cp->GetChar();
    try {
      cp->GetChar();
    } catch (const EBufferIsEmpty& e) {
      error = e.what();
    }
  });
  port.SetOpen(true);
  pty.Write("z");
  ASSERT_TRUE(WaitReceived(1));
  EXPECT_EQ(error, "Buffer is empty");
}

TEST_F(PortOnPty, SettingsBeforeOpenTouchNoDeviceAndOpenAppliesThem) {
  port.SetBaud(4800);
  port.SetDataBits(7);
  port.SetParity(pEven);
  port.SetRTS(false);
  port.SetDTR(true);
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
  port.SetOpen(true);
  // A pseudo-terminal keeps eight data bits and no parity whatever it is told.
  EXPECT_EQ(pty.SlaveLine().Baud, 4800);
  // A pseudo-terminal has no modem lines: the settings stay as asked.
  EXPECT_FALSE(port.RTS());
  EXPECT_TRUE(port.DTR());
}

TEST_F(PortOnPty, PutStringOnAClosedPortOpensItWhenAutoOpenIsOn) {
  port.PutString("hello");
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(pty.Read(5), "hello");
}

TEST_F(PortOnPty, FreeingAnOpenPortClosesIt) {
  auto other = std::make_unique<TSerComPort>();
  other->SetDeviceName(pty.SlavePath());
  other->SetOpen(true);
  other.reset();
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
}

TEST_F(PortOnPty, GetBlockTakesAnnouncedBytesAsGetCharWouldAndRefusesMore) {
  std::string error;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    received += cp->GetChar();
    received += cp->GetBlock(count - 1);
    try {
      cp->GetBlock(1);
    } catch (const EGetBlockFail& e) {
      error = e.what();
    }
  });
  port.SetOpen(true);
  pty.Write("block");
  ASSERT_TRUE(WaitReceived(5));
  EXPECT_EQ(received, "block");
  EXPECT_EQ(error, "Failed to get entire block");
  EXPECT_EQ(port.InBuffUsed(), 0);
}
