#include "archive/ZipUnpacker.h"

// The component's properties and its one message routine; the operations
// live in ZipDirectoryReader.cpp (List), ZipExtract.cpp (Extract and the
// library), SpannedRebuild.cpp and UnpackCallback.cpp.

#include <algorithm>
#include <utility>

#include "archive/MessageNumbers.h"

namespace archive {

std::string MessageText(int number, std::string_view extra) {
  std::string text(kFallbackText);
  text += std::to_string(number);
  text += extra;
  return text;
}

EZipUnpacker::EZipUnpacker(int number, bool display, std::string extra)
    : std::runtime_error(MessageText(number, extra)),
      number_(number),
      display_(display),
      extra_(std::move(extra)) {}

TZipUnpacker::TZipUnpacker(platform::Platform& platform, std::string title)
    : platform_(platform), title_(std::move(title)) {}

TZipUnpacker::~TZipUnpacker() = default;

void TZipUnpacker::SetLibraryDir(std::string_view dir) {
  std::string value(dir);
  if (!value.empty() && value.back() == '\\')
    value.pop_back();
  if (value != libraryDir_)
    heldLibrary_.reset();
  libraryDir_ = std::move(value);
}

void TZipUnpacker::SetPassword(std::string_view password) {
  password_ = std::string(password.substr(0, kMaxPasswordLength));
}

void TZipUnpacker::SetPasswordTries(unsigned tries) {
  passwordTries_ = std::min(tries, kMaxPasswordTries);
}

void TZipUnpacker::SetPasswordPrompt(std::unique_ptr<PasswordPrompt> prompt) {
  passwordPrompt_ = std::move(prompt);
}

void TZipUnpacker::SetArchivePath(std::string_view path) {
  archivePath_ = path;
  try {
    List();
  } catch (...) {
    // Only an event handler or the message dialog itself can get here; the
    // engine must never see an error of the component.
  }
}

void TZipUnpacker::ShowError(int number, std::string_view extra) {
  lastErrorNumber_ = number;
  lastErrorText_ = MessageText(number, extra);
  if (!unattended_) {
    platform_.dialogs.MessageBox(title_, lastErrorText_, platform::MsgButtons::Ok,
                                 platform::MsgIcon::None);
  }
  if (OnMessage)
    OnMessage(number, lastErrorText_);
}

}  // namespace archive
