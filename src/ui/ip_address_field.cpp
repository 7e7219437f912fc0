#include "ui/ip_address_field.h"

namespace velandra::ui {

IpFields IpFieldsFromText(std::string_view text) {
  IpFields fields;
  IpFields parsed;
  size_t index = 0;
  size_t start = 0;
  while (true) {
    const size_t dot = text.find('.', start);
    const std::string_view part =
        text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (index == 4 || part.size() > 3) return fields;
    unsigned value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return fields;
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 255) return fields;
    if (!part.empty()) parsed[index] = static_cast<uint8_t>(value);
    ++index;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return index == 4 ? parsed : fields;
}

std::optional<std::string> IpTextFromFields(const IpFields& fields) {
  std::string text;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i]) return std::nullopt;
    if (i) text += '.';
    text += std::to_string(*fields[i]);
  }
  return text;
}

}  // namespace velandra::ui
