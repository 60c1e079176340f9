#include "platform/urlopener.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/seam.h"

namespace {

class TDesktopOpener final : public TUrlOpener {
 public:
  void OpenUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }
};

using TInstalled = TSeam<TUrlOpener, TDesktopOpener>;

}  // namespace

TUrlOpener& UrlOpener() { return TInstalled::Get(); }

void SetUrlOpener(TUrlOpener* opener) { TInstalled::Install(opener); }
