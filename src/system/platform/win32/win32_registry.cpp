#include "system/platform/win32/win32_registry.h"

#include <string>
#include <vector>

#include "system/platform/win_types.h"

namespace velandra::platform::win32 {

namespace {

HKEY RootOf(Hive hive) {
  switch (hive) {
    case Hive::LocalMachine: return HKEY_LOCAL_MACHINE;
    case Hive::CurrentUser: return HKEY_CURRENT_USER;
    case Hive::Users: return HKEY_USERS;
    case Hive::ClassesRoot: return HKEY_CLASSES_ROOT;
  }
  return nullptr;
}

// The ANSI calls take C strings: a NUL inside would silently cut the name.
bool ToCString(std::string_view text, std::string& out) {
  if (text.find('\0') != std::string_view::npos) return false;
  out.assign(text);
  return true;
}

class Win32Key final : public IRegistryKey {
 public:
  explicit Win32Key(UniqueHkey key) : key_(std::move(key)) {}

  long EnumKey(uint32_t index, uint32_t size, std::string& name) override {
    std::vector<char> buffer(size > 0 ? size : 1);
    DWORD length = size;
    long rc = RegEnumKeyExA(key_.Get(), index, buffer.data(), &length, nullptr,
                            nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name.assign(buffer.data(), length);
    return rc;
  }

  long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                  std::string& data) override {
    std::string cname;
    if (!ToCString(name, cname)) return kErrorInvalidParameter;
    // Never a null buffer: with one, the call reports the size instead of
    // ERROR_MORE_DATA.
    std::vector<BYTE> buffer(size > 0 ? size : 1);
    DWORD valueType = 0;
    DWORD length = size;
    long rc = RegQueryValueExA(key_.Get(), cname.c_str(), nullptr, &valueType,
                               buffer.data(), &length);
    if (rc == ERROR_SUCCESS) {
      type = valueType;
      data.assign(reinterpret_cast<const char*>(buffer.data()), length);
    } else if (rc == ERROR_MORE_DATA) {
      type = valueType;
    }
    return rc;
  }

  long SetValue(std::string_view name, uint32_t type, std::string_view data) override {
    std::string cname;
    if (!ToCString(name, cname)) return kErrorInvalidParameter;
    // For string types Windows adds a terminating zero the count left out
    // when the byte after the data happens to be zero; a non-zero guard byte
    // keeps the bytes exactly as given.
    std::vector<BYTE> buffer(data.begin(), data.end());
    buffer.push_back(0xFF);
    return RegSetValueExA(key_.Get(), cname.c_str(), 0, type, buffer.data(),
                          static_cast<DWORD>(data.size()));
  }

  long DeleteValue(std::string_view name) override {
    std::string cname;
    if (!ToCString(name, cname)) return kErrorInvalidParameter;
    return RegDeleteValueA(key_.Get(), cname.c_str());
  }

 private:
  UniqueHkey key_;
};

}  // namespace

long Win32Registry::OpenKey(Hive hive, std::string_view path, uint32_t access,
                            std::unique_ptr<IRegistryKey>& key) {
  std::string cpath;
  if (!ToCString(path, cpath)) return kErrorInvalidParameter;
  HKEY opened = nullptr;
  long rc = RegOpenKeyExA(RootOf(hive), cpath.c_str(), 0, access, &opened);
  if (rc != ERROR_SUCCESS) return rc;
  key = std::make_unique<Win32Key>(UniqueHkey(opened));
  return kErrorSuccess;
}

long Win32Registry::CreateKey(Hive hive, std::string_view path, uint32_t access,
                              std::unique_ptr<IRegistryKey>& key) {
  std::string cpath;
  if (!ToCString(path, cpath)) return kErrorInvalidParameter;
  HKEY opened = nullptr;
  DWORD disposition = 0;
  long rc = RegCreateKeyExA(RootOf(hive), cpath.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, access, nullptr, &opened,
                            &disposition);
  if (rc != ERROR_SUCCESS) return rc;
  key = std::make_unique<Win32Key>(UniqueHkey(opened));
  return kErrorSuccess;
}

long Win32Registry::DeleteKey(Hive hive, std::string_view path) {
  std::string cpath;
  if (!ToCString(path, cpath)) return kErrorInvalidParameter;
  return RegDeleteKeyA(RootOf(hive), cpath.c_str());
}

}  // namespace velandra::platform::win32
