#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "port_on_fake.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

TEST_F(PortOnFake, AStringThatExactlyFillsTheOutputRingIsTakenAndOneByteMoreIsNot) {
  device->holdWrites = true;
  port.SetOutSize(16);
  port.SetOpen(true);
  port.PutString("0123456789");
  // The writer takes what is queued at once, so wait until it holds those bytes.
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.OutBuffUsed() == 0; }, kWaitMs));
  port.PutString("abcdefghijklmnop");
  EXPECT_EQ(port.OutBuffUsed(), 16);
  try {
    port.PutString("q");
    FAIL() << "queued past the ring's end";
  } catch (const EOutputBufferTooSmall& e) {
    EXPECT_EQ(e.ErrorCode(), -3006);
    EXPECT_STREQ(e.what(), "Output buffer too small for block");
  }
  EXPECT_EQ(port.OutBuffUsed(), 16);
  device->ReleaseWrites();
  ASSERT_TRUE(QTest::qWaitFor([&] { return device->Written().size() == 26; }, kWaitMs));
  EXPECT_EQ(device->Written(), "0123456789abcdefghijklmnop");
}

TEST_F(PortOnFake, LineValuesEqualToTheDevicesLeaveTheDeviceAlone) {
  port.SetOpen(true);
  const int calls = device->SetLineCalls();
  port.SetBaud(19200);  // the value it already has
  port.SetStopBits(1);
  EXPECT_EQ(device->SetLineCalls(), calls);
  port.SetBaud(38400);
  EXPECT_EQ(device->SetLineCalls(), calls + 1);
}

TEST_F(PortOnFake, FiveDataBitsUseOneAndAHalfStopBitsWhateverWasAsked) {
  port.SetDataBits(5);
  port.SetStopBits(2);
  port.SetOpen(true);
  EXPECT_EQ(device->line.StopBits, 1);
  EXPECT_EQ(device->line.ByteSize, 5);
}

TEST_F(PortOnFake, AnAvailAnnouncesAllUnreadBytesAndOnlyAfterNewOnesArrive) {
  std::vector<int> counts;
  int readNow = 2;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    counts.push_back(count);
    for (int i = 0; i < readNow; ++i) cp->GetChar();
  });
  port.SetOpen(true);
  device->Feed("abc");
  ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 1; }, kWaitMs));
  EXPECT_EQ(counts[0], 3);
  EXPECT_EQ(port.InBuffUsed(), 1);
  // The byte left unread comes again only with the next arrival.
  readNow = 3;
  device->Feed("de");
  ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 2; }, kWaitMs));
  EXPECT_EQ(counts[1], 3);
  EXPECT_EQ(port.InBuffUsed(), 0);
}

// Short reads are announced at once and long ones with the next read; past the
// ring, bytes wait in the queue. Whatever the size, every byte comes, in order.
TEST_F(PortOnFake, EveryReadIsDeliveredWholeWhateverItsSize) {
  std::string received;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) { received += cp->GetBlock(count); });
  port.SetOpen(true);
  for (const size_t size : {1, 255, 256, 4096, 3 * 4096, 40000}) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes += static_cast<char>('a' + (i * 7 + size) % 26);
    received.clear();
    device->Feed(bytes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= size; }, kWaitMs)) << size;
    EXPECT_EQ(received, bytes) << size;
  }
}

TEST_F(PortOnFake, APortWithoutATriggerHandlerGetsNoDeliveriesButKeepsTheBytes) {
  port.SetOpen(true);
  device->Feed("xyz");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.InBuffUsed() == 3; }, kWaitMs));
  EXPECT_EQ(port.GetChar(), 'x');
  EXPECT_EQ(port.InBuffUsed(), 2);
}

TEST_F(PortOnFake, ADeviceFailureClosesThePortAndAnUnexpectedOneIsShown) {
  struct Case {
    int code;
    const char* shown;  // nullptr: a plain close
  } cases[] = {{-161, nullptr}, {-160, nullptr}, {-13868, "No memory"}, {-162, "General failure"}};
  for (const auto& c : cases) {
    device = std::make_shared<TFakeDeviceState>();
    closes = 0;
    if (c.shown) prompter.AnswerMessage(mrOk);
    port.SetOpen(true);
    device->FailReads(c.code);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs)) << c.code;
    EXPECT_EQ(closes, 1) << c.code;
    if (c.shown)
      EXPECT_EQ(prompter.Messages(), std::vector<QString>{QString::fromLatin1(c.shown)}) << c.code;
    else
      EXPECT_TRUE(prompter.Messages().empty()) << c.code;
    prompter.Clear();
  }
}

