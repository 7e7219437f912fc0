// <windows.h> as every file of ours includes it. The platform interfaces
// have methods named like some of its macros; with the macros in force those
// names would change in one translation unit (or in one part of a combined
// one) and not in another. Our Win32 code calls the A functions by their
// full names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef GetVersionEx
#undef GetComputerName
#undef SetComputerName
#undef GetUserName
#undef GetDriveType
#undef CopyFile
#undef DeleteFile
