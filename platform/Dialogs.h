#pragma once

#include <string_view>

namespace platform {

// Buttons, icons and answers carry the numbers of the Windows message box.
enum class MsgButtons : unsigned { Ok = 0x0, OkCancel = 0x1, YesNo = 0x4 };
enum class MsgIcon : unsigned {
  None = 0x0,
  Error = 0x10,
  Question = 0x20,
  Exclamation = 0x30,
  Information = 0x40
};
enum class MsgAnswer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

/// What a message box answers when it is closed without a button: OK for a
/// box with OK alone, No for a Yes/No box, Cancel otherwise.
constexpr MsgAnswer ClosedAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::YesNo:
      return MsgAnswer::No;
    case MsgButtons::OkCancel:
      break;
  }
  return MsgAnswer::Cancel;
}

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  /// Shows a modal message box owned by the active window of the program and
  /// returns the button the user chose. Closing the box answers Cancel (or No
  /// for a Yes/No box, which cannot be closed). A box that cannot be shown
  /// answers as a closed one would: Cancel, No, or Ok for a box with OK only.
  virtual MsgAnswer MessageBox(std::string_view caption, std::string_view text, MsgButtons buttons,
                               MsgIcon icon) = 0;
};

}  // namespace platform
