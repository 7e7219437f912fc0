// The registry of the running Windows, through advapi32's ANSI calls.
#pragma once
#include "system/platform/win32/win_api.h"

#include <memory>
#include <string_view>

#include "system/platform/registry.h"

namespace velandra::platform::win32 {

// Move-only owner of one HKEY; closing it is the destructor's job. The
// predefined root keys are never owned.
class UniqueHkey {
 public:
  UniqueHkey() = default;
  explicit UniqueHkey(HKEY key) : key_(key) {}
  UniqueHkey(UniqueHkey&& other) noexcept : key_(other.Release()) {}
  UniqueHkey& operator=(UniqueHkey&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;
  ~UniqueHkey() { Reset(); }

  HKEY Get() const { return key_; }
  HKEY Release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
  }
  void Reset(HKEY key = nullptr) {
    if (key_) RegCloseKey(key_);
    key_ = key;
  }

 private:
  HKEY key_ = nullptr;
};

class Win32Registry : public IRegistry {
 public:
  long OpenKey(Hive hive, std::string_view path, uint32_t access,
               std::unique_ptr<IRegistryKey>& key) override;
  long CreateKey(Hive hive, std::string_view path, uint32_t access,
                 std::unique_ptr<IRegistryKey>& key) override;
  long DeleteKey(Hive hive, std::string_view path) override;
};

}  // namespace velandra::platform::win32
