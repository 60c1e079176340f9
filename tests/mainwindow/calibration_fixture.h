#pragma once
// The Calibration page of either program's real main window against its simulated
// indicator: connected, read and shown, with the steps' helpers.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

#include "mainwindow/calibrationsteps.h"
#include "tests/mainwindow/viewer_fixture.h"

inline const QString kSaveQuestion = QStringLiteral(
    "Save calibration in indicator? If you select 'No' here, 'Write Settings' can be used later to save the "
    "calibration.");

class TCalibrationPageFixture : public TViewerFixture {
 protected:
  using TViewerFixture::TViewerFixture;

  void ConnectReadAndShowCalibration() {
    Connect();
    ReadSettings();
    ShowPage("TSCal");
    indicator.SetCalibrationBusyPolls(0);
    indicator.ClearLog();
    prompter.Clear();
  }
  void Click(const char* button) { QTest::mouseClick(&Control<QPushButton>(*window, button), Qt::LeftButton); }
  void Focus(const char* edit) {
    auto& field = Control<QLineEdit>(*window, edit);
    window->activateWindow();
    field.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field.hasFocus(); }, kWaitMs));
  }
  void Type(const char* edit, const QString& text) {
    auto& field = Control<QLineEdit>(*window, edit);
    Focus(edit);
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&field, text);
  }
  // The step ended: the window is unlocked and polls the page's panel again.
  void ExpectIdle() {
    EXPECT_TRUE(Control<QTabWidget>(*window, "PgCMain").isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window->CalibrationSteps().Running());
  }
  std::string FirstReadQuery() const {
    std::vector<std::string> queries, prefixes;
    program_.variant().MakeModel()->BuildQueries(true, queries, prefixes);
    return queries.front();
  }
  static std::vector<std::string> Repeat(const std::string& command, int n) {
    return std::vector<std::string>(static_cast<std::size_t>(n), command);
  }
  // The sent commands up to and including the first of the settings read that follows.
  std::vector<std::string> SentUntilTheRead() {
    std::vector<std::string> sent = SentCommands();
    const auto read = std::find(sent.begin(), sent.end(), FirstReadQuery());
    return {sent.begin(), read == sent.end() ? read : read + 1};
  }
  // The indicator's calibration blocks as a restore sends them back.
  std::vector<std::string> CalBlocks() {
    std::vector<std::string> blocks;
    for (int i = 0; i < 5; ++i) {
      const std::string reply = indicator.Feed("BCA?" + std::to_string(i) + ";");
      blocks.push_back("BCA" + reply.substr(0, reply.size() - 2));
    }
    return blocks;
  }
};

inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
