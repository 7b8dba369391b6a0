#pragma once

#include <string>

#include "archive/PasswordPrompt.h"

namespace archive {

/// The archive component's password dialog, a window built in code: a
/// prompt, a masked edit of at most 80 characters, OK and Cancel.
class TPasswordDlg : public PasswordPrompt {
 public:
  std::string Ask(const std::string& caption, const std::string& prompt) override;
};

}  // namespace archive
