// The demo PC built into the program: a Japanese Windows XP SP2 (or 2000
// SP4) workstation with an administrator and two network adapters
// ("ローカル エリア接続", static, and "ワイヤレス ネットワーク接続", DHCP),
// the first two devices of the network class. Around them, what adapter
// enumeration must pass over: devices without an interface, without a
// TCP/IP binding, without a connection, or removed; a class calling itself
// "net" in lower case; a display class.
#pragma once
#include <filesystem>
#include <string>

namespace velandra::platform::sim {

enum class DemoVariant { WindowsXp, Windows2000 };

// Writes the demo PC into `dir` (created; must be empty or missing).
// False and `error` (UTF-8) when it cannot.
bool WriteDemoPc(const std::filesystem::path& dir, DemoVariant variant,
                 std::string& error);

// The registry of the demo PC as REGEDIT4 text (CP932).
std::string DemoRegistry(DemoVariant variant);

}  // namespace velandra::platform::sim