TEST_F(PortOnFake, BytesReceivedBeforeAFailureAreDeliveredFirst) {
  std::string got;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    for (int i = 0; i < count; ++i) got += cp->GetChar();
  });
  port.SetOpen(true);
  device->Feed("tail");
  device->FailReads(-161);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs));
  EXPECT_EQ(got, "tail");
}

TEST_F(PortOnFake, ANumberlessPortAsksForOneOrRefuses) {
  TSerComPort numberless;
  numberless.SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
  numberless.SetPromptForPort(false);
  EXPECT_THROW(numberless.SetOpen(true), ENoPortSelected);
  numberless.SetPromptForPort(true);
  prompter.AnswerDialog([](QDialog&) { return int(mrCancel); });
  EXPECT_THROW(numberless.SetOpen(true), ENoPortSelected);
  EXPECT_FALSE(numberless.Open());
}

TEST_F(PortOnFake, AHandlerThatWaitsInANestedLoopStillEndsItsDelivery) {
  std::string got;
  bool nested = false;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    for (int i = 0; i < count; ++i) got += cp->GetChar();
    if (nested) return;
    nested = true;
    device->Feed("more");
    // A handler that pumps events, as a message box would, while more bytes arrive.
    EXPECT_TRUE(QTest::qWaitFor([&] { return cp->InBuffUsed() == 4; }, kWaitMs));
  });
  port.SetOpen(true);
  device->Feed("first");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 9; }, kWaitMs));
  EXPECT_EQ(got, "firstmore");
}

TEST_F(PortOnFake, AnExceptionInTheHandlerIsShownAndTheBytesItReadAreConsumed) {
  port.SetOnTriggerAvail([&](TSerComPort* cp, int) {
    cp->GetChar();
    throw std::runtime_error("handler failed");
  });
  prompter.AnswerMessage(mrOk);
  port.SetOpen(true);
  device->Feed("ab");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, kWaitMs));
  EXPECT_EQ(prompter.Messages()[0], QStringLiteral("handler failed"));
  EXPECT_EQ(port.InBuffUsed(), 1);
}

// A rate of 0 keeps the rate the device has now, also when the port opens and
// when someone else changed the device meanwhile; the other values still apply.
TEST_F(PortOnFake, ARateOfZeroKeepsTheDevicesCurrentRate) {
  device->line.Baud = 2400;
  port.SetBaud(0);
  port.SetOpen(true);
  EXPECT_EQ(device->Get(&TFakeDeviceState::line).Baud, 2400);
  TSerLineState changed = device->Get(&TFakeDeviceState::line);
  changed.Baud = 4800;
  changed.Parity = 1;
  device->Put(&TFakeDeviceState::line, changed);
  port.SetDataBits(7);
  const TSerLineState line = device->Get(&TFakeDeviceState::line);
  EXPECT_EQ(line.Baud, 4800);
  EXPECT_EQ(line.Parity, 0);
  EXPECT_EQ(line.ByteSize, 7);
  port.SetBaud(19200);
  port.SetBaud(0);
  port.SetOpen(false);
  port.SetOpen(true);
  EXPECT_EQ(device->Get(&TFakeDeviceState::line).Baud, 19200);
}

TEST_F(PortOnFake, DTRAndRTSAreSetAgainAfterTheLineIsProgrammed) {
  device->lineDropsOutputs = true;
  port.SetOpen(true);
  port.SetBaud(38400);
  EXPECT_TRUE(device->Get(&TFakeDeviceState::dtr));
  EXPECT_TRUE(device->Get(&TFakeDeviceState::rts));
  port.SetRTS(false);
  port.SetBaud(57600);
  EXPECT_TRUE(device->Get(&TFakeDeviceState::dtr));
  EXPECT_FALSE(device->Get(&TFakeDeviceState::rts));
}

