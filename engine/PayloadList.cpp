#include "engine/PayloadList.h"

#include "core/Convert.h"
#include "engine/PayloadFormat.h"

namespace engine {

std::string PayloadList::Path() const {
  return run_.workFolder + "\\" + std::string(payload::kListEntry);
}

void PayloadList::Open() {
  run_.Extract(run_.PayloadArchive(), payload::kListEntry, run_.workFolder);
  platform::Files& files = run_.platform.files;
  const std::optional<std::string> stored = files.ReadFile(Path());
  if (!stored)
    throw EInstallError("Die Datei \"" + Path() + "\" kann nicht geöffnet werden");
  std::string plain;
  for (const std::string& line : core::SplitLines(*stored))
    plain += payload::UnscrambleLine(line) + "\r\n";
  files.DeleteFile(Path());
  if (!files.WriteFile(Path(), plain))
    throw EInstallError("Die Datei \"" + Path() + "\" kann nicht erstellt werden");
  // The list is read entry by entry, thousands of times: from memory, as
  // the profile service would read the file just written.
  snapshot_.emplace(Path(), run_.platform.system.AnsiToUtf8(plain));
  reader_.emplace(*snapshot_, Path());
}

const core::IniReader& PayloadList::Reader() const {
  if (!reader_)
    throw EInstallError("Die Datei \"" + Path() + "\" ist nicht geöffnet");
  return *reader_;
}

int PayloadList::FileCount() const {
  return core::EntriesToVisit(Reader().ReadInteger(payload::kListSection, "FileCount", 1),
                              Reader().LastNumberedKey(payload::kListSection, ""));
}

std::string PayloadList::Destination(int n) const {
  return Reader().ReadString(payload::kListSection, std::to_string(n), "");
}

std::string PayloadList::DisplayIconSource(int n) const {
  return Reader().ReadString("ListFile", std::to_string(n), "[Tessarwolden]");
}

void PayloadList::Delete() {
  run_.platform.files.DeleteFile(Path());
}

}  // namespace engine
