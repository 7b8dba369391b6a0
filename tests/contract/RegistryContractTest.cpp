#include <algorithm>
#include <string>
#include <vector>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using platform::RegRoot;
using platform::RegType;

using RegistryContract = ContractTest;

TEST_F(RegistryContract, OpenKeyNeverCreates) {
  auto& registry = platform().registry;
  const std::string key = kScratchKey;
  EXPECT_EQ(registry.OpenKey(RegRoot::CurrentUser, key), nullptr);
  EXPECT_EQ(registry.OpenKey(RegRoot::CurrentUser, key), nullptr) << "still not there";
}

TEST_F(RegistryContract, NothingOpensOrIsCreatedBelowDynData) {
  auto& registry = platform().registry;
  EXPECT_EQ(registry.CreateKey(RegRoot::DynData, kScratchKey), nullptr);
  EXPECT_EQ(registry.OpenKey(RegRoot::DynData, kScratchKey), nullptr);
}

TEST_F(RegistryContract, CreateKeyMakesMissingParents) {
  auto& registry = platform().registry;
  const std::string key = kScratchKey + "\\Deep\\Deeper";
  ASSERT_NE(registry.CreateKey(RegRoot::CurrentUser, key), nullptr);
  EXPECT_NE(registry.OpenKey(RegRoot::CurrentUser, key), nullptr);
  EXPECT_NE(registry.OpenKey(RegRoot::CurrentUser, kScratchKey + "\\Deep"), nullptr);
  EXPECT_NE(registry.CreateKey(RegRoot::CurrentUser, key), nullptr) << "opens an existing one";
}

TEST_F(RegistryContract, KeyPathsIgnoreALeadingBackslashAndCase) {
  auto& registry = platform().registry;
  const std::string key = kScratchKey + "\\Tessarwolden";
  {
    auto created = registry.CreateKey(RegRoot::CurrentUser, "\\" + key);
    ASSERT_NE(created, nullptr);
    ASSERT_TRUE(created->WriteString("Name", "value"));
  }
  for (const std::string& spelling : {key, "\\" + key, kScratchKey + "\\TESSARWOLDEN"}) {
    auto opened = registry.OpenKey(RegRoot::CurrentUser, spelling);
    ASSERT_NE(opened, nullptr) << spelling;
    EXPECT_EQ(opened->ReadString("name"), "value") << spelling;
  }
}

TEST_F(RegistryContract, ValuesReadBackWithTheirTypes) {
  auto& registry = platform().registry;
  auto key = registry.CreateKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(key, nullptr);
  const std::vector<uint8_t> bytes = {0x00, 0xFF, 0x10, 0x00, 0x7F};

  ASSERT_TRUE(key->WriteString("Text", "Größe €"));
  ASSERT_TRUE(key->WriteString("Empty", ""));
  ASSERT_TRUE(key->WriteString("Path", "%windir%\\system", true));
  ASSERT_TRUE(key->WriteDWord("Number", 0xDEADBEEF));
  ASSERT_TRUE(key->WriteBinary("Bytes", bytes));
  ASSERT_TRUE(key->WriteBinary("NoBytes", {}));
  ASSERT_TRUE(key->WriteString("", "default value"));

  EXPECT_EQ(key->ReadString("Text"), "Größe €");
  EXPECT_EQ(key->ReadString("Empty"), "");
  EXPECT_EQ(key->ReadString("Path"), "%windir%\\system") << "stored, not expanded";
  EXPECT_EQ(key->ReadDWord("Number"), 0xDEADBEEFu);
  EXPECT_EQ(key->ReadBinary("Bytes"), bytes);
  EXPECT_EQ(key->ReadBinary("NoBytes"), std::vector<uint8_t>{});
  EXPECT_EQ(key->ReadString(""), "default value");

  EXPECT_EQ(key->ValueType("Text"), RegType::String);
  EXPECT_EQ(key->ValueType("Path"), RegType::ExpandString);
  EXPECT_EQ(key->ValueType("Number"), RegType::DWord);
  EXPECT_EQ(key->ValueType("Bytes"), RegType::Binary);
  EXPECT_EQ(key->ValueType("Missing"), std::nullopt);

  auto reopened = registry.OpenKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->ReadDWord("NUMBER"), 0xDEADBEEFu) << "value names ignore case";
}

TEST_F(RegistryContract, MissingOrMistypedValuesReadAsNothing) {
  auto key = platform().registry.CreateKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteString("Text", "12"));
  ASSERT_TRUE(key->WriteDWord("Number", 12));
  ASSERT_TRUE(key->WriteBinary("Bytes", {1, 2}));

  EXPECT_EQ(key->ReadString("Missing"), std::nullopt);
  EXPECT_EQ(key->ReadDWord("Missing"), std::nullopt);
  EXPECT_EQ(key->ReadBinary("Missing"), std::nullopt);
  EXPECT_EQ(key->ReadDWord("Text"), std::nullopt);
  EXPECT_EQ(key->ReadBinary("Text"), std::nullopt);
  EXPECT_EQ(key->ReadString("Number"), std::nullopt);
  EXPECT_EQ(key->ReadBinary("Number"), std::nullopt);
  EXPECT_EQ(key->ReadString("Bytes"), std::nullopt);
  EXPECT_EQ(key->ReadDWord("Bytes"), std::nullopt);
}

