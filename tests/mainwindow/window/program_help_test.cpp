// The program's help: the main window of either program owns one help socket for
// the help file beside the executable, and closing the program closes the help
// engine once.
#include "components/HHPack.h"
#include "platform/apphelp.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"
#include "tests/support/fake_help_engine.h"

namespace {

class ProgramHelp : public TViewerFixture, public ::testing::WithParamInterface<const TViewerProgram*> {
 protected:
  ProgramHelp() : TViewerFixture(*GetParam()) {}
};

TEST_P(ProgramHelp, TheMainWindowOwnsOneHelpSocketAndClosingItClosesTheHelpEngineOnce) {
  TFakeHelpEngine engine;
  const auto sockets = window->findChildren<TAppHelpSocket*>();
  ASSERT_EQ(sockets.size(), 1);
  EXPECT_EQ(sockets[0]->objectName(), "helpsocket");
  EXPECT_EQ(sockets[0]->HHPopupsSource, psHtmlHelpFile);
  EXPECT_FALSE(sockets[0]->ShowWarning);
  EXPECT_EQ(ApplicationHelpFile(), exe.Path(QStringLiteral("help/") + QString::fromLatin1(GetParam()->name) + QStringLiteral(".chm")));

  window->close();
  window->Shutdown();
  window.reset();
  ASSERT_EQ(engine.calls.size(), 1u);
  EXPECT_EQ(engine.calls[0].command, HH_CLOSE_ALL);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProgramHelp, ::testing::Values(&kW830Program, &kW840Program),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
