#include "support/place_records.h"

#include <vector>

namespace velandra::testing {

namespace {

std::string Join(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) out += (i ? "," : "") + list[i];
  return out;
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

std::string Dump(const config::PlaceSettings& s) {
  std::string out;
  auto line = [&out](const char* name, const std::string& value) {
    out += name;
    out += '=';
    out += value;
    out += '\n';
  };
  line("ChangeUser", Flag(s.ChangeUser));
  line("ChangeUserName", s.ChangeUserName);
  line("ChangeUserPassword", s.ChangeUserPassword);
  line("PrimarySuffix", Flag(s.PrimarySuffix));
  line("PrimaryParentSuffix", Flag(s.PrimaryParentSuffix));
  line("DNS_Suffix", Join(s.DNS_Suffix));
  line("EnableLMHOSTS", Flag(s.EnableLMHOSTS));
  line("ComputerName", s.ComputerName);
  line("SrvComment", s.SrvComment);
  line("DomainWorkgroup", Flag(s.DomainWorkgroup));
  line("DomainName", s.DomainName);
  line("WorkgroupName", s.WorkgroupName);
  line("LogonPlace", Flag(s.LogonPlace));
  line("DelayDomain", Flag(s.DelayDomain));
  line("JoinDomainUser", s.JoinDomainUser);
  line("JoinDomainPassword", s.JoinDomainPassword);
  line("LocalAdminUser", s.LocalAdminUser);
  line("LocalAdminPassword", s.LocalAdminPassword);
  line("DefaultUserName", s.DefaultUserName);
  line("DefaultPassword", s.DefaultPassword);
  line("AutoAdminLogon", Flag(s.AutoAdminLogon));
  line("AutoLogonKeep", Flag(s.AutoLogonKeep));
  line("DisableCAD", Flag(s.DisableCAD));
  line("Welcome", Flag(s.Welcome));
  line("MultipleTSSessions", Flag(s.MultipleTSSessions));
  line("Proxy.Installed", Flag(s.Proxy.Installed));
  line("Proxy.ProxyName", s.Proxy.ProxyName);
  line("Proxy.ProxyNames", Join(s.Proxy.ProxyNames));
  line("Proxy.DisableProxy", Flag(s.Proxy.DisableProxy));
  for (const auto& d : s.NetworkDrives.Drives)
    line("NetworkDrive", d.LocalName + "|" + d.RemoteName + "|" + d.UserName + "|" + d.Password);
  for (const auto& share : s.NetShares) {
    line("NetShare", share.ShareName + "|" + std::to_string(share.ShareType) + "|" +
                         share.Remark + "|" + std::to_string(share.Permissions) + "|" +
                         std::to_string(share.MaxUses) + "|" + share.SharePath + "|" +
                         share.Password);
    for (const auto& p : share.Access)
      line(" Access", p.AccountDomain + "\\" + p.AccountName + "|" +
                          std::to_string(p.AceType) + "|" + std::to_string(p.AceFlags) + "|" +
                          std::to_string(p.AccessMask));
  }
  line("Printers", Join(s.Printers));
  line("DefaultPrinter", s.DefaultPrinter);
  line("HOSTS", s.HOSTS);
  line("LMHOSTS", s.LMHOSTS);
  for (const auto& p : s.Programs)
    line("Program", std::to_string(p->Type) + "|" + p->Path + "|" + p->Arguments + "|" +
                        p->Directory + "|" + std::to_string(p->Show));
  return out;
}

}  // namespace velandra::testing
