#include "platform/hostresolver.h"

#include <QHostInfo>

namespace {

class TSystemResolver final : public THostResolver {
 public:
  void LookupHost(const QString& name, QObject* context, TDone done) override {
    QHostInfo::lookupHost(name, context, [done = std::move(done)](const QHostInfo& info) {
      for (const QHostAddress& address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
          done(true, address.toIPv4Address());
          return;
        }
      }
      done(false, 0);
    });
  }
};

THostResolver* g_installed = nullptr;

}  // namespace

THostResolver& HostResolver() {
  static TSystemResolver system;
  return g_installed ? *g_installed : system;
}

void SetHostResolver(THostResolver* resolver) { g_installed = resolver; }
