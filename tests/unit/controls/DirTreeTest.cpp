#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/DirTree.h"
#include "platform/sim/SimPlatform.h"

namespace controls {
namespace {

using platform::DriveType;
using platform::MsgAnswer;

// The native control as the tree's logic drives it: keeps which nodes are
// open and selected, and how deep the update brackets are.
class FakeView : public TreeView {
 public:
  void BeginUpdate() override { ++depth; }
  void EndUpdate() override {
    --depth;
    ASSERT_GE(depth, 0);
  }
  void Reset(TreeNode&) override {
    expanded.clear();
    selected = nullptr;
  }
  void ChildrenAdded(TreeNode&) override {}
  void NodeChanged(TreeNode&) override {}
  void Select(TreeNode& node) override { selected = &node; }
  void Expand(TreeNode& node) override { expanded.push_back(&node); }
  void CollapseAll(TreeNode&) override { expanded.clear(); }
  void Beep() override { ++beeps; }

  int depth = 0;
  int beeps = 0;
  TreeNode* selected = nullptr;
  std::vector<TreeNode*> expanded;
};

std::vector<std::string> Texts(const TreeNode& node) {
  std::vector<std::string> texts;
  for (const auto& child : node.children)
    texts.push_back(child->text);
  return texts;
}

class DirTreeTest : public ::testing::Test {
 protected:
  DirTreeTest() {
    sim.AddDrive('A', DriveType::Removable, false);
    sim.AddDrive('D', DriveType::CdRom, false);
    sim.AddDrive('E', DriveType::Removable, true, "USB");
    for (const char* folder :
         {"C:\\Programme\\Firma\\Demo", "C:\\Leer", "C:\\Nur Dateien", "C:\\beta", "C:\\Alpha",
          "C:\\alpha2", "C:\\Versteckt", "C:\\System Volume Information"}) {
      sim.PutFile(std::string(folder) + "\\x", "");
      std::filesystem::remove(sim.HostPath(std::string(folder) + "\\x"));
    }
    sim.PutFile("C:\\Nur Dateien\\liesmich.txt", "text");
    sim.PutFile("C:\\datei.txt", "text");
    sim.SetAttributes("C:\\Versteckt", platform::attr::Hidden);
    sim.SetAttributes("C:\\System Volume Information",
                      platform::attr::Hidden | platform::attr::System);
    tree.SetMessageCaption("Tessarwolden");
    tree.Fill();
  }

  TreeNode& Drive(char letter) {
    for (const auto& drive : tree.Top().children) {
      if (drive->text[2] == letter)
        return *drive;
    }
    throw std::runtime_error("no drive");
  }
  TreeNode& Child(TreeNode& node, std::string_view text) {
    tree.Expanding(node);
    for (const auto& child : node.children) {
      if (child->text == text)
        return *child;
    }
    throw std::runtime_error("no child " + std::string(text));
  }

