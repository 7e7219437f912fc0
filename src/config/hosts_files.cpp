#include "config/hosts_files.h"

namespace velandra::config {

namespace {

std::string SectionOf(uint32_t placeNumber) { return "P" + std::to_string(placeNumber); }

bool ReadPath(const ConfigFile& config, const std::string& section, const char* key,
              std::string& path) {
  std::string v = config.ReadString(section, key, kNoDataPlace,
                                    static_cast<uint32_t>(kMaxHostsPath + 1));
  if (v == kNoDataPlace) return false;
  path = v;
  return true;
}

bool WritePath(const ConfigFile& config, const std::string& section, const char* key,
               const std::string& path) {
  if (path.size() > kMaxHostsPath) return false;
  return config.WriteString(section, key, path);
}

}  // namespace

bool ReadHostsFiles(const ConfigFile& config, uint32_t placeNumber, HostsFiles& files) {
  const std::string section = SectionOf(placeNumber);
  const bool hosts = ReadPath(config, section, "HOSTS", files.HOSTS);
  const bool lmhosts = ReadPath(config, section, "LMHOSTS", files.LMHOSTS);
  return hosts && lmhosts;
}

bool WriteHostsFiles(const ConfigFile& config, uint32_t placeNumber,
                     const HostsFiles& files) {
  const std::string section = SectionOf(placeNumber);
  const bool hosts = WritePath(config, section, "HOSTS", files.HOSTS);
  const bool lmhosts = WritePath(config, section, "LMHOSTS", files.LMHOSTS);
  return hosts && lmhosts;
}

}  // namespace velandra::config
