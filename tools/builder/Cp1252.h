#pragma once

// The control file, the payload lists and the names Windows sees are all in
// Windows-1252, while the description and everything inside the builder is
// UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace builder {

/// The Windows-1252 bytes of a UTF-8 text. nullopt when the text is not valid
/// UTF-8 or holds a character the code page lacks; `problem`, when given,
/// then receives a German sentence naming the first such character or byte.
/// The five bytes the code page leaves unassigned are never produced.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::string* problem = nullptr);

/// Utf8ToCp1252 that raises BuildError at `line` with the problem instead.
std::string ToCp1252(int line, std::string_view utf8);

/// The Windows-1252 text with every letter in lower case, for comparing names
/// as Windows does: a file system that holds "Ä.txt" also finds "ä.txt".
std::string Cp1252Lower(std::string_view cp1252);

}  // namespace builder
