#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

using DialogsContract = ContractTest;

TEST_F(DialogsContract, MessageBoxReturnsTheChosenButton) {
  if (!fixture().ScriptAnswers({MsgAnswer::No, MsgAnswer::Cancel, MsgAnswer::Ok})) {
    GTEST_SKIP() << "message boxes here wait for a person";
  }
  auto& dialogs = platform().dialogs;
  EXPECT_EQ(dialogs.MessageBox("Setup beenden", "Wirklich?", MsgButtons::YesNo, MsgIcon::Question),
            MsgAnswer::No);
  EXPECT_EQ(dialogs.MessageBox("Fehler", "Text", MsgButtons::OkCancel, MsgIcon::Error),
            MsgAnswer::Cancel);
  EXPECT_EQ(dialogs.MessageBox("Info", "Text", MsgButtons::Ok, MsgIcon::Information),
            MsgAnswer::Ok);
}

}  // namespace
}  // namespace contract
