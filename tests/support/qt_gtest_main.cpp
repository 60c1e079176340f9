// One QApplication for every test program, on the offscreen platform unless the
// environment asks for another (a real window under Xvfb, for pictures).
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"

namespace {
void SetDefault(const char* name, const char* value) {
  if (qgetenv(name).isEmpty()) qputenv(name, value);
}
}  // namespace

int main(int argc, char** argv) {
  SetDefault("QT_QPA_PLATFORM", "offscreen");
  // Where the build put the programs and their side files, for tests run by hand too.
  SetDefault("VIEWER_BIN_DIR", VIEWER_BUILD_BIN_DIR);
  SetDefault("VIEWER_SOURCE_DIR", VIEWER_BUILD_SOURCE_DIR);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // Beneath every test's own: a question no test answers fails that test instead
  // of opening a real modal box that nobody closes.
  TScriptedPrompter unanswered;
  return RUN_ALL_TESTS();
}
