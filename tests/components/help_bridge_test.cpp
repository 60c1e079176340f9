// The help bridge against a recording engine: which engine command each help
// request becomes, where pop-ups and pop-up topics go, what side files give, how
// failures are reported, and what a socket leaves behind when it goes.
#include "components/HHPack.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>

#include "components/HHIntf.h"
#include "platform/apphelp.h"
#include "platform/debugger.h"
#include "tests/support/fake_help_engine.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

constexpr std::int32_t kNotifyId = 86022400;

// The data of HELP_SETPOPUP_POS: x in the low half, y in the high half.
std::int32_t PopupPosition(int x, int y) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                   static_cast<std::uint16_t>(x));
}

class HelpBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebuggerCheck([this] { return debugged; });
    helpFile = exe.Path(QStringLiteral("viewer.chm"));
    SetApplicationHelpFile(helpFile);
    socket = std::make_unique<TAppHelpSocket>();
  }
  void TearDown() override {
    socket.reset();
    ApplicationHelpHandler() = nullptr;
    SetApplicationHelpFile(QString());
    SetDebuggerCheck({});
    EXPECT_TRUE(prompter.AllAnswersUsed());
  }

  static bool Help(unsigned command, const THelpData& data) { return ApplicationHelpCommand(command, data); }
  THelpCall LastRequest() const {
    const auto requests = engine.Requests();
    return requests.empty() ? THelpCall{QString(), ~0u, 0} : requests.back();
  }
  THHPopup LastPopup() const {
    const THelpCall last = LastRequest();
    const auto* popup = std::get_if<THHPopup>(&last.data);
    return popup ? *popup : THHPopup{};
  }
  // Replaces the fixture's socket by one that starts with this help handler.
  void StartWithHandler(int& calls) {
    socket.reset();
    ApplicationHelpHandler() = [&calls](unsigned, const THelpData&, bool& callHelp) {
      ++calls;
      callHelp = false;
      return true;
    };
    engine.calls.clear();
  }

  bool debugged = false;
  TTempExeDir exe{QStringLiteral("viewer")};
  TScriptedPrompter prompter;
  TFakeHelpEngine engine;
  QString helpFile;
  std::unique_ptr<TAppHelpSocket> socket;
};

