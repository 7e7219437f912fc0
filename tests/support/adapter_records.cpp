#include "support/adapter_records.h"

namespace velandra::testing {

std::string Dump(const config::AdapterSettings& s) {
  auto list = [](const std::vector<std::string>& l) {
    std::string out = "[";
    for (size_t i = 0; i < l.size(); ++i) out += (i ? "|" : "") + l[i];
    return out + "]";
  };
  auto b = [](bool v) { return v ? "T" : "F"; };
  return std::string("DHCP=") + b(s.EnableDHCP) + " IP=" + list(s.IPAddress) +
         " MASK=" + list(s.SubnetMask) + " GW=" + list(s.Gateway) + " MET=" + list(s.Metric) +
         " IFM=" + std::to_string(s.InterfaceMetric) + " AUTODNS=" + b(s.EnableDNS) +
         " DNS=" + list(s.DNS_Server) + " SUF=" + s.DOMAIN_Suffix + " UPD=" + b(s.DOMAIN_Update) +
         " REG=" + b(s.DOMAIN_Registration) + " WINS=" + list(s.WINS) +
         " NB=" + std::to_string(s.NetBIOS);
}

config::AdapterGroupFlags SameExcept(const std::vector<config::AdapterGroup>& differing) {
  config::AdapterGroupFlags same;
  same.fill(true);
  for (config::AdapterGroup g : differing) same[g] = false;
  return same;
}

}  // namespace velandra::testing
