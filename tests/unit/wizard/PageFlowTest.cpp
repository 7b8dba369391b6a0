#include "wizard/PageFlow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"
#include "wizard/TargetPath.h"

namespace {

using core::UiEvent;
using core::WindowId;
using platform::MsgAnswer;
using W = WindowId;

class PageFlowTest : public ::testing::Test {
 protected:
  void Click(WindowId page, std::string_view control) {
    flow.OnEvent(page, control, UiEvent::Click);
  }

  // The windows shown, in order, since the last call.
  std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (size_t i = seen; i < ui.Log().size(); ++i) {
      if (ui.Log()[i].starts_with("Show ") || ui.Log()[i].starts_with("Hide "))
        shown.push_back(ui.Log()[i].substr(0, ui.Log()[i].size() - 1));
    }
    seen = ui.Log().size();
    return shown;
  }

  platform::sim::SimPlatform sim;
  core::SetupState state;
  testing_support::RecordingUi ui;
  wizard::PageFlow flow{ui, state, sim.platform()};
  size_t seen = 0;
};

std::string Op(const char* op, W window) {
  return std::string(op) + " " + std::to_string(static_cast<int>(window));
}

TEST_F(PageFlowTest, ForwardAndBackWalkThePagesOfEachFlagCombinationShowingFirst) {
  struct Case {
    bool license;
    bool information;
    std::vector<W> pages;  // from page 1 to page 7
  };
  for (const Case& c : std::vector<Case>{
           {false, false, {W::Schritt1, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7}},
           {false,
            true,
            {W::Schritt1, W::Schritt3, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7}},
           {true,
            false,
            {W::Schritt1, W::Schritt2, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7}},
           {true,
            true,
            {W::Schritt1, W::Schritt2, W::Schritt3, W::Schritt4, W::Schritt6, W::Schritt5,
             W::Schritt7}},
       }) {
    SCOPED_TRACE(std::to_string(c.license) + std::to_string(c.information));
    state.LicensePage = c.license;
    state.InformationPage = c.information;
    Shown();
    for (size_t i = 0; i + 1 < c.pages.size(); ++i) {
      Click(c.pages[i], "Button2");
      EXPECT_EQ(Shown(),
                (std::vector<std::string>{Op("Show", c.pages[i + 1]), Op("Hide", c.pages[i])}));
    }
    Click(W::Schritt7, "Button2");
    EXPECT_EQ(Shown(), (std::vector<std::string>{Op("Show", W::Install), Op("Hide", W::Schritt7)}));
    for (size_t i = c.pages.size() - 1; i > 0; --i) {
      Click(c.pages[i], "Button4");
      EXPECT_EQ(Shown(),
                (std::vector<std::string>{Op("Show", c.pages[i - 1]), Op("Hide", c.pages[i])}));
    }
  }
}

TEST_F(PageFlowTest, EveryCancelButtonAndCloseBoxAsksAndOnlyYesEndsTheProgram) {
  for (W page : {W::Schritt1, W::Schritt2, W::Schritt3, W::Schritt4, W::Schritt6, W::Schritt5,
                 W::Schritt7}) {
    SCOPED_TRACE(static_cast<int>(page));
    sim.QueueAnswers({MsgAnswer::No, MsgAnswer::No});
    Click(page, "Button1");
    flow.OnEvent(page, "", UiEvent::Close);
    EXPECT_EQ(state.ExitState, 0);
    EXPECT_TRUE(Shown().empty());
  }
  EXPECT_EQ(sim.Messages().size(), 14u);
  EXPECT_EQ(sim.Messages().back().caption, "Setup beenden");

  // "&Ablehnen" answered No keeps the licence page, and agreeing still leads on.
  state.InformationPage = true;
  sim.QueueAnswers({MsgAnswer::No});
  Click(W::Schritt2, "Button1");
  Click(W::Schritt2, "Button2");
  EXPECT_EQ(Shown(), (std::vector<std::string>{Op("Show", W::Schritt3), Op("Hide", W::Schritt2)}));

  sim.QueueAnswers({MsgAnswer::Yes});
  flow.OnEvent(W::Schritt5, "", UiEvent::Close);
  EXPECT_EQ(state.ExitState, -1);
  EXPECT_EQ(ui.Log().back(), "Close 0 ");
}

