#include "engine/MediaJoin.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/PayloadFormat.h"
#include "engine/WorkFolder.h"

namespace engine {

namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

constexpr std::string_view kInsertCaption = "Installationsmedium einlegen - Tessarwolden";
constexpr std::string_view kNotFoundCaption = "Pfad nicht gefunden - Tessarwolden";
constexpr std::string_view kAbortCaption = "Abbruch der Installation - Tessarwolden";
constexpr std::string_view kAbortText =
    "Damit keine Schäden auf Ihrem System entstehen, wird Setup nun beendet.\r"
    "Sollten Ihnen Installationsmedien fehlen, informieren Sie bitte den Hersteller.";
constexpr std::string_view kBrokenCaption =
    "Installationsdiskette fehlt oder ist defekt - Tessarwolden";
constexpr std::string_view kBrokenText =
    "Beim Zusammensetzen des Archivs trat ein Fehler auf.\r"
    "Prüfen Sie bitte, ob Sie die korrekte Diskette eingelegt haben, und ob diese nicht "
    "fehlerhaft ist.\r"
    "Das Setup wird nun beendet, damit keine Schäden auf Ihrem System entstehen. Bitte starten "
    "Sie \"Setup.exe\" neu!";
constexpr size_t kCopyBlock = 1 << 20;

std::string InsertText(int medium) {
  return "Bitte legen Sie Medium " + std::to_string(medium) + " ein und klicken Sie auf [OK]!";
}

std::string NotFoundText(std::string_view part, std::string_view mediaPath) {
  return "Die Installationsdatei\r    \"" + std::string(part) + "\"\rkonnte im Pfad\r    \"" +
         std::string(mediaPath) +
         "\"\rnicht gefunden werden. Bitte geben Sie den Pfad an, indem sich die Datei "
         "befindet!";
}

// A part that cannot be opened or read ends the joining with the message of
// a broken medium, as any other failure while a part is handled does.
struct EPartUnreadable : std::runtime_error {
  EPartUnreadable() : std::runtime_error("part unreadable") {}
};

// Copies the part block by block; false when the stop was requested meanwhile.
bool AppendPart(platform::Files& files, const std::string& part, platform::WriteStream& joined,
                const std::stop_token& stop) {
  const std::unique_ptr<platform::ReadStream> in = files.OpenRead(part);
  if (!in)
    throw EPartUnreadable{};
  std::vector<char> buffer(kCopyBlock);
  uint64_t offset = 0;
  while (!stop.stop_requested()) {
    const std::optional<size_t> read = in->ReadAt(offset, buffer.data(), buffer.size());
    if (!read)
      throw EPartUnreadable{};
    if (*read == 0)
      return true;
    if (!joined.Write(buffer.data(), *read))
      throw EPartUnreadable{};
    offset += *read;
  }
  return false;
}

}  // namespace

std::string MediaJoin::JoinedArchive() const {
  return run_.workFolder + "\\" + std::string(payload::kArchiveName);
}

bool MediaJoin::Joined() const {
  return run_.archiveDir == run_.workFolder + "\\";
}

bool MediaJoin::Stop(std::string_view caption, std::string_view text) {
  run_.platform.dialogs.MessageBox(caption, text, MsgButtons::Ok, MsgIcon::Error);
  return false;
}

bool MediaJoin::Abandon() {
  DeleteJoinedArchive();
  RemoveFolderIfEmpty(run_.platform.files, run_.workFolder, run_.setupDir);
  return false;
}

bool MediaJoin::Join() {
  platform::Platform& platform = run_.platform;
  run_.archiveDir = run_.workFolder + "\\";
  std::unique_ptr<platform::WriteStream> joined = platform.files.OpenWrite(JoinedArchive());
  if (!joined) {
    throw EInstallError("Die Datei \"" + JoinedArchive() + "\" kann nicht erstellt werden");
  }

  std::string mediaPath = run_.setupDir;
  for (int k = 1; k <= run_.settings.SplitFileCount; ++k) {
    const std::string part = payload::PartName(k);
    try {
      const MsgAnswer answer = platform.dialogs.MessageBox(kInsertCaption, InsertText(k + 1),
                                                           MsgButtons::Ok, MsgIcon::Exclamation);
      if (run_.Ended()) {
        joined.reset();
        return Abandon();
      }
      if (answer != MsgAnswer::Ok)
        continue;
      while (!platform.files.FileExists(mediaPath + part)) {
        platform.dialogs.MessageBox(kNotFoundCaption, NotFoundText(part, mediaPath), MsgButtons::Ok,
                                    MsgIcon::Error);
        const std::optional<std::string> chosen =
            run_.Ended() ? std::nullopt
                         : platform.shell.BrowseForFolder("Bitte wählen Sie einen Pfad aus!");
        if (run_.Ended()) {
          joined.reset();
          return Abandon();
        }
        if (chosen)
          mediaPath = *chosen;
        // Cancelling keeps the old path with its backslash; a drive root
        // has one of its own. Either way no folder was given.
        if (!mediaPath.empty() && mediaPath.back() == '\\')
          return Stop(kAbortCaption, kAbortText);
        mediaPath += '\\';
      }
      run_.view.SetDetail("Lesen von Installationsmedium " + std::to_string(k + 1) + "...");
      run_.view.RepaintForm();
      if (!AppendPart(platform.files, mediaPath + part, *joined, run_.stop)) {
        joined.reset();
        return Abandon();
      }
    } catch (const std::exception&) {
      return Stop(kBrokenCaption, kBrokenText);
    }
  }
  platform.dialogs.MessageBox(kInsertCaption, InsertText(1), MsgButtons::Ok, MsgIcon::Exclamation);
  joined.reset();
  if (run_.Ended())
    return Abandon();
  return true;
}

void MediaJoin::DeleteJoinedArchive() {
  if (Joined())
    run_.platform.files.DeleteFile(JoinedArchive());
}

}  // namespace engine
