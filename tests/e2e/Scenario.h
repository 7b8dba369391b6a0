#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Utf16.h"
#include "tests/e2e/Harness.h"

namespace e2e {

/// A setup folder with Demo 1.0 by Firma. StandardReg is on so that an
/// installation that should not have happened leaves an uninstall key.
inline constexpr std::string_view kDemoSetupInf =
    "[Settings]\r\n"
    "AppName=Demo\r\n"
    "Version=1.0\r\n"
    "Company=Firma\r\n"
    "StandardReg=1\r\n";

/// A value of the prefix's Shell Folders key ("Programs", "Desktop"), as
/// Setup.exe reads it; throws when it has none.
inline std::string ShellFolder(const wchar_t* name) {
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    throw HarnessError("the prefix has no Shell Folders value " + platform::win32::Narrow(name));
  }
  return platform::win32::Narrow(value);
}

/// The lines as a text file Setup.exe writes them: CR LF after every line.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

/// The first lines of Uninstall.inf for "Produkt 2.1" by "Firma", the product
/// of tests/e2e/setups, installed into `target`.
inline std::vector<std::string> ProduktUninstallHeader(const std::string& target, bool marrowlink) {
  return {
      ";Manuelle Deinstallation:",
      ";Ziehen Sie diese Datei auf \"Inst_Produkt_remove.exe\" im Windows-Ordner.",
      ";",
      "[Settings]",
      "Signature=\"#$Meravlunx_Tessarwolden$#\"",
      "AppName=\"Produkt\"",
      "Company=\"Firma\"",
      "Version=\"2.1\"",
      "StandardReg=1",
      marrowlink ? "Marrowlink=1" : "Marrowlink=0",
      "[Directories]",
      "MainDir=" + target,
  };
}

/// One scenario: a fresh setup folder and at most one run of Setup.exe in it.
/// A failing scenario has the screen captured before the run is killed.
class Scenario : public testing::Test {
 protected:
  void TearDown() override {
    if (HasFailure()) {
      const auto* test = testing::UnitTest::GetInstance()->current_test_info();
      RequestScreenshot(std::string(test->test_suite_name()) + "." + test->name());
    }
  }

  SetupProcess& Start(std::string_view arguments = "") {
    return setup_.emplace(folder_, arguments);
  }
  /// Starts the Setup.exe of another folder, such as the media drive.
  SetupProcess& StartFrom(std::string_view directory) { return setup_.emplace(directory, ""); }

  SetupFolder folder_;
  std::optional<SetupProcess> setup_;
};

/// Names the instances of a table-driven scenario after the rows' `name`, so
/// that scripts/e2e can run each row on its own.
struct RowName {
  template <typename Row>
  std::string operator()(const testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

// In the unnamed namespace, where every test file keeps its rows: GoogleTest
// finds PrintTo by argument-dependent lookup only.
namespace {

/// Prints a row of a table-driven scenario as its `name`.
template <typename Row>
requires requires(const Row& row) {
  { row.name } -> std::convertible_to<std::string_view>;
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

}  // namespace

}  // namespace e2e
