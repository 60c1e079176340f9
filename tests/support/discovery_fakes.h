#pragma once
// Stand-ins for the seams device discovery looks through: the interface list, the
// host resolver and the desktop's opener. Each installs itself for its lifetime.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <map>
#include <vector>

#include "platform/hostresolver.h"
#include "platform/netinterfaces.h"
#include "platform/shellopen.h"

// The loopback interface as the tests give it: 127.0.0.1/8, broadcast 127.255.255.255.
inline constexpr TNetInterface kTestLoopback{0x7F000001, 0xFF000000, true, false};

class TFakeInterfaces final : public TNetInterfaceSource {
 public:
  explicit TFakeInterfaces(std::vector<TNetInterface> list = {kTestLoopback}) : list(std::move(list)) {
    SetNetInterfaces(this);
  }
  ~TFakeInterfaces() override { SetNetInterfaces(nullptr); }
  int Query(std::vector<TNetInterface>& out) override {
    out = error ? std::vector<TNetInterface>{} : list;
    return error;
  }

  std::vector<TNetInterface> list;
  int error = 0;
};

// Knows the names in `known`; answers on the next turn of the event loop, or, while
// `hold` is set, only when Release() is called.
class TFakeResolver final : public THostResolver {
 public:
  TFakeResolver() { SetHostResolver(this); }
  ~TFakeResolver() override { SetHostResolver(nullptr); }
  void LookupHost(const QString& name, QObject* context, TDone done) override {
    asked << name;
    const auto it = known.find(name);
    const bool found = it != known.end();
    const uint32_t address = found ? it->second : 0;
    std::function<void()> answer = [done = std::move(done), found, address] { done(found, address); };
    if (hold)
      held_.push_back({context, std::move(answer)});
    else
      QTimer::singleShot(0, context, answer);
  }
  void Release() {
    auto held = std::move(held_);
    for (auto& h : held)
      if (h.context) h.answer();
  }

  std::map<QString, uint32_t> known;
  QStringList asked;
  bool hold = false;

 private:
  struct THeld {
    QPointer<QObject> context;
    std::function<void()> answer;
  };
  std::vector<THeld> held_;
};

class TRecordingOpener {
 public:
  TRecordingOpener() {
    SetShellOpener([this](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
  }
  ~TRecordingOpener() { SetShellOpener({}); }
  TRecordingOpener(const TRecordingOpener&) = delete;
  TRecordingOpener& operator=(const TRecordingOpener&) = delete;

  std::vector<QUrl> opened;
};