// Bytes the device has yet to send go out at the rate they were written for.
TEST_F(PortOnFake, ANewRateWaitsUntilTheDeviceHasSentWhatItHolds) {
  port.SetOpen(true);
  device->Put(&TFakeDeviceState::outputQueued, 5);
  std::thread farEnd([this] {
    std::unique_lock l(device->lock);
    device->changed.wait(l, [this] { return device->outputCountCalls > 0; });
    device->outputQueued = 0;
  });
  port.SetBaud(38400);
  farEnd.join();
  EXPECT_EQ(device->Get(&TFakeDeviceState::outputQueuedAtSetLine), 0);
  EXPECT_EQ(device->Get(&TFakeDeviceState::line).Baud, 38400);
}

// The failure waits behind every byte received before it, even while the ring is
// full, and is reported with its own code.
TEST_F(PortOnFake, AFailureBehindAFullRingComesAfterEveryByteWithItsOwnCode) {
  std::string got;
  bool hold = true;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    if (!hold) got += cp->GetBlock(count);
  });
  prompter.AnswerMessage(mrOk);
  port.SetOpen(true);
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>('a' + i % 26);
  device->Feed(bytes);
  device->FailReads(-162);
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.InBuffUsed() == 8192 && device->Get(&TFakeDeviceState::chunks).empty(); },
                              kWaitMs));
  EXPECT_TRUE(port.Open());
  hold = false;
  got += port.GetChar();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs));
  EXPECT_TRUE(got == bytes) << got.size();
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("General failure")});
}

TEST_F(PortOnFake, ResizingAPausedTraceOrLogKeepsItPaused) {
  TTempExeDir exe;
  port.SetTracing(tlOn);
  port.SetLogging(tlOn);
  port.SetOpen(true);
  port.SetTracing(tlPause);
  port.SetLogging(tlPause);
  port.SetTraceSize(500);
  port.SetLogSize(50000);
  EXPECT_EQ(port.Tracing(), tlPause);
  EXPECT_EQ(port.Logging(), tlPause);
  port.PutString("unseen");
  ASSERT_TRUE(QTest::qWaitFor([&] { return device->Written() == "unseen"; }, kWaitMs));
  port.SetOpen(false);
  EXPECT_EQ(exe.Read(QStringLiteral("SERIAL.TRC")), QByteArray());
  EXPECT_FALSE(exe.Read(QStringLiteral("SERIAL.LOG")).contains("PutBlock"));
}

TEST_F(PortOnFake, AppendAndContinueOnARecordingNeverStartedRaisesAndChangesNothing) {
  port.SetOpen(true);
  EXPECT_THROW(port.SetTracing(tlAppendAndContinue), ETracingNotEnabled);
  EXPECT_EQ(port.Tracing(), tlOff);
  EXPECT_THROW(port.SetLogging(tlAppendAndContinue), ELoggingNotEnabled);
  EXPECT_EQ(port.Logging(), tlOff);
}

// The close that a handler asks for ends when the handler returns; meanwhile it
// costs nothing, however long the handler waits.
TEST_F(PortOnFake, ACloseAskedByAHandlerThatKeepsWaitingDoesNotSpin) {
  // Every event the port gets is counted, without looking into it: the port's
  // threads post them, and Qt hands them over where the thread sanitizer cannot
  // see, so reading one here, before the port's own hand-over, reads as a race.
  struct Counter : QObject {
    int events = 0;
    bool eventFilter(QObject*, QEvent*) override {
      ++events;
      return false;
    }
  } counter;
  port.installEventFilter(&counter);
  bool waited = false;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int) {
    cp->SetOpen(false);
    bool done = false;
    QTimer::singleShot(200, [&] { done = true; });
    waited = QTest::qWaitFor([&] { return done; }, kWaitMs);
    EXPECT_EQ(cp->State(), TSerComPort::psClosing);
  });
  port.SetOpen(true);
  device->Feed("x");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.State() == TSerComPort::psClosed; }, kWaitMs));
  EXPECT_TRUE(waited);
  EXPECT_LE(counter.events, 3);
}

