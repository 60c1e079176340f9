#include "platform/guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/scripted_prompter.h"

TEST(Guarded, ShowsAnyEscapingFailureInTheErrorBoxAndGoesOn) {
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrOk);
  bool ranAfter = false;
  Guarded([] { throw std::runtime_error("Instrument Not Responding"); });
  Guarded([] { throw 42; });
  Guarded([&] { ranAfter = true; });
  ASSERT_EQ(prompter.Prompts().size(), 2u);
  EXPECT_EQ(prompter.Prompts()[0].text, QStringLiteral("Instrument Not Responding"));
  EXPECT_EQ(prompter.Prompts()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(prompter.Prompts()[0].buttons, TMsgDlgButtons{mbOK});
  EXPECT_FALSE(prompter.Prompts()[1].text.isEmpty());
  EXPECT_TRUE(ranAfter);
}
