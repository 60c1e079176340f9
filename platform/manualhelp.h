#pragma once
// The programs' help engine: the technician's manual ships as a folder of HTML
// pages that stands where a compiled help file would ("W830_830.chm" is a folder
// here), and every topic, contents, index or search request opens it in the
// program's own help window: a topic at its page, everything else at the
// contents page (index.html). A help file that is a real file goes to the
// desktop's viewer, as do text pop-ups to the desktop engine's pop-up windows.
// Close-all closes the help window and the pop-ups.
#include <QPointer>
#include <memory>

#include "platform/desktophelp.h"
#include "platform/helpwindow.h"
#include "platform/htmlhelpapi.h"

class TManualHelpEngine final : public THelpEngine {
 public:
  ~TManualHelpEngine() override;
  int HtmlHelpA(QWidget* caller, const QString& file, unsigned command, THHData& data) override;

 private:
  int ShowTopic(const QString& folder, QString topic);
  void CloseWindow();

  TDesktopHelpEngine desktop_;
  QPointer<THelpWindow> window_;
};

std::unique_ptr<THelpEngine> LoadProgramHelpEngine();

// The page that a contents request shows.
inline constexpr char kHelpContentsPage[] = "index.html";
