#pragma once

#include <cstdint>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The process and its surroundings.
class System {
 public:
  virtual ~System() = default;

  /// The full path of the running program; empty when it cannot be determined.
  virtual std::string ModulePath() = 0;
  /// The command-line arguments after the program name, split as Windows
  /// splits them; empty when there are none or the line cannot be split.
  virtual std::vector<std::string> Arguments() = 0;
  /// Asks the application to end: posts the quit message to the message loop.
  /// Cannot fail.
  virtual void PostQuit() = 0;
  /// Lets the application handle the messages that are waiting, then returns.
  /// A quit message stays waiting for the main loop.
  virtual void ProcessMessages() = 0;
  /// Prepares a thread the program starts besides its first one for the
  /// services used there (the shell's shortcut objects are COM objects).
  /// LeaveThread undoes it on the same thread before the thread ends.
  /// Cannot fail; a service the thread could not be prepared for fails on
  /// its own.
  virtual void EnterThread() = 0;
  virtual void LeaveThread() = 0;
  /// Shows the hourglass cursor while `busy`, the normal cursor otherwise.
  /// Nothing happens where there is no cursor.
  virtual void SetBusyCursor(bool busy) = 0;

  /// Text from the ANSI code page to UTF-8, byte for byte; every byte yields a
  /// character, so nothing is missing and nothing fails.
  virtual std::string AnsiToUtf8(std::string_view ansi) = 0;
  /// Text from UTF-8 to the ANSI code page; characters it lacks become '?'.
  virtual std::string Utf8ToAnsi(std::string_view utf8) = 0;
  /// Text from the OEM code page to UTF-8; every byte yields a character.
  virtual std::string OemToUtf8(std::string_view oem) = 0;
  /// The number of the OEM code page that OemToUtf8 reads (850 on a German or
  /// Western Windows, 437 on an American one). Cannot fail.
  virtual unsigned OemCodePage() = 0;
  /// The decimal separator of the user's number format ("," on a German
  /// Windows); "." when it cannot be determined.
  virtual std::string DecimalSeparator() = 0;
  /// Orders two names as the system lists them for the user: alphabetically
  /// without regard to case, letters with accents and umlauts beside their
  /// base letters. Negative when `a` comes first, 0 when they are equal,
  /// positive otherwise.
  virtual int CompareNames(std::string_view a, std::string_view b) = 0;
  /// Asks Windows to restart: enables the shutdown privilege of the process
  /// and requests a reboot. Returns at once; whether Windows restarts is
  /// not reported (the program ends when its windows are closed for the
  /// restart).
  virtual void RestartWindows() = 0;
  /// Takes the machine-wide lock of that name and holds it until the process
  /// ends (also when it ends by a crash). False when another process (or an
  /// earlier call) holds it.
  virtual bool HoldLock(std::string_view name) = 0;
  /// Today's date in the user's time zone as "yyyymmdd".
  virtual std::string LocalDate() = 0;
  /// A number nobody can know in advance, from the system's cryptographic
  /// generator: for names that another user must not be able to take first.
  virtual uint64_t UnguessableNumber() = 0;
};

}  // namespace platform
