#include "wizard/CancelQuestion.h"

#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"

namespace {

using platform::MsgAnswer;

TEST(CancelQuestion, NoChangesNothingAndYesEndsTheProgram) {
  platform::sim::SimPlatform sim;
  core::SetupState state;
  testing_support::RecordingUi ui;
  sim.QueueAnswers({MsgAnswer::No, MsgAnswer::Yes});

  EXPECT_FALSE(wizard::AskCancel(sim.platform().dialogs, state, ui));
  EXPECT_EQ(state.ExitState, 0);
  EXPECT_TRUE(ui.Log().empty());

  EXPECT_TRUE(wizard::AskCancel(sim.platform().dialogs, state, ui));
  EXPECT_EQ(state.ExitState, -1);
  EXPECT_EQ(ui.Log(), std::vector<std::string>{"Close 0 "});

  ASSERT_EQ(sim.Messages().size(), 2u);
  const auto& box = sim.Messages()[0];
  EXPECT_EQ(box.caption, "Setup beenden");
  EXPECT_EQ(box.text,
            "Das Setup ist noch nicht vollständig.\rWenn Sie jetzt beenden, wird das Programm "
            "nicht auf Ihrem Computer installiert.\r\rSie können Setup zu einem späteren "
            "Zeitpunkt neu starten, um die Installation fortzusetzen.\rSoll Setup jetzt beendet "
            "werden?");
  EXPECT_EQ(box.buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(box.icon, platform::MsgIcon::Question);
}

}  // namespace
