#pragma once
// The Log page of either program's real main window against its simulated
// indicator, with the steps a technician takes there.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <array>

#include "platform/chart/chartwidget.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

enum TRate { kAuto, k10Hz, k1Hz, k10Seconds };

class TLogPageFixture : public TViewerFixture {
 protected:
  using TViewerFixture::TViewerFixture;

  template <class T>
  T& Control(const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  TChart& Chart() { return Control<TChart>("Chart"); }
  const TSampleColumns& Samples() { return Chart().Model().Data(); }

  // Clicks the page's tab.
  void ClickPage(const char* name) {
    auto& pages = Control<QTabWidget>("PgCMain");
    const int index = pages.indexOf(&Control<QWidget>(name));
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(index).center());
    ASSERT_EQ(pages.currentIndex(), index) << name;
  }
  void ShowLogPage() { ClickPage("TSLog"); }
  void Click(const char* button) { QTest::mouseClick(&Control<QAbstractButton>(button), Qt::LeftButton); }
  // Picks an entry of a drop-down list from the keyboard.
  static void ChooseByKeys(QComboBox& box, int index) {
    QTest::keyClick(&box, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), index) << box.objectName().toStdString();
  }
  // Answers the next "Logging" dialog: the rate and the channel sources picked from
  // the keyboard, then Ok (or Cancel) clicked.
  void AnswerLogDialog(TRate rate, std::array<int, 8> sources, bool ok = true) {
    prompter.AnswerDialog([rate, sources, ok](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Logging");
      dialog.show();
      ChooseByKeys(*dialog.findChild<QComboBox*>("CBLogRate"), rate);
      for (int i = 0; i < 8; ++i)
        ChooseByKeys(*dialog.findChild<QComboBox*>(QStringLiteral("CBxDig%1").arg(i + 1)), sources[i]);
      QTest::mouseClick(dialog.findChild<QPushButton*>(ok ? "BtnOk" : "BtnCancel"), Qt::LeftButton);
      EXPECT_FALSE(dialog.isVisible());
      return dialog.result();
    });
  }
  // Presses Start and answers the "Logging" dialog with a rate and channel sources
  // (and a warning box that follows it with OK).
  void StartLog(TRate rate, std::array<int, 8> sources = {}, bool warned = false) {
    AnswerLogDialog(rate, sources);
    if (warned) prompter.AnswerMessage(mrOk);
    Click("BtnStart");
  }
  void StopLog() { Click("BtnStop"); }
  bool HasSamples(std::size_t n) {
    return QTest::qWaitFor([&] { return Samples().Size() >= n; }, kWaitMs);
  }
  std::size_t Count(const std::string& command) const {
    std::size_t n = 0;
    for (const auto& c : indicator.Commands()) n += c == command;
    return n;
  }
};
