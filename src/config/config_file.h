// Velandra.ini: the one configuration file, reached only through the four
// private-profile operations with one fixed path, and the stored forms of
// values that several records share.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/platform/profile.h"

namespace velandra::config {

// Sentinels passed as the reading default; a stored value equal to its
// section's sentinel counts as missing too.
inline constexpr char kNoDataPlace[] = "NO DATA";      // P<n>, P<n>A<m>
inline constexpr char kNoDataAdapterList[] = "no_data"; // C<m> of ADAPTERLIST
inline constexpr char kNoDataDelay[] = "NO_DATA";       // DelayAction
inline constexpr uint32_t kSectionBufferSize = 32767;

enum class BoolRule { TrueOnly, FalseOnly };  // "TRUE" is true / only "FALSE" is false

struct NumberedEntry {
  uint32_t Number;
  std::string Key;
  std::string Value;
};

class ConfigFile {
 public:
  ConfigFile(platform::IProfile& profile, std::string path);
  const std::string& Path() const { return path_; }
  platform::IProfile& Profile() const { return profile_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def, uint32_t size) const;
  int ReadInt(std::string_view section, std::string_view key, int def) const;
  // Reads with the rule's default ("FALSE" for TrueOnly, "TRUE" for
  // FalseOnly) into `size` bytes; compared exactly, with case.
  bool ReadBool(std::string_view section, std::string_view key, BoolRule rule,
                uint32_t size) const;
  // Only "TRUE"/"FALSE" accepted: nullopt when missing or anything else.
  std::optional<bool> ReadStrictBool(std::string_view section, std::string_view key,
                                     uint32_t size) const;
  // A numbered list section (PLACELIST, ADAPTERLIST), read whole: the number
  // from the digits of each key, the value after the first '='.
  std::vector<NumberedEntry> ReadNumberedList(std::string_view section) const;

  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value) const;
  bool WriteInt(std::string_view section, std::string_view key, int value) const;
  bool WriteBool(std::string_view section, std::string_view key, bool value) const;
  bool DeleteKey(std::string_view section, std::string_view key) const;
  bool DeleteSection(std::string_view section) const;

 private:
  platform::IProfile& profile_;
  std::string path_;
};

// The number of a numbered-list key: its non-digits read as spaces, then the
// decimal number at the start ("P12" 12, "C3" 3, "A1B2" 1, no digits 0).
uint32_t NumberOfListKey(std::string_view key);

// Appends the comma-separated items of `text`, empty ones included; an empty
// text adds nothing.
void SplitCommaList(std::string_view text, std::vector<std::string>& list);
// The items joined by single commas; an empty list gives an empty text.
std::string JoinCommaList(const std::vector<std::string>& list);

// The stored form of a password: each byte's inverse as three decimal digits.
// Empty when the result would not be shorter than `capacity` (a password of
// 86 or more bytes for 256).
std::string EncodeStoredPassword(std::string_view password, size_t capacity = 256);
// Back from the stored form, three characters a byte; a trailing group of
// fewer than three is ignored. At most capacity - 1 bytes.
std::string DecodeStoredPassword(std::string_view text, size_t capacity = 256);

}  // namespace velandra::config
