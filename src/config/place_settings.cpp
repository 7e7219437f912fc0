#include "config/place_settings.h"

#include <optional>

#include "system/context.h"
#include "system/hosts_files.h"
#include "system/network_drives.h"
#include "system/place_settings_pc.h"
#include "system/platform/text.h"
#include "system/proxy_companion.h"

namespace velandra::config {

namespace {

constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
// VER_SUITE_PERSONAL: Windows XP Home Edition, which cannot join a domain.
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr char kDefaultLocalAdmin[] = "Administrator";
constexpr char kEndOfPrograms[] = "EOF";

// The longest value read of each kind of key.
constexpr size_t kTextMax = 255;
constexpr size_t kCommentMax = 511;
constexpr size_t kProgramPathMax = 259;
constexpr size_t kStrictBoolMax = 9;
constexpr size_t kWordMax = 31;

// The P<n> keys as this record reads them: the sentinel marks a missing key.
class SectionReader {
 public:
  SectionReader(const ConfigFile& file, std::string section)
      : file_(file), section_(std::move(section)) {}

  // The value cut to `longest` bytes at a character boundary, or nullopt
  // when the key is missing (or holds the sentinel).
  std::optional<std::string> Text(std::string_view key, size_t longest) const {
    std::string v = file_.ReadString(section_, key, kNoDataPlace,
                                     static_cast<uint32_t>(longest + 1));
    if (v == kNoDataPlace) return std::nullopt;
    // A byte-wise cut may split a two-byte character and leave a lone lead
    // byte, which would swallow whatever text follows it elsewhere.
    return platform::Cp932Cut(v, longest);
  }
  std::string TextOr(std::string_view key, size_t longest, std::string_view def) const {
    std::optional<std::string> v = Text(key, longest);
    return v ? *v : std::string(def);
  }
  std::optional<std::string> Password(std::string_view key) const {
    std::optional<std::string> v = Text(key, kTextMax);
    if (!v) return std::nullopt;
    return DecodeStoredPassword(*v);
  }
  // "TRUE" or "FALSE" only; anything else (or nothing) is nullopt.
  std::optional<bool> Strict(std::string_view key) const {
    return file_.ReadStrictBool(section_, key, static_cast<uint32_t>(kStrictBoolMax + 1));
  }
  bool Bool(std::string_view key, BoolRule rule, size_t longest) const {
    return file_.ReadBool(section_, key, rule, static_cast<uint32_t>(longest + 1));
  }

 private:
  const ConfigFile& file_;
  std::string section_;
};

// A Winlogon DWORD of the PC equal to 1; false when the key or the value is
// not there. Read without a message: the logon group's own read reports a
// Winlogon key that does not open.
bool PcWinlogonFlag(Context& context, std::string_view value) {
  platform::RegKey key;
  if (key.Open(context.Platform().registry, platform::Hive::LocalMachine, kWinlogonKey,
               platform::kKeyQueryValue) != platform::kErrorSuccess)
    return false;
  uint32_t data = 0;
  return key.QueryDword(value, data) == platform::kErrorSuccess && data == 1;
}

int32_t ProgramType(std::string_view word) {
  if (word == "FOLDER") return kProgramTypeFolder;
  if (word == "FILE") return kProgramTypeFile;
  return kProgramTypeProgram;
}

const char* ProgramTypeWord(int32_t type) {
  if (type == kProgramTypeProgram) return "PGM";
  if (type == kProgramTypeFolder) return "FOLDER";
  return "FILE";
}

int32_t ShowCode(std::string_view word) {
  if (word == "MAXIMIZE") return kShowMaximized;
  if (word == "MINIMIZE") return kShowMinimized;
  return kShowNormal;
}

const char* ShowWord(int32_t show) {
  if (show == kShowNormal) return "NORMAL";
  if (show == kShowMaximized) return "MAXIMIZE";
  return "MINIMIZE";
}

std::string IndexedKey(const char* stem, size_t i) { return stem + std::to_string(i); }

bool HasLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Writes the keys of one section, refusing a value that would not read back
// as it is: one that a read cuts, or one whose line break would end the
// entry and start another. A refused key keeps its stored value; its
// message names the place and the key.
class SectionWriter {
 public:
  SectionWriter(Context& context, const std::string& placeName, std::string section)
      : context_(context), file_(context.Config()), place_(placeName),
        section_(std::move(section)) {}

  const std::string& Section() const { return section_; }
  bool Ok() const { return ok_; }
  void Fail() { ok_ = false; }
  void Refuse(const std::string& message) {
    Warn(context_, message);
    ok_ = false;
  }

