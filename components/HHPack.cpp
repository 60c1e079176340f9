#include "components/HHPack.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QScreen>
#include <limits>

#include "components/HHIntf.h"
#include "platform/debugger.h"
#include "platform/prompter.h"

namespace {

// The notify id that a prepared window type carries, so that the engine's notices
// for it can be told from others.
constexpr std::int32_t kNotifyId = 86022400;
// A topic shown for a context pop-up goes above the point when it would not fit below.
constexpr int kAbovePointGap = 30;
constexpr int kBelowCursor = 15;

TAppHelpSocket* g_current = nullptr;

constexpr char kDebugModeWarning[] =
    "To avoid a possible FATAL ERROR don't display HTML Help windows when an application started in the Debug "
    "Mode. Make sure that the Debug Mode is disabled before running an application.This problem seems just like "
    "incompatibility of the HTML Help engine and IDE Debug Mode.\r\nTo CANCEL an operation choose Cancel "
    "button.\r\nTo DISABLE this message assign value false to the ShowWarning property of the TAppHelpSocket.";

// The file of "file>window type".
QString HelpFilePart(const QString& helpFileName) { return helpFileName.section(QLatin1Char('>'), 0, 0); }

THHData EngineData(const THelpData& data) {
  if (const auto* keyword = std::get_if<QString>(&data)) return *keyword;
  return std::get<std::int32_t>(data);
}

bool HasNoData(const THHData& data) {
  const auto* number = std::get_if<std::int32_t>(&data);
  return number && *number == 0;
}

// "name, size, 1[, styles]"; the style words are the engine's, spelling included.
QString FontText(const THHFont& font) {
  const int points = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
  QString text = font.family() + QStringLiteral(", ") + QString::number(points) + QStringLiteral(", 1");
  QStringList styles;
  if (font.bold()) styles << QStringLiteral("bold");
  if (font.italic()) styles << QStringLiteral("italic");
  if (font.underline()) styles << QStringLiteral("underline");
  if (font.strikeOut()) styles << QStringLiteral("srikeout");
  if (!styles.isEmpty()) text += QStringLiteral(", ") + styles.join(QLatin1Char(' '));
  return text;
}

// The screen's bottom edge below its task bars, exclusive.
int WorkAreaBottom() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return std::numeric_limits<int>::max();
  const QRect area = screen->availableGeometry();
  return area.y() + area.height();
}

}  // namespace

TAppHelpSocket::TAppHelpSocket(QObject* owner) : QObject(owner) {
  g_current = this;
  THelpEvent& handler = ApplicationHelpHandler();
  previous_ = std::move(handler);
  handler = TSocketHandler{this};
}

TAppHelpSocket::~TAppHelpSocket() {
  if (g_current == this) g_current = nullptr;
  ApplicationHelpCommand(HELP_QUIT, 0);
  RestorePreviousHandler();
}

TAppHelpSocket* TAppHelpSocket::Current() { return g_current; }

QString TAppHelpSocket::About() { return QStringLiteral("Help socket for compiled HTML help files"); }

void TAppHelpSocket::RestorePreviousHandler() {
  // A socket made later may have taken the handler over since: then this one's
  // predecessor becomes that socket's, so that no handler is left pointing here.
  THelpEvent* link = &ApplicationHelpHandler();
  while (const auto* handler = link->target<TSocketHandler>()) {
    if (handler->socket == this) {
      *link = std::move(previous_);
      return;
    }
    link = &handler->socket->previous_;
  }
}

bool TAppHelpSocket::ShowIndex() { return ApplicationHelpCommand(HELP_TAB, -2); }

bool TAppHelpSocket::ShowContents() { return ApplicationHelpCommand(HELP_TAB, -3); }

