// IShares on the simulated PC: the shares live in shares.ini of the PC
// directory, their access entries by account; accounts get their SIDs from
// users.ini (docs/simulated-pc.md, "Shares").
#pragma once
#include <string>
#include <vector>

#include "system/platform/shares.h"

namespace velandra::platform::sim {

class SimulatedPc;

inline constexpr char kSharesFile[] = "shares.ini";
// The domain part of every local account's SID on the simulated PC.
inline constexpr char kLocalSidPrefix[] = "S-1-5-21-1004336348-1177238915-682003330-";

class SimShares : public IShares {
 public:
  explicit SimShares(SimulatedPc& pc) : pc_(pc) {}
  long EnumShares(std::vector<ShareInfo>& shares) override;
  long AddShare(const ShareInfo& share) override;
  long DeleteShare(const std::string& name) override;
  bool AccountOfSid(const std::string& sid, std::string& name,
                        std::string& domain) override;
  bool SidOfAccount(const std::string& account, std::string& sid) override;

  // The SID a local account or group of this name has (or had), whether it
  // exists or not: its users.ini rid, 500 for Administrator, 501 for Guest,
  // else 1000 plus a hash of the name.
  std::string LocalSid(const std::string& name) const;

 private:
  struct Account {
    std::string Name, Domain, Sid;  // CP932
  };
  std::vector<Account> Accounts() const;
  SimulatedPc& pc_;
};

}  // namespace velandra::platform::sim
