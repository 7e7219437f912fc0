// A share's permission entries and its access list on the PC: entries name
// accounts, the DACL holds SIDs.
#pragma once
#include <string>
#include <vector>

#include "config/net_shares.h"
#include "system/platform/shares.h"

namespace velandra {

// The DACL for `entries`, in list order (denied entries are not moved to the
// front; AceFlags are not carried). An entry whose account is written as a
// SID ("S-1-5-21-...-1005", no domain) keeps that SID without a lookup, so
// an entry read from a SID no account owns any more is created again as it
// was. False, and `unresolved` set to the account's display name, when an
// account has no SID: the caller must not create the share then, since
// leaving out a denied entry would grant what it denied.
bool BuildShareDacl(platform::IShares& shares,
                    const std::vector<config::SharePermission>& entries,
                    std::vector<platform::ShareAce>& dacl, std::string* unresolved = nullptr);

// The entries of a share read from the PC, in DACL order. A SID that maps
// to no account gives an entry named by the SID's string form with an
// empty domain (what the Windows permission pages show for it).
std::vector<config::SharePermission> ReadShareDacl(platform::IShares& shares,
                                                    const platform::ShareInfo& info);

// Whether `text` is the string form of a SID.
bool IsSidString(const std::string& text);

}  // namespace velandra
