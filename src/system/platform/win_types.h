// Windows result codes, value types and access masks, spelled out so that
// code outside the Win32 backend can use them without <windows.h>.
#pragma once
#include <cstdint>

namespace velandra::platform {

// Win32 error codes as the calls of the platform layer return them.
enum : long {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorInvalidData = 13,
  kErrorWriteFault = 29,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorMoreData = 234,
  kErrorNoMoreItems = 259,
  kErrorBadPathname = 161,
  kErrorAlreadyExists = 183,
  kErrorKeyDeleted = 1018,
  kErrorCallNotImplemented = 120,
  kErrorBadNetPath = 53,
  kErrorBadNetName = 67,
  kErrorAlreadyAssigned = 85,
  kErrorBadDevice = 1200,
  kErrorNoNetwork = 1222,
  kErrorNotConnected = 2250,
  kErrorInsufficientBuffer = 122,
  kErrorInvalidPrinterName = 1801,
  kErrorShutdownInProgress = 1115,
  kErrorNoSuchPrivilege = 1313,
  kErrorPrivilegeNotHeld = 1314,
  kErrorLogonFailure = 1326,
  kErrorAccountDisabled = 1331,
};

// Registry value types.
enum : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Registry access rights (the subset the system asks for).
enum : uint32_t {
  kKeyQueryValue = 0x0001,
  kKeySetValue = 0x0002,
  kKeyCreateSubKey = 0x0004,
  kKeyEnumerateSubKeys = 0x0008,
  kKeyRead = 0x20019,
  kKeyWrite = 0x20006,
  kKeyAllAccess = 0xF003F,
};

// Drive types of GetDriveTypeA.
enum : uint32_t {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdrom = 5,
  kDriveRamdisk = 6,
};

// Access masks granted on files.
enum : uint32_t {
  kGenericAll = 0x10000000,
  kGenericRead = 0x80000000,
  kGenericWrite = 0x40000000,
  kDelete = 0x00010000,
};

}  // namespace velandra::platform
