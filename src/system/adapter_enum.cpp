#include "system/adapter_enum.h"

#include <cstdint>
#include <memory>
#include <string>

#include "config/adapter_list.h"
#include "system/platform/registry.h"

namespace velandra {

namespace {

using platform::Hive;
using platform::RegKey;

constexpr uint32_t kKeyNameSize = 128;
constexpr uint32_t kClassSize = 64;
constexpr uint32_t kStringSize = 256;

constexpr char kOpenFailed[] = " のopenでエラーが発生しました";
constexpr char kReadFailed[] = " のデータ取得でエラーが発生しました";

void ReportFatal(Context& context, const std::string& text) {
  Warn(context, text);
  context.PostQuit(1);
}

// Calls `visit` with the name of each subkey, in the registry's order. A
// name too long for the buffer is passed over; any other failure ends the
// enumeration, so that a key that went away cannot loop for ever.
template <typename Visit>
void ForEachSubkey(RegKey& key, Visit visit) {
  for (uint32_t index = 0;; ++index) {
    std::string name;
    const long rc = key.EnumKey(index, kKeyNameSize, name);
    if (rc == platform::kErrorMoreData) continue;
    if (rc != platform::kErrorSuccess) return;
    visit(name);
  }
}

// A string the walk needs: on failure the message, the quit request, and "".
std::string ReadRequired(Context& context, RegKey& key, const std::string& keyPath,
                         const char* valueName) {
  std::string value;
  if (key.QueryString(valueName, kStringSize, value) != platform::kErrorSuccess) {
    ReportFatal(context,
                "レジストリ " + keyPath + "\\" + valueName + kReadFailed);
    return {};
  }
  return value;
}

void VisitDevice(Context& context, const std::string& classKeyName,
                 const std::string& devicePath, AdapterList& adapters) {
  platform::IRegistry& registry = context.Platform().registry;
  RegKey device;
  if (device.Open(registry, Hive::LocalMachine, devicePath, platform::kKeyQueryValue) !=
      platform::kErrorSuccess)
    return;
  std::string guid;
  // An empty identifier would name the parent keys of the binding and the
  // connection: such a device has no interface either.
  if (device.QueryString("NetCfgInstanceId", kStringSize, guid) != platform::kErrorSuccess ||
      guid.empty())
    return;
  RegKey binding;
  if (binding.Open(registry, Hive::LocalMachine, kTcpipAdaptersPath + guid,
                   platform::kKeyEnumerateSubKeys) != platform::kErrorSuccess)
    return;
  const std::string description = ReadRequired(context, device, devicePath, "DriverDesc");

  const std::string connectionPath =
      kNetworkPath + classKeyName + "\\" + guid + "\\Connection";
  RegKey connection;
  if (connection.Open(registry, Hive::LocalMachine, connectionPath,
                      platform::kKeyQueryValue) != platform::kErrorSuccess)
    return;
  const std::string pnpInstanceId =
      ReadRequired(context, connection, connectionPath, "PnpInstanceID");
  const std::string name = ReadRequired(context, connection, connectionPath, "Name");

  RegKey presence;
  if (presence.Open(registry, Hive::LocalMachine, kEnumPath + pnpInstanceId + "\\Control",
                    platform::kKeyQueryValue) != platform::kErrorSuccess)
    return;

  auto adapter = std::make_unique<AdapterInfo>();
  adapter->Number = config::AdapterNumber(context.Config(), adapters, description, name);
  adapter->DriverDesc = description;
  adapter->NetCfgInstanceId = guid;
  adapter->ConnectionName = name;
  adapters.push_back(std::move(adapter));
}

}  // namespace

void EnumerateAdapters(Context& context, AdapterList& adapters) {
  platform::IRegistry& registry = context.Platform().registry;
  RegKey root;
  if (root.Open(registry, Hive::LocalMachine, kClassRootPath,
                platform::kKeyEnumerateSubKeys) != platform::kErrorSuccess) {
    ReportFatal(context, std::string("レジストリ ") + kClassRootPath + kOpenFailed);
    return;
  }
  ForEachSubkey(root, [&](const std::string& classKeyName) {
    const std::string classPath = std::string(kClassRootPath) + "\\" + classKeyName;
    RegKey classKey;
    if (classKey.Open(registry, Hive::LocalMachine, classPath, platform::kKeyRead) !=
        platform::kErrorSuccess) {
      ReportFatal(context, "レジストリ " + classPath + kOpenFailed);
      return;
    }
    std::string className;
    if (classKey.QueryString("Class", kClassSize, className) != platform::kErrorSuccess)
      className.clear();
    if (className != "Net") return;
    ForEachSubkey(classKey, [&](const std::string& deviceKeyName) {
      VisitDevice(context, classKeyName, classPath + "\\" + deviceKeyName, adapters);
    });
  });
}

}  // namespace velandra
