// The four private-profile operations of kernel32, with their Windows
// semantics. All text is CP932 bytes, passed through unchanged.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace velandra::platform {

class IProfile {
 public:
  virtual ~IProfile() = default;

  // GetPrivateProfileStringA with a buffer of `size` bytes: the value (one
  // enclosing pair of double or single quotes removed), or `def` when the
  // file, section or key is missing; cut to size - 1 bytes.
  virtual std::string GetString(std::string_view section, std::string_view key,
                                std::string_view def, uint32_t size,
                                const std::string& path) = 0;

  // GetPrivateProfileIntA: the value's leading decimal digits (an optional
  // leading minus sign as Windows accepts it), `def` when the key is missing.
  virtual int GetInt(std::string_view section, std::string_view key, int def,
                     const std::string& path) = 0;

  // GetPrivateProfileSectionA with a buffer of `size` bytes: every entry as
  // "key=value", each ended by a zero byte, the whole ended by one more zero
  // byte. A missing or empty section gives a single zero byte.
  virtual std::string GetSection(std::string_view section, uint32_t size,
                                 const std::string& path) = 0;

  // WritePrivateProfileStringA(section, key, value): creates file and section
  // as needed. Returns the Windows result (true on success).
  virtual bool WriteString(std::string_view section, std::string_view key,
                           std::string_view value, const std::string& path) = 0;
  // WritePrivateProfileStringA(section, key, NULL).
  virtual bool DeleteKey(std::string_view section, std::string_view key,
                         const std::string& path) = 0;
  // WritePrivateProfileStringA(section, NULL, NULL).
  virtual bool DeleteSection(std::string_view section,
                             const std::string& path) = 0;

  // Many calls in a row (load all, save all): a backend may keep the writes
  // and write the file once at EndBatch, and may read the file once: reads
  // then see it as it was at the batch's first access to it, with the
  // batch's own writes, and a change made by another process meanwhile is
  // seen (and written under the batch's writes) at EndBatch. Nesting is
  // allowed.
  // EndBatch is false when the held writes could not be written (they are
  // then lost, and the caller must say so).
  virtual void BeginBatch() {}
  virtual bool EndBatch() { return true; }
};

// Keeps a profile in batch mode for one scope.
class ProfileBatch {
 public:
  explicit ProfileBatch(IProfile& profile) : profile_(profile) { profile_.BeginBatch(); }
  ~ProfileBatch() {
    if (open_) profile_.EndBatch();
  }
  // Ends the batch now; false when its writes could not be written.
  bool End() {
    if (!open_) return true;
    open_ = false;
    return profile_.EndBatch();
  }
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

 private:
  IProfile& profile_;
  bool open_ = true;
};

}  // namespace velandra::platform