bool TAppHelpSocket::HelpHandler(unsigned command, const THelpData& data, bool& callHelp) {
  const auto* number = std::get_if<std::int32_t>(&data);
  // A negative context asks for the other kind of context request. The most
  // negative number has no positive counterpart and goes on as it is.
  if ((command == HELP_CONTEXT || command == HELP_CONTEXTPOPUP) && number && *number < 0 &&
      *number != std::numeric_limits<std::int32_t>::min()) {
    ApplicationHelpCommand(command == HELP_CONTEXT ? HELP_CONTEXTPOPUP : HELP_CONTEXT, -*number);
    callHelp = false;
    return true;
  }
  if (command == HELP_SETPOPUP_POS) {
    const auto packed = static_cast<std::uint32_t>(number ? *number : 0);
    popupX_ = static_cast<std::int16_t>(packed & 0xFFFFu);
    popupY_ = static_cast<std::int16_t>(packed >> 16);
    callHelp = false;
    return true;
  }
  if (!IsHtmlHelpFile()) {
    if (command == HELP_CONTEXTPOPUP && HasPopupPosition()) SendWinHelpPopupPosition(HelpFileName());
    return PassOn(command, data, callHelp);
  }
  bool result = true;
  if (command == HELP_CONTEXTPOPUP && HHPopupsSource == psWinHelpFile) {
    result = PassOn(command, data, callHelp);
    if (callHelp) {
      QString winHelpFile = HelpFileName();
      if (const qsizetype chm = winHelpFile.indexOf(QLatin1String(".chm"), 0, Qt::CaseInsensitive); chm >= 0)
        winHelpFile.truncate(chm);
      if (HasPopupPosition()) SendWinHelpPopupPosition(winHelpFile);
      if (OnGetWinHelpFile) OnGetWinHelpFile(winHelpFile);
      result = WinHelp(winHelpFile, command, data);
    }
  } else if (auto request = MapHelpCommand(command, data)) {
    // The engine's -1 (no engine) is a failure too.
    result = HtmlHelpCommand(request->command, std::move(request->data)) > 0;
  }
  callHelp = false;
  return result;
}

bool TAppHelpSocket::PassOn(unsigned command, const THelpData& data, bool& callHelp) {
  if (OnWinHelp) return OnWinHelp(command, data, callHelp);
  if (previous_) return previous_(command, data, callHelp);
  return true;
}

void TAppHelpSocket::SendWinHelpPopupPosition(const QString& file) {
  const std::uint32_t packed =
      (static_cast<std::uint32_t>(popupY_) << 16) | (static_cast<std::uint32_t>(popupX_) & 0xFFFFu);
  WinHelp(file, HELP_SETPOPUP_POS, static_cast<std::int32_t>(packed));
  ForgetPopupPosition();
}

std::optional<TAppHelpSocket::THHRequest> TAppHelpSocket::MapHelpCommand(unsigned command, const THelpData& data) {
  popupAsTopic_ = false;
  const auto* number = std::get_if<std::int32_t>(&data);
  const std::int32_t context = number ? *number : 0;
  switch (command) {
    case HELP_CONTEXT:
      return TopicRequest(context);
    case HELP_QUIT:
      return THHRequest{HH_CLOSE_ALL, 0};
    case HELP_CONTENTS:
    case HELP_FINDER:
      return THHRequest{HH_DISPLAY_TOC, 0};
    case HELP_CONTEXTPOPUP:
      if (HHPopupsSource == psHtmlHelpFile) {
        THHRequest request = TopicRequest(context);
        popupAsTopic_ = true;
        return request;
      }
      return THHRequest{HH_DISPLAY_TEXT_POPUP, context};
    case HELP_TAB:
      if (context == -1) return THHRequest{HH_DISPLAY_SEARCH, 0};
      if (context == -2) return THHRequest{HH_DISPLAY_INDEX, 0};
      return THHRequest{HH_DISPLAY_TOC, 0};
    case HELP_KEY:
    case HELP_PARTIALKEY:
      return THHRequest{HH_DISPLAY_INDEX, EngineData(data)};
    default:
      return std::nullopt;
  }
}

