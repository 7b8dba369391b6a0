#pragma once

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Libraries.h"
#include "platform/Processes.h"
#include "platform/ProfileStrings.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace platform {

/// The services the program uses, gathered so that logic receives one object.
/// Each member lives as long as the Platform.
struct Platform {
  Registry& registry;
  ProfileStrings& profile;
  Files& files;
  Dialogs& dialogs;
  Libraries& libraries;
  System& system;
  Shell& shell;
  Processes& processes;
};

}  // namespace platform
