#pragma once
// A network namespace of the test's own for the calling thread, with only the
// loopback interface up. Fixed ports (the discovery port) cannot clash with a test
// running beside it, and nothing sent from it can leave. The sockets the thread
// makes meanwhile stay in it; the thread goes back where it was when this goes.
#include <QString>
#include <QStringList>

class TPrivateNetwork {
 public:
  TPrivateNetwork();
  ~TPrivateNetwork();
  TPrivateNetwork(const TPrivateNetwork&) = delete;
  TPrivateNetwork& operator=(const TPrivateNetwork&) = delete;

  // False, with the reason in Error(), when the namespace could not be made.
  bool Active() const { return active_; }
  const QString& Error() const { return error_; }
  // Runs "ip" with these arguments inside the namespace; true when it succeeds.
  bool Ip(const QStringList& arguments);

 private:
  int original_ = -1;
  bool active_ = false;
  QString error_;
};
