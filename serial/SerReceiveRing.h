#pragma once
// Received bytes on their way to the GUI side: the dispatch ring they wait in,
// the input queue behind it for what the ring cannot take yet, the data triggers
// that scan them, and the messages that announce them to the port's handler.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/IOBuffers.h"
#include "serial/SerTrace.h"
#include "serial/SerTriggers.h"

// The dispatch lock guards the positions, the data triggers, the messages waiting
// for the GUI side and the delivery bookkeeping. Two copies go without it: the
// reader copies into the ring's free room while no received bytes are queued
// (nobody else writes into the ring then), and GetBlock copies unread bytes (they
// stay where they are until the GUI side moves the read position on).
// Bytes may pass the queue only while none wait in it, so that they keep their
// order; the reader is the only one that queues them. Whoever makes room moves
// the queued bytes up: the GUI side as it consumes, and the dispatch thread as it
// takes an item that held them back off the queue's front (MoveQueuedUp).
class TSerReceiveRing {
 public:
  static constexpr int kSize = 8192;
  static constexpr int kInputBufferSize = 256;
  // Bytes of a stream that gather before the GUI side is told of them.
  static constexpr int kStreamBatch = 2 * kSize;
  static constexpr int kMaxPatternLength = 255;

  // requestDelivery: from any thread, run Deliver on the GUI side soon; asked once
  // per delivery. kill ends the moving up and the asking; stopped ends deliveries.
  TSerReceiveRing(TIOQueue& input, const std::atomic<bool>& kill, const std::atomic<bool>& stopped,
                  TSerTrace& trace, TSerDispatchLog& log, std::function<void()> requestDelivery);

  // An empty ring for a fresh open, without data triggers, announcing nothing
  // (avail threshold 0); may throw std::bad_alloc.
  void Allocate();

  // The reader: copies into the free room what it can take, without making it
  // unread yet; returns the bytes copied.
  int CopyIntoRing(const uint8_t* data, int count);
  // The reader: makes the copied bytes unread, queues the rest behind them, and
  // announces them at once after a short read, else when a batch has gathered.
  void Received(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest, bool shortRead);
  // Announces the unread bytes that came since the last announcement.
  void AnnounceArrived();
  // Moves queued bytes into the free room and announces them.
  void MoveQueuedUp();

  // GUI side: inside an avail or data message the k-th call gives the k-th unread
  // byte, and the bytes are consumed when the message's handler returns; outside,
  // the byte is consumed at once.
  int GetChar(uint8_t& byte);
  int GetBlock(uint8_t* out, int count);
  int PeekChar(int n, uint8_t& byte);
  int InBuffUsed();
  // Drops every received byte, queued ones too, and the data triggers' matches.
  void Flush();
  void SetAvailThreshold(int threshold);
  void SetPortHandlerInstalled(bool installed);
  bool InAvailMessage();
  void Deliver(const std::function<void(const TTriggerMessage&)>& handler);
  // Messages go behind an announcement of the bytes that came before them.
  void Enqueue(const std::vector<TTriggerMessage>& messages);

  void AddDataTrigger(int handle, const std::string& pattern, bool ignoreCase);
  bool RemoveDataTrigger(int handle);
  void SaveTo(TTriggerSet& set);
  void RestoreFrom(const TTriggerSet& set);

 private:
  struct TPendingMessage {
    TTriggerMessage Message;
    uint64_t End;  // an avail announces the unread bytes before this position
  };

  void CommitLocked(int count);
  void ScanLocked();
  void ExtractLocked();
  // When a delivery is due, marks it asked for; the caller then calls
  // requestDelivery_ without the lock.
  bool ClaimDeliveryLocked();
  void RequestDelivery();
  // The GUI side took count bytes off the ring. True when a full ring got room.
  bool ConsumeLocked(int count);
  bool AvailDueLocked() const;
  int UnreadLocked() const;
  int PeekLocked(int n, uint8_t& byte) const;

  TIOQueue& input_;
  const std::atomic<bool>& kill_;
  const std::atomic<bool>& stopped_;
  TSerTrace& trace_;
  TSerDispatchLog& log_;
  std::function<void()> requestDelivery_;

  std::mutex lock_;
  // Positions count every byte since the open; the ring holds those from
  // consumed_ to received_.
  std::vector<uint8_t> ring_;
  uint64_t received_ = 0;
  uint64_t consumed_ = 0;
  uint64_t scanned_ = 0;   // examined by the data triggers
  uint64_t notified_ = 0;  // scanned when the last avail was announced
  std::vector<TDataTrigger> dataTriggers_;
  std::deque<TPendingMessage> pending_;
  int availThreshold_ = 1;
  bool handlerInstalled_ = false;
  bool deliveryPosted_ = false;
  bool inAvail_ = false;
  int getCount_ = 0;
  bool consumeAll_ = false;  // the input was flushed inside a message
  bool delivering_ = false;  // GUI side only
};
