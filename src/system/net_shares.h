// The PC's shares: read with their permissions, deleted, and created from a
// place's records with the access list built from their entries.
#pragma once
#include <string>

#include "config/net_shares.h"
#include "system/platform/shares.h"

namespace velandra {

// Appends the PC's disk, print-queue and device shares (administrative
// shares and IPC$ are left out). Returns 0 or the enumeration's error.
long ReadSharesFromPC(platform::IShares& shares, config::NetShareList& list);

// Deletes every disk, print-queue and device share of the PC; true when
// each was deleted.
bool DeletePCShares(platform::IShares& shares);

// Creates one share; returns the NET_API_STATUS (0 success). A share that
// CheckShare refuses gives kErrorInvalidParameter and an account without a
// SID kShareNoneMapped, both before anything is made. `message`, when
// given, gets the reason of a failure (CP932).
long CreateShare(platform::IShares& shares, const config::NetShare& share,
                 std::string* message = nullptr);

// CreateShare for each share in order, each tried whatever the others
// gave; true when all were made. `messages` collects one line per failure.
bool CreateShares(platform::IShares& shares, const config::NetShareList& list,
                  std::string* messages = nullptr);

}  // namespace velandra
