#pragma once
// The real main window, offscreen, beside the generated front panel, with the
// simulated indicator listening on 127.0.0.1 and a settings file that points at it.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

class TViewerTest : public ::testing::Test {
 protected:
  static constexpr int kWaitMs = 20000;

  void SetUp() override;
  void TearDown() override;
  // The ini file beside the program: TCP to the simulator and the panel picture.
  // Empty: no ini file.
  virtual QByteArray IniText() const;

  // Connects through the connection dialog, answered with TCP to the simulator.
  void Connect();
  // The wire from the viewer as the simulator saw it.
  std::string Wire() const { return indicator.WireLog(); }
  bool WireHas(const std::string& text) const { return Wire().find(text) != std::string::npos; }
  // The LCD of the Display page shows exactly this segment string.
  bool LcdShows(const std::string& segments) { return MimicShows(window->DisplayMimic(), segments); }
  static bool MimicShows(TVoxMimicDisp& mimic, const std::string& segments);
  // Every segment of the Display page's LCD is lit (true) or dark (false).
  bool LcdAll(bool lit);
  std::size_t FplPolls() const;
  // What the viewer sent besides the display and status polls, since the log was cleared.
  std::vector<std::string> SentCommands() const;

  // The transfer dialog runs on its own 20 ms timer until it ends.
  void AnswerTraffic();
  void AnswerPasscode(const QString& digits);
  void ReadSettings();
  void ShowPage(const char* name);
  // Keeps a picture as a PNG file in VIEWER_SNAPSHOT_DIR, when that is set.
  static void KeepPicture(const QImage& image, const char* name);

  TTempExeDir exe;
  TScriptedPrompter prompter;
  sim::TSimIndicator indicator{sim::Model::W830, 1};
  sim::TSimServer server{indicator};
  uint16_t port = 0;
  std::unique_ptr<TdatViewer> store;
  std::unique_ptr<TFrmMain> window;
};

template <class T>
T& Control(QObject& parent, const char* name) {
  T* control = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}
