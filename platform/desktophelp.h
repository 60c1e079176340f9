#pragma once
// The help engine of this platform. A help file opens in the desktop's viewer for
// its type, at the viewer's start: a topic, an index keyword or a search query
// has no way into another program. Text pop-ups are our own small windows, and
// close-all closes them; the viewer is a program of its own and stays open. Help
// files have no window types here.
#include <QPointer>
#include <memory>
#include <vector>

#include "platform/helppopup.h"
#include "platform/htmlhelpapi.h"

class TDesktopHelpEngine final : public THelpEngine {
 public:
  ~TDesktopHelpEngine() override;
  int HtmlHelpA(QWidget* caller, const QString& file, unsigned command, THHData& data) override;

 private:
  int ShowPopup(QWidget* caller, const THHData& data);
  void ClosePopups();

  std::vector<QPointer<THelpPopup>> popups_;
};

// The desktop's engine when a viewer for help files (".chm") is installed, else nullptr.
std::unique_ptr<THelpEngine> LoadDesktopHelpEngine();
