#pragma once
// The program's own help window: the manual's HTML pages in a browser pane, with
// Back, Forward and Contents, so that help works on a machine with no web browser
// or help viewer installed. Links between pages stay in the window; a link to
// anything else goes to the desktop.
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

class THelpWindow final : public QWidget {
 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows page (a local HTML file, perhaps with a #section) and brings the window up.
  void ShowPage(const QUrl& page, const QUrl& contents);
  QUrl Page() const;
  QTextBrowser& Browser() const { return *browser_; }

 private:
  void UpdateTitle();

  QTextBrowser* browser_;
  QToolButton* back_;
  QToolButton* forward_;
  QToolButton* home_;
  QUrl contents_;
};
