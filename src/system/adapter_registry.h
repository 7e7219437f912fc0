// An adapter's TCP/IP settings in the registry: its Tcpip and NetBT
// interface keys under HKEY_LOCAL_MACHINE, read into an AdapterSettings and
// written back from one. Windows XP (5.1) keeps the DNS registration flags
// under other value names than Windows 2000 (and any other version).
//
// Failures are reported where they happen, in a warning box over the main
// window. A key that fails to open while reading also posts the quit request
// (exit code 1); the read goes on with that key's values taken as missing.
// A list value the record cannot hold (more than 256 bytes, or items that
// join to more than 254 characters) is reported as a failed read of that
// value and taken as missing, never cut.
//
// Writing: with DIFFCHECK on only the groups whose Same flag is false are
// written, and a key none of whose groups is written is not opened at all.
// A DHCP record stores "0.0.0.0" in IPAddress and SubnetMask as a proper
// REG_MULTI_SZ (the text, its zero and the list's final zero: 9 bytes), so
// that no reader runs past the data looking for the end of the list. Lists
// are checked before anything is written: a list over the limit, or an
// empty item in a REG_MULTI_SZ list (which would end the list there and
// lose the items after it), refuses the whole write with that value's
// message. The first failed write ends the write; what was written before
// it stays written.
#pragma once
#include <string>
#include <string_view>

#include "config/adapter_settings.h"
#include "system/context.h"

namespace velandra {

inline constexpr char kTcpipInterfacesKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
inline constexpr char kNetBtInterfacesKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_";

// The two key paths of an interface GUID (braces included).
std::string TcpipInterfaceKey(std::string_view guid);
std::string NetBtInterfaceKey(std::string_view guid);

// The registry's message texts; `key` is the path without the hive.
std::string RegistryOpenFailedMessage(std::string_view key);
std::string RegistryQueryFailedMessage(std::string_view key, std::string_view value);
// `toValue`: the "に" form of the message, else the "の" form.
std::string RegistryWriteFailedMessage(std::string_view key, std::string_view value,
                                       bool toValue);

// Fills every field of `record` from its adapter's two keys; the lists are
// replaced. Reads the values the version of `context` names.
void ReadAdapterSettingsFromPc(Context& context, config::AdapterSettings& record);

// Writes the record into its adapter's two keys. True when every write the
// groups asked for succeeded.
bool WriteAdapterSettingsToPc(Context& context, const config::AdapterSettings& record);

}  // namespace velandra