  // False, after the message, when `value` cannot be stored under `key`.
  bool Storable(std::string_view key, std::string_view value, size_t longest) {
    if (HasLineBreak(value)) {
      Refuse("場所 " + place_ + " の " + std::string(key) +
             " に改行が含まれているため保存できません");
      return false;
    }
    if (value.size() > longest) {
      Refuse("場所 " + place_ + " の " + std::string(key) + " は" + std::to_string(longest) +
             "バイトまでです。長すぎるため保存できません");
      return false;
    }
    return true;
  }
  void Text(std::string_view key, std::string_view value, size_t longest) {
    if (Storable(key, value, longest)) Raw(key, value);
  }
  // A password that cannot be encoded is stored empty, as the stored form
  // has it; the user is told, since the password is gone after a reload.
  void Password(std::string_view key, std::string_view password) {
    const std::string stored = EncodeStoredPassword(password);
    if (stored.empty() && !password.empty())
      Warn(context_, "場所 " + place_ + " の " + std::string(key) +
                         " は85バイトを超えるため保存できません。空のパスワードとして保存します");
    Raw(key, stored);
  }
  void Bool(std::string_view key, bool value) {
    if (!file_.WriteBool(section_, key, value)) ok_ = false;
  }
  void Raw(std::string_view key, std::string_view value) {
    if (!file_.WriteString(section_, key, value)) ok_ = false;
  }
  void Delete(std::string_view key) {
    if (!file_.DeleteKey(section_, key)) ok_ = false;
  }

