#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>

#include "fake_device.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"

namespace {

constexpr int kWaitMs = 10000;

// A port on a device the test feeds and holds back.
class PortOnFake : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetDeviceName("/dev/fake");
    port.SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
  }

  TScriptedPrompter prompter;
  std::shared_ptr<TFakeDeviceState> device = std::make_shared<TFakeDeviceState>();
  TSerComPort port;
};

}  // namespace

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
    int closes = 0;
    port.OnPortClose = [&](TSerComPort*) { ++closes; };
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

TEST_F(PortOnFake, ARateOfZeroKeepsTheCurrentRate) {
  port.SetOpen(true);
  port.SetBaud(0);
  EXPECT_EQ(device->line.Baud, 19200);
  port.SetBaud(0);
  port.SetOpen(false);
  port.SetOpen(true);
  EXPECT_EQ(device->line.Baud, 19200);
}
