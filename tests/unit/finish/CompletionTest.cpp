#include "finish/Completion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"

namespace {

using core::UiEvent;
using core::WindowId;
using platform::MsgAnswer;
using platform::RegRoot;

class CompletionTest : public ::testing::Test {
 protected:
  CompletionTest() { sim.SetModulePath("C:\\Setup\\Setup.exe"); }

  void Click(WindowId window, std::string_view control) {
    completion.OnEvent(window, control, UiEvent::Click);
  }

  platform::sim::SimPlatform sim;
  core::SetupState state;
  testing_support::RecordingUi ui;
  finish::Completion completion{ui, state, sim.platform()};
};

TEST_F(CompletionTest, FinishPageEndsTheProgramWithoutAQuestion) {
  for (UiEvent event : {UiEvent::Click, UiEvent::Close}) {
    state.ExitState = 0;
    completion.OnEvent(WindowId::Ready, event == UiEvent::Click ? "Button1" : "", event);
    EXPECT_EQ(state.ExitState, -1);
    EXPECT_EQ(ui.Log().back(), "Close 0 ");
  }
  EXPECT_TRUE(sim.Messages().empty());
}

TEST_F(CompletionTest, LinksOpenTheAddressesThroughTheShellAndThePageStays) {
  for (const char* link : {"Label3", "Label8", "Label9", "Label4"})
    Click(WindowId::Ready, link);
  EXPECT_EQ(sim.OpenedAddresses(),
            (std::vector<std::string>{"http://www.tessarwolden.example",
                                      "http://www.wolden-software.example",
                                      "mailto:support@tessarwolden.example"}));
  EXPECT_EQ(state.ExitState, 0);
  EXPECT_TRUE(ui.Log().empty());
}

TEST_F(CompletionTest, RestartLaterShowsTheFinishPageWithTheRestartText) {
  ui.SetChecked(WindowId::RebootForm, "RadioButton2", true);
  Click(WindowId::RebootForm, "Button2");
  EXPECT_EQ(ui.Text(WindowId::Ready, "Label2"),
            "Sie können das Programm nach dem Windows-Neustart über die entsprechenden Symbole "
            "im Programmordner starten.");
  EXPECT_EQ(ui.Log().back(), "Hide 10 ");
  EXPECT_EQ(ui.Log()[ui.Log().size() - 2], "Show 9 ");
  EXPECT_EQ(sim.RestartRequests(), 0);
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, finish::kRunOnceKey));
}

TEST_F(CompletionTest, RestartNowRegistersTheFinishPageAndAsksWindowsToRestart) {
  Click(WindowId::RebootForm, "Button2");
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, finish::kRunOnceKey, "InstReady"),
            "C:\\Setup\\Setup.exe /ready");
  EXPECT_EQ(sim.RestartRequests(), 1);

  // Without the right to write the value, Windows is restarted all the same.
  sim.DenyRegistryRoot(RegRoot::LocalMachine);
  Click(WindowId::RebootForm, "Button2");
  EXPECT_EQ(sim.RestartRequests(), 2);
}

TEST_F(CompletionTest, RestartPageCancelAsksAndYesEndsWithoutRestart) {
  sim.QueueAnswers({MsgAnswer::No, MsgAnswer::No, MsgAnswer::Yes});
  Click(WindowId::RebootForm, "Button1");
  completion.OnEvent(WindowId::RebootForm, "", UiEvent::Close);
  EXPECT_EQ(state.ExitState, 0);
  EXPECT_TRUE(ui.Log().empty());
  Click(WindowId::RebootForm, "Button1");
  EXPECT_EQ(state.ExitState, -1);
  EXPECT_EQ(sim.Messages().size(), 3u);
  EXPECT_EQ(sim.RestartRequests(), 0);
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, finish::kRunOnceKey));
}

}  // namespace
