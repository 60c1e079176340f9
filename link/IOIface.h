#pragma once
// The byte-stream link between a main window and its indicator. Every kind opens,
// closes, sends and describes itself the same way and reports received text and
// connection changes through the three events. All of it runs on the GUI thread.
#include <QString>
#include <functional>
#include <string>

class TIOIface {
 public:
  TIOIface() = default;
  virtual ~TIOIface();
  TIOIface(const TIOIface&) = delete;
  TIOIface& operator=(const TIOIface&) = delete;

  // True while the link can carry data.
  virtual bool GetActive() const = 0;
  // Starts the connection; OnConnect follows once it is up.
  virtual void Open() = 0;
  // Ends the connection; OnDisconnect follows when it was up.
  virtual void Close() = 0;
  // Queues the bytes for transmission, unchanged (Latin-1).
  virtual void Send(const std::string& data) = 0;
  // Names the far end for the status line.
  virtual QString GetDescription() const = 0;

  std::function<void(const std::string& data)> OnRxData;
  std::function<void(TIOIface* sender)> OnConnect;
  std::function<void(TIOIface* sender)> OnDisconnect;

  // Unbinds all three events, so that a link about to be freed reaches no one.
  void UnbindEvents();

 protected:
  void FireRxData(const std::string& data);
  void FireConnect();
  void FireDisconnect();
};
