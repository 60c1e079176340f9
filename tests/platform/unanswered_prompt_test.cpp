// Beneath every test's own prompter lies one that answers nothing: a question no
// test scripted fails that test and is cancelled, where a real box would wait for
// a click that never comes.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/prompter.h"
#include "tests/support/scripted_prompter.h"

namespace {

TEST(UnansweredPrompt, FailsTheTestAndIsCancelledInsteadOfOpeningARealBox) {
  EXPECT_NONFATAL_FAILURE(
      EXPECT_EQ(Prompter().MessageDlg(QStringLiteral("Nobody answers"), TMsgDlgType::mtConfirmation, mbYes | mbNo),
                mrCancel),
      "unexpected message prompt: Nobody answers");
  {
    TScriptedPrompter own;
    own.AnswerMessage(mrYes);
    EXPECT_EQ(Prompter().MessageDlg(QStringLiteral("Answered"), TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
  }
  // A test's own prompter, gone, leaves the one beneath in place, not the real one.
  EXPECT_NONFATAL_FAILURE(Prompter().ShowMessage(QStringLiteral("Still nobody")),
                          "unexpected message prompt: Still nobody");
}

}  // namespace