TAppHelpSocket::THHRequest TAppHelpSocket::TopicRequest(std::int32_t context) {
  if (QString topic = AliasText(context); !topic.isEmpty()) return THHRequest{HH_DISPLAY_TOPIC, topic};
  return THHRequest{HH_HELP_CONTEXT, context};
}

int TAppHelpSocket::HtmlHelpCommand(unsigned command, THHData data) {
  // Closing help windows opens none, so it needs no warning (and none at program end).
  if (ShowWarning && command != HH_CLOSE_ALL && DebuggerAttached()) {
    ShowWarning = false;
    if (Prompter().MessageDlg(QString::fromLatin1(kDebugModeWarning), TMsgDlgType::mtWarning, mbOK | mbCancel) ==
        mrCancel) {
      popupAsTopic_ = false;
      return 0;
    }
  }
  int result = 0;
  switch (command) {
    case HH_DISPLAY_TOPIC:
    case HH_HELP_CONTEXT: {
      QString file = HelpFileName();
      if (popupAsTopic_ && !HHContextWindow.isEmpty()) file = HelpFilePart(file) + QLatin1Char('>') + HHContextWindow;
      PrepareWindowType(file);
      result = CallHtmlHelp(nullptr, file, command, data);
      break;
    }
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_SYNC:
    case HH_ALINK_LOOKUP:
      PrepareWindowType(HelpFileName());
      if (command == HH_DISPLAY_SEARCH && HasNoData(data)) {
        THHFtsQuery query;
        query.pszSearchQuery = HHDefaultSearchQuery;
        data = query;
      } else if (command == HH_DISPLAY_INDEX && HasNoData(data)) {
        data = HHDefaultIndexKeyword;
      }
      result = CallHtmlHelp(nullptr, DefaultTopicUrl(), command, data);
      break;
    case HH_DISPLAY_TEXT_POPUP: {
      const auto* context = std::get_if<std::int32_t>(&data);
      result = ShowTextPopup(PopupText(context ? *context : 0));
      break;
    }
    case HH_CLOSE_ALL: {
      THHData none = 0;
      result = CallHtmlHelp(nullptr, QString(), HH_CLOSE_ALL, none);
      lastUrl_.clear();
      lastWindowName_.clear();
      break;
    }
    default:
      result = CallHtmlHelp(nullptr, HelpFileName(), command, data);
      break;
  }
  popupAsTopic_ = false;
  return result;
}

int TAppHelpSocket::CallHtmlHelp(QWidget* window, const QString& file, unsigned command, THHData& data) {
  fileOfCall_ = file;
  bool callHelp = true;
  if (OnHTMLHelp) OnHTMLHelp(command, data, callHelp);
  int result = 0;
  if (callHelp) {
    // A pop-up belongs to the application rather than to the desktop.
    QWidget* caller = command == HH_DISPLAY_TEXT_POPUP ? QApplication::activeWindow() : window;
    result = HtmlHelp(caller, file, command, data);
  }
  fileOfCall_.clear();
  return result;
}

QString TAppHelpSocket::HelpFileName() const {
  if (!fileOfCall_.isEmpty()) return fileOfCall_;
  if (QString active = ActiveFormHelpFile(); !active.isEmpty()) return active;
  return ApplicationHelpFile();
}

bool TAppHelpSocket::IsHtmlHelpFile() const { return HelpFileName().toLower().contains(QLatin1String("chm")); }

QString TAppHelpSocket::SideFileName(const QString& ext) const {
  const QString file = HelpFilePart(HelpFileName());
  const qsizetype chm = file.indexOf(QLatin1String(".chm"));
  if (chm < 0) return QString();
  const QString side = file.left(chm) + QLatin1Char('.') + ext;
  return QFileInfo::exists(side) ? side : QString();
}

QString TAppHelpSocket::DefaultTopicUrl() const {
  const QString name = HelpFileName();
  QString url = HelpFilePart(name);
  if (!HHDefaultTopic.isEmpty() && !url.isEmpty()) url += QStringLiteral("::/") + HHDefaultTopic;
  if (const qsizetype window = name.indexOf(QLatin1Char('>')); window >= 0) url += name.mid(window);
  return url;
}