TEST(TargetPath, BuildsTheProposalFromTheSelectedPathCompanyAndTitle) {
  auto exists = [](std::string_view dir) {
    return dir == "C:\\Programme\\" || dir == "C:\\Programme" || dir == "D:\\" ||
           dir == "C:\\Programme \\";
  };
  struct Case {
    const char* selected;
    const char* company;
    const char* title;
    std::optional<std::string> proposal;
  };
  for (const Case& c : std::vector<Case>{
           {"C:\\Programme\\", "Firma", "Demo 1.0", "C:\\Programme\\Firma\\Demo 1.0"},
           {"C:\\Programme", "Firma", "Demo 1.0", "C:\\Programme\\Firma\\Demo 1.0"},
           {"D:\\", "Firma", "Demo 1.0", "D:\\Firma\\Demo 1.0"},
           {"C:\\Programme\\", "", "Demo 1.0", "C:\\Programme\\Demo 1.0"},
           {"C:\\Programme\\", "  ", "", "C:\\Programme"},
           {"C:\\Programme\\", "%s", "Demo 1.0", "C:\\Programme\\%s\\Demo 1.0"},
           // Blanks before the backslash go with it.
           {"C:\\Programme \\", "Firma", "", "C:\\Programme\\Firma"},
           {"", "Firma", "Demo 1.0", std::nullopt},
           {"Arbeitsplatz", "Firma", "Demo 1.0", std::nullopt},
           {"E:\\", "Firma", "Demo 1.0", std::nullopt},
       }) {
    SCOPED_TRACE(c.selected);
    EXPECT_EQ(wizard::BuildTargetPath(c.selected, c.company, c.title, exists), c.proposal);
  }
}

TEST_F(PageFlowTest, TargetPageBuildsThePathOnShowAndAfterTreeInputAndOpensTypedPaths) {
  sim.PutFile("C:\\Programme\\x", "");
  sim.PutFile("C:\\Daten\\x", "");
  state.Company = "Firma";
  state.ProductTitle = "Demo 1.0";

  // The tree selects nothing: the edit field keeps what it has.
  ui.SetText(W::Schritt4, "Edit1", "getippt");
  flow.OnEvent(W::Schritt4, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), "getippt");

  // Start-up opened the program files folder: the first showing proposes it.
  ui.SetText(W::Schritt4, "DirTree1", "C:\\Programme\\");
  flow.OnEvent(W::Schritt4, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), "C:\\Programme\\Firma\\Demo 1.0");

  for (UiEvent event : {UiEvent::MouseUp, UiEvent::KeyUp}) {
    ui.SetText(W::Schritt4, "DirTree1", event == UiEvent::MouseUp ? "C:\\Daten" : "C:\\");
    flow.OnEvent(W::Schritt4, "DirTree1", event);
  }
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), "C:\\Firma\\Demo 1.0");

  // Typing hands the text to the tree and leaves the edit field alone; the
  // typed path is the target when the page is left.
  ui.SetText(W::Schritt4, "Edit1", "C:\\Neu");
  flow.OnEvent(W::Schritt4, "Edit1", UiEvent::KeyUp);
  EXPECT_EQ(ui.TreePaths().back(), "C:\\Neu");
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), "C:\\Neu");
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(state.TargetDir, "C:\\Neu");
}

TEST_F(PageFlowTest, NoShortcutsRemembersTheFolderAndLeavingForwardEmptiesIt) {
  auto tick = [this](bool ticked) {
    ui.SetChecked(W::Schritt6, "CheckBox1", ticked);
    Click(W::Schritt6, "CheckBox1");
  };
  ui.SetText(W::Schritt6, "Edit1", "Firma");

  tick(true);
  EXPECT_EQ(ui.Text(W::Schritt6, "Edit1"), "");
  EXPECT_FALSE(ui.Enabled(W::Schritt6, "Edit1"));
  EXPECT_FALSE(ui.Enabled(W::Schritt6, "ListBox1"));
  tick(false);
  EXPECT_EQ(ui.Text(W::Schritt6, "Edit1"), "Firma");
  EXPECT_TRUE(ui.Enabled(W::Schritt6, "Edit1"));
  EXPECT_TRUE(ui.Enabled(W::Schritt6, "ListBox1"));

  // Tick, untick, type a new name, tick, untick: the new name comes back.
  ui.SetText(W::Schritt6, "Edit1", "Neuer Ordner");
  tick(true);
  tick(false);
  EXPECT_EQ(ui.Text(W::Schritt6, "Edit1"), "Neuer Ordner");

  // A list entry replaces what was typed.
  ui.SetText(W::Schritt6, "ListBox1", "Zubehör");
  Click(W::Schritt6, "ListBox1");
  EXPECT_EQ(ui.Text(W::Schritt6, "Edit1"), "Zubehör");

  // Ticked and forward: the program folder is empty; back and unticked, the
  // name from before the tick returns.
  tick(true);
  Click(W::Schritt6, "Button2");
  EXPECT_TRUE(state.NoShortcuts);
  EXPECT_EQ(state.ProgramFolder, "");
  EXPECT_EQ(state.ProgramFolderLine(), "(kein)");
  Click(W::Schritt5, "Button4");
  tick(false);
  EXPECT_EQ(ui.Text(W::Schritt6, "Edit1"), "Zubehör");
  Click(W::Schritt6, "Button2");
  EXPECT_FALSE(state.NoShortcuts);
  EXPECT_EQ(state.ProgramFolder, "Zubehör");
}