// Bytes that the reader queued behind a line error while the ring was full come
// as soon as the GUI side makes room, not with the next byte that arrives.
TEST_F(PortOnFake, BytesQueuedBehindALineErrorAtAFullRingComeWithoutAnotherByte) {
  std::string got;
  bool hold = true;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) {
    if (!hold) got += cp->GetBlock(count);
  });
  port.SetOpen(true);
  std::string bytes;
  for (int i = 0; i < 8192 + 100; ++i) bytes += static_cast<char>('a' + i % 26);
  device->Feed(bytes);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return port.InBuffUsed() == 8192 && device->Get(&TFakeDeviceState::chunks).empty(); }, kWaitMs));
  device->RaiseLineErrors(SerLineError::Framing);
  device->Feed("last reply");
  bytes += "last reply";
  ASSERT_TRUE(QTest::qWaitFor([&] { return device->Get(&TFakeDeviceState::chunks).empty(); }, kWaitMs));
  hold = false;
  got += port.GetChar();
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == bytes.size(); }, kWaitMs)) << got.size();
  EXPECT_TRUE(got == bytes);
}

// The line carries the parity; checking it on the device would turn a byte with a
// parity error into NUL where the driver cannot mark it.
TEST_F(PortOnFake, AParityLeavesTheDevicesParityCheckOff) {
  for (const TParity parity : {pOdd, pEven, pMark, pSpace}) {
    port.SetParity(parity);
    port.SetOpen(true);
    const TSerLineState line = device->Get(&TFakeDeviceState::line);
    EXPECT_EQ(line.Parity, static_cast<int>(parity));
    EXPECT_FALSE(line.CheckParity) << parity;
    port.SetOpen(false);
  }
}

namespace {

// Waits without handling the GUI thread's events, so that whatever the port's
// threads posted stays unhandled meanwhile.
template <class Condition>
bool WaitWithoutEvents(Condition done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

// The port is open until the GUI side hears of the failure; a send meanwhile
// raises nothing that would contradict it.
TEST_F(PortOnFake, ASendWhileADeviceFailureIsOnItsWayFailsQuietly) {
  port.SetOpen(true);
  device->FailReads(-161);
  // The threads are told to stop before the failure is posted to the GUI side.
  ASSERT_TRUE(WaitWithoutEvents([&] { return device->Get(&TFakeDeviceState::woken); }));
  EXPECT_TRUE(port.Open());
  EXPECT_NO_THROW(port.PutString("too late"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs));
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(prompter.Messages().empty());
}

// A user that opens the port again when told it closes hears of the close first,
// and the port is open when everything is said.
TEST_F(PortOnFake, AnOpenAskedFromTheClosingNoticeFollowsTheNoticesOfTheClose) {
  std::vector<std::string> heard;
  const int user = port.RegisterUser([&](TSerComPort* p, int message) {
    if (message == SerMsg::PortClosing) {
      heard.push_back("closing");
      p->SetOpen(true);
    }
    if (message == SerMsg::PortClosed) heard.push_back("closed");
    if (message == SerMsg::PortOpened) heard.push_back("opened");
  });
  port.OnPortOpen = [&](TSerComPort*) { heard.push_back("OnPortOpen"); };
  port.OnPortClose = [&](TSerComPort*) { heard.push_back("OnPortClose"); };
  port.SetOpen(true);
  heard.clear();
  port.SetOpen(false);
  EXPECT_EQ(heard, (std::vector<std::string>{"closing", "closed", "OnPortClose", "opened", "OnPortOpen"}));
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.State(), TSerComPort::psOpen);
  port.PutString("again");
  ASSERT_TRUE(QTest::qWaitFor([&] { return device->Written() == "again"; }, kWaitMs));
  port.DeregisterUser(user);
  port.OnPortOpen = port.OnPortClose = nullptr;
}

TEST_F(PortOnFake, AnOpenHandlerThatFailsLeavesThePortClosed) {
  port.OnPortOpen = [](TSerComPort*) { throw std::runtime_error("not now"); };
  EXPECT_THROW(port.SetOpen(true), std::runtime_error);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
  EXPECT_TRUE(device->Get(&TFakeDeviceState::woken));  // its threads were stopped
  port.OnPortOpen = nullptr;
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
}
