#pragma once
// The main window against the simulated indicator, with the steps that settings
// tests share: reading, answering the transfer dialog, the pages, the wire.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>

#include "dialogs/trafficdlg.h"
#include "mainwindow/statuspanel.h"
#include "tests/mainwindow/viewer_fixture.h"

template <class T>
T& Control(QObject& parent, const char* name) {
  T* control = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}

class TSettingsViewerTest : public TViewerTest {
 protected:
  // The transfer dialog runs on its own 20 ms timer until it ends.
  void AnswerTraffic() {
    prompter.AnswerDialog([](QDialog& dialog) {
      dialog.show();
      EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
      return dialog.result();
    });
  }
  // Stepped by hand: a silent indicator's four sends would take 16 s of real ticks.
  void AnswerTrafficStepped() {
    prompter.AnswerDialog([](QDialog& dialog) {
      auto& traffic = dynamic_cast<TFrmTraffic&>(dialog);
      dialog.show();
      traffic.Timer1().stop();
      for (int i = 0; i < 5000 && dialog.isVisible(); ++i) {
        traffic.Timer1Timer();
        QCoreApplication::processEvents();
      }
      return dialog.result();
    });
  }
  void AnswerPasscode(const QString& digits) {
    prompter.AnswerDialog([digits](QDialog& dialog) {
      Control<QLineEdit>(dialog, "EdtPasscode").setText(digits);
      return static_cast<int>(mrOk);
    });
  }
  // Connected, settings read, and one unsent change of the units on the pages.
  void ConnectReadAndChangeTheUnits() {
    Connect();
    ReadSettings();
    ShowPage("TSSettings");
    auto& units = Control<QComboBox>(window->SettingsPages(), "CBxUnits");
    units.setCurrentIndex(units.currentIndex() == 1 ? 2 : 1);
    ShowPage("TSDisplay");
  }
  void ReadSettings() {
    AnswerTraffic();
    Control<QAction>(*window, "ReadSettings1").trigger();
    ASSERT_TRUE(window->InSync());
  }
  void ShowPage(const char* name) {
    auto& pages = Control<QTabWidget>(*window, "PgCMain");
    pages.setCurrentWidget(&Control<QWidget>(*window, name));
  }
  // What the viewer sent besides the display polls, since the log was cleared.
  std::vector<std::string> SentCommands() const {
    std::vector<std::string> sent = indicator.Commands();
    sent.erase(std::remove_if(sent.begin(), sent.end(), [](const std::string& c) { return c.rfind("FPL", 0) == 0; }),
               sent.end());
    return sent;
  }
  static std::vector<std::string> BaseQueries() {
    std::vector<std::string> queries, prefixes;
    w830::Tdata7400().BuildQueries(false, queries, prefixes);
    return queries;
  }
  bool StatusRed() { return Control<TStatusLinePanel>(*window, "StatusPanel2").DrawnRed(); }
};
