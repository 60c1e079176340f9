#pragma once
// The help engine's interface: the commands, records and notices that the help
// bridge hands to an engine, and the engine itself, which tests replace by a
// recorder. The numbers are those of the HTML Help commands the bridge speaks.
#include <QString>
#include <cstdint>
#include <variant>

class QWidget;

enum THHCommand : unsigned {
  HH_DISPLAY_TOPIC = 0,
  HH_DISPLAY_TOC = 1,
  HH_DISPLAY_INDEX = 2,
  HH_DISPLAY_SEARCH = 3,
  HH_SET_WIN_TYPE = 4,
  HH_GET_WIN_TYPE = 5,
  HH_SYNC = 9,
  HH_DISPLAY_TEXT_POPUP = 14,
  HH_HELP_CONTEXT = 15,
  HH_CLOSE_ALL = 18,
  HH_ALINK_LOOKUP = 19,
};

// A COLORREF: 0x00BBGGRR; -1 asks for the engine's default colour.
using THHColor = std::int32_t;
inline constexpr THHColor kHHDefaultColor = -1;

struct THHRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const THHRect&) const = default;
};

// The full-text search request.
struct THHFtsQuery {
  std::int32_t cbStruct = 32;
  bool fUniCodeStrings = false;
  QString pszSearchQuery;
  std::int32_t iProximity = -1;
  bool fStemmedSearch = false;
  bool fTitleOnly = false;
  bool fExecute = false;
  QString pszWindow;
  bool operator==(const THHFtsQuery&) const = default;
};

// A text pop-up: where, what, and how it looks. pt is the pop-up's top centre on
// the screen; a margin of -1 asks for the default margin.
struct THHPopup {
  std::int32_t cbStruct = 52;
  std::int32_t idString = 0;
  QString pszText;
  std::int32_t x = -1, y = -1;
  THHColor clrForeground = kHHDefaultColor;
  THHColor clrBackground = kHHDefaultColor;
  THHRect rcMargins{-1, -1, -1, -1};
  // "family, size in points, character set[, style words]"
  QString pszFont;
  bool operator==(const THHPopup&) const = default;
};

// The engine's notices to a window type's caller.
enum THHNotifyCode : int { HHN_NAVCOMPLETE = -860, HHN_TRACK = -861, HHN_WINDOW_CREATE = -862 };

struct THHNotify {
  std::int32_t idFrom = 0;  // the window type's idNotify
  int code = 0;             // a THHNotifyCode
  QString text;             // navigation complete and track: the URL; window created: the window name
  int action = 0;           // track: what the user did
};

using THHNotifySink = void (*)(const THHNotify& notice);

// Valid-member and property bits of a window type.
inline constexpr int HHWIN_PARAM_PROPERTIES = 0x02;
inline constexpr int HHWIN_PARAM_RECT = 0x10;
inline constexpr int HHWIN_PROP_ONTOP = 0x002;
inline constexpr int HHWIN_PROP_TRACKING = 0x200;

// A window type of a help file: the part of it that the bridge reads and changes.
struct THHWinType {
  QString pszType;
  int fsValidMembers = 0;
  int fsWinProperties = 0;
  THHRect rcWindowPos;
  std::int32_t idNotify = 0;
  THHNotifySink hwndCaller = nullptr;  // receives the notices with idNotify
  bool operator==(const THHWinType&) const = default;
};

// The data of one engine call: none (0) or a number, a text (keyword, topic path),
// or one of the records. HH_GET_WIN_TYPE fills in the window type.
using THHData = std::variant<std::int32_t, QString, THHFtsQuery, THHPopup, THHWinType>;

class THelpEngine {
 public:
  virtual ~THelpEngine() = default;
  // One command. file is "path[::/topic][>window type]", or empty. Gives a value
  // above 0 when done, 0 when the engine could not do it, and -1 when the file
  // has no such window type.
  virtual int HtmlHelpA(QWidget* caller, const QString& file, unsigned command, THHData& data) = 0;
};
