#include "archive/ZipUnpacker.h"

// The callback through which the unzip library reports and asks while
// UnpackExec runs.

#include <algorithm>
#include <cstring>

#include "archive/MessageNumbers.h"
#include "unpack/UnpackApi.h"

namespace archive {

namespace {

constexpr size_t kMaxLibraryPassword = 80;
constexpr size_t kMaxRenamed = 512;
constexpr size_t kMaxComment = 511;

std::string RecordText(const unpack::CallbackRecord& record) {
  std::string text(record.text, strnlen(record.text, sizeof record.text));
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

void WriteRecordText(unpack::CallbackRecord& record, const std::string& text, size_t limit) {
  size_t n = std::min({text.size(), limit, sizeof record.text - 1});
  std::memcpy(record.text, text.data(), n);
  record.text[n] = '\0';
}

}  // namespace

int32_t UNPACK_CALL TZipUnpacker::CallbackThunk(unpack::CallbackRecord* record) {
  if (!record || !record->caller)
    return 0;
  auto* self = static_cast<TZipUnpacker*>(record->caller);
  // Nothing may unwind through the library: a failing handler stops the
  // extraction and is reported once the library has returned.
  try {
    return self->HandleCallback(*record);
  } catch (...) {
    if (!self->callbackFailure_)
      self->callbackFailure_ = std::current_exception();
    return -1;
  }
}

int TZipUnpacker::HandleCallback(unpack::CallbackRecord& record) {
  const std::string text = RecordText(record);
  const auto size = static_cast<int64_t>(record.size);
  switch (record.action) {
    case unpack::kActionNewEntry:
      if (OnProgress)
        OnProgress(ProgressKind::NewEntry, size, text);
      break;
    case unpack::kActionProgress:
      if (OnProgress)
        OnProgress(ProgressKind::Step, size, text);
      break;
    case unpack::kActionEndOfBatch:
      if (OnProgress)
        OnProgress(ProgressKind::EndOfBatch, size, text);
      break;
    case unpack::kActionMessage:
      lastErrorText_ = text;
      if (record.number != 0)
        lastErrorNumber_ = record.number;
      if (OnMessage)
        OnMessage(record.number, text);
      break;
    case unpack::kActionEntryDone:
      if (OnProgress)
        OnProgress(ProgressKind::EntryDone, size, text);
      break;
    case unpack::kActionTotalSize:
      totalSize_ = size;
      if (OnProgress)
        OnProgress(ProgressKind::TotalSize, size, text);
      break;
    case unpack::kActionRename: {
      std::string name = text;
      if (OnRenameEntry)
        OnRenameEntry(name);
      if (name != text) {
        WriteRecordText(record, name, kMaxRenamed);
        record.number = 1;
      } else {
        record.number = 0;
      }
      break;
    }
    case unpack::kActionPassword:
      AskPassword(record, text);
      break;
    case unpack::kActionCrcError:
      record.number = OnCrcError ? OnCrcError(text) : 2;
      break;
    case unpack::kActionOverwrite:
      if (OnExtractOverwrite)
        record.number = OnExtractOverwrite(text) ? 1 : 0;
      break;
    case unpack::kActionSkipped:
      lastErrorNumber_ = record.number;
      if (OnExtractSkipped)
        OnExtractSkipped(text, record.number);
      break;
    case unpack::kActionEntryComment: {
      std::string comment = text;
      if (OnEntryComment)
        OnEntryComment(comment);
      if (comment != text)
        WriteRecordText(record, comment, kMaxComment);
      break;
    }
    default:
      break;
  }
  // The library stops at this answer; the file it was writing goes.
  return StopRequested() ? -1 : 0;
}

void TZipUnpacker::AskPassword(unpack::CallbackRecord& record, const std::string& name) {
  const bool confirm = (record.number & 1) != 0;
  int repeat = static_cast<int>(record.size);
  std::string password;
  if (OnPasswordError) {
    OnPasswordError(name, confirm, password, repeat);
  } else if (unattended_) {
    ShowError(confirm ? kPasswordConfirmUnattended : kPasswordUnattended);
  } else if (passwordPrompt_) {
    // Without message texts the caption (10154) is the fallback text without
    // a number, and both prompts (10155, 10156) are empty.
    const std::string caption(kFallbackText);
    password = passwordPrompt_->Ask(caption, "");
    if (confirm && !password.empty()) {
      std::string again = passwordPrompt_->Ask(caption, "");
      if (again != password) {
        ShowError(kPasswordMismatch);
        password.clear();
      }
    }
  }
  if (!password.empty()) {
    WriteRecordText(record, password, kMaxLibraryPassword);
    record.number = 1;
  } else {
    record.number = 0;
    repeat = 0;
  }
  record.size = std::clamp(repeat, 0, static_cast<int>(kMaxPasswordTries));
}

}  // namespace archive
