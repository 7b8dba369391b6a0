#pragma once

// The Windows headers for code that also sees the platform interfaces. They
// name methods CreateDirectory, CopyFile, MessageBox and so on, which the
// headers would otherwise turn into their A/W macros; W functions are called
// by their full names instead.
#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetDriveType
#undef MessageBox
#undef RemoveDirectory
#undef SetCurrentDirectory