// Uninstall.inf holds paths in the ANSI code page: a path with characters
// outside it would leave a product nobody can remove, so the page keeps it.
TEST_F(PageFlowTest, APathUninstallInfCannotHoldKeepsItsPage) {
  const std::string cyrillic = "C:\\Programme\\Produkt-Жук";
  ui.SetText(W::Schritt4, "Edit1", cyrillic);
  Shown();
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(Shown(), std::vector<std::string>{}) << "page 4 stays";
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].caption, "Setup");
  EXPECT_EQ(sim.Messages()[0].text,
            "Das Zielverzeichnis \"" + cyrillic +
                "\" enthält Zeichen, die Setup in der Deinstallationsdatei nicht festhalten "
                "kann; das Programm ließe sich dann nicht mehr entfernen. Bitte wählen Sie einen "
                "Namen ohne diese Zeichen.");
  EXPECT_EQ(state.TargetDir, "");
  ui.SetText(W::Schritt4, "Edit1", "C:\\Programme\\Produkt-Käfer");
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(state.TargetDir, "C:\\Programme\\Produkt-Käfer") << "umlauts are ANSI";

  ui.SetText(W::Schritt6, "Edit1", "Жук");
  Shown();
  Click(W::Schritt6, "Button2");
  EXPECT_EQ(Shown(), std::vector<std::string>{}) << "page 6 stays";
  ASSERT_EQ(sim.Messages().size(), 2u);
  EXPECT_TRUE(sim.Messages()[1].text.starts_with("Der Programmordner \"Жук\" enthält Zeichen"));
  ui.SetChecked(W::Schritt6, "CheckBox1", true);
  Click(W::Schritt6, "CheckBox1");
  Click(W::Schritt6, "Button2");
  EXPECT_TRUE(state.NoShortcuts) << "no program folder: nothing to record";
}

TEST_F(PageFlowTest, SummaryShowsTheCurrentValuesOnEveryShow) {
  ui.SetText(W::Schritt4, "Edit1", "C:\\Programme\\Firma\\Demo ");
  ui.SetText(W::Schritt6, "Edit1", "Firma");
  ui.SetText(W::Schritt5, "Edit1", "Erika Mustermann");
  ui.SetText(W::Schritt5, "Edit2", "");
  flow.OnEvent(W::Schritt7, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt7, "Label10"), "C:\\Programme\\Firma\\Demo ");
  EXPECT_EQ(ui.Text(W::Schritt7, "Label11"), "Firma");
  EXPECT_EQ(ui.Text(W::Schritt7, "Label8"), "Erika Mustermann");
  EXPECT_EQ(ui.Text(W::Schritt7, "Label9"), "");

  ui.SetChecked(W::Schritt6, "CheckBox1", true);
  ui.SetText(W::Schritt5, "Edit1", "Max");
  flow.OnEvent(W::Schritt7, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt7, "Label11"), "(kein)");
  EXPECT_EQ(ui.Text(W::Schritt7, "Label8"), "Max");

  Click(W::Schritt5, "Button2");
  EXPECT_EQ(state.UserName, "Max");
}

