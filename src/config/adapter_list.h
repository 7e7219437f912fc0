// The adapter history in section ADAPTERLIST (A<m> = device description,
// C<m> = connection name, kept for every adapter ever saved) and section
// LAST with the place and adapter last selected.
#pragma once
#include <cstdint>
#include <string>

#include "config/config_file.h"
#include "system/adapter_info.h"

namespace velandra::config {

inline constexpr char kAdapterListSection[] = "ADAPTERLIST";
inline constexpr char kLastSection[] = "LAST";

// The number of an adapter found on the PC. The first A<k> entry (file
// order) holding exactly `driverDesc` gives k when C<k> is missing or holds
// exactly `connectionName`, unless k is already the number of an adapter in
// `adapters`; otherwise the smallest number that neither an adapter in
// `adapters` nor any key of ADAPTERLIST uses. An unreadable ADAPTERLIST
// reads as an empty one.
uint32_t AdapterNumber(const ConfigFile& config, const AdapterList& adapters,
                       const std::string& driverDesc, const std::string& connectionName);

// A<m> = DriverDesc, then C<m> = ConnectionName, for each adapter in order.
// These writers go on after a failed write and then return false.
bool WriteAdapterList(const ConfigFile& config, const AdapterList& adapters);

// LAST/LASTPLACE and LAST/LASTADAPTER as decimal text.
bool WriteLast(const ConfigFile& config, uint32_t lastPlace, uint32_t lastAdapter);

}  // namespace velandra::config
