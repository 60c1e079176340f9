#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "serial/IOBuffers.h"

namespace {

std::unique_ptr<TDataBuffer> Data(const std::string& bytes) {
  auto b = std::make_unique<TDataBuffer>(256);
  std::copy(bytes.begin(), bytes.end(), b->Data.begin());
  b->Used = static_cast<int>(bytes.size());
  return b;
}

}  // namespace

TEST(TIOQueue, PopIfNotDataTakesOnlyStatusAndFailureItems) {
  TIOQueue q;
  EXPECT_EQ(q.PopIfNotData(), nullptr);
  q.Push(Data("a"));
  q.Push(std::make_unique<TStatusBuffer>(8));
  EXPECT_EQ(q.PopIfNotData(), nullptr);
  uint8_t out[4];
  EXPECT_EQ(q.ReadQueued(out, 4), 1);
  auto status = q.PopIfNotData();
  ASSERT_NE(dynamic_cast<TStatusBuffer*>(status.get()), nullptr);
  EXPECT_TRUE(q.Empty());
}

TEST(TIOQueue, BytesQueuedCountsEachDataBufferWholeAndStatusItemsAsNothing) {
  TIOQueue q;
  q.Push(Data("xy"));
  q.Push(std::make_unique<TStatusBuffer>(0x10));
  q.Push(Data(""));
  EXPECT_EQ(q.BytesQueued(), 512);
}

TEST(TIOQueue, ReadQueuedCopiesAcrossDataBuffersAndStopsAtAStatusItem) {
  TIOQueue q;
  q.Push(Data("abc"));
  q.Push(Data("de"));
  q.Push(std::make_unique<TStatusBuffer>(8));
  q.Push(Data("f"));
  uint8_t out[8] = {};
  EXPECT_EQ(q.ReadQueued(out, 2), 2);
  EXPECT_EQ(q.InputQueued(), 1);
  EXPECT_EQ(q.ReadQueued(out + 2, 6), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), "abcde");
  EXPECT_EQ(q.Count(), 2u);
  EXPECT_EQ(q.InputQueued(), 0);
}

// A consumer that peeks holds the front item: nobody else peeks at it, and Clear
// leaves it where it is.
TEST(TIOQueue, APeekedItemIsHeldUntilReleasedOrPopped) {
  TIOQueue q;
  EXPECT_EQ(q.Peek(), nullptr);
  q.Push(Data("ab"));
  q.Push(std::make_unique<TStatusBuffer>(8));
  TIOBuffer* front = q.Peek();
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(q.Peek(), nullptr);
  front->InUse = false;
  EXPECT_EQ(q.Peek(), front);
  q.Push(Data("c"));
  q.Clear();
  EXPECT_EQ(q.Count(), 1u);
  EXPECT_EQ(q.BytesQueued(), 256);
  auto popped = q.Pop();
  EXPECT_EQ(popped.get(), front);
  EXPECT_EQ(q.BytesQueued(), 0);
  EXPECT_EQ(q.Pop(), nullptr);
}

TEST(TIOQueue, WaitForDataReturnsAtOnceWhenNotEmptyAndEndsOnAPushOrAnInterrupt) {
  TIOQueue q;
  q.Push(std::make_unique<TStatusBuffer>(8));
  EXPECT_TRUE(q.WaitForData(std::chrono::hours(1)));
  TIOQueue pushed;
  std::thread pusher([&] { pushed.Push(Data("a")); });
  EXPECT_TRUE(pushed.WaitForData(std::chrono::hours(1)));
  pusher.join();
  TIOQueue empty;
  EXPECT_FALSE(empty.WaitForData(std::chrono::milliseconds(0)));
  std::thread stopper([&] { empty.Interrupt(); });
  EXPECT_FALSE(empty.WaitForData(std::chrono::hours(1)));
  stopper.join();
}

// Data at the front waits for room in the ring; anything else is work at once.
TEST(TIOQueue, WaitForWorkReturnsForAStatusItemAPokeOrAnInterrupt) {
  TIOQueue q;
  q.Push(std::make_unique<TStatusBuffer>(8));
  q.WaitForWork(std::chrono::hours(1));
  TIOQueue data;
  data.Push(Data("a"));
  std::thread poker([&] { data.Poke(); });
  data.WaitForWork(std::chrono::hours(1));
  poker.join();
  TIOQueue empty;
  std::thread stopper([&] { empty.Interrupt(); });
  empty.WaitForWork(std::chrono::hours(1));
  stopper.join();
  EXPECT_FALSE(empty.WaitForRoom(-1));
}