TEST_F(HelpBridge, MapsEachHelpCommandToItsEngineCommand) {
  socket->HHAliases.Strings = {QStringLiteral("12=intro.htm")};
  const QString topic = QStringLiteral("intro.htm");
  const struct {
    unsigned command;
    THelpData data;
    THHPopupsSource source;
    std::optional<unsigned> engineCommand;
    THHData engineData;
  } cases[] = {
      {HELP_CONTEXT, 7, psHHPopupTopics, HH_HELP_CONTEXT, 7},
      {HELP_CONTEXT, 12, psHHPopupTopics, HH_DISPLAY_TOPIC, topic},
      {HELP_QUIT, 0, psHHPopupTopics, HH_CLOSE_ALL, 0},
      {HELP_CONTENTS, 0, psHHPopupTopics, HH_DISPLAY_TOC, 0},
      {HELP_FINDER, 0, psHHPopupTopics, HH_DISPLAY_TOC, 0},
      {HELP_CONTEXTPOPUP, 7, psHHPopupTopics, HH_DISPLAY_TEXT_POPUP, 7},
      {HELP_CONTEXTPOPUP, 7, psHtmlHelpFile, HH_HELP_CONTEXT, 7},
      {HELP_CONTEXTPOPUP, 12, psHtmlHelpFile, HH_DISPLAY_TOPIC, topic},
      {HELP_TAB, -1, psHHPopupTopics, HH_DISPLAY_SEARCH, 0},
      {HELP_TAB, -2, psHHPopupTopics, HH_DISPLAY_INDEX, 0},
      {HELP_TAB, -3, psHHPopupTopics, HH_DISPLAY_TOC, 0},
      {HELP_TAB, 4, psHHPopupTopics, HH_DISPLAY_TOC, 0},
      {HELP_KEY, QStringLiteral("tare"), psHHPopupTopics, HH_DISPLAY_INDEX, QStringLiteral("tare")},
      {HELP_PARTIALKEY, QStringLiteral("cal"), psHHPopupTopics, HH_DISPLAY_INDEX, QStringLiteral("cal")},
      {HELP_SETPOPUP_POS, 0, psHHPopupTopics, std::nullopt, 0},
      {0x7777, 0, psHHPopupTopics, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    socket->HHPopupsSource = c.source;
    const auto request = socket->MapHelpCommand(c.command, c.data);
    ASSERT_EQ(request.has_value(), c.engineCommand.has_value()) << "command " << c.command;
    if (!request) continue;
    EXPECT_EQ(request->command, *c.engineCommand) << "command " << c.command;
    EXPECT_EQ(request->data, c.engineData) << "command " << c.command;
  }
}

TEST_F(HelpBridge, ANegativeContextAsksForTheOtherKindOfContextRequest) {
  socket->HHPopupTopics.Strings = {QStringLiteral("5 Zero the scale first.")};
  EXPECT_TRUE(Help(HELP_CONTEXT, -5));
  EXPECT_EQ(LastRequest().command, HH_DISPLAY_TEXT_POPUP);
  EXPECT_EQ(LastPopup().pszText, "Zero the scale first.");

  EXPECT_TRUE(Help(HELP_CONTEXTPOPUP, -5));
  EXPECT_EQ(LastRequest().command, HH_HELP_CONTEXT);
  EXPECT_EQ(LastRequest().data, THHData(5));
  EXPECT_EQ(LastRequest().file, helpFile);

  // The most negative context has no positive twin: it goes on as it is, once.
  for (unsigned command : {HELP_CONTEXT, HELP_CONTEXTPOPUP}) {
    engine.calls.clear();
    Help(command, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(engine.Requests().size(), 1u) << "command " << command;
  }
}

TEST_F(HelpBridge, APopupGoesBelowTheSetPositionOnceThenBelowTheCursor) {
  EXPECT_TRUE(Help(HELP_SETPOPUP_POS, PopupPosition(-20, 300)));
  EXPECT_TRUE(engine.calls.empty());
  Help(HELP_CONTEXTPOPUP, 5);
  EXPECT_EQ(LastPopup().x, -20);
  EXPECT_EQ(LastPopup().y, 315);

  QCursor::setPos(120, 80);
  Help(HELP_CONTEXTPOPUP, 5);
  EXPECT_EQ(LastPopup().x, QCursor::pos().x());
  EXPECT_EQ(LastPopup().y, QCursor::pos().y() + 15);
}

TEST_F(HelpBridge, APopupCarriesTheLookOfThePopupWindowSettings) {
  socket->HHPopupWindow.BackgroundColor = 0x00C0FFFF;
  socket->HHPopupWindow.Font.setFamily(QStringLiteral("Sans"));
  socket->HHPopupWindow.Font.setPointSize(11);
  socket->HHPopupWindow.Font.setBold(true);
  socket->HHPopupWindow.Font.setStrikeOut(true);
  socket->HHPopupWindow.Font.Color = 0x000000FF;
  socket->HHPopupWindow.RcMargins = TRcMargins{4, 1, 2, 3};
  Help(HELP_CONTEXTPOPUP, 5);
  const THHPopup popup = LastPopup();
  EXPECT_EQ(popup.cbStruct, 52);
  EXPECT_EQ(popup.clrBackground, 0x00C0FFFF);
  EXPECT_EQ(popup.clrForeground, 0x000000FF);
  EXPECT_EQ(popup.rcMargins, (THHRect{1, 3, 2, 4}));
  EXPECT_EQ(popup.pszFont, "Sans, 11, 1, bold srikeout");
  EXPECT_EQ(popup.pszText, "");
}

TEST_F(HelpBridge, ATopicShownForAPopupIsCentredBelowThePointOrAboveItNearTheBottom) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const int bottom = area.y() + area.height();
  socket->HHPopupsSource = psHtmlHelpFile;
  socket->HHContextWindow = QStringLiteral("small");
  THHWinType type;
  type.fsValidMembers = 0x1;
  type.fsWinProperties = HHWIN_PROP_ONTOP | 0x4;
  type.rcWindowPos = THHRect{0, 0, 201, 100};
  engine.winType = type;
  const struct {
    int x, y;
    THHRect placed;
  } cases[] = {
      {300, 100, {200, 115, 401, 215}},
      {300, bottom - 50, {200, bottom - 35 - 30 - 100, 401, bottom - 35 - 30}},
  };
  for (const auto& c : cases) {
    engine.calls.clear();
    Help(HELP_SETPOPUP_POS, PopupPosition(c.x, c.y));
    Help(HELP_CONTEXTPOPUP, 5);
    const auto set = engine.Calls(HH_SET_WIN_TYPE);
    ASSERT_EQ(set.size(), 1u) << c.y;
    const auto& prepared = std::get<THHWinType>(set[0].data);
    EXPECT_EQ(prepared.rcWindowPos, c.placed) << c.y;
    EXPECT_EQ(prepared.fsValidMembers, 0x13);
    EXPECT_EQ(prepared.fsWinProperties, 0x204);
    EXPECT_EQ(prepared.idNotify, kNotifyId);
    EXPECT_NE(prepared.hwndCaller, nullptr);
    EXPECT_EQ(set[0].file, helpFile + ">small");
    EXPECT_EQ(LastRequest().command, HH_HELP_CONTEXT);
    EXPECT_EQ(LastRequest().file, helpFile + ">small");
  }
}

TEST_F(HelpBridge, ATopicLineGivesItsTextAndLinesWithoutANumberAreSkipped) {
  const struct {
    QStringList lines;
    std::int32_t context;
    const char* text;
  } cases[] = {
      {{"12=Some text"}, 12, "Some text"},
      {{"12 Some text"}, 12, "Some text"},
      {{"12=a=b"}, 12, "a=b"},
      {{"  12 =  padded  "}, 12, "padded"},
      {{"-3 negative"}, -3, "negative"},
      {{"7 seven", "12 twelve", "12 again"}, 12, "twelve"},
      {{"12"}, 12, ""},
      {{"12\ttab"}, 12, ""},
      {{"Zero=the scale", "12 after a word"}, 12, "after a word"},
      {{"99999999999 too big", "12 found"}, 12, "found"},
      {{"", "1 one"}, 2, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindTopicText(c.lines, c.context), QString::fromLatin1(c.text)) << c.lines.join('|').toStdString();
}

TEST_F(HelpBridge, SideFilesBesideTheHelpFileGivePopupTextsAndTopics) {
  exe.Write(QStringLiteral("viewer.pup"), "5=Zero\r\nnot a number\r\n12 Tare \xE9tendu\r\n");
  exe.Write(QStringLiteral("viewer.ali"), "7=calibration.htm\n");
  Help(HELP_CONTEXTPOPUP, 12);
  EXPECT_EQ(LastPopup().pszText, QString::fromLatin1("Tare \xE9tendu"));
  EXPECT_EQ(socket->HHPopupTopics.TextFile(), exe.Path(QStringLiteral("viewer.pup")));
  Help(HELP_CONTEXT, 7);
  EXPECT_EQ(LastRequest().command, HH_DISPLAY_TOPIC);
  EXPECT_EQ(LastRequest().data, THHData(QStringLiteral("calibration.htm")));

  // A file that cannot be read says so; the texts set in code still serve.
  socket->HHPopupTopics.Strings = {QStringLiteral("5 From code")};
  const QString missing = exe.Path(QStringLiteral("missing.pup"));
  prompter.AnswerMessage(mrCancel);
  socket->HHPopupTopics.SetTextFile(missing);
  ASSERT_EQ(prompter.Prompts().size(), 1u);
  EXPECT_EQ(prompter.Prompts()[0].text, "Unable to open " + missing + " file.");
  EXPECT_EQ(prompter.Prompts()[0].buttons, static_cast<TMsgDlgButtons>(mbCancel));
  Help(HELP_CONTEXTPOPUP, 5);
  EXPECT_EQ(LastPopup().pszText, "From code");
}

TEST_F(HelpBridge, TheSideFileIsNamedLikeTheHelpFileWhenItExists) {
  exe.Write(QStringLiteral("viewer.pup"), "");
  exe.Write(QStringLiteral("Upper.pup"), "");
  const QString pup = exe.Path(QStringLiteral("viewer.pup"));
  const struct {
    QString helpFile;
    QString side;
    bool html;
  } cases[] = {
      {exe.Path(QStringLiteral("viewer.chm")), pup, true},
      {exe.Path(QStringLiteral("viewer.chm>main")), pup, true},
      {exe.Path(QStringLiteral("other.chm")), QString(), true},
      {exe.Path(QStringLiteral("Upper.CHM")), QString(), true},
      {exe.Path(QStringLiteral("viewer.hlp")), QString(), false},
      {QString(), QString(), false},
  };
  for (const auto& c : cases) {
    SetApplicationHelpFile(c.helpFile);
    EXPECT_EQ(socket->SideFileName(QStringLiteral("pup")), c.side) << c.helpFile.toStdString();
    EXPECT_EQ(socket->IsHtmlHelpFile(), c.html) << c.helpFile.toStdString();
  }
}

TEST_F(HelpBridge, ContentsIndexAndSearchOpenTheHelpFile) {
  EXPECT_TRUE(socket->ShowIndex());
  EXPECT_EQ(LastRequest().command, HH_DISPLAY_INDEX);
  EXPECT_EQ(LastRequest().file, helpFile);
  EXPECT_EQ(LastRequest().data, THHData(QString()));
  EXPECT_TRUE(socket->ShowContents());
  EXPECT_EQ(LastRequest().command, HH_DISPLAY_TOC);
  EXPECT_EQ(LastRequest().data, THHData(0));

  socket->HHDefaultSearchQuery = QStringLiteral("zero");
  socket->HHDefaultTopic = QStringLiteral("start.htm");
  SetApplicationHelpFile(helpFile + ">main");
  EXPECT_TRUE(Help(HELP_TAB, -1));
  EXPECT_EQ(LastRequest().command, HH_DISPLAY_SEARCH);
  EXPECT_EQ(LastRequest().file, helpFile + "::/start.htm>main");
  THHFtsQuery query;
  query.pszSearchQuery = QStringLiteral("zero");
  EXPECT_EQ(LastRequest().data, THHData(query));
}

TEST_F(HelpBridge, AFailedOrStoppedEngineCallIsAFailedRequest) {
  engine.result = 0;
  EXPECT_FALSE(Help(HELP_CONTEXT, 5));
  engine.result = -1;
  EXPECT_FALSE(Help(HELP_CONTEXT, 5));

  engine.result = 1;
  engine.calls.clear();
  socket->OnHTMLHelp = [](unsigned, const THHData&, bool& callHelp) {
    callHelp = false;
    return true;
  };
  EXPECT_FALSE(socket->ShowContents());
  EXPECT_TRUE(engine.Requests().empty());
}

TEST_F(HelpBridge, WithoutAnEngineRequestsFailAndTheFirstSaysWhy) {
  SetHelpEngineLoader([] { return nullptr; });
  prompter.AnswerMessage(mrOk);
  EXPECT_FALSE(Help(HELP_CONTEXT, 5));
  EXPECT_FALSE(socket->ShowContents());
  ASSERT_EQ(prompter.Prompts().size(), 1u);
  EXPECT_EQ(prompter.Prompts()[0].text, kNoHelpEngineMessage);
  EXPECT_EQ(prompter.Prompts()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(prompter.Prompts()[0].buttons, static_cast<TMsgDlgButtons>(mbOK));
  // Closing at the end asks the user nothing.
  socket.reset();
  EXPECT_EQ(prompter.Prompts().size(), 1u);
}

TEST_F(HelpBridge, UnderADebuggerTheFirstRequestWarnsOnceAndCancelDropsIt) {
  const QString warning = QStringLiteral(
      "To avoid a possible FATAL ERROR don't display HTML Help windows when an application started in the Debug "
      "Mode. Make sure that the Debug Mode is disabled before running an application.This problem seems just like "
      "incompatibility of the HTML Help engine and IDE Debug Mode.\r\nTo CANCEL an operation choose Cancel "
      "button.\r\nTo DISABLE this message assign value false to the ShowWarning property of the TAppHelpSocket.");
  const struct {
    bool debugged;
    bool showWarning;
    std::optional<int> answer;  // the warning's answer; none: no warning
    bool firstServed;
  } cases[] = {
      {true, true, mrCancel, false},
      {true, true, mrOk, true},
      {true, false, std::nullopt, true},
      {false, true, std::nullopt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "debugged " << c.debugged << ", warning " << c.showWarning);
    debugged = c.debugged;
    socket = std::make_unique<TAppHelpSocket>();
    socket->ShowWarning = c.showWarning;
    engine.calls.clear();
    prompter.Clear();
    if (c.answer) prompter.AnswerMessage(*c.answer);
    EXPECT_EQ(socket->ShowContents(), c.firstServed);
    EXPECT_EQ(engine.Requests().size(), c.firstServed ? 1u : 0u);
    EXPECT_EQ(socket->ShowContents(), true);
    EXPECT_EQ(engine.Requests().size(), c.firstServed ? 2u : 1u);
    EXPECT_FALSE(c.debugged && socket->ShowWarning);
    ASSERT_EQ(prompter.Prompts().size(), c.answer ? 1u : 0u);
    if (!c.answer) continue;
    EXPECT_EQ(prompter.Prompts()[0].text, warning);
    EXPECT_EQ(prompter.Prompts()[0].type, TMsgDlgType::mtWarning);
    EXPECT_EQ(prompter.Prompts()[0].buttons, static_cast<TMsgDlgButtons>(mbOK | mbCancel));
  }
  // Closing opens no window: no warning, even at the end of a debugged run.
  debugged = true;
  socket = std::make_unique<TAppHelpSocket>();
  engine.calls.clear();
  prompter.Clear();
  socket.reset();
  EXPECT_EQ(engine.Calls(HH_CLOSE_ALL).size(), 1u);
  EXPECT_TRUE(prompter.Prompts().empty());
}

TEST_F(HelpBridge, WithoutAnHtmlHelpFileRequestsGoOnToTheHandlerBefore) {
  int previousCalls = 0;
  StartWithHandler(previousCalls);
  SetApplicationHelpFile(exe.Path(QStringLiteral("viewer.hlp")));
  auto own = std::make_unique<TAppHelpSocket>();
  EXPECT_TRUE(Help(HELP_CONTEXT, 5));
  EXPECT_EQ(previousCalls, 1);
  int winHelpCalls = 0;
  own->OnWinHelp = [&](unsigned, const THelpData&, bool&) { return ++winHelpCalls > 0; };
  // The handler left the request to WinHelp, which this platform lacks.
  EXPECT_FALSE(Help(HELP_CONTEXT, 5));
  EXPECT_EQ(winHelpCalls, 1);
  EXPECT_EQ(previousCalls, 1);
  own.reset();
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(HelpBridge, DestroyingTheSocketClosesTheEngineOnceAndGivesTheHandlerBack) {
  int previousCalls = 0;
  StartWithHandler(previousCalls);
  auto own = std::make_unique<TAppHelpSocket>();
  EXPECT_EQ(TAppHelpSocket::Current(), own.get());
  own.reset();
  EXPECT_EQ(TAppHelpSocket::Current(), nullptr);
  ASSERT_EQ(engine.calls.size(), 1u);
  EXPECT_EQ(engine.calls[0].command, HH_CLOSE_ALL);
  EXPECT_EQ(engine.calls[0].file, QString());
  EXPECT_EQ(engine.calls[0].data, THHData(0));
  EXPECT_TRUE(Help(HELP_CONTEXT, 5));
  EXPECT_EQ(previousCalls, 1);
  EXPECT_EQ(engine.calls.size(), 1u);
}

TEST_F(HelpBridge, TwoSocketsGoneInEitherOrderLeaveTheHandlerFromBefore) {
  for (bool olderGoesFirst : {true, false}) {
    int previousCalls = 0;
    StartWithHandler(previousCalls);
    auto older = std::make_unique<TAppHelpSocket>();
    auto newer = std::make_unique<TAppHelpSocket>();
    (olderGoesFirst ? older : newer).reset();
    (olderGoesFirst ? newer : older).reset();
    EXPECT_EQ(engine.Calls(HH_CLOSE_ALL).size(), 2u) << olderGoesFirst;
    EXPECT_TRUE(Help(HELP_CONTEXT, 5));
    EXPECT_EQ(previousCalls, 1) << olderGoesFirst;
    EXPECT_EQ(engine.Requests().size(), 2u) << olderGoesFirst;
  }
}

TEST_F(HelpBridge, NoticesOfAPreparedWindowReachTheCurrentSocket) {
  engine.winType = THHWinType{};
  QString navigated, created;
  socket->OnHHNavComplete = [&](const QString& url) { navigated = url; };
  socket->OnHHWindowCreate = [&](const QString& name) { created = name; };
  int trackedAction = 0;
  socket->OnHHTrack = [&](THHActTypes action, const QString&) { trackedAction = action; };
  socket->ShowContents();
  const auto set = engine.Calls(HH_SET_WIN_TYPE);
  ASSERT_EQ(set.size(), 1u);
  const THHNotifySink relay = std::get<THHWinType>(set[0].data).hwndCaller;
  ASSERT_NE(relay, nullptr);

  relay(THHNotify{kNotifyId, HHN_NAVCOMPLETE, QStringLiteral("viewer.chm::/start.htm"), 0});
  relay(THHNotify{kNotifyId, HHN_WINDOW_CREATE, QStringLiteral("main"), 0});
  relay(THHNotify{kNotifyId, HHN_TRACK, QStringLiteral("viewer.chm::/start.htm"), 4});
  relay(THHNotify{kNotifyId + 1, HHN_NAVCOMPLETE, QStringLiteral("other.htm"), 0});
  EXPECT_EQ(navigated, "viewer.chm::/start.htm");
  EXPECT_EQ(socket->LastUrl(), "viewer.chm::/start.htm");
  EXPECT_EQ(created, "main");
  EXPECT_EQ(socket->LastWindowName(), "main");
  EXPECT_EQ(trackedAction, 4);

  EXPECT_TRUE(Help(HELP_QUIT, 0));
  EXPECT_EQ(socket->LastUrl(), "");
  EXPECT_EQ(socket->LastWindowName(), "");
}

}  // namespace
