#include "system/platform/registry.h"

#include <cstring>

namespace velandra::platform {

namespace {
struct HiveEntry {
  Hive hive;
  std::string_view name;
};
constexpr HiveEntry kHives[] = {
    {Hive::LocalMachine, "HKEY_LOCAL_MACHINE"},
    {Hive::CurrentUser, "HKEY_CURRENT_USER"},
    {Hive::Users, "HKEY_USERS"},
    {Hive::ClassesRoot, "HKEY_CLASSES_ROOT"},
};
}  // namespace

std::string_view HiveName(Hive hive) {
  for (const auto& e : kHives)
    if (e.hive == hive) return e.name;
  return {};
}

bool ParseHiveName(std::string_view name, Hive& hive) {
  for (const auto& e : kHives) {
    if (e.name.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      char a = name[i], b = e.name[i];
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
      same = a == b;
    }
    if (same) {
      hive = e.hive;
      return true;
    }
  }
  return false;
}

long RegKey::Open(IRegistry& registry, Hive hive, std::string_view path,
                  uint32_t access) {
  std::unique_ptr<IRegistryKey> opened;
  long rc = registry.OpenKey(hive, path, access, opened);
  if (rc == kErrorSuccess) key_ = std::move(opened);
  return rc;
}

long RegKey::Create(IRegistry& registry, Hive hive, std::string_view path,
                    uint32_t access) {
  std::unique_ptr<IRegistryKey> opened;
  long rc = registry.CreateKey(hive, path, access, opened);
  if (rc == kErrorSuccess) key_ = std::move(opened);
  return rc;
}

long RegKey::EnumKey(uint32_t index, uint32_t size, std::string& name) {
  if (!key_) return kErrorInvalidHandle;
  return key_->EnumKey(index, size, name);
}

long RegKey::QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                        std::string& data) {
  if (!key_) return kErrorInvalidHandle;
  return key_->QueryValue(name, size, type, data);
}

long RegKey::QueryDword(std::string_view name, uint32_t& value) {
  uint32_t type = 0;
  std::string data;
  long rc = QueryValue(name, 4, type, data);
  if (rc != kErrorSuccess) return rc;
  if (data.size() != 4) return kErrorInvalidData;
  uint32_t v = 0;
  std::memcpy(&v, data.data(), 4);  // little-endian, as Windows stores it
  value = v;
  return kErrorSuccess;
}

long RegKey::QueryString(std::string_view name, uint32_t size,
                         std::string& value) {
  uint32_t type = 0;
  std::string data;
  long rc = QueryValue(name, size, type, data);
  if (rc != kErrorSuccess) return rc;
  size_t end = data.find('\0');
  value = data.substr(0, end);
  return kErrorSuccess;
}

long RegKey::QueryMultiString(std::string_view name, uint32_t size,
                              std::vector<std::string>& items) {
  uint32_t type = 0;
  std::string data;
  long rc = QueryValue(name, size, type, data);
  if (rc != kErrorSuccess) return rc;
  items = DecodeMultiString(data);
  return kErrorSuccess;
}

long RegKey::SetDword(std::string_view name, uint32_t value) {
  char bytes[4];
  std::memcpy(bytes, &value, 4);
  return SetValue(name, kRegDword, std::string_view(bytes, 4));
}

long RegKey::SetString(std::string_view name, std::string_view value) {
  std::string data(value);
  data.push_back('\0');
  return SetValue(name, kRegSz, data);
}

long RegKey::SetMultiString(std::string_view name,
                            const std::vector<std::string>& items) {
  return SetValue(name, kRegMultiSz, EncodeMultiString(items));
}

long RegKey::SetValue(std::string_view name, uint32_t type,
                      std::string_view data) {
  if (!key_) return kErrorInvalidHandle;
  return key_->SetValue(name, type, data);
}

long RegKey::DeleteValue(std::string_view name) {
  if (!key_) return kErrorInvalidHandle;
  return key_->DeleteValue(name);
}

std::string EncodeMultiString(const std::vector<std::string>& items) {
  std::string data;
  for (const auto& item : items) {
    data += item;
    data.push_back('\0');
  }
  data.push_back('\0');
  return data;
}

std::vector<std::string> DecodeMultiString(std::string_view data) {
  std::vector<std::string> items;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find('\0', pos);
    if (end == std::string_view::npos) end = data.size();
    if (end == pos) break;  // the empty item ends the list
    items.emplace_back(data.substr(pos, end - pos));
    pos = end + 1;
  }
  return items;
}

}  // namespace velandra::platform
