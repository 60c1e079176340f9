#include "platform/urlopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

class TDesktopOpener final : public TUrlOpener {
 public:
  void OpenUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }
};

TUrlOpener* g_installed = nullptr;

}  // namespace

TUrlOpener& UrlOpener() {
  static TDesktopOpener desktop;
  return g_installed ? *g_installed : desktop;
}

void SetUrlOpener(TUrlOpener* opener) { g_installed = opener; }
