// Dotted-decimal text and the four fields of an IP address control.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velandra::ui {

// The four fields of an IP address control, left to right; an empty
// optional is a blank field.
using IpFields = std::array<std::optional<uint8_t>, 4>;

// Text to fields: split at the dots into exactly four parts of at most three
// digits. Text with another number of parts leaves every field blank; so
// does a part above 255, which the control cannot hold (it would show
// another address). An empty part is a blank field.
IpFields IpFieldsFromText(std::string_view text);

// Fields to text: only when all four are filled, joined by dots, each in
// decimal without leading zeros.
std::optional<std::string> IpTextFromFields(const IpFields& fields);

inline bool IpFieldsComplete(const IpFields& fields) {
  return IpTextFromFields(fields).has_value();
}

}  // namespace velandra::ui
