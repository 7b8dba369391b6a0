#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace engine {

/// The lock one Setup.exe at a time holds, for its whole life, on the whole
/// machine: the work folder in the Windows directory and the registry
/// values are the machine's, so two runs would spoil each other's. While
/// one holds it, every run noted as running is one whose process died.
inline constexpr std::string_view kSingleInstanceLock = "Global\\Tessarwolden.Setup";

/// Where runs note their work folders while they last, one value each (the
/// folder is the value's name): below HKEY_LOCAL_MACHINE, which only
/// administrators can write, so that a folder found there is one a setup
/// made and no ordinary user's.
inline constexpr std::string_view kRunningKey =
    "Software\\Tessarwolden\\Setup\\Laufende Installationen";

/// Notes the work folder of a run that begins; false when it cannot be
/// noted (the run then cannot be undone after a kill).
bool NoteRunning(platform::Registry& registry, std::string_view workFolder);
/// Forgets a run's work folder, and the key when it notes no other run.
void ForgetRunning(platform::Registry& registry, std::string_view workFolder);
/// Whether runs are noted as running.
bool RunsNoted(platform::Registry& registry);

/// What the recovery of runs that never ended found.
struct Recovered {
  /// How many work folders of such runs there were.
  int runs = 0;
  /// What their journals could not undo, one German line per item.
  std::vector<std::string> left;
};
/// Undoes the journal of every run noted as running, then removes its work
/// folder with everything in it (links to elsewhere are removed, never
/// followed) and forgets it. Only for a process that holds
/// kSingleInstanceLock: a live run would be undone under its feet.
Recovered RecoverUnfinishedRuns(platform::Files& files, platform::Registry& registry);

/// The caption of the message after an undone installation.
inline constexpr std::string_view kUndoneCaption = "Installation rückgängig gemacht - Tessarwolden";
/// The closing text after an undone installation: that the computer is as
/// it was, or what could not be put back (at most ten items listed).
std::string UndoneText(const std::vector<std::string>& left);

}  // namespace engine
