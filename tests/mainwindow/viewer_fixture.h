#pragma once
// The real main window of either program, offscreen, beside its generated front
// panel, with the simulated indicator of its model listening on 127.0.0.1 and a
// settings file that points at it.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "tests/mainwindow/printed_report.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

class TVoxLCDButtons;

// Which program a test runs.
struct TViewerProgram {
  const char* name;  // the executable's, which names its side files
  TViewerModel model;
  sim::Model indicator;
  const TViewerVariant& (*variant)();
};
inline const TViewerProgram kW830Program{"W830_830", TViewerModel::W830, sim::Model::W830, w830::Variant};
inline const TViewerProgram kW840Program{"W840Viewer", TViewerModel::W840, sim::Model::W840, w840::Variant};

class TViewerFixture : public ::testing::Test {
 protected:
  static constexpr int kWaitMs = 20000;

  explicit TViewerFixture(const TViewerProgram& program)
      : program_(program), exe(QString::fromLatin1(program.name)), indicator{program.indicator, 1} {}
  void SetUp() override;
  void TearDown() override;
  // The ini file beside the program: TCP to the simulator and the panel picture.
  // Empty: no ini file.
  virtual QByteArray IniText() const;

  // Connects through the connection dialog, answered with TCP to the simulator;
  // unansweredUnits: connecting's units query will go unanswered, and its box
  // (shown while connecting) is answered with OK.
  void Connect(bool unansweredUnits = false);
  // Connects through the connection dialog to the simulator on a pseudo-terminal.
  void ConnectSerial();
  // The wire from the viewer as the simulator saw it.
  std::string Wire() const { return indicator.WireLog(); }
  bool WireHas(const std::string& text) const { return Wire().find(text) != std::string::npos; }
  // The LCD of the Display page shows exactly this segment string.
  bool LcdShows(const std::string& segments) { return MimicShows(window->DisplayMimic(), segments); }
  static bool MimicShows(TVoxMimicDisp& mimic, const std::string& segments);
  // Where a click lands on this key of the panel: its first pixel in the key map.
  static QPoint FirstPixelOfKey(TVoxLCDButtons& keys, int key);
  // Every segment of the Display page's LCD is lit (true) or dark (false).
  bool LcdAll(bool lit);
  std::size_t FplPolls() const;
  // What the viewer sent besides the display and status polls, since the log was cleared.
  std::vector<std::string> SentCommands() const;
  // Keeps a picture as a PNG file in VIEWER_SNAPSHOT_DIR, when that is set.
  static void KeepPicture(const QImage& image, const char* name);

  // The transfer dialog runs on its own 20 ms timer until it ends.
  void AnswerTraffic();
  // The transfer dialog's timer stepped by hand, as fast as events allow: a silent
  // indicator's four sends would take 16 s of real ticks. A resend still waits
  // out the reply owed to the last send, on the window's own clock.
  void AnswerTrafficStepped();
  // Connected, settings read, and one unsent change of the units on the pages.
  void ConnectReadAndChangeTheUnits();
  void AnswerPasscode(const QString& digits);
  void ReadSettings();
  void ShowPage(const char* name);
  // The settings report's lines, and the report as File/Print Settings prints it
  // into a PDF, read back line by line.
  QStringList Report();
  std::vector<TPdfLine> PrintedReport();

  const TViewerProgram& program_;
  // The window keeps the size the program opens it at, instead of the tests' usual one.
  bool ownWindowSize = false;
  TTempExeDir exe;
  TScriptedPrompter prompter;
  sim::TSimIndicator indicator;
  sim::TSimServer server{indicator};
  uint16_t port = 0;
  QString device;  // the pseudo-terminal of ConnectSerial
  std::unique_ptr<TdatViewer> store;
  std::unique_ptr<TFrmMain> window;
};

class TViewerTest : public TViewerFixture {
 protected:
  TViewerTest() : TViewerFixture(kW830Program) {}
};

class TW840ViewerTest : public TViewerFixture {
 protected:
  TW840ViewerTest() : TViewerFixture(kW840Program) {}
};

template <class T>
T& Control(QObject& parent, const char* name) {
  T* control = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}
