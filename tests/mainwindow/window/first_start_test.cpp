// A first start of either program beside what the build puts there: its panel
// files and its default ini file, nothing else.
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include "link/dmViewer.h"
#include "mainwindow/window/main.h"
#include "mimic/voxMimicDisp.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

TEST(FirstStart, TheShippedIniShowsThePanelWithNoErrorBox) {
  const struct {
    const char* program;
    TViewerModel model;
    const TViewerVariant& (*variant)();
  } programs[] = {{"W830_830", TViewerModel::W830, w830::Variant}, {"W840Viewer", TViewerModel::W840, w840::Variant}};
  for (const auto& p : programs) {
    const QString name = QString::fromLatin1(p.program);
    TTempExeDir exe(name);
    TScriptedPrompter prompter;
    const QString bin = qEnvironmentVariable("VIEWER_BIN_DIR") + '/';
    for (const char* side : {".ini", "lcd.VB2", "key.VB2", "panel.BMP"})
      ASSERT_TRUE(QFile::copy(bin + name + side, exe.Path(name + side))) << p.program << side;
    TdatViewer store(p.model);
    prompter.AnswerDialog([](QDialog&) { return static_cast<int>(mrCancel); });  // the first run's options
    TFrmMain window(p.variant());
    window.resize(700, 520);
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.DisplayMimic().LCDActive() && prompter.AllAnswersUsed(); }, 20000))
        << p.program;
    EXPECT_TRUE(prompter.Messages().empty()) << p.program;
    window.close();
  }
}

}  // namespace
