// The registry operations of advapi32 that the system uses: open (never
// creates), create, enumerate subkeys, query, set and delete values, close.
// Keys are move-only owners; destroying one closes it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "system/platform/win_types.h"

namespace velandra::platform {

enum class Hive { LocalMachine, CurrentUser, Users, ClassesRoot };

// Name as the registry and REGEDIT4 files spell it, e.g. "HKEY_LOCAL_MACHINE".
std::string_view HiveName(Hive hive);
// Accepts the long names; false when `name` is none of them.
bool ParseHiveName(std::string_view name, Hive& hive);

// One open key. Every call returns a Win32 error code.
class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;  // RegCloseKey

  // RegEnumKeyExA: name of subkey `index` in the registry's order (sorted,
  // case-insensitively); kErrorNoMoreItems past the end, kErrorMoreData when
  // the name needs `size` bytes or more (name then untouched).
  virtual long EnumKey(uint32_t index, uint32_t size, std::string& name) = 0;

  // RegQueryValueExA with a buffer of `size` bytes. On success `type` and
  // `data` (the stored bytes) are set. kErrorMoreData when the data needs
  // more than `size` bytes: `type` is set and `data` untouched.
  virtual long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                          std::string& data) = 0;

  // RegSetValueExA: stores `data` as given (the caller includes the zeros).
  virtual long SetValue(std::string_view name, uint32_t type,
                        std::string_view data) = 0;

  // RegDeleteValueA.
  virtual long DeleteValue(std::string_view name) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // RegOpenKeyExA: on failure `key` is left as it was.
  virtual long OpenKey(Hive hive, std::string_view path, uint32_t access,
                       std::unique_ptr<IRegistryKey>& key) = 0;
  // RegCreateKeyExA: opens, creating every missing key of the path.
  virtual long CreateKey(Hive hive, std::string_view path, uint32_t access,
                         std::unique_ptr<IRegistryKey>& key) = 0;
  // RegDeleteKeyA of a key without subkeys.
  virtual long DeleteKey(Hive hive, std::string_view path) = 0;
};

// Owner of one open key with the typed reads and writes the callers need.
// Open and Create leave the key as it was when they fail.
class RegKey {
 public:
  RegKey() = default;
  RegKey(RegKey&&) noexcept = default;
  RegKey& operator=(RegKey&&) noexcept = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  long Open(IRegistry& registry, Hive hive, std::string_view path,
            uint32_t access);
  long Create(IRegistry& registry, Hive hive, std::string_view path,
              uint32_t access);
  void Close() { key_.reset(); }
  bool IsOpen() const { return key_ != nullptr; }

  long EnumKey(uint32_t index, uint32_t size, std::string& name);
  // Raw query: type and bytes as stored.
  long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                  std::string& data);
  // A DWORD value; any type with exactly 4 bytes is taken, as Windows returns it.
  long QueryDword(std::string_view name, uint32_t& value);
  // A string value read into `size` bytes: the text up to its first zero
  // byte. A value stored with size 0 reads as "".
  long QueryString(std::string_view name, uint32_t size, std::string& value);
  // A REG_MULTI_SZ read into `size` bytes: items up to the first empty one.
  long QueryMultiString(std::string_view name, uint32_t size,
                        std::vector<std::string>& items);

  long SetDword(std::string_view name, uint32_t value);
  // REG_SZ: the text and its terminating zero.
  long SetString(std::string_view name, std::string_view value);
  // REG_MULTI_SZ: each item and its zero, then one more zero.
  long SetMultiString(std::string_view name, const std::vector<std::string>& items);
  long SetValue(std::string_view name, uint32_t type, std::string_view data);
  long DeleteValue(std::string_view name);

 private:
  std::unique_ptr<IRegistryKey> key_;
};

// The bytes of a REG_MULTI_SZ for `items`.
std::string EncodeMultiString(const std::vector<std::string>& items);
// Items of REG_MULTI_SZ bytes, stopping at the first empty item.
std::vector<std::string> DecodeMultiString(std::string_view data);

}  // namespace velandra::platform
