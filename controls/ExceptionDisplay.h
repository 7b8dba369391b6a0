#pragma once

#include <exception>

namespace controls {

/// The application's display of an exception that no handler took: a
/// message box with the application title, the stop icon and the message.
void ShowException(const std::exception& error);

}  // namespace controls