TEST_F(RegistryContract, RewritingAValueReplacesItsType) {
  auto key = platform().registry.CreateKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteString("Value", "text"));
  ASSERT_TRUE(key->WriteDWord("VALUE", 7));
  EXPECT_EQ(key->ValueType("value"), RegType::DWord);
  EXPECT_EQ(key->ReadDWord("Value"), 7u);
  EXPECT_EQ(key->ReadString("Value"), std::nullopt);
}

TEST_F(RegistryContract, LongStringsSurvive) {
  auto key = platform().registry.CreateKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(key, nullptr);
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += static_cast<char>('a' + i % 26);
  text += "ä";
  ASSERT_TRUE(key->WriteString("Long", text));
  EXPECT_EQ(key->ReadString("Long"), text);
}

}  // namespace
}  // namespace contract

namespace contract {
namespace {

TEST_F(RegistryContract, EmptyKeyNamesCollapseExceptAtTheStart) {
  auto& registry = platform().registry;
  const std::string key = kScratchKey;
  auto doubled = registry.CreateKey(RegRoot::CurrentUser, key + "\\\\Sub\\\\");
  ASSERT_NE(doubled, nullptr);
  ASSERT_TRUE(doubled->WriteDWord("Value", 1));
  auto single = registry.OpenKey(RegRoot::CurrentUser, key + "\\Sub");
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(single->ReadDWord("Value"), 1u);
  EXPECT_NE(registry.OpenKey(RegRoot::CurrentUser, key + "\\Sub\\"), nullptr);

  EXPECT_EQ(registry.OpenKey(RegRoot::CurrentUser, "\\\\" + key), nullptr)
      << "only one leading backslash is ignored";
  EXPECT_EQ(registry.CreateKey(RegRoot::CurrentUser, "\\\\" + key), nullptr);
}

TEST_F(RegistryContract, ValuesAreListedAndDeleted) {
  auto& registry = platform().registry;
  auto key = registry.CreateKey(RegRoot::CurrentUser, kScratchKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteString("Pfad", "C:\\Programme"));
  ASSERT_TRUE(key->WriteDWord("Aktiv", 1));
  ASSERT_TRUE(key->WriteString("", "default"));
  ASSERT_NE(registry.CreateKey(RegRoot::CurrentUser, kScratchKey + "\\Unter"), nullptr);

  std::vector<std::string> values = key->ValueNames();
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (std::vector<std::string>{"", "Aktiv", "Pfad"}));
  EXPECT_EQ(key->SubkeyNames(), std::vector<std::string>{"Unter"});

  EXPECT_TRUE(key->DeleteValue("PFAD")) << "names match without regard to case";
  EXPECT_FALSE(key->DeleteValue("Pfad")) << "already gone";
  EXPECT_TRUE(key->DeleteValue("")) << "the default value";
  EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"Aktiv"});
  EXPECT_EQ(key->ReadDWord("Aktiv"), 1u);
}

TEST_F(RegistryContract, OnlyAnEmptyKeyIsDeleted) {
  auto& registry = platform().registry;
  const std::string key = kScratchKey + "\\Firma";
  {
    auto created = registry.CreateKey(RegRoot::CurrentUser, key + "\\Produkt");
    ASSERT_NE(created, nullptr);
    ASSERT_TRUE(created->WriteString("Name", "x"));
  }
  EXPECT_FALSE(registry.DeleteEmptyKey(RegRoot::CurrentUser, key)) << "holds a subkey";
  EXPECT_FALSE(registry.DeleteEmptyKey(RegRoot::CurrentUser, key + "\\Produkt")) << "holds a value";
  ASSERT_TRUE(registry.OpenKey(RegRoot::CurrentUser, key + "\\Produkt")->DeleteValue("Name"));
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "\\" + key + "\\PRODUKT"));
  EXPECT_TRUE(registry.DeleteEmptyKey(RegRoot::CurrentUser, "\\" + key + "\\PRODUKT"));
  EXPECT_EQ(registry.OpenKey(RegRoot::CurrentUser, key + "\\Produkt"), nullptr);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, key + "\\Produkt"));
  EXPECT_TRUE(registry.DeleteEmptyKey(RegRoot::CurrentUser, key));
  EXPECT_FALSE(registry.DeleteEmptyKey(RegRoot::CurrentUser, key)) << "missing";
  EXPECT_FALSE(registry.DeleteEmptyKey(RegRoot::CurrentUser, "")) << "never the root";
  EXPECT_FALSE(registry.DeleteEmptyKey(RegRoot::CurrentUser, "\\"));
}

}  // namespace
}  // namespace contract