QString TAppHelpSocket::AliasText(std::int32_t context) {
  QString text;
  if (OnHHGetAlias) OnHHGetAlias(context, text);
  if (!text.isEmpty()) return text;
  return HHAliases.Find(context);
}

QString TAppHelpSocket::PopupText(std::int32_t context) {
  QString text;
  if (OnHHGetPopupText) OnHHGetPopupText(context, text);
  if (!text.isEmpty()) return text;
  // Help files keep their own pop-up texts, and these programs carry no string
  // resources: only the topic list has texts to give.
  if (HHPopupsSource != psHHPopupTopics) return QString();
  return HHPopupTopics.Find(context);
}

QPoint TAppHelpSocket::PopupPoint() const {
  const QPoint point = HasPopupPosition() ? QPoint(popupX_, popupY_) : QCursor::pos();
  return point + QPoint(0, kBelowCursor);
}

void TAppHelpSocket::PrepareWindowType(const QString& file) {
  THHData data = THHWinType{};
  if (HtmlHelp(nullptr, file, HH_GET_WIN_TYPE, data) == -1) return;
  auto* type = std::get_if<THHWinType>(&data);
  if (!type) return;
  type->fsValidMembers |= HHWIN_PARAM_PROPERTIES | HHWIN_PARAM_RECT;
  type->fsWinProperties = (type->fsWinProperties | HHWIN_PROP_TRACKING) & ~HHWIN_PROP_ONTOP;
  type->idNotify = kNotifyId;
  type->hwndCaller = &TAppHelpSocket::RelayNotice;
  if (popupAsTopic_) {
    // The topic stands in for a pop-up: centred below the point, or above it
    // when it would reach below the work area.
    THHRect& r = type->rcWindowPos;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const QPoint point = PopupPoint();
    r.left = point.x() - width / 2;
    r.right = r.left + width;
    r.top = point.y();
    r.bottom = r.top + height;
    if (r.bottom > WorkAreaBottom()) {
      r.bottom = point.y() - kAbovePointGap;
      r.top = r.bottom - height;
    }
    ForgetPopupPosition();
  }
  HtmlHelp(nullptr, file, HH_SET_WIN_TYPE, data);
}

int TAppHelpSocket::ShowTextPopup(const QString& text) {
  THHPopup popup;
  popup.pszText = text;
  const QPoint point = PopupPoint();
  popup.x = point.x();
  popup.y = point.y();
  popup.clrForeground = HHPopupWindow.Font.Color;
  popup.clrBackground = HHPopupWindow.BackgroundColor;
  const TRcMargins& margins = HHPopupWindow.RcMargins;
  popup.rcMargins = THHRect{margins.Left, margins.Top, margins.Right, margins.Bottom};
  popup.pszFont = FontText(HHPopupWindow.Font);
  THHData data = popup;
  const int result = CallHtmlHelp(nullptr, QString(), HH_DISPLAY_TEXT_POPUP, data);
  ForgetPopupPosition();
  // A busy cursor would hide that the pop-up waits for a click.
  if (QApplication::overrideCursor()) QApplication::changeOverrideCursor(Qt::ArrowCursor);
  return result;
}

void TAppHelpSocket::RelayNotice(const THHNotify& notice) {
  if (g_current && notice.idFrom == kNotifyId) g_current->RelayNotify(notice);
}

void TAppHelpSocket::RelayNotify(const THHNotify& notice) {
  switch (notice.code) {
    case HHN_NAVCOMPLETE:
      lastUrl_ = notice.text;
      if (OnHHNavComplete) OnHHNavComplete(notice.text);
      break;
    case HHN_WINDOW_CREATE:
      lastWindowName_ = notice.text;
      if (OnHHWindowCreate) OnHHWindowCreate(notice.text);
      break;
    case HHN_TRACK:
      if (OnHHTrack) OnHHTrack(notice.action, notice.text);
      break;
    default:
      break;
  }
}
