// A first start of W830_830 beside what the build puts there: its panel files and
// its default ini file, nothing else.
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "mimic/voxMimicDisp.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

TEST(FirstStart, TheShippedIniShowsThePanelWithNoErrorBox) {
  TTempExeDir exe;
  TScriptedPrompter prompter;
  const QString bin = qEnvironmentVariable("VIEWER_BIN_DIR") + '/';
  for (const char* file : {"W830_830.ini", "W830_830lcd.VB2", "W830_830key.VB2", "W830_830panel.BMP"})
    ASSERT_TRUE(QFile::copy(bin + file, exe.Path(QString::fromLatin1(file)))) << file;
  TdatViewer store(TViewerModel::W830);
  prompter.AnswerDialog([](QDialog&) { return static_cast<int>(mrCancel); });  // the first run's options
  TFrmMain window;
  window.resize(700, 520);
  window.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.DisplayMimic().LCDActive() && prompter.AllAnswersUsed(); }, 20000));
  EXPECT_TRUE(prompter.Messages().empty());
  window.close();
}

}  // namespace
