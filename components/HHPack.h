#pragma once
// The help bridge. While a socket exists it is the application's help handler:
// the WinHelp-style requests that reach the application (topics by context
// number, contents, index, search, text pop-ups, close-all) become calls of the
// help engine on the application's help file. The last socket made is the
// current one, which receives the engine's notices. GUI thread only.
#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "components/HHPopupWindow.h"
#include "components/HHTopics.h"
#include "platform/apphelp.h"
#include "platform/htmlhelpapi.h"

// Where pop-up texts come from.
enum THHPopupsSource { psHHPopupTopics, psResourceFile, psWinHelpFile, psHtmlHelpFile };

// What the user did in a help window: the engine's action number.
using THHActTypes = int;

using THHGetTextByIDEvent = std::function<void(std::int32_t helpContext, QString& text)>;
using THHNavCompleteEvent = std::function<void(const QString& url)>;
using THHTrackEvent = std::function<void(THHActTypes action, const QString& currentUrl)>;
using THHWindowCreateEvent = std::function<void(const QString& windowName)>;
using TGetWinHelpFileEvent = std::function<void(QString& winHelpFile)>;
// Sees an engine call first; clearing callHelp stops it. Its result is not used.
using THTMLHelpEvent = std::function<bool(unsigned command, const THHData& data, bool& callHelp)>;

class TAppHelpSocket : public QObject, public THelpFileSource {
  Q_OBJECT
 public:
  // Becomes the current socket and the application's help handler.
  explicit TAppHelpSocket(QObject* owner = nullptr);
  // Closes every help window through the application, then gives the
  // application's help handler back to the one it replaced.
  ~TAppHelpSocket() override;

  static TAppHelpSocket* Current();

 private:
  // Declared first: the topic lists ask for the help file while they are built.
  QString fileOfCall_;
  QString lastUrl_;
  QString lastWindowName_;
  bool popupAsTopic_ = false;
  std::int32_t popupX_ = -1;
  std::int32_t popupY_ = -1;
  THelpEvent previous_;

 public:
  // Warn once, before the first help window, while a debugger holds the program:
  // the help engine and a debugger do not get on. Cancel drops that one request.
  // Closing the help windows never warns.
  bool ShowWarning = true;
  // The component's banner; it cannot be changed.
  static QString About();
  static void SetAbout(const QString&) {}

  QString HHDefaultIndexKeyword;
  QString HHDefaultSearchQuery;
  // Window type for topics that a context pop-up request shows.
  QString HHContextWindow;
  QString HHDefaultTopic;
  THHTopics HHAliases{*this, QStringLiteral("ali")};
  THHPopupsSource HHPopupsSource = psHHPopupTopics;
  THHTopics HHPopupTopics{*this, QStringLiteral("pup")};
  THHPopupWindow HHPopupWindow;

  TGetWinHelpFileEvent OnGetWinHelpFile;
  THHGetTextByIDEvent OnHHGetAlias;
  THHGetTextByIDEvent OnHHGetPopupText;
  THHNavCompleteEvent OnHHNavComplete;
  THHTrackEvent OnHHTrack;
  THHWindowCreateEvent OnHHWindowCreate;
  THTMLHelpEvent OnHTMLHelp;
  // Takes the requests that go to WinHelp.
  THelpEvent OnWinHelp;

  // From the engine's notices.
  const QString& LastUrl() const { return lastUrl_; }
  const QString& LastWindowName() const { return lastWindowName_; }

  bool ShowIndex();
  bool ShowContents();

  // The application's help handler.
  bool HelpHandler(unsigned command, const THelpData& data, bool& callHelp);

  struct THHRequest {
    unsigned command;
    THHData data;
  };
  // The engine command for a WinHelp command, or none.
  std::optional<THHRequest> MapHelpCommand(unsigned command, const THelpData& data);
  // Runs one engine command; gives the engine's result, 0 when stopped.
  int HtmlHelpCommand(unsigned command, THHData data);

  // The help file in force: the one of the call under way, else the active
  // window's, else the application's; "file>window type".
  QString HelpFileName() const;
  bool IsHtmlHelpFile() const override;
  // The help file's side file with this extension, when it exists.
  QString SideFileName(const QString& ext) const override;

 private:
  struct TSocketHandler {
    TAppHelpSocket* socket;
    bool operator()(unsigned command, const THelpData& data, bool& callHelp) const {
      return socket->HelpHandler(command, data, callHelp);
    }
  };
  static void RelayNotice(const THHNotify& notice);
  void RelayNotify(const THHNotify& notice);
  void RestorePreviousHandler();

  bool HasPopupPosition() const { return popupX_ != -1 && popupY_ != -1; }
  void ForgetPopupPosition() { popupX_ = popupY_ = -1; }
  QPoint PopupPoint() const;
  void SendWinHelpPopupPosition(const QString& file);
  bool PassOn(unsigned command, const THelpData& data, bool& callHelp);
  THHRequest TopicRequest(std::int32_t context);
  QString AliasText(std::int32_t context);
  QString PopupText(std::int32_t context);
  QString DefaultTopicUrl() const;
  void PrepareWindowType(const QString& file);
  int ShowTextPopup(const QString& text);
  int CallHtmlHelp(QWidget* window, const QString& file, unsigned command, THHData& data);
};
