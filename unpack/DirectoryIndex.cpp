#include "unpack/DirectoryIndex.h"

#include <algorithm>

#include "unpack/EntryName.h"
#include "unpack/OemCodePage.h"

namespace unpack {
namespace {

char FoldForMatch(char c) {
  if (c == '/')
    return '\\';
  if (c >= 'A' && c <= 'Z')
    return static_cast<char>(c + 32);
  return c;
}

// FNV-1a over the match key of `name`, folded on the way.
uint64_t KeyHash(std::string_view name) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(FoldForMatch(c));
    hash *= 0x100000001b3u;
  }
  return hash;
}

std::string EntryName(const CentralEntry& e) {
  return EntryTextToUtf8(e.rawName, e.header.versionMadeBy, e.header.flags, NameCodePage::Auto,
                         OemToUtf8);
}

// Enough for one header with a name of usual length.
constexpr size_t kOneHeader = 1024;

}  // namespace

std::string MatchKey(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    c = FoldForMatch(c);
  return key;
}

DirectoryIndex::DirectoryIndex(InputFile& file, const DirectoryLocation& where) : where_(where) {
  struct Span {
    EntrySpan span;
    uint32_t header;
  };
  std::vector<Span> spans;
  // As many as the end record counts where the size has room for them, so
  // that no vector doubles past what it holds.
  const auto expected =
      static_cast<size_t>(std::min<uint64_t>(where.record.entries, where.size / zip::kCentralSize));
  headerOffsets_.reserve(expected);
  byKey_.reserve(expected);
  spans.reserve(expected);
  DirectoryWalker walker(file, where);
  while (const std::optional<std::string_view> raw = walker.NextName()) {
    const auto header = static_cast<uint32_t>(headerOffsets_.size());
    headerOffsets_.push_back(walker.CurrentOffset());
    // ASCII names are their own UTF-8; only others are converted.
    const uint64_t hash = IsAscii(*raw) ? KeyHash(*raw) : KeyHash(EntryName(walker.Current()));
    byKey_.emplace_back(hash, header);
    spans.push_back({walker.CurrentSpan(), header});
  }
  directoryEnd_ = std::max(where.offset + where.size, walker.Position());
  const uint64_t fileSize = file.Size();
  std::erase_if(spans, [&](const Span& s) {
    return s.span.end > fileSize || (s.span.start < directoryEnd_ && where.offset < s.span.end);
  });
  damaged_ = walker.Damaged();
  std::sort(byKey_.begin(), byKey_.end());

  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.span.start < b.span.start; });
  spanStarts_.reserve(spans.size());
  prefixEnds_.reserve(spans.size());
  PrefixEnds ends;
  for (const Span& s : spans) {
    spanStarts_.push_back(s.span.start);
    if (prefixEnds_.empty() || s.span.end > ends.largest) {
      if (!prefixEnds_.empty() && s.header != ends.header)
        ends.largestOfOthers = ends.largest;
      ends.largest = s.span.end;
      ends.header = s.header;
    } else {
      ends.largestOfOthers = std::max(ends.largestOfOthers, s.span.end);
    }
    prefixEnds_.push_back(ends);
  }
}

std::optional<IndexedEntry> DirectoryIndex::Find(InputFile& file, std::string_view key) const {
  const uint64_t hash = KeyHash(key);
  auto it = std::lower_bound(byKey_.begin(), byKey_.end(), std::make_pair(hash, uint32_t{0}));
  for (; it != byKey_.end() && it->first == hash; ++it) {
    const uint64_t at = headerOffsets_[it->second];
    DirectoryLocation one;
    one.offset = at;
    one.size = directoryEnd_ - at;
    one.shift = where_.shift;
    DirectoryWalker walker(file, one, kOneHeader);
    const CentralEntry* e = walker.Next();
    if (!e)
      return std::nullopt;
    std::string name = IsAscii(e->rawName) ? std::string(e->rawName) : EntryName(*e);
    if (MatchKey(name) != key)
      continue;
    IndexedEntry found;
    found.name = std::move(name);
    found.header = e->header;
    found.extent = e->extent;
    found.headerIndex = it->second;
    return found;
  }
  return std::nullopt;
}

bool DirectoryIndex::OverlapsAnother(size_t headerIndex, uint64_t from, uint64_t to) const {
  // The spans that start before `to`; one of them reaches past `from` when
  // the largest end among them does, leaving out the entry's own span.
  const auto count = static_cast<size_t>(
      std::lower_bound(spanStarts_.begin(), spanStarts_.end(), to) - spanStarts_.begin());
  if (count == 0)
    return false;
  const PrefixEnds& ends = prefixEnds_[count - 1];
  const uint64_t largest = ends.header == headerIndex ? ends.largestOfOthers : ends.largest;
  return largest > from;
}

bool IndexCache::Identity::operator==(const Identity& o) const {
  return path == o.path && size == o.size && lastWrite == o.lastWrite &&
         where.offset == o.where.offset && where.size == o.where.size &&
         where.shift == o.where.shift && where.record == o.where.record &&
         oemCodePage == o.oemCodePage;
}

IndexCache::Lease IndexCache::Get(const std::string& path, InputFile& file,
                                  const DirectoryLocation& where) {
  Lease lease;
  lease.lock_ = std::unique_lock<std::mutex>(mutex_, std::try_to_lock);
  if (!lease.lock_.owns_lock()) {
    lease.own_ = std::make_unique<DirectoryIndex>(file, where);
    lease.index_ = lease.own_.get();
    return lease;
  }
  Identity now{path, file.Size(), file.LastWriteTime(), where, OemCodePage()};
  if (!index_ || !(now == identity_)) {
    // The old index goes first, so that two are never held at once.
    index_.reset();
    index_ = std::make_unique<DirectoryIndex>(file, where);
    identity_ = std::move(now);
  }
  lease.index_ = index_.get();
  return lease;
}

IndexCache& IndexCache::Shared() {
  static IndexCache cache;
  return cache;
}

}  // namespace unpack
