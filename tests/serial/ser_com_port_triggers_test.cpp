#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "port_on_fake.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"

namespace {

// A port on a fake device whose handlers write down every message they get.
class TriggersOnFake : public PortOnFake {
 protected:
  void SetUp() override {
    PortOnFake::SetUp();
    port.SetOnTrigger([this](TSerComPort*, int msg, int, int) { messages.push_back(msg); });
    port.SetOnTriggerAvail([this](TSerComPort* cp, int count) { seen.push_back("A:" + cp->GetBlock(count)); });
    port.SetOnTriggerData([this](TSerComPort*, int handle) { seen.push_back("D" + std::to_string(handle)); });
  }
  bool WaitSeen(size_t n) {
    return QTest::qWaitFor([&] { return seen.size() >= n; }, kWaitMs);
  }

  std::vector<int> messages;
  std::vector<std::string> seen;
};

}  // namespace

// At a match the bytes before the pattern come first, then each trigger that
// matched, the last added first; the pattern itself comes with what follows.
TEST_F(TriggersOnFake, AMatchAnnouncesTheBytesBeforeItThenEachTriggerLastFirst) {
  port.SetOpen(true);
  const int ok = port.AddDataTrigger("ok", true);
  const int k = port.AddDataTrigger("K", false);
  device->Feed("abcOKdef");
  ASSERT_TRUE(WaitSeen(4));
  EXPECT_EQ(seen, (std::vector<std::string>{"A:abc", "D" + std::to_string(k), "D" + std::to_string(ok), "A:OKdef"}));
  EXPECT_EQ(messages, (std::vector<int>{SerMsg::Avail, SerMsg::Data, SerMsg::Data, SerMsg::Avail}));
  // Removed, a trigger matches no more.
  port.RemoveTrigger(k);
  port.RemoveTrigger(ok);
  EXPECT_THROW(port.RemoveTrigger(ok), EBadTriggerHandle);
  device->Feed("OK");
  ASSERT_TRUE(WaitSeen(5));
  EXPECT_EQ(seen.back(), "A:OK");
}

TEST_F(TriggersOnFake, ADataHandlerReadsThePatternAndTriggersOutliveAClose) {
  const int handle = port.AddDataTrigger("\r", false);  // opens the port
  port.SetOnTriggerData([&](TSerComPort* cp, int h) {
    seen.push_back("D" + std::to_string(h) + ":" + cp->GetBlock(cp->InBuffUsed()));
  });
  port.SetOpen(false);
  port.SetOpen(true);
  device->Feed("S98\r");
  ASSERT_TRUE(WaitSeen(2));
  EXPECT_EQ(seen, (std::vector<std::string>{"A:S98", "D" + std::to_string(handle) + ":\r"}));
  EXPECT_THROW(port.AddDataTrigger(std::string(256, 'x'), false), ETriggerTooLong);
}

TEST_F(TriggersOnFake, ATimerFiresOnceWhenItExpires) {
  std::vector<int> timers;
  port.SetOnTriggerTimer([&](TSerComPort*, int handle) { timers.push_back(handle); });
  port.SetOpen(true);
  const int handle = port.AddTimerTrigger();
  port.SetTimerTrigger(handle, 2, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return timers.size() == 1; }, kWaitMs));
  EXPECT_EQ(timers[0], handle);
  EXPECT_EQ(messages, std::vector<int>{SerMsg::Timer});
  EXPECT_THROW(port.SetTimerTrigger(handle + 8, 1, true), EBadTriggerHandle);
}

// Each kind of status trigger fires once its condition holds, first to OnTrigger
// and OnTriggerStatus, then to the event of its kind.
TEST_F(TriggersOnFake, EachStatusKindFiresItsEvent) {
  struct Case {
    int kind;
    int value;
    std::function<void()> cause;
    std::string event;
  } cases[] = {
      {SerStatus::ModemStatus, SerModem::CTS, [&] { device->SetModemLines(SerModem::CTS | SerModem::DSR); },
       "modem 0x33"},
      {SerStatus::LineError, 0x1F, [&] { device->RaiseLineErrors(SerLineError::Parity); }, "line error 3 0"},
      {SerStatus::LineError, SerLineError::Break, [&] { device->RaiseLineErrors(SerLineError::Break); },
       "line error 9 1"},
      {SerStatus::OutbuffFree, 4096, [] {}, "free"},
      {SerStatus::OutbuffUsed, 0, [] {}, "used"},
      {SerStatus::OutSent, 0, [&] { port.PutString("x"); }, "sent"},
  };
  std::vector<std::string> events;
  port.SetOnTriggerModemStatus([&](TSerComPort* cp) { events.push_back("modem 0x" + QString::number(cp->ModemStatus(), 16).toStdString()); });
  port.SetOnTriggerLineError([&](TSerComPort*, int error, bool lineBreak) {
    events.push_back("line error " + std::to_string(error) + " " + std::to_string(lineBreak));
  });
  port.SetOnTriggerOutbuffFree([&](TSerComPort*) { events.push_back("free"); });
  port.SetOnTriggerOutbuffUsed([&](TSerComPort*) { events.push_back("used"); });
  port.SetOnTriggerOutSent([&](TSerComPort*) { events.push_back("sent"); });
  std::vector<int> statuses;
  port.SetOnTriggerStatus([&](TSerComPort*, int handle) { statuses.push_back(handle); });
  port.SetOpen(true);
  for (const Case& c : cases) {
    events.clear();
    statuses.clear();
    messages.clear();
    const int handle = port.AddStatusTrigger(c.kind);
    EXPECT_EQ(handle & SerStatus::KindMask, c.kind);
    port.SetStatusTrigger(handle, c.value, true);
    c.cause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, kWaitMs)) << c.event;
    EXPECT_EQ(events, std::vector<std::string>{c.event});
    EXPECT_EQ(statuses, std::vector<int>{handle});
    EXPECT_EQ(messages, std::vector<int>{SerMsg::Status});
    port.RemoveTrigger(handle);
  }
}

// A failure of the device is a pending line error too, reported as 10.
TEST_F(TriggersOnFake, ADeviceFailureReachesALineErrorTriggerBeforeTheClose) {
  std::vector<int> errors;
  port.SetOnTriggerLineError([&](TSerComPort*, int error, bool) { errors.push_back(error); });
  port.SetOpen(true);
  const int handle = port.AddStatusTrigger(SerStatus::LineError);
  port.SetStatusTrigger(handle, 0x1F, true);
  device->FailReads(-161);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Open(); }, kWaitMs));
  EXPECT_EQ(errors, std::vector<int>{10});
}