  platform::sim::SimPlatform sim;
  FakeView view;
  TDirTree tree{sim.platform(), view};
};

TEST_F(DirTreeTest, FillListsTheDrivesUnderTheOpenComputer) {
  EXPECT_EQ(tree.Top().text, "Arbeitsplatz");
  EXPECT_EQ(Texts(tree.Top()),
            (std::vector<std::string>{" (A:)  Wechseldatenträger ", " (C:)  Lokaler Datenträger ",
                                      " (D:)  CD-Laufwerk ", " (E:)  USB "}));
  for (const auto& drive : tree.Top().children) {
    EXPECT_TRUE(drive->hasChildren);
    EXPECT_TRUE(drive->children.empty());
  }
  EXPECT_EQ(view.expanded, std::vector<TreeNode*>{&tree.Top()});
  EXPECT_EQ(view.depth, 0);
  EXPECT_TRUE(sim.Messages().empty());  // drives are not asked for a medium
}

TEST_F(DirTreeTest, FoldersLoadOnFirstExpansionSortedWithTheirExpandButtons) {
  TreeNode& c = Drive('C');
  tree.Expanding(c);
  EXPECT_EQ(Texts(c),
            (std::vector<std::string>{"Alpha", "alpha2", "beta", "Leer", "Nur Dateien", "Programme",
                                      "System Volume Information", "Versteckt", "Windows"}));
  EXPECT_FALSE(c.hasChildren);  // its children show the button now
  for (const auto& folder : c.children)
    EXPECT_EQ(folder->hasChildren, folder->text == "Programme" || folder->text == "Windows")
        << folder->text;

  // Loaded once: a folder made afterwards does not appear.
  sim.PutFile("C:\\Neu\\x", "");
  tree.Expanding(c);
  EXPECT_EQ(c.children.size(), 9u);
}

TEST_F(DirTreeTest, ExpandingAFolderWithoutSubfoldersOrADriveWithoutMediumRemovesTheButton) {
  TreeNode& d = Drive('D');
  tree.Expanding(d);
  EXPECT_TRUE(d.children.empty());
  EXPECT_FALSE(d.hasChildren);
}

TEST_F(DirTreeTest, NodePathsAndTheChosenPath) {
  TreeNode& c = Drive('C');
  TreeNode& programme = Child(c, "Programme");
  TreeNode& firma = Child(programme, "Firma");
  struct Case {
    TreeNode* node;
    const char* path;
    const char* selected;
  };
  const Case cases[] = {
      {&tree.Top(), "", "Drives"},
      {&c, "C:\\", "C:\\"},
      {&programme, "C:\\Programme", "C:\\Programme"},
      {&firma, "C:\\Programme\\Firma", "C:\\Programme\\Firma"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(tree.NodePath(*k.node), k.path);
    tree.Clicked(*k.node);
    EXPECT_EQ(tree.SelectedPath(), k.selected);
  }
}

TEST_F(DirTreeTest, ClickingOrExpandingTheComputerWithoutDrivesListsThem) {
  tree.ResetToTop();
  EXPECT_TRUE(tree.Top().children.empty());
  tree.Clicked(tree.Top());
  EXPECT_EQ(tree.SelectedPath(), "Drives");
  EXPECT_EQ(tree.Top().children.size(), 4u);

  // Not the folders of the current drive's root.
  tree.ResetToTop();
  tree.Expanding(tree.Top());
  EXPECT_EQ(Texts(tree.Top()).at(1), " (C:)  Lokaler Datenträger ");
  EXPECT_EQ(tree.Top().children.size(), 4u);
}

TEST_F(DirTreeTest, EnterChoosesTheSelectionWhileArrowKeysDoNot) {
  tree.EnterPressed();
  EXPECT_EQ(tree.SelectedPath(), "");
  tree.SelectionMoved(&Drive('C'));
  EXPECT_EQ(tree.SelectedPath(), "");
  tree.EnterPressed();
  EXPECT_EQ(tree.SelectedPath(), "C:\\");
  tree.SelectionMoved(&Child(Drive('C'), "Leer"));
  EXPECT_EQ(tree.SelectedPath(), "C:\\");
}

TEST_F(DirTreeTest, RemovableDriveWithoutMediumBeepsAndSaysSoButIsChosen) {
  std::vector<std::string> passed;
  tree.FileList = [&](const std::string& path) { passed.push_back(path); };

  tree.Clicked(Drive('A'));
  EXPECT_EQ(tree.SelectedPath(), "A:\\");
  EXPECT_EQ(view.beeps, 1);
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].caption, "Tessarwolden");
  EXPECT_EQ(sim.Messages()[0].text,
            "FEHLER - Kein Medium im Laufwerk A\r                oder Laufwerk A ist nicht bereit");
  EXPECT_EQ(sim.Messages()[0].icon, platform::MsgIcon::None);

