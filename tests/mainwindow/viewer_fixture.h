#pragma once
// The real main window, offscreen, in a temporary program folder with the built
// panel files and an ini file that points a TCP link at the simulated indicator
// on 127.0.0.1. Connect() goes through the connection dialog, answered by the
// scripted prompter.
#include <QAction>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "mimic/voxMimicDisp.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

constexpr int kLimitMs = 30000;

// The LCD's segment states as the hexadecimal text that would set them.
inline std::string LcdHex(const TVoxLCD& lcd) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  const auto& states = lcd.States();
  for (int first = 0; first + 4 <= lcd.SegmentCount(); first += 4) {
    int v = 0;
    for (int bit = 0; bit < 4; ++bit) v |= (states[static_cast<std::size_t>(first + bit)] ? 1 : 0) << (3 - bit);
    text += digits[v];
  }
  return text;
}

inline std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class TViewerFixture {
 public:
  explicit TViewerFixture(int tcpTimeout = 70) {
    port = server.ListenTcp(0);
    const QString bin = QString::fromLocal8Bit(qgetenv("VIEWER_BIN_DIR")) + QLatin1Char('/');
    for (const char* file : {"W830_830lcd.VB2", "W830_830key.VB2", "W830_830panel.BMP"})
      if (!QFile::copy(bin + QLatin1String(file), exe.Path(QLatin1String(file))))
        ADD_FAILURE() << "panel file missing: " << (bin + QLatin1String(file)).toStdString();
    exe.Write(QStringLiteral("W830_830.ini"),
              QStringLiteral("[General]\r\nBackgroundImage=W830_830panel.BMP\r\n[Options]\r\nFirstRun=0\r\n"
                             "[Connection]\r\nConnectionType=1\r\nTcpHostname=127.0.0.1\r\nTcpPort=%1\r\n"
                             "TcpTimeout=%2\r\n")
                  .arg(port)
                  .arg(tcpTimeout)
                  .toLatin1());
    store = std::make_unique<TdatViewer>();
    window = std::make_unique<TFrmMain>();
    window->resize(700, 500);
    window->show();
    window->DisplayMimic().Reload();
  }

  ~TViewerFixture() {
    window.reset();
    store.reset();
  }

  // Connects through the connection dialog as stored and waits for the connected state.
  bool Connect() {
    prompter.AnswerDialog([](QDialog&) { return int(mrOk); });
    window->findChild<QAction*>(QStringLiteral("Connect2"))->trigger();
    return QTest::qWaitFor([&] { return window->Connected(); }, kLimitMs);
  }

  bool LcdFollowsIndicator() {
    return QTest::qWaitFor([&] { return LcdHex(window->DisplayMimic().LCD()) == Upper(indicator.Display()); },
                           kLimitMs);
  }

  bool WireHas(const std::string& text) {
    return QTest::qWaitFor([&] { return indicator.WireLog().find(text) != std::string::npos; }, kLimitMs);
  }

  template <class T>
  T* Find(const char* name) {
    return window->findChild<T*>(QLatin1String(name));
  }

  TTempExeDir exe;
  sim::TSimIndicator indicator{sim::Model::W830, 1};
  sim::TSimServer server{indicator};
  uint16_t port = 0;
  TScriptedPrompter prompter;
  std::unique_ptr<TdatViewer> store;
  std::unique_ptr<TFrmMain> window;

};