// Demo 1.0 is installed where the user put it; this setup brings 1.1.
TEST_F(PageFlowTest, TheInstalledProductsFolderIsProposedAndAnotherOneAsksFirst) {
  sim.PutFile("C:\\Programme\\x", "");
  state.Company = "Firma";
  state.ProductTitle = "Demo 1.1";
  const std::string installed = "D:\\Werkzeuge\\Demo";
  state.Installed = core::InstalledProduct{
      .Dir = installed, .Version = "1.0", .Title = "Demo 1.0", .Recorded = true};
  ui.SetText(W::Schritt4, "DirTree1", "C:\\Programme\\");

  flow.OnEvent(W::Schritt4, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), installed);
  // The same folder, as Windows names it: no question.
  ui.SetText(W::Schritt4, "Edit1", "d:\\werkzeuge\\DEMO\\ ");
  Click(W::Schritt4, "Button2");
  EXPECT_TRUE(sim.Messages().empty());
  EXPECT_EQ(state.TargetDir, "d:\\werkzeuge\\DEMO\\ ");
  Click(W::Schritt6, "Button4");
  flow.OnEvent(W::Schritt4, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), installed) << "until the user chooses another";

  flow.OnEvent(W::Schritt4, "DirTree1", UiEvent::MouseUp);
  const std::string other = "C:\\Programme\\Firma\\Demo 1.1";
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), other);
  Shown();
  sim.QueueAnswers({MsgAnswer::No});
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(Shown(), std::vector<std::string>{}) << "No keeps page 4";
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].caption, "Setup");
  EXPECT_EQ(sim.Messages()[0].text,
            "Demo 1.0 ist bereits in \"D:\\Werkzeuge\\Demo\" installiert.\r\rWenn Sie Demo 1.1 "
            "in ein anderes Verzeichnis installieren, entfernt Setup zuvor die bisherige "
            "Installation mit ihren Verknüpfungen und Registrierungseinträgen. Dateien, die Sie "
            "selbst angelegt haben, bleiben erhalten.\r\rMöchten Sie Demo 1.1 in "
            "\"C:\\Programme\\Firma\\Demo 1.1\" installieren und die bisherige Installation "
            "entfernen?");
  EXPECT_EQ(sim.Messages()[0].buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(state.TargetDir, "d:\\werkzeuge\\DEMO\\ ");

  sim.QueueAnswers({MsgAnswer::Yes});
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(Shown(), (std::vector<std::string>{Op("Show", W::Schritt6), Op("Hide", W::Schritt4)}));
  EXPECT_EQ(state.TargetDir, other);
  flow.OnEvent(W::Schritt4, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt4, "Edit1"), other) << "the tree decides from now on";

  // Without the run's copy of its record Setup cannot remove it: nothing to ask.
  state.Installed->Recorded = false;
  Click(W::Schritt4, "Button2");
  EXPECT_EQ(sim.Messages().size(), 2u);
}

struct SummaryCase {
  std::string installed;
  std::string version;
  std::string target;
  bool recorded;
  std::string line;
};

TEST_F(PageFlowTest, TheSummarySaysWhatBecomesOfTheInstalledProduct) {
  const std::string dir = "C:\\Programme\\Firma\\Demo";
  const SummaryCase cases[] = {
      {"1.2", "1.3", dir, true, "Die installierte Version 1.2 wird auf Version 1.3 aktualisiert."},
      {"1.9", "1.10", dir + "\\", true,
       "Die installierte Version 1.9 wird auf Version 1.10 aktualisiert."},
      {"1.2", "1.2.0", dir, true, "Die installierte Version 1.2 wird erneut installiert."},
      {"1.3", "1.2", dir, true,
       "Die installierte Version 1.3 wird durch die ältere Version 1.2 "
       "ersetzt."},
      {"1.2 beta", "1.3", dir, true,
       "Die installierte Version 1.2 beta wird auf Version 1.3 aktualisiert."},
      {"", "1.3", dir, false, "Die bisherige Installation wird auf Version 1.3 aktualisiert."},
      {"1.2", "", dir, true, "Die installierte Version 1.2 wird auf diese Version aktualisiert."},
      {"1.2", "1.3", "C:\\Neu", true,
       "Die installierte Version 1.2 in \"C:\\Programme\\Firma\\Demo\" wird zuvor entfernt."},
      {"1.2", "1.3", "C:\\Neu", false, ""},
  };
  flow.OnEvent(W::Schritt7, "", UiEvent::Show);
  EXPECT_EQ(ui.Text(W::Schritt7, "Label13"), "") << "nothing installed";
  for (const SummaryCase& c : cases) {
    SCOPED_TRACE(c.installed + " -> " + c.version + " in " + c.target);
    state.Version = c.version;
    state.Installed = core::InstalledProduct{
        .Dir = dir, .Version = c.installed, .Title = "Demo", .Recorded = c.recorded};
    ui.SetText(W::Schritt4, "Edit1", c.target);
    flow.OnEvent(W::Schritt7, "", UiEvent::Show);
    EXPECT_EQ(ui.Text(W::Schritt7, "Label13"), c.line);
  }
}

TEST_F(PageFlowTest, ControlNamesOutsideTheDesignTablesFailLoudly) {
  EXPECT_THROW(ui.Text(W::Schritt4, "Edit2"), std::logic_error);
  EXPECT_THROW(ui.SetText(W::Schritt7, "Label14", "x"), std::logic_error);
  EXPECT_THROW(ui.Checked(W::Schritt5, "CheckBox1"), std::logic_error);
}

}  // namespace