  tree.Clicked(Drive('D'));  // a CD drive is tested as well
  EXPECT_EQ(sim.Messages().size(), 2u);
  tree.Clicked(Drive('E'));
  tree.Clicked(Drive('C'));
  EXPECT_EQ(sim.Messages().size(), 2u);
  EXPECT_EQ(passed, (std::vector<std::string>{"E:\\", "C:\\"}));
}

TEST_F(DirTreeTest, OpeningAPathExpandsDownToItAndChoosesItWithABackslash) {
  struct Case {
    const char* path;
    const char* selected;  // the given text with a backslash
    const char* node;      // the node selected
  };
  for (const Case& k :
       {Case{"C:\\Programme", "C:\\Programme\\", "C:\\Programme"},
        Case{"c:\\PROGRAMME\\firma", "c:\\PROGRAMME\\firma\\", "C:\\Programme\\Firma"},
        Case{"C:\\", "C:\\", "C:\\"}}) {
    SCOPED_TRACE(k.path);
    tree.OpenPath(k.path);
    EXPECT_EQ(tree.SelectedPath(), k.selected);
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_EQ(tree.NodePath(*tree.Selected()), k.node);
    EXPECT_EQ(view.selected, tree.Selected());
    EXPECT_EQ(view.depth, 0);
  }
  // Every node on the way is open, the computer and what was opened before
  // closed first.
  tree.OpenPath("C:\\Programme");
  ASSERT_EQ(view.expanded.size(), 2u);
  EXPECT_EQ(tree.NodePath(*view.expanded[0]), "C:\\");
  EXPECT_EQ(tree.NodePath(*view.expanded[1]), "C:\\Programme");
}

TEST_F(DirTreeTest, OpeningWhatIsNoDirectoryChangesNothing) {
  tree.Clicked(Drive('C'));
  for (const char* path : {"", "C", "C:\\Fehlt", "C:\\datei.txt", "Q:\\"}) {
    SCOPED_TRACE(path);
    tree.OpenPath(path);
    EXPECT_EQ(tree.SelectedPath(), "C:\\");
    EXPECT_EQ(tree.Selected(), &Drive('C'));
    EXPECT_EQ(view.expanded, std::vector<TreeNode*>{&tree.Top()});
  }
}

TEST_F(DirTreeTest, OpeningAPathFollowsOnlyItsOwnBranch) {
  // Z\Daten is loaded; B\Daten is made after B was loaded and has no node.
  sim.PutFile("C:\\B\\Alt\\x", "");
  sim.PutFile("C:\\Z\\Daten\\x", "");
  tree.OpenPath("C:\\Z\\Daten");
  tree.OpenPath("C:\\B");
  sim.PutFile("C:\\B\\Daten\\x", "");

  tree.OpenPath("C:\\B\\Daten");
  EXPECT_EQ(tree.SelectedPath(), "C:\\B\\");
  EXPECT_EQ(tree.NodePath(*tree.Selected()), "C:\\B");
  EXPECT_EQ(view.depth, 0);
}

TEST_F(DirTreeTest, OpeningAPathWithoutDrivesListedListsThem) {
  tree.ResetToTop();
  tree.OpenPath("C:\\Leer");
  EXPECT_EQ(tree.SelectedPath(), "C:\\Leer\\");
  EXPECT_EQ(tree.NodePath(*tree.Selected()), "C:\\Leer");
}

TEST_F(DirTreeTest, SelectedPathAndFileStoreOnlyTextsThatDifferIgnoringCase) {
  tree.OpenPath("C:\\Programme");
  tree.SetSelectedPath("c:\\programme\\");
  EXPECT_EQ(tree.SelectedPath(), "C:\\Programme\\");
  tree.SetSelectedPath("D:\\");
  EXPECT_EQ(tree.SelectedPath(), "D:\\");
  EXPECT_EQ(tree.NodePath(*tree.Selected()), "C:\\Programme");
  tree.SetSelectedFile("A.TXT");
  tree.SetSelectedFile("a.txt");
  EXPECT_EQ(tree.SelectedFile(), "A.TXT");
}

TEST_F(DirTreeTest, OnlyFolderLabelsCanBeEdited) {
  EXPECT_FALSE(tree.CanEditLabel(tree.Top()));
  EXPECT_FALSE(tree.CanEditLabel(Drive('C')));
  EXPECT_TRUE(tree.CanEditLabel(Child(Drive('C'), "Leer")));
}

TEST_F(DirTreeTest, RenamingRefusesCancelledEmptyAndInvalidNames) {
  TreeNode& leer = Child(Drive('C'), "Leer");
  EXPECT_FALSE(tree.EndLabelEdit(leer, std::nullopt));
  EXPECT_FALSE(tree.EndLabelEdit(leer, ""));
  EXPECT_EQ(view.beeps, 2);
  EXPECT_TRUE(sim.Messages().empty());

  const std::string invalid = "\\*?/=\"<>|:,;+^";
  for (char c : invalid) {
    const std::string name = std::string("Neu") + c + "Name";
    SCOPED_TRACE(name);
    EXPECT_FALSE(tree.EndLabelEdit(leer, name));
    ASSERT_FALSE(sim.Messages().empty());
    EXPECT_EQ(sim.Messages().back().text, "Error - invalid folder name\r" + name);
    EXPECT_EQ(sim.Messages().back().icon, platform::MsgIcon::Error);
    EXPECT_EQ(sim.Messages().back().buttons, platform::MsgButtons::Ok);
  }
  EXPECT_EQ(leer.text, "Leer");
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Leer"));
}

TEST_F(DirTreeTest, RenamingAsksAndRenamesOnYes) {
  TreeNode& c = Drive('C');
  TreeNode& firma = Child(Child(c, "Programme"), "Firma");
  tree.Clicked(firma);

  sim.QueueAnswers({MsgAnswer::No});
  EXPECT_FALSE(tree.EndLabelEdit(firma, "Werk"));
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].text,
            "Rename the selected folder?\r\r    From  : Firma\r    To     : Werk");
  EXPECT_EQ(sim.Messages()[0].buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(firma.text, "Firma");
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Programme\\Firma"));

  sim.QueueAnswers({MsgAnswer::Yes});
  EXPECT_TRUE(tree.EndLabelEdit(firma, "Werk"));
  EXPECT_EQ(firma.text, "Werk");
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Programme\\Werk\\Demo"));
  EXPECT_EQ(tree.NodePath(*tree.Selected()), "C:\\Programme");
  EXPECT_EQ(tree.SelectedPath(), "C:\\Programme\\Firma");  // a rename chooses nothing
}

}  // namespace
}  // namespace controls
