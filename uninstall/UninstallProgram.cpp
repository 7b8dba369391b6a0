#include "uninstall/UninstallProgram.h"

#include <optional>
#include <string>

#include "core/Convert.h"
#include "engine/Recovery.h"
#include "uninstall/PathRules.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalPlan.h"
#include "uninstall/TrustedRecord.h"
#include "uninstall/UninstallRecord.h"

namespace uninstall {

namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

constexpr std::string_view kCaption = "Deinstallation";
constexpr std::string_view kNothingChanged = "\n\nEs wurde nichts verändert.";

struct CommandLine {
  bool silent = false;
  std::optional<std::string> file;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (core::SameTextIgnoreCase(argument, "/silent")) {
      line.silent = true;
    } else if (!argument.empty() && argument.front() != '/' && !line.file) {
      line.file = argument;
    }
  }
  return line;
}

class Run {
 public:
  Run(platform::Platform& platform, RemovalView& view, bool silent)
      : platform_(platform), view_(view), silent_(silent) {}

  int Refuse(std::string_view text) {
    if (!silent_)
      platform_.dialogs.MessageBox(kCaption, std::string(text) + std::string(kNothingChanged),
                                   MsgButtons::Ok, MsgIcon::Error);
    return kRefusedOrFailed;
  }

  int Remove(const std::string& file) {
    if (!platform_.files.FileExists(file)) {
      return Refuse("Die Deinstallationsdatei \"" + file +
                    "\" wurde nicht gefunden. Vielleicht ist das Programm schon entfernt.");
    }
    RecoverUnfinishedRuns();
    const std::string unusable = "\"" + file + "\" kann nicht verwendet werden.\n\n";
    const ProtectedFolders protectedFolders(platform_);
    const TrustedRecord trusted =
        ReadTrustedRecord(platform_, file, protectedFolders.WindowsDirectory());
    if (!trusted.record)
      return Refuse(unusable + trusted.refused);
    const UninstallRecord& record = *trusted.record;
    if (const auto refused = RefuseRecord(record, file, protectedFolders))
      return Refuse(unusable + *refused);

    const std::string product = record.ProductTitle();
    if (!silent_ &&
        platform_.dialogs.MessageBox(product + " deinstallieren",
                                     "Möchten Sie " + product +
                                         " und alle seine Bestandteile von diesem Computer "
                                         "entfernen?",
                                     MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
      return kCancelled;
    }

    const RemovalPlan plan = MakeRemovalPlan(record, file, platform_, protectedFolders);
    if (!silent_)
      view_.Open(product + " wird deinstalliert", static_cast<int>(plan.steps.size()));
    const RemovalReport report = CarryOut(plan, platform_, silent_ ? nullptr : &view_);
    if (!silent_) {
      view_.Finish();
      platform_.dialogs.MessageBox(
          product + " deinstallieren", ClosingMessage(product, report), MsgButtons::Ok,
          report.failed.empty() ? MsgIcon::Information : MsgIcon::Exclamation);
    }
    return report.failed.empty() ? kRemoved : kRefusedOrFailed;
  }

 private:
  // A setup whose process died may have been changing this very product:
  // the machine first goes back to how it was before that run. While a
  // setup runs (it may have started this uninstaller), its runs are its own.
  void RecoverUnfinishedRuns() {
    if (!engine::RunsNoted(platform_.registry) ||
        !platform_.system.HoldLock(engine::kSingleInstanceLock)) {
      return;
    }
    const engine::Recovered recovered =
        engine::RecoverUnfinishedRuns(platform_.files, platform_.registry);
    if (!silent_ && !recovered.left.empty()) {
      platform_.dialogs.MessageBox(engine::kUndoneCaption, engine::UndoneText(recovered.left),
                                   MsgButtons::Ok, MsgIcon::Exclamation);
    }
  }

  platform::Platform& platform_;
  RemovalView& view_;
  bool silent_;
};

}  // namespace

int RunUninstaller(platform::Platform& platform, RemovalView& view) {
  const CommandLine line = ParseCommandLine(platform.system.Arguments());
  Run run(platform, view, line.silent);
  if (!line.file) {
    return run.Refuse(
        "Dieses Programm entfernt ein mit Tessarwolden Setup installiertes Programm.\n\n"
        "Bitte starten Sie es über „Apps & Features“ oder über die Verknüpfung "
        "„… deinstallieren“ im Startmenü, oder ziehen Sie die Datei Uninstall.inf aus dem "
        "Installationsverzeichnis auf dieses Programm.");
  }
  return run.Remove(platform.files.FullPath(*line.file));
}

}  // namespace uninstall
