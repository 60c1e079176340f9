#include "platform/helpwindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/shellopen.h"

namespace {

QToolButton* Button(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap icon) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setText(text);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  // Help left open must not keep the program running once its main window closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenLinks(false);
  back_ = Button(this, "HelpBack", QStringLiteral("&Back"), QStyle::SP_ArrowBack);
  forward_ = Button(this, "HelpForward", QStringLiteral("&Forward"), QStyle::SP_ArrowForward);
  home_ = Button(this, "HelpContents", QStringLiteral("&Contents"), QStyle::SP_DirHomeIcon);
  back_->setEnabled(false);
  forward_->setEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addWidget(home_);
  bar->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(browser_);

  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(home_, &QToolButton::clicked, this, [this] { browser_->setSource(contents_); });
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, &THelpWindow::UpdateTitle);
  connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    if (link.isLocalFile() || link.isRelative()) browser_->setSource(browser_->source().resolved(link));
    else ShellOpen(link);
  });
  resize(760, 620);
}

void THelpWindow::ShowPage(const QUrl& page, const QUrl& contents) {
  contents_ = contents;
  browser_->setSource(page);
  // A page asked for again is shown from its top (or its section) once more.
  if (page.hasFragment()) browser_->scrollToAnchor(page.fragment());
  show();
  raise();
  activateWindow();
}

QUrl THelpWindow::Page() const { return browser_->source(); }

void THelpWindow::UpdateTitle() {
  const QString title = browser_->documentTitle();
  const QString program = QApplication::applicationDisplayName();
  setWindowTitle(title.isEmpty() ? program + QStringLiteral(" Help") : title + QStringLiteral(" - ") + program);
}
