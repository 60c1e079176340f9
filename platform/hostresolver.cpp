#include "platform/hostresolver.h"

#include <QHostInfo>

#include "platform/seam.h"

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

using TInstalled = TSeam<THostResolver, TSystemResolver>;

}  // namespace

THostResolver& HostResolver() { return TInstalled::Get(); }

void SetHostResolver(THostResolver* resolver) { TInstalled::Install(resolver); }
