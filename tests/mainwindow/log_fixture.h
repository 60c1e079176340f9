#pragma once
// The Log page of either program's real main window against its simulated
// indicator, with the steps a technician takes there.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>

#include <array>

#include "platform/chart/chartwidget.h"
#include "tests/mainwindow/viewer_fixture.h"

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

  void ShowLogPage() {
    Control<QTabWidget>("PgCMain").setCurrentWidget(&Control<QWidget>("TSLog"));
  }
  // Presses Start and answers the "Logging" dialog with a rate and channel sources
  // (and a warning box that follows it with OK).
  void StartLog(TRate rate, std::array<int, 8> sources = {}, bool warned = false) {
    prompter.AnswerDialog([rate, sources](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Logging");
      dialog.findChild<QComboBox*>("CBLogRate")->setCurrentIndex(rate);
      for (int i = 0; i < 8; ++i)
        dialog.findChild<QComboBox*>(QStringLiteral("CBxDig%1").arg(i + 1))->setCurrentIndex(sources[i]);
      return static_cast<int>(mrOk);
    });
    if (warned) prompter.AnswerMessage(mrOk);
    QTest::mouseClick(&Control<QPushButton>("BtnStart"), Qt::LeftButton);
  }
  void StopLog() { QTest::mouseClick(&Control<QPushButton>("BtnStop"), Qt::LeftButton); }
  bool HasSamples(std::size_t n) {
    return QTest::qWaitFor([&] { return Samples().Size() >= n; }, kWaitMs);
  }
  std::size_t Count(const std::string& command) const {
    std::size_t n = 0;
    for (const auto& c : indicator.Commands()) n += c == command;
    return n;
  }
};
