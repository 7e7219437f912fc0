#include "config/proxy_choice.h"

#include "system/platform/text.h"

namespace velandra::config {

namespace {
constexpr uint32_t kProxyNameSize = 256;
constexpr char kKeyProxyName[] = "ProxyName";
constexpr char kKeyDisableProxy[] = "DisableProxy";
}  // namespace

void ProxyChoice::ReadFromConfig(const ConfigFile& file, std::string_view section) {
  if (!Installed) return;
  // The profile cuts a long value by bytes; a cut inside a two-byte
  // character would leave a lone lead byte that swallows the next byte of
  // any command line the name goes into.
  const std::string name = platform::Cp932Cut(
      file.ReadString(section, kKeyProxyName, kNoDataPlace, kProxyNameSize), kProxyNameSize - 1);
  if (name == kNoDataPlace) {
    SelectDefault();
    return;
  }
  ProxyName = name;
  DisableProxy = file.ReadString(section, kKeyDisableProxy, kNoDataPlace, kProxyNameSize) == "TRUE";
}

void ProxyChoice::SelectDefault() {
  if (!Installed) return;
  ProxyName.clear();
  if (Selected >= 1 && static_cast<size_t>(Selected) <= ProxyNames.size())
    ProxyName = ProxyNames[Selected - 1];
  if (ProxyName.empty() && !ProxyNames.empty()) ProxyName = ProxyNames.back();
  DisableProxy = false;
}

bool ProxyChoice::WriteToConfig(const ConfigFile& file, std::string_view section) const {
  if (!Installed) return true;
  const bool name = file.WriteString(section, kKeyProxyName, ProxyName);
  const bool disable = file.WriteBool(section, kKeyDisableProxy, DisableProxy);
  return name && disable;
}

std::string ProxyChoice::CompanionProgram() const { return InstallDir + "BRISCO.EXE"; }

std::string ProxyChoice::CompanionEntry() const {
  return ProxyName == kNoProxyEntry ? kNoProxyArgument : ProxyName;
}

bool operator==(const ProxyChoice& a, const ProxyChoice& b) {
  return a.Installed == b.Installed && a.InstallDir == b.InstallDir && a.Version == b.Version &&
         a.ProxyName == b.ProxyName && a.ProxyNames == b.ProxyNames &&
         a.Selected == b.Selected && a.DisableProxy == b.DisableProxy;
}

}  // namespace velandra::config
