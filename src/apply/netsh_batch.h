// The text of the change batch "netsh_p<n>.bat": the netsh, net use,
// printer, net share, copy and del lines that change a place without a
// restart. Pure: the records in, the batch text (CP932, CRLF) or a refusal
// out. Running it is change_batch.h.
//
// Values from the records go into command lines that cmd.exe parses, so
// every value is checked for the position it fills. A value that cannot be
// written safely refuses the whole batch, with a message naming the value;
// nothing is ever cut or written half. Ordinary values come out byte for
// byte as the templates put them. Text is scanned as CP932 characters, so
// a trail byte such as the 0x5C of 表 or the 0x7C of ポ is never taken for
// '\' or '|'; a lone lead byte, a bad trail byte, 0x80, 0xA0 and 0xFD-0xFF
// are refused everywhere (a lead byte at the end of a value would swallow
// the quote after it).
//
// The positions and what they take:
// - Inside the template's quotes (connection name, printer, remark, proxy
//   program and entry, hosts and lmhosts paths): anything but '"' and
//   control characters (line breaks included); '%' is doubled to "%%",
//   which cmd turns back into one '%'. Inside quotes cmd takes & | < > ^
//   literally. A value may not end with '\': the program would read "\""
//   as a quote inside the value and run on into the next argument. The
//   copy and del paths may not hold the wildcards '*' and '?', nor begin
//   with '/', which copy and del take for a switch even inside quotes. On the call
//   line cmd expands '%' a second time, so '%' is written "%%%%", and call
//   doubles every '^' even inside quotes, so '^' is refused there.
//   Delayed expansion ('!') is off unless the PC turns it on for every cmd;
//   the batch does not defend against that.
// - Addresses, masks, gateways, DNS and WINS servers: ASCII letters,
//   digits, '.' and ':' only; never empty.
// - Gateway metrics: digits only. A missing metric and "自動" (what the IP
//   page shows and may store for an automatic metric) are written as "0",
//   the automatic metric, because netsh takes no other word for it. An
//   address without a mask at its position is refused.
// - net use local name: ASCII letters, digits, ':' and '*'.
// - net use remote name, password and user name, net share path: written
//   as they are when they hold only "plain" characters (ASCII letters and
//   digits, two-byte and half-width characters, and \ . : _ - $ # @ ~ +);
//   otherwise quoted, by the rules of the quoted positions above (net reads
//   quoted arguments, as the template's own /REMARK:"..." shows). Never
//   empty, and never beginning with '/', which net would take for an option
//   even inside quotes. A password is never shown in a message; a password
//   "*" alone is refused, as net would ask for one at the console.
// - net share name: plain characters only (no quotes work before the '=').
// - The place name on the rem line: no control characters; '%' doubled, and
//   & | < > ^ escaped with '^', so that neither an operator nor a '^' at the
//   end of the line (which would join the next command to the comment)
//   takes effect.
// - No line may be longer than kMaxBatchLine bytes; the longest value of a
//   line that would be longer is refused as too long.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/adapter_settings.h"
#include "config/places.h"
#include "system/adapter_info.h"
#include "system/os_info.h"

namespace velandra::apply {

// The longest batch line, in bytes without its CRLF.
inline constexpr size_t kMaxBatchLine = 1024;

// The place-wide inputs of the batch, named as the place-wide record names
// them (BatchPlaceWideOf in change_batch.h fills them from the record).
struct BatchProxy {
  bool Installed = false;
  std::string InstallDir;  // ends with a backslash
  std::string ProxyName;
  bool DisableProxy = false;
};
struct BatchNetworkDrive {
  std::string LocalName;
  std::string RemoteName;
  std::string UserName;
  std::string Password;
};
struct BatchNetShare {
  std::string ShareName;
  std::string SharePath;
  int32_t MaxUses = -1;
  std::string Remark;
  size_t AccessCount = 0;  // entries in the share's Access list
};
struct BatchPlaceWide {
  BatchProxy Proxy;
  std::vector<BatchNetworkDrive> NetworkDrives;
  std::string DefaultPrinter;
  std::vector<BatchNetShare> NetShares;
  std::string HOSTS;
  std::string LMHOSTS;
  // The Same flags of the groups the batch uses: true when equal to the PC.
  struct {
    bool Proxy = false;
    bool NetworkDrives = false;
    bool Shares = false;
    bool DefaultPrinter = false;
    bool HostsFile = false;
    bool LmhostsFile = false;
  } Same;
};

struct BatchAdapter {
  const AdapterInfo* Adapter = nullptr;
  const config::AdapterSettings* Settings = nullptr;
};

struct NetshBatchInput {
  const config::Place* Place = nullptr;
  std::vector<BatchAdapter> Adapters;  // in the order of the sheet's Adapters
  // Null: no proxy, drive, printer, share, hosts or lmhosts line at all.
  // Writing them from nothing would be harmful: "net use * /delete /yes"
  // alone disconnects every drive of the user.
  const BatchPlaceWide* PlaceWide = nullptr;
  bool DiffCheck = false;
  OsInfo Os;
  // GetSystemDirectoryA; empty when it failed (then no hosts or lmhosts line).
  std::string SystemDirectory;
};

struct NetshBatch {
  std::string Text;     // the whole file; empty when refused
  std::string Refusal;  // the message (warning icon); empty when built
  // The batch holds the net share lines, so the shares need not be created
  // through the network functions afterwards.
  bool CreatesShares = false;
  bool Refused() const { return !Refusal.empty(); }
};

// The batch for the place, in the fixed order: the rem line, then per
// adapter the address, gateway, DNS and WINS lines, then the place-wide
// lines. Under DIFFCHECK an adapter whose ChangeKind is 0 gets no line and
// every group equal to the PC is left out; on Windows XP the DNS lines are
// also written when only the registration flags differ, since their
// register= part is what changes those flags.
NetshBatch BuildNetshBatch(const NetshBatchInput& input);

// "netsh_p<n>.bat" in `directory` (no trailing backslash).
std::string NetshBatchPath(const std::string& directory, uint32_t placeNumber);

}  // namespace velandra::apply
