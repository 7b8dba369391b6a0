// Compiled, never run: a 32-bit build of the records must have the byte
// offsets that callers of the library rely on.
#include <cstddef>

#include "unpack/UnpackApi.h"

static_assert(sizeof(void*) == 4, "compile this check with a 32-bit compiler");

using unpack::CallbackRecord;
using unpack::LegacyParams;
using unpack::Params;
using unpack::ParamsHead;

static_assert(offsetof(ParamsHead, ownerWindow) == 0);
static_assert(offsetof(ParamsHead, caller) == 4);
static_assert(offsetof(ParamsHead, interfaceVersion) == 8);
static_assert(offsetof(ParamsHead, callback) == 12);
static_assert(offsetof(ParamsHead, trace) == 16);
static_assert(offsetof(ParamsHead, reserved20) == 20);
static_assert(offsetof(ParamsHead, password) == 24);
static_assert(offsetof(ParamsHead, test) == 28);
static_assert(offsetof(ParamsHead, reserved32) == 32);
static_assert(offsetof(ParamsHead, reserved36) == 36);
static_assert(offsetof(ParamsHead, minusOne40) == 40);
static_assert(offsetof(ParamsHead, verbose) == 44);
static_assert(offsetof(ParamsHead, update) == 48);
static_assert(offsetof(ParamsHead, freshen) == 52);
static_assert(offsetof(ParamsHead, folderNames) == 56);
static_assert(offsetof(ParamsHead, overwrite) == 60);
static_assert(offsetof(ParamsHead, entryCount) == 64);
static_assert(offsetof(ParamsHead, archivePath) == 68);
static_assert(sizeof(ParamsHead) == 72);

static_assert(offsetof(Params, entries) == 72);
static_assert(offsetof(Params, passwordTries) == 104);
static_assert(offsetof(Params, seven) == 144);
static_assert(sizeof(Params) == 148);
static_assert(sizeof(unpack::EntrySpec) == 72);

static_assert(offsetof(LegacyParams, seven) == 72);
static_assert(offsetof(LegacyParams, names) == 76);
static_assert(sizeof(LegacyParams) == 16464);

static_assert(offsetof(CallbackRecord, caller) == 4);
static_assert(offsetof(CallbackRecord, action) == 16);
static_assert(offsetof(CallbackRecord, number) == 20);
static_assert(offsetof(CallbackRecord, size) == 24);
static_assert(offsetof(CallbackRecord, text) == 28);
static_assert(sizeof(CallbackRecord) == 540);