 private:
  Context& context_;
  const ConfigFile& file_;
  const std::string& place_;
  std::string section_;
  bool ok_ = true;
};

}  // namespace

PlaceSettings::PlaceSettings(Context& context, const Place& owner_, PlaceSource source,
                             bool snapshotHostsFiles, const std::vector<std::string>* printers)
    : owner(owner_) {
  Printers = printers ? *printers : ListPrinters(context.Platform().printers);
  if (source == PlaceSource::ConfigFile) {
    if (!ReadFromConfig(context)) {
      DNS_Suffix.clear();
      ReadFromPC(context, *this, true);
    }
  } else {
    ReadFromPC(context, *this, snapshotHostsFiles);
  }
}

PlaceSettings::~PlaceSettings() { ClearLists(); }

std::string PlaceSettings::SectionName() const { return "P" + std::to_string(owner.Number); }

bool PlaceSettings::ReadFromConfig(Context& context) {
  const ConfigFile& file = context.Config();
  const std::string section = SectionName();
  const SectionReader in(file, section);
  const OsInfo& os = context.Os();

  ChangeUser = in.Bool("ChangeUser", BoolRule::TrueOnly, 11);
  ChangeUserName = in.TextOr("ChangeUserName", kTextMax, "");
  ChangeUserPassword = in.Password("ChangeUserPassword").value_or("");

  std::optional<bool> b = in.Strict("PrimarySuffix");
  if (!b) return false;
  PrimarySuffix = *b;
  if (!(b = in.Strict("PrimaryParentSuffix"))) return false;
  PrimaryParentSuffix = *b;
  std::optional<std::string> suffixes = in.Text("DNS_Suffix", kTextMax);
  if (!suffixes) return false;
  DNS_Suffix.clear();
  SplitCommaList(*suffixes, DNS_Suffix);
  if (!(b = in.Strict("EnableLMHOSTS"))) return false;
  EnableLMHOSTS = *b;
  std::optional<std::string> computer = in.Text("ComputerName", kTextMax);
  if (!computer) return false;
  ComputerName = *computer;

  if (std::optional<std::string> comment = in.Text("SrvComment", kCommentMax))
    SrvComment = *comment;
  else
    ReadServerComment(context, *this);

  DomainWorkgroup = (os.SuiteMask & kSuitePersonal)
                        ? false
                        : in.Bool("DomainWorkgroup", BoolRule::TrueOnly, kStrictBoolMax);
  DomainName = in.TextOr("DomainName", kTextMax, "");
  WorkgroupName = in.TextOr("WorkgroupName", kTextMax, "");
  LogonPlace = in.Bool("LogonPlace", BoolRule::FalseOnly, kTextMax);
  DelayDomain = in.Bool("DelayDomain", BoolRule::TrueOnly, kTextMax);

  const std::optional<std::string> defaultUser = in.Text("DefaultUserName", kTextMax);
  const std::optional<std::string> defaultPassword = in.Password("DefaultPassword");
  JoinDomainUser = in.Text("JoinDomainUser", kTextMax).value_or(defaultUser.value_or(""));
  JoinDomainPassword = in.Password("JoinDomainPassword").value_or(defaultPassword.value_or(""));
  LocalAdminUser =
      in.Text("LocalAdminUser", kTextMax).value_or(defaultUser.value_or(kDefaultLocalAdmin));
  LocalAdminPassword = in.Password("LocalAdminPassword").value_or(defaultPassword.value_or(""));

  bool logonComplete = true;
  if (defaultUser) DefaultUserName = *defaultUser; else logonComplete = false;
  if (std::optional<std::string> autoLogon = in.Text("AutoAdminLogon", 63)) {
    AutoAdminLogon = *autoLogon == "TRUE";
    AutoLogonKeep = AutoAdminLogon && in.TextOr("AutoLogonKeep", 63, "") == "TRUE";
  } else {
    logonComplete = false;
  }
  if (defaultPassword) DefaultPassword = *defaultPassword; else logonComplete = false;
  if (std::optional<std::string> cad = in.Text("DisableCAD", 19))
    DisableCAD = *cad == "TRUE";
  else
    logonComplete = false;
  if (!logonComplete) ReadWinlogon(context, *this);

  if (os.IsWindowsXp()) {
    if (std::optional<std::string> v = in.Text("Welcome", 19))
      Welcome = *v == "TRUE";
    else
      Welcome = PcWinlogonFlag(context, "LogonType");
    if (std::optional<std::string> v = in.Text("MultipleTSSessions", 19))
      MultipleTSSessions = *v == "TRUE";
    else
      MultipleTSSessions = PcWinlogonFlag(context, "AllowMultipleTSSessions");
  } else {
    Welcome = false;
    MultipleTSSessions = false;
  }

  Proxy = FindCompanion(context.Platform());
  Proxy.ReadFromConfig(file, section);

  ClearDrives(NetworkDrives);
  ReadDrivesFromConfig(NetworkDrives, section, file);

  if (std::optional<std::string> printer = ReadDefaultPrinterFromConfig(section, file))
    DefaultPrinter = *printer;
  else
    DefaultPrinter = GetDefaultPrinter(context.Platform().printers);

  NetShares.clear();
  ReadSharesFromConfig(file, section, NetShares);

  HostsFiles hosts;
  if (!ReadHostsFiles(file, owner.Number, hosts))
    SnapshotHostsFiles(context.Platform(), owner.Name, hosts);
  HOSTS = hosts.HOSTS;
  LMHOSTS = hosts.LMHOSTS;

  Programs.clear();
  for (size_t i = 0;; ++i) {
    const std::string type = in.TextOr(IndexedKey("TYPE", i), kWordMax, "PGM");
    std::optional<std::string> path = in.Text(IndexedKey("PGM", i), kProgramPathMax);
    if (!path) break;
    auto entry = std::make_unique<ProgramEntry>();
    entry->Type = ProgramType(type);
    entry->Path = *path;
    entry->Arguments = in.TextOr(IndexedKey("ARG", i), kTextMax, "");
    entry->Directory = in.TextOr(IndexedKey("DIR", i), kProgramPathMax, "");
    entry->Show = ShowCode(in.TextOr(IndexedKey("SIZE", i), kWordMax, "NORMAL"));
    Programs.push_back(std::move(entry));
  }
  return true;
}

bool PlaceSettings::WriteToConfig(Context& context) const {
  const ConfigFile& file = context.Config();
  SectionWriter out(context, owner.Name, SectionName());
  const std::string& section = out.Section();

  out.Bool("ChangeUser", ChangeUser);
  if (ChangeUser) {
    out.Text("ChangeUserName", ChangeUserName, kTextMax);
    out.Password("ChangeUserPassword", ChangeUserPassword);
  } else {
    out.Delete("ChangeUserName");
    out.Delete("ChangeUserPassword");
  }

  out.Bool("PrimarySuffix", PrimarySuffix);
  out.Bool("PrimaryParentSuffix", PrimaryParentSuffix);
  // A list that would not read back as the same items is refused rather
  // than cut: a cut would silently drop or maim a suffix.
  bool commaInItem = false;
  for (const std::string& item : DNS_Suffix)
    commaInItem = commaInItem || platform::Cp932Find(item, ',') != std::string::npos;
  const std::string suffixes = JoinCommaList(DNS_Suffix);
  if (commaInItem)
    out.Refuse("場所 " + owner.Name +
               " のDNSサフィックス検索一覧に「,」を含む名前があるため保存できません");
  else if (suffixes.size() > kTextMax)
    out.Refuse("場所 " + owner.Name +
               " のDNSサフィックス検索一覧は、「,」でつないで255バイトまでです。"
               "長すぎるため保存できません");
  else
    out.Text("DNS_Suffix", suffixes, kTextMax);
  out.Bool("EnableLMHOSTS", EnableLMHOSTS);

  out.Text("ComputerName", ComputerName, kTextMax);
  out.Text("SrvComment", SrvComment, kCommentMax);
  out.Bool("DomainWorkgroup", DomainWorkgroup);
  out.Text("DomainName", DomainName, kTextMax);
  out.Text("WorkgroupName", WorkgroupName, kTextMax);
  out.Bool("LogonPlace", LogonPlace);
  out.Bool("DelayDomain", DelayDomain);

  out.Text("JoinDomainUser", JoinDomainUser, kTextMax);
  out.Password("JoinDomainPassword", JoinDomainPassword);
  out.Text("LocalAdminUser", LocalAdminUser, kTextMax);
  out.Password("LocalAdminPassword", LocalAdminPassword);
  out.Text("DefaultUserName", DefaultUserName, kTextMax);
  out.Bool("AutoAdminLogon", AutoAdminLogon);
  out.Bool("AutoLogonKeep", AutoLogonKeep);
  out.Password("DefaultPassword", DefaultPassword);
  out.Bool("DisableCAD", DisableCAD);

  if (context.Os().IsWindowsXp()) {
    out.Bool("Welcome", Welcome);
    out.Bool("MultipleTSSessions", MultipleTSSessions);
  }

  if (!Proxy.WriteToConfig(file, section)) out.Fail();
  std::string message;
  if (!WriteDrivesToConfig(NetworkDrives, section, file, message)) {
    if (!message.empty()) out.Refuse(message); else out.Fail();
  }
  if (out.Storable("DefaultPrinter", DefaultPrinter, kPrinterNameMax) &&
      !WriteDefaultPrinterToConfig(section, file, DefaultPrinter))
    out.Fail();
  // A refused share is told here; a failed write is the caller's to report.
  std::string refusedShare;
  for (const NetShare& share : NetShares)
    if (refusedShare.empty()) refusedShare = CheckShare(share);
  if (!refusedShare.empty())
    out.Refuse(refusedShare);
  else if (!WriteSharesToConfig(file, section, NetShares))
    out.Fail();
  const bool hosts = out.Storable("HOSTS", HOSTS, kMaxHostsPath);
  const bool lmhosts = out.Storable("LMHOSTS", LMHOSTS, kMaxHostsPath);
  if (hosts && lmhosts) {
    if (!WriteHostsFiles(file, owner.Number, HostsFiles{HOSTS, LMHOSTS})) out.Fail();
  } else if (hosts) {
    out.Raw("HOSTS", HOSTS);
  } else if (lmhosts) {
    out.Raw("LMHOSTS", LMHOSTS);
  }

  // The old entries' keys go first; TYPE<i> stays, and a missing PGM<i>
  // ends the list when it is read. A PGM<i> left behind a TYPE gap would
  // come back once the list grows over the gap, so it is removed too.
  for (size_t i = 0;; ++i) {
    const bool type = file.ReadString(section, IndexedKey("TYPE", i), kEndOfPrograms,
                                      kWordMax + 1) != kEndOfPrograms;
    const bool path = file.ReadString(section, IndexedKey("PGM", i), kNoDataPlace,
                                      kProgramPathMax + 1) != kNoDataPlace;
    if (!type && !path) break;
    for (const char* stem : {"PGM", "ARG", "DIR", "SIZE"}) out.Delete(IndexedKey(stem, i));
  }
  for (size_t i = 0; i < Programs.size(); ++i) {
    const ProgramEntry& p = *Programs[i];
    out.Raw(IndexedKey("TYPE", i), ProgramTypeWord(p.Type));
    out.Text(IndexedKey("PGM", i), p.Path, kProgramPathMax);
    // A read takes one enclosing pair of quotes off the whole value, so
    // arguments that begin with a quote get one more pair around them.
    const bool quoted = !p.Arguments.empty() && (p.Arguments.front() == '"' ||
                                                 p.Arguments.front() == '\'');
    if (out.Storable(IndexedKey("ARG", i), p.Arguments, kTextMax))
      out.Raw(IndexedKey("ARG", i), quoted ? "\"" + p.Arguments + "\"" : p.Arguments);
    out.Text(IndexedKey("DIR", i), p.Directory, kProgramPathMax);
    out.Raw(IndexedKey("SIZE", i), ShowWord(p.Show));
  }
  return out.Ok();
}

void PlaceSettings::ClearLists() {
  DNS_Suffix.clear();
  Printers.clear();
  NetShares.clear();
  Programs.clear();
}

}  // namespace velandra::config
