#include "platform/sim/SimProcesses.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>
#include <system_error>

extern char** environ;

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t SkipBlanks(std::string_view line, size_t at) {
  while (at < line.size() && IsBlank(line[at]))
    ++at;
  return at;
}

// A name whose last part has no dot is run with ".exe" appended, as
// CreateProcess searches for it.
std::string WithExeExtension(std::string_view name) {
  const size_t part = name.find_last_of("\\/:");
  const std::string_view last = part == std::string_view::npos ? name : name.substr(part + 1);
  std::string file(name);
  if (last.find('.') == std::string_view::npos)
    file += ".exe";
  return file;
}

// The program a command line starts, found as CreateProcess finds it: a
// quoted name is taken as it is; an unquoted one is tried up to each blank
// in turn, shortest first, so that "C:\Program Files\x.exe" runs
// C:\Program.exe where that exists. nullopt when there is no such file.
std::optional<std::string> FindProgram(std::string_view line, SimFiles& files) {
  const size_t start = SkipBlanks(line, 0);
  if (start < line.size() && line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    const std::string name = WithExeExtension(line.substr(start + 1, close - start - 1));
    if (files.FileExists(name))
      return name;
    return std::nullopt;
  }
  size_t end = start;
  while (end < line.size()) {
    end = line.find_first_of(" \t", end + 1);
    const std::string name = WithExeExtension(line.substr(start, end - start));
    if (files.FileExists(name))
      return name;
  }
  return std::nullopt;
}

// The words of a command line as a Windows program's start-up code splits
// them. The program name ends at the first blank outside quotes and knows no
// escapes. In the arguments, quotes group blanks; backslashes are literal
// except before a quote, where each pair gives one backslash and an odd one
// makes the quote literal; inside quotes, a doubled quote is a literal one.
std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t at = SkipBlanks(line, 0);
  std::string program;
  bool quoted = false;
  for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == '"') {
      quoted = !quoted;
    } else {
      program += line[at];
    }
  }
  words.push_back(std::move(program));

  while ((at = SkipBlanks(line, at)) < line.size()) {
    std::string word;
    quoted = false;
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
      if (line[at] == '\\') {
        const size_t backslashes = std::min(line.find_first_not_of('\\', at), line.size()) - at;
        at += backslashes;
        if (at < line.size() && line[at] == '"') {
          word.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            word += '"';
            ++at;
          }
        } else {
          word.append(backslashes, '\\');
        }
      } else if (line[at] == '"') {
        if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
          word += '"';
          ++at;
        } else {
          quoted = !quoted;
        }
        ++at;
      } else {
        word += line[at++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

// Runs the host program with `words` after its own path in `folder` and
// waits for it, killing it when `stop` is requested first; false when it
// could not be started.
bool Spawn(const fs::path& program, const std::vector<std::string>& words, const fs::path& folder,
           const std::stop_token& stop) {
  std::vector<char*> argv;
  std::string path = program.string();
  argv.push_back(path.data());
  std::vector<std::string> arguments(words.begin() + 1, words.end());
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t child = 0;
  const int error = posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0)
    return false;
  // The child is not reaped before waitpid below, so its pid cannot be
  // taken by another process while the callback may still send the signal.
  const std::stop_callback end(stop, [child] { kill(child, SIGKILL); });
  int status = 0;
  while (waitpid(child, &status, 0) == -1 && errno == EINTR) {
  }
  return true;
}

}  // namespace

bool SimProcesses::RunAndWait(std::string_view commandLine, std::string_view currentDirectory,
                              std::stop_token stop) {
  started.push_back({std::string(commandLine), std::string(currentDirectory)});
  const std::optional<std::string> program = FindProgram(commandLine, files_);
  if (!program || !files_.DirectoryExists(currentDirectory))
    return false;
  // Windows runs any program file; one unpacked on the host has no execute
  // permission yet.
  const fs::path host = files_.HostPath(*program);
  std::error_code ec;
  fs::permissions(host, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  return Spawn(host, SplitCommandLine(commandLine), files_.HostPath(currentDirectory), stop);
}

}  // namespace platform::sim
