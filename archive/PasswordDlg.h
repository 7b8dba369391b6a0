#pragma once

#include <string>

#include "archive/PasswordPrompt.h"

namespace archive {

/// The archive component's password dialog: a prompt, a masked edit of at
/// most 80 characters, OK and Cancel, on the program's form base. Each
/// question gets a new window, modal over the active one.
class TPasswordDlg : public PasswordPrompt {
 public:
  std::string Ask(const std::string& caption, const std::string& prompt) override;
};

}  // namespace archive
