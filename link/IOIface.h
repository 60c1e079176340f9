#pragma once
// The byte stream between a main window and its indicator. Each kind of link
// (none, TCP, serial) opens, closes and writes in its own way; the main window
// sees only this interface and its three events. GUI thread only.
#include <QObject>
#include <QString>
#include <functional>
#include <string>

class TIOIface : public QObject {
 public:
  TIOIface() = default;
  ~TIOIface() override = default;
  TIOIface(const TIOIface&) = delete;
  TIOIface& operator=(const TIOIface&) = delete;

  // True while the link can carry data.
  virtual bool GetActive() const = 0;
  // Starts the connection; OnConnect follows once it is up.
  virtual void Open() = 0;
  // Ends the connection; OnDisconnect follows when it was up.
  virtual void Close() = 0;
  // Queues the bytes for transmission, unchanged.
  virtual void Send(const std::string& data) = 0;
  // Names the far end for the status line.
  virtual QString GetDescription() const = 0;

  // Received bytes (Latin-1, one string per delivery).
  std::function<void(const std::string& data)> OnRxData;
  std::function<void(TIOIface* sender)> OnConnect;
  std::function<void(TIOIface* sender)> OnDisconnect;

  // Drops every handler, so that a link about to be freed can call nobody back.
  void Unbind();

 protected:
  void FireRxData(const std::string& data);
  void FireConnect();
  void FireDisconnect();
};
