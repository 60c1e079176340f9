#pragma once
// Hands a URL to the desktop, which opens it in the user's browser. Tests install
// an opener of their own that records instead of opening.
class QUrl;

class TUrlOpener {
 public:
  virtual ~TUrlOpener() = default;
  virtual void OpenUrl(const QUrl& url) = 0;
};

// The opener in force: the one installed last, or the desktop's.
TUrlOpener& UrlOpener();
// Installs an opener (tests); nullptr goes back to the desktop's. Not owned.
void SetUrlOpener(TUrlOpener* opener);
