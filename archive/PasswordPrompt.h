#pragma once

#include <string>

namespace archive {

/// The password dialog as the archive component sees it. The program's one is
/// TPasswordDlg (Windows build); tests give a fake.
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;
  /// Shows the dialog modally with this caption and prompt; the text typed
  /// when the user chose OK, the empty text on Cancel.
  virtual std::string Ask(const std::string& caption, const std::string& prompt) = 0;
};

}  // namespace archive
