#pragma once

#include "core/SetupState.h"
#include "core/Ui.h"

namespace wizard {

/// Where the forward button of `page` leads: the next page in the order
/// 1, 2, 3, 4, 6, 5, 7 without the licence and information pages whose flags
/// are off, and from page 7 the installation form.
core::WindowId ForwardTarget(core::WindowId page, const core::SetupState& state);

/// Where the back button of `page` leads; every page has its own fixed rule.
core::WindowId BackTarget(core::WindowId page, const core::SetupState& state);

}  // namespace wizard
