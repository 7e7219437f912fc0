// The change batch built from hostile records, then run by the simulated
// command interpreter on a fresh demo PC. The input is a flags byte and the
// records' texts as NUL-ended fields, in the order of kFields. A batch that
// is built must run exactly its own lines: one command per line, with the
// line's command word, no other program or batch started, netsh, net and
// rundll32 given every value as it was, and no line the interpreter cannot
// parse.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "apply/netsh_batch.h"
#include "fuzz_pc.h"
#include "system/platform/sim/batch_interpreter.h"
#include "system/platform/sim/sim_netsh.h"
#include "system/platform/sim/sim_network_drives.h"
#include "system/platform/text.h"

namespace {

using namespace velandra;

enum Field {
  kPlaceName, kConnection, kDriverDesc, kAddress, kMask, kGateway, kMetric, kDns1, kDns2,
  kWins, kDriveLocal, kDriveRemote, kDriveUser, kDrivePassword, kPrinter, kShareName,
  kSharePath, kShareRemark, kProxyName, kHosts, kLmhosts, kFieldCount
};

// The proxy program of the demo PC, where the call line finds it.
constexpr char kProxyDir[] = "C:\\Program Files\\Orvane\\Brisco\\";

std::string FirstWord(std::string_view line) {
  return platform::Cp932ToUpperAscii(line.substr(0, line.find(' ')));
}

// The record of the kind `event` is ("net use: connected", "net share:
// shared", "PrintUIEntry: default"), or null.
template <size_t N>
const std::string* RecordOfKind(const std::string (&records)[N], const std::string& event) {
  for (const std::string& record : records) {
    const std::string kind = record.substr(0, record.find(' ', record.find(':') + 2));
    if (event.rfind(kind, 0) == 0) return &record;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Script script(std::string_view(reinterpret_cast<const char*>(data), size));
  const uint8_t flags = script.Byte();
  std::vector<std::string> f;
  for (int i = 0; i < kFieldCount; ++i) f.push_back(script.Field());

  config::Place place;
  place.Number = 1;
  place.Name = f[kPlaceName];
  AdapterInfo adapter;
  adapter.DriverDesc = f[kDriverDesc];
  adapter.ConnectionName = f[kConnection];
  config::AdapterSettings s;
  s.EnableDHCP = flags & 1;
  // An empty field leaves its list empty, so that most inputs build a batch.
  auto list = [&](std::initializer_list<Field> which) {
    std::vector<std::string> out;
    for (Field w : which)
      if (!f[w].empty()) out.push_back(f[w]);
    return out;
  };
  s.IPAddress = list({kAddress});
  s.SubnetMask = list({kMask});
  s.Gateway = list({kGateway});
  s.Metric = list({kMetric});
  s.EnableDNS = flags & 2;
  s.DNS_Server = list({kDns1, kDns2});
  s.WINS = list({kWins});
  apply::BatchPlaceWide wide;
  wide.Proxy = {(flags & 4) != 0, kProxyDir, f[kProxyName], false};
  if (!f[kDriveLocal].empty())
    wide.NetworkDrives = {{f[kDriveLocal], f[kDriveRemote], f[kDriveUser], f[kDrivePassword]}};
  wide.DefaultPrinter = f[kPrinter];
  if (!f[kShareName].empty())
    wide.NetShares = {{f[kShareName], f[kSharePath], flags & 8 ? 3 : -1, f[kShareRemark], 0}};
  wide.HOSTS = f[kHosts];
  wide.LMHOSTS = f[kLmhosts];
  apply::NetshBatchInput input;
  input.Place = &place;
  input.Adapters = {{&adapter, &s}};
  input.PlaceWide = &wide;
  input.Os = {5, 1, 2, flags & 16 ? "Service Pack 1" : "Service Pack 2", 0, 1};
  input.SystemDirectory = "C:\\WINDOWS\\system32";

  const apply::NetshBatch batch = apply::BuildNetshBatch(input);
  if (batch.Refused()) {
    fuzz::Check(batch.Text.empty(), "a refused batch has text");
    return 0;
  }
  std::vector<std::string> lines;
  for (size_t start = 0; start < batch.Text.size();) {
    const size_t end = batch.Text.find("\r\n", start);
    fuzz::Check(end != std::string::npos, "a batch line without CRLF");
    lines.push_back(batch.Text.substr(start, end - start));
    fuzz::Check(lines.back().size() <= apply::kMaxBatchLine, "a line over the limit");
    fuzz::Check(lines.back().find_first_of("\r\n") == std::string::npos, "a line break in a line");
    start = end + 2;
  }

  auto pc = fuzz::FreshPc();
  {
    // Without a [network] section every share can be reached, so that net
    // use goes as far as recording what it was given.
    std::ofstream drives(pc->directory() / platform::sim::kDrivesFile, std::ios::trunc);
    drives << "[connections]\nZ: = \\\\fs01\\public\n";
  }
  const std::string path = "C:\\netsh_p1.bat";
  fuzz::Check(pc->platform().files.WriteFile(path, batch.Text), "cannot write the batch");
  platform::sim::SimulatedPc& sim = *pc;
  platform::sim::RunContext context{
      sim, [&](const std::vector<std::string>& args, std::string& output) {
        fuzz::Check(args.size() >= 5 && args[4] == "name=" + adapter.ConnectionName,
                    "netsh got another connection name than " +
                        fuzz::Shown(adapter.ConnectionName) + ":\n" + batch.Text);
        return platform::sim::RunNetsh(sim, args, output);
      },
      true};
  long error = 0;
  platform::sim::RunProgramFile(context, path, "\"" + path + "\"", "", error);
  fuzz::Check(error == 0, "the batch did not run");

  // What the simulated net and rundll32 record when they did their work:
  // every value must arrive as it was in the record.
  const std::string withUser = f[kDriveUser].empty() ? "" : ", user " + f[kDriveUser];
  const std::string withPassword = f[kDrivePassword].empty() ? "" : ", with a password";
  const std::string withRemark =
      f[kShareRemark].empty() ? "" : ", remark \"" + f[kShareRemark] + "\"";
  const std::string records[] = {
      "net use: connected " + f[kDriveLocal] + " to " + f[kDriveRemote] + withUser + withPassword,
      "net share: shared " + f[kShareName] + " = " + f[kSharePath] + ", users " +
          (flags & 8 ? "3" : "unlimited") + withRemark,
      "PrintUIEntry: default printer \"" + f[kPrinter] + "\""};
  // net's complaints about the shape of its command line.
  const std::string misread[] = {"unknown switch", "too many names", "unexpected ",
                                 "unknown or repeated switch", "not of the form",
                                 "only \"net use * /delete", "/yes belongs"};

  if (std::getenv("VELANDRA_FUZZ_SHOW")) {  // to see what an input does
    std::fprintf(stderr, "%s", batch.Text.c_str());
    for (const std::string& e : sim.Events()) std::fprintf(stderr, "event: %s\n", e.c_str());
  }

  size_t command = 0;
  const std::string ranPrefix = platform::sim::kBatchCommandEvent;
  for (size_t i = 0; i < sim.Events().size(); ++i) {
    const std::string& e = sim.Events()[i];
    if (e.rfind(ranPrefix, 0) == 0) {
      fuzz::Check(command < lines.size(), "more commands ran than the batch has lines:\n" +
                                              batch.Text);
      const std::string ran = platform::Utf8ToCp932(e.substr(ranPrefix.size()));
      fuzz::Check(FirstWord(ran) == FirstWord(lines[command]),
                  "line " + std::to_string(command + 1) + " ran as " + fuzz::Shown(ran) + ":\n" +
                      batch.Text);
      ++command;
    } else if (e.rfind("cannot run line", 0) == 0) {
      // Only what the demo PC's files make impossible may stop it.
      fuzz::Check(e.find("copying a folder is not modelled") != std::string::npos ||
                      e.find("deleting the files of a folder") != std::string::npos,
                  e + "\n" + batch.Text);
      return 0;
    } else if (const std::string* record = RecordOfKind(records, e)) {
      fuzz::Check(e == platform::Cp932ToUtf8(*record), "recorded " + e + "\ninstead of " +
                                                            platform::Cp932ToUtf8(*record) + "\n" +
                                                            batch.Text);
    } else if (e.rfind("batch output: net ", 0) == 0) {
      const std::string complaint = e.substr(e.find(": ", 14) + 2);
      for (const std::string& words : misread)
        fuzz::Check(complaint.rfind(words, 0) != 0, e + "\n" + batch.Text);
    } else {
      fuzz::Check(e.rfind("program started", 0) != 0 &&
                      (e.rfind("batch started", 0) != 0 || i == 0),
                  "the batch started something else: " + e + "\n" + batch.Text);
    }
  }
  fuzz::Check(command == lines.size(), "not every line ran:\n" + batch.Text);
  return 0;
}
