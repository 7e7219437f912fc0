// One table of registry behaviours, run against the simulated registry and,
// in the Windows build, against the real one (a scratch key under
// HKEY_CURRENT_USER\Software\VelandraTest, removed afterwards), so that the
// simulation is held to what Windows does.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

#include "system/platform/registry.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

#ifdef _WIN32
#include "system/platform/win32/win32_registry.h"
#endif

namespace velandra::platform {
namespace {

using namespace std::string_literals;
using sim::SimRegistry;

constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kMarkerType = 0xDEADBEEF;

enum class Backend { Sim, Win32 };

// The registry under test and the scratch key the case works below.
struct Scratch {
  IRegistry& reg;
  Hive hive;
  std::string base;
  bool win32;

  std::string P(std::string_view rel) const {
    return rel.empty() ? base : base + "\\" + std::string(rel);
  }
  std::unique_ptr<IRegistryKey> Create(std::string_view rel, uint32_t access = kKeyAllAccess) {
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(reg.CreateKey(hive, P(rel), access, key), kErrorSuccess) << P(rel);
    return key;
  }
  std::unique_ptr<IRegistryKey> Open(std::string_view rel, uint32_t access = kKeyAllAccess) {
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(reg.OpenKey(hive, P(rel), access, key), kErrorSuccess) << P(rel);
    return key;
  }
  long OpenRc(std::string_view rel, uint32_t access = kKeyRead) {
    std::unique_ptr<IRegistryKey> key;
    return reg.OpenKey(hive, P(rel), access, key);
  }
};

// Subkey names in enumeration order.
std::vector<std::string> Subkeys(IRegistryKey& key) {
  std::vector<std::string> names;
  for (uint32_t i = 0;; ++i) {
    std::string name;
    long rc = key.EnumKey(i, 256, name);
    if (rc == kErrorNoMoreItems) break;
    EXPECT_EQ(rc, kErrorSuccess);
    if (rc != kErrorSuccess) break;
    names.push_back(name);
  }
  return names;
}

// The value's bytes, or "<error N>".
std::string Query(IRegistryKey& key, std::string_view name, uint32_t* type = nullptr) {
  uint32_t t = kMarkerType;
  std::string data;
  long rc = key.QueryValue(name, 4096, t, data);
  if (rc != kErrorSuccess) return "<error " + std::to_string(rc) + ">";
  if (type) *type = t;
  return data;
}

void Set(IRegistryKey& key, std::string_view name, uint32_t type, std::string_view data) {
  EXPECT_EQ(key.SetValue(name, type, data), kErrorSuccess) << name;
}

// ---- the cases ----

void OpenMissingKey(Scratch& s) {
  std::unique_ptr<IRegistryKey> key = s.Create("present");
  IRegistryKey* before = key.get();
  EXPECT_EQ(s.reg.OpenKey(s.hive, s.P("missing"), kKeyRead, key), kErrorFileNotFound);
  EXPECT_EQ(s.reg.OpenKey(s.hive, s.P("missing\\deeper"), kKeyRead, key), kErrorFileNotFound);
  EXPECT_EQ(key.get(), before) << "a failed open must leave the output as it was";
  // Opening never creates: still only the one subkey, and still missing.
  EXPECT_EQ(Subkeys(*s.Open("")), std::vector<std::string>{"present"});
  EXPECT_EQ(s.OpenRc("missing"), kErrorFileNotFound);
}

void CreateNested(Scratch& s) {
  auto deep = s.Create("a\\b\\c");
  EXPECT_EQ(s.OpenRc("a"), kErrorSuccess);
  EXPECT_EQ(s.OpenRc("a\\b"), kErrorSuccess);
  EXPECT_EQ(s.OpenRc("a\\b\\c"), kErrorSuccess);
  // Creating what exists opens it.
  auto again = s.Create("a\\b\\c");
  Set(*deep, "v", kRegSz, "x\0"s);
  EXPECT_EQ(Query(*again, "v"), "x\0"s);
  EXPECT_EQ(Subkeys(*s.Open("a")), std::vector<std::string>{"b"});
}

void CaseInsensitiveNames(Scratch& s) {
  auto key = s.Create("MixedCase");
  EXPECT_EQ(s.OpenRc("mixedcase"), kErrorSuccess);
  s.Create("MIXEDCASE");
  EXPECT_EQ(Subkeys(*s.Open("")), std::vector<std::string>{"MixedCase"})
      << "one key, with the case it was created with";
  Set(*key, "Value", kRegSz, "1\0"s);
  EXPECT_EQ(Query(*key, "VALUE"), "1\0"s);
  Set(*key, "vALUE", kRegSz, "2\0"s);
  EXPECT_EQ(Query(*key, "value"), "2\0"s);
}

void EnumOrder(Scratch& s) {
  for (const char* name : {"b", "A", "c", "a1", "B2", "10", "9", "-"}) s.Create(name);
  auto key = s.Open("", kKeyRead);
  EXPECT_EQ(Subkeys(*key), (std::vector<std::string>{"-", "10", "9", "A", "a1", "b", "B2", "c"}));
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("b")), kErrorSuccess);
  EXPECT_EQ(Subkeys(*key), (std::vector<std::string>{"-", "10", "9", "A", "a1", "B2", "c"}));
}

void EnumOrderUpperCased(Scratch& s) {
  if (s.win32)
    GTEST_SKIP() << "Wine orders subkeys by lower-cased names (\"_x\" before \"A\"); "
                    "Windows' configuration manager compares upper-cased names, which "
                    "puts '[' and '_' after the letters, as the simulated registry does";
  for (const char* name : {"_x", "c", "A", "[y"}) s.Create(name);
  EXPECT_EQ(Subkeys(*s.Open("")), (std::vector<std::string>{"A", "c", "[y", "_x"}));
}

void EnumBufferSizes(Scratch& s) {
  s.Create("abcde");
  auto key = s.Open("", kKeyEnumerateSubKeys);
  std::string name = "marker";
  EXPECT_EQ(key->EnumKey(0, 5, name), kErrorMoreData) << "no room for the zero";
  EXPECT_EQ(key->EnumKey(0, 0, name), kErrorMoreData);
  EXPECT_EQ(name, "marker");
  EXPECT_EQ(key->EnumKey(0, 6, name), kErrorSuccess);
  EXPECT_EQ(name, "abcde");
  name = "marker";
  EXPECT_EQ(key->EnumKey(1, 6, name), kErrorNoMoreItems);
  EXPECT_EQ(key->EnumKey(1000, 6, name), kErrorNoMoreItems);
  EXPECT_EQ(name, "marker");
}

void QueryBufferSizes(Scratch& s) {
  auto key = s.Create("q");
  const std::string ten = "0123456789";
  Set(*key, "bin", kRegBinary, ten);
  uint32_t type = kMarkerType;
  std::string data = "marker";
  EXPECT_EQ(key->QueryValue("bin", 9, type, data), kErrorMoreData);
  EXPECT_EQ(type, kRegBinary) << "the type is given even when the data does not fit";
  EXPECT_EQ(key->QueryValue("bin", 0, type, data), kErrorMoreData);
  EXPECT_EQ(data, "marker");
  EXPECT_EQ(key->QueryValue("bin", 10, type, data), kErrorSuccess);
  EXPECT_EQ(data, ten);
  Set(*key, "sz", kRegSz, "abc\0"s);
  EXPECT_EQ(key->QueryValue("sz", 3, type, data), kErrorMoreData);
  EXPECT_EQ(key->QueryValue("sz", 4, type, data), kErrorSuccess);
  EXPECT_EQ(data, "abc\0"s);
  data = "marker";
  EXPECT_EQ(key->QueryValue("missing", 256, type, data), kErrorFileNotFound);
  EXPECT_EQ(data, "marker");
}

void MultiStrings(Scratch& s) {
  auto key = s.Create("m");
  uint32_t type = 0;
  Set(*key, "two", kRegMultiSz, EncodeMultiString({"a", "b"}));
  EXPECT_EQ(Query(*key, "two", &type), "a\0b\0\0"s);
  EXPECT_EQ(type, kRegMultiSz);
  Set(*key, "empty", kRegMultiSz, EncodeMultiString({}));
  EXPECT_EQ(Query(*key, "empty"), "\0"s) << "an empty list is one zero byte";
  // The form written for DHCP: one item with its zero, no second zero.
  Set(*key, "dhcp", kRegMultiSz, "0.0.0.0\0"s);
  EXPECT_EQ(Query(*key, "dhcp"), "0.0.0.0\0"s);
  EXPECT_EQ(DecodeMultiString(Query(*key, "dhcp")), std::vector<std::string>{"0.0.0.0"});
}

void StringTermination(Scratch& s) {
  auto key = s.Create("t");
  Set(*key, "with", kRegSz, "abc\0"s);
  Set(*key, "without", kRegSz, "abc");
  Set(*key, "expand", kRegExpandSz, "%x%");
  Set(*key, "multi", kRegMultiSz, "a\0"s);
  EXPECT_EQ(Query(*key, "with"), "abc\0"s);
  EXPECT_EQ(Query(*key, "without"), "abc") << "stored as given, no zero added";
  EXPECT_EQ(Query(*key, "expand"), "%x%");
  EXPECT_EQ(Query(*key, "multi"), "a\0"s);
}

void SizeZeroValues(Scratch& s) {
  auto key = s.Create("z");
  for (uint32_t type : {kRegSz, kRegBinary, kRegDword, kRegMultiSz, kRegNone}) {
    SCOPED_TRACE("type " + std::to_string(type));
    Set(*key, "v", type, "");
    uint32_t got = kMarkerType;
    std::string data = "marker";
    EXPECT_EQ(key->QueryValue("v", 0, got, data), kErrorSuccess);
    EXPECT_EQ(data, "");
    EXPECT_EQ(got, type);
  }
}

void DeleteValue(Scratch& s) {
  auto key = s.Create("d");
  Set(*key, "v", kRegDword, "\x01\0\0\0"s);
  Set(*key, "", kRegSz, "default\0"s);
  EXPECT_EQ(Query(*key, ""), "default\0"s);
  EXPECT_EQ(key->DeleteValue("V"), kErrorSuccess);
  EXPECT_EQ(Query(*key, "v"), "<error 2>");
  EXPECT_EQ(key->DeleteValue("v"), kErrorFileNotFound);
  EXPECT_EQ(key->DeleteValue(""), kErrorSuccess);
  EXPECT_EQ(Query(*key, ""), "<error 2>") << "no default value left";
}

void TypesAndBytesKept(Scratch& s) {
  auto key = s.Create("k");
  uint32_t type = 0;
  Set(*key, "v", kRegSz, "1\0"s);
  Set(*key, "v", kRegDword, "\x01\0\0\0"s);
  EXPECT_EQ(Query(*key, "v", &type), "\x01\0\0\0"s);
  EXPECT_EQ(type, kRegDword);
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  Set(*key, "all", kRegBinary, all);
  EXPECT_EQ(Query(*key, "all"), all);
  Set(*key, "none", kRegNone, "\0\xff"s);
  EXPECT_EQ(Query(*key, "none", &type), "\0\xff"s);
  EXPECT_EQ(type, kRegNone);
  Set(*key, "odd", 0x12345, "\x7f");
  EXPECT_EQ(Query(*key, "odd", &type), "\x7f");
  EXPECT_EQ(type, 0x12345u);
}

void AccessRights(Scratch& s) {
  {
    auto setup = s.Create("r");
    Set(*setup, "v", kRegSz, "old\0"s);
    s.Create("r\\sub");
  }
  struct {
    const char* name;
    uint32_t access;
    bool query, set, enumerate;
  } rows[] = {
      {"KEY_QUERY_VALUE", kKeyQueryValue, true, false, false},
      {"KEY_SET_VALUE", kKeySetValue, false, true, false},
      {"KEY_ENUMERATE_SUB_KEYS", kKeyEnumerateSubKeys, false, false, true},
      {"KEY_READ", kKeyRead, true, false, true},
      {"KEY_WRITE", kKeyWrite, false, true, false},
      {"KEY_ALL_ACCESS", kKeyAllAccess, true, true, true},
      {"GENERIC_READ", kGenericRead, true, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto all = s.Open("r");
    Set(*all, "v", kRegSz, "old\0"s);
    Set(*all, "gone", kRegSz, "x\0"s);
    auto key = s.Open("r", row.access);
    auto expect = [](bool allowed) { return allowed ? kErrorSuccess : kErrorAccessDenied; };
    uint32_t type = 0;
    std::string data;
    EXPECT_EQ(key->QueryValue("v", 256, type, data), expect(row.query));
    EXPECT_EQ(key->SetValue("v", kRegSz, "new\0"s), expect(row.set));
    EXPECT_EQ(key->DeleteValue("gone"), expect(row.set));
    std::string name;
    EXPECT_EQ(key->EnumKey(0, 256, name), expect(row.enumerate));
    EXPECT_EQ(Query(*all, "v"), row.set ? "new\0"s : "old\0"s);
    EXPECT_EQ(Query(*all, "gone"), row.set ? "<error 2>"s : "x\0"s);
  }
  // CreateKey grants what was asked for, too.
  std::unique_ptr<IRegistryKey> created;
  ASSERT_EQ(s.reg.CreateKey(s.hive, s.P("r\\new"), kKeyQueryValue, created), kErrorSuccess);
  EXPECT_EQ(created->SetValue("v", kRegSz, "x\0"s), kErrorAccessDenied);
}

void DeletedKeyHandle(Scratch& s) {
  auto key = s.Create("gone");
  Set(*key, "v", kRegSz, "x\0"s);
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("gone")), kErrorSuccess);
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(key->QueryValue("v", 256, type, data), kErrorKeyDeleted);
  EXPECT_EQ(key->SetValue("v", kRegSz, "y\0"s), kErrorKeyDeleted);
  EXPECT_EQ(key->DeleteValue("v"), kErrorKeyDeleted);
  std::string name;
  EXPECT_EQ(key->EnumKey(0, 256, name), kErrorKeyDeleted);
  // A new key of the same name is another key.
  auto fresh = s.Create("gone");
  EXPECT_EQ(key->QueryValue("v", 256, type, data), kErrorKeyDeleted);
  EXPECT_EQ(Query(*fresh, "v"), "<error 2>");
}

void DeleteKeyRules(Scratch& s) {
  s.Create("p\\c");
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("p")), kErrorAccessDenied) << "a key with subkeys";
  EXPECT_EQ(s.OpenRc("p\\c"), kErrorSuccess);
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("missing")), kErrorFileNotFound);
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("P\\C")), kErrorSuccess);
  EXPECT_EQ(s.reg.DeleteKey(s.hive, s.P("p")), kErrorSuccess);
  EXPECT_EQ(s.OpenRc("p"), kErrorFileNotFound);
}

void Cp932Names(Scratch& s) {
  // 表 = 95 5C and 能 = 94 5C: their trail bytes are no path separators.
  auto deep = s.Create("表\\能");
  EXPECT_EQ(Subkeys(*s.Open("")), std::vector<std::string>{"表"});
  EXPECT_EQ(Subkeys(*s.Open("表")), std::vector<std::string>{"能"});
  // ソ = 83 5C; ア = 83 41 and ャ = 83 61 differ only in a trail byte that
  // is an ASCII letter, which case folding must leave alone.
  Set(*deep, "ソフト", kRegSz, "表示\0"s);
  Set(*deep, "ア", kRegSz, "1\0"s);
  Set(*deep, "ャ", kRegSz, "2\0"s);
  EXPECT_EQ(Query(*deep, "ソフト"), "表示\0"s);
  EXPECT_EQ(Query(*deep, "ア"), "1\0"s);
  EXPECT_EQ(Query(*deep, "ャ"), "2\0"s);
  // Windows orders by UTF-16: 字 (U+5B57) before 漢 (U+6F22), against
  // their CP932 bytes (8E9A, 8ABF).
  s.Create("並\\漢");
  s.Create("並\\字");
  EXPECT_EQ(Subkeys(*s.Open("並")), (std::vector<std::string>{"字", "漢"}));
  // Buffer sizes count CP932 bytes.
  auto parent = s.Open("", kKeyEnumerateSubKeys);
  std::string name = "marker";
  EXPECT_EQ(parent->EnumKey(1, 2, name), kErrorMoreData);
  EXPECT_EQ(parent->EnumKey(1, 3, name), kErrorSuccess);
  EXPECT_EQ(name, "表");
}

// A known difference, pinned on both sides: Windows (and Wine) upper-case
// names in Unicode, so fullwidth Ａ and ａ name one key; the simulated
// registry folds ASCII letters only, as the whole system compares names.
// No key or value the system uses has such letters.
void FullwidthLetters(Scratch& s) {
  s.Create("Ａ");
  s.Create("ａ");
  const std::vector<std::string> windows = {"Ａ"}, simulated = {"Ａ", "ａ"};
  EXPECT_EQ(Subkeys(*s.Open("")), s.win32 ? windows : simulated);
}

void PathForms(Scratch& s) {
  s.Create("a\\b");
  EXPECT_EQ(s.OpenRc("a\\b\\"), kErrorSuccess) << "a trailing backslash is skipped";
  EXPECT_EQ(s.OpenRc("a\\\\b"), kErrorSuccess) << "so are repeated ones";
  std::unique_ptr<IRegistryKey> key;
  EXPECT_EQ(s.reg.OpenKey(s.hive, "\\" + s.P("a"), kKeyRead, key), kErrorBadPathname);
  EXPECT_EQ(s.reg.CreateKey(s.hive, "\\" + s.P("x"), kKeyAllAccess, key), kErrorBadPathname);
  EXPECT_EQ(key, nullptr);
  s.Create("c\\\\d\\");
  EXPECT_EQ(Subkeys(*s.Open("c")), std::vector<std::string>{"d"});
}

struct PeerCase {
  const char* name;
  void (*run)(Scratch&);
};

const PeerCase kCases[] = {
    {"OpenMissingKey", OpenMissingKey},
    {"CreateNested", CreateNested},
    {"CaseInsensitiveNames", CaseInsensitiveNames},
    {"EnumOrder", EnumOrder},
    {"EnumOrderUpperCased", EnumOrderUpperCased},
    {"EnumBufferSizes", EnumBufferSizes},
    {"QueryBufferSizes", QueryBufferSizes},
    {"MultiStrings", MultiStrings},
    {"StringTermination", StringTermination},
    {"SizeZeroValues", SizeZeroValues},
    {"DeleteValue", DeleteValue},
    {"TypesAndBytesKept", TypesAndBytesKept},
    {"AccessRights", AccessRights},
    {"DeletedKeyHandle", DeletedKeyHandle},
    {"DeleteKeyRules", DeleteKeyRules},
    {"Cp932Names", Cp932Names},
    {"FullwidthLetters", FullwidthLetters},
    {"PathForms", PathForms},
};

// Removes a key and everything below it.
void DeleteTree(IRegistry& reg, Hive hive, const std::string& path) {
  std::vector<std::string> children;
  {
    std::unique_ptr<IRegistryKey> key;
    if (reg.OpenKey(hive, path, kKeyRead, key) != kErrorSuccess) return;
    children = Subkeys(*key);
  }
  for (const auto& child : children) DeleteTree(reg, hive, path + "\\" + child);
  reg.DeleteKey(hive, path);
}

class RegistryPeer : public ::testing::TestWithParam<std::tuple<Backend, size_t>> {
 protected:
  void SetUp() override {
    backend_ = std::get<0>(GetParam());
    std::random_device random;
    base_ = "Software\\VelandraTest\\" + std::string(kCases[std::get<1>(GetParam())].name) +
            "-" + std::to_string(random());
#ifdef _WIN32
    if (backend_ == Backend::Win32) reg_ = std::make_unique<win32::Win32Registry>();
#endif
    if (!reg_) reg_ = std::make_unique<SimRegistry>();
    std::unique_ptr<IRegistryKey> key;
    ASSERT_EQ(reg_->CreateKey(Hive::CurrentUser, base_, kKeyAllAccess, key), kErrorSuccess);
  }
  void TearDown() override {
    DeleteTree(*reg_, Hive::CurrentUser, base_);
    reg_->DeleteKey(Hive::CurrentUser, "Software\\VelandraTest");  // when empty
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(reg_->OpenKey(Hive::CurrentUser, base_, kKeyRead, key), kErrorFileNotFound)
        << "the scratch key must be gone";
  }

  Backend backend_ = Backend::Sim;
  std::string base_;
  std::unique_ptr<IRegistry> reg_;
};

TEST_P(RegistryPeer, Behaves) {
  Scratch s{*reg_, Hive::CurrentUser, base_, backend_ == Backend::Win32};
  kCases[std::get<1>(GetParam())].run(s);
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Backend, size_t>>& info) {
  return std::string(std::get<0>(info.param) == Backend::Sim ? "Sim_" : "Win32_") +
         kCases[std::get<1>(info.param)].name;
}

INSTANTIATE_TEST_SUITE_P(Sim, RegistryPeer,
                         ::testing::Combine(::testing::Values(Backend::Sim),
                                            ::testing::Range<size_t>(0, std::size(kCases))),
                         CaseName);
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Win32, RegistryPeer,
                         ::testing::Combine(::testing::Values(Backend::Win32),
                                            ::testing::Range<size_t>(0, std::size(kCases))),
                         CaseName);
#endif

// ---- the simulated registry only: failure injection and its file ----

const char kAdapterFixture[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    "{4D36E972-E325-11CE-BFC1-08002BE10318}]\r\n"
    "\"EnableDHCP\"=dword:00000000\r\n"
    "\"IPAddress\"=hex(7):31,30,2e,30,2e,30,2e,35,00,00\r\n"
    "\"NameServer\"=\"10.0.0.1,10.0.0.2\"\r\n";
const char kInterface[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    "{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kInterfaceOtherCase[] =
    "system\\currentcontrolset\\services\\tcpip\\parameters\\interfaces\\"
    "{4d36e972-e325-11ce-bfc1-08002be10318}\\";

TEST(SimRegistryFailures, InjectedFailuresReachTheCaller) {
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadText(kAdapterFixture, error)) << error;
  reg.FailOpen(Hive::LocalMachine, kInterfaceOtherCase, kErrorAccessDenied);
  reg.FailQuery(Hive::LocalMachine, kInterface, "enabledhcp", kErrorInvalidData);
  reg.FailQuery(Hive::LocalMachine, kInterface, "Domain", kErrorNotEnoughMemory);

  RegKey key;
  EXPECT_EQ(key.Open(reg, Hive::LocalMachine, kInterface, kKeyQueryValue), kErrorAccessDenied);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(key.Create(reg, Hive::LocalMachine, kInterface, kKeyAllAccess), kErrorAccessDenied);
  EXPECT_EQ(key.Open(reg, Hive::LocalMachine, "SYSTEM\\CurrentControlSet", kKeyRead),
            kErrorSuccess)
      << "other keys open";

  // Queries through a key opened before the open failure was injected.
  reg.ClearFailures();
  ASSERT_EQ(key.Open(reg, Hive::LocalMachine, kInterface, kKeyAllAccess), kErrorSuccess);
  reg.FailQuery(Hive::LocalMachine, kInterface, "enabledhcp", kErrorInvalidData);
  reg.FailQuery(Hive::LocalMachine, kInterfaceOtherCase, "Domain", kErrorNotEnoughMemory);
  reg.FailSetValue(Hive::LocalMachine, kInterface, "IPADDRESS", kErrorAccessDenied);
  uint32_t dword = 7;
  EXPECT_EQ(key.QueryDword("EnableDHCP", dword), kErrorInvalidData);
  EXPECT_EQ(dword, 7u);
  std::string text;
  EXPECT_EQ(key.QueryString("Domain", 128, text), kErrorNotEnoughMemory)
      << "a missing value fails with the injected code too";
  EXPECT_EQ(key.QueryString("NameServer", 256, text), kErrorSuccess);
  EXPECT_EQ(text, "10.0.0.1,10.0.0.2");
  EXPECT_EQ(key.SetMultiString("IPAddress", {"10.0.0.9"}), kErrorAccessDenied);
  std::vector<std::string> items;
  EXPECT_EQ(key.QueryMultiString("IPAddress", 256, items), kErrorSuccess);
  EXPECT_EQ(items, std::vector<std::string>{"10.0.0.5"}) << "the failed write changed nothing";
  EXPECT_EQ(key.SetString("Domain", "example.jp"), kErrorSuccess) << "other values are written";

  reg.ClearFailures();
  EXPECT_EQ(key.QueryDword("EnableDHCP", dword), kErrorSuccess);
  EXPECT_EQ(dword, 0u);
  EXPECT_EQ(key.SetMultiString("IPAddress", {"10.0.0.9"}), kErrorSuccess);
}

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("velandra-reg-" + std::string(info->name()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string FileText(const std::filesystem::path& file) {
  std::string data;
  EXPECT_TRUE(sim::ReadHostFile(file, data)) << file;
  return data;
}

TEST(SimRegistryFile, MissingFileIsEmptyAndAppearsWithTheFirstChange) {
  ScratchDir dir;
  const auto file = dir.path() / "pc.reg";
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadFile(file, error)) << error;
  EXPECT_EQ(reg.ToRegedit4(), "REGEDIT4\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(file));
  std::unique_ptr<IRegistryKey> key;
  ASSERT_EQ(reg.CreateKey(Hive::LocalMachine, "SYSTEM", kKeyAllAccess, key), kErrorSuccess);
  EXPECT_EQ(FileText(file), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\r\n");
}

TEST(SimRegistryFile, EveryChangeSurvivesAReload) {
  ScratchDir dir;
  const auto file = dir.path() / "pc.reg";
  ASSERT_TRUE(sim::WriteHostFileAtomically(file, kAdapterFixture));
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadFile(file, error)) << error;
  RegKey key;
  ASSERT_EQ(key.Open(reg, Hive::LocalMachine, kInterface, kKeyAllAccess), kErrorSuccess);

  struct {
    const char* name;
    std::function<void()> change;
  } steps[] = {
      {"set value", [&] { EXPECT_EQ(key.SetDword("EnableDHCP", 1), kErrorSuccess); }},
      {"delete value", [&] { EXPECT_EQ(key.DeleteValue("NameServer"), kErrorSuccess); }},
      {"create key", [&] {
         RegKey created;
         EXPECT_EQ(created.Create(reg, Hive::CurrentUser, "Software\\表\\新", kKeyAllAccess),
                   kErrorSuccess);
       }},
      {"delete key", [&] {
         EXPECT_EQ(reg.DeleteKey(Hive::CurrentUser, "Software\\表\\新"), kErrorSuccess);
       }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    EXPECT_EQ(FileText(file), reg.ToRegedit4());
    SimRegistry reloaded;
    ASSERT_TRUE(reloaded.LoadFile(file, error)) << error;
    EXPECT_EQ(reloaded.ToRegedit4(), reg.ToRegedit4());
  }
  SimRegistry reloaded;
  ASSERT_TRUE(reloaded.LoadFile(file, error)) << error;
  RegKey again;
  ASSERT_EQ(again.Open(reloaded, Hive::LocalMachine, kInterface, kKeyQueryValue), kErrorSuccess);
  uint32_t dhcp = 0;
  EXPECT_EQ(again.QueryDword("EnableDHCP", dhcp), kErrorSuccess);
  EXPECT_EQ(dhcp, 1u);
  std::string text;
  EXPECT_EQ(again.QueryString("NameServer", 256, text), kErrorFileNotFound);
  EXPECT_EQ(again.Open(reloaded, Hive::CurrentUser, "Software\\表", kKeyRead), kErrorSuccess);
}

TEST(SimRegistryFile, BrokenFileLeavesTheRegistryAsItWas) {
  ScratchDir dir;
  const auto good = dir.path() / "good.reg";
  const auto broken = dir.path() / "壊れた.reg";
  const std::string brokenText = "REGEDIT4\r\n[HKEY_CURRENT_USER\\x]\r\n\"a\"=dword:zz\r\n";
  ASSERT_TRUE(sim::WriteHostFileAtomically(good, kAdapterFixture));
  ASSERT_TRUE(sim::WriteHostFileAtomically(broken, brokenText));
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadFile(good, error)) << error;
  const std::string before = reg.ToRegedit4();

  EXPECT_FALSE(reg.LoadFile(broken, error));
  EXPECT_NE(error.find(sim::HostPathToUtf8(broken) + ": line 3: "), std::string::npos) << error;
  EXPECT_EQ(reg.ToRegedit4(), before);
  EXPECT_FALSE(reg.LoadText(brokenText, error));
  EXPECT_NE(error.find("line 3"), std::string::npos) << error;
  EXPECT_FALSE(reg.ImportText(brokenText, error));
  EXPECT_EQ(reg.ToRegedit4(), before);
  EXPECT_FALSE(reg.LoadFile(dir.path(), error)) << "a directory is no file";

  // Still bound to the good file; the broken one is not touched.
  RegKey key;
  ASSERT_EQ(key.Open(reg, Hive::LocalMachine, kInterface, kKeySetValue), kErrorSuccess);
  ASSERT_EQ(key.SetString("Domain", "example.jp"), kErrorSuccess);
  EXPECT_EQ(FileText(good), reg.ToRegedit4());
  EXPECT_EQ(FileText(broken), brokenText);
}

TEST(SimRegistryFile, FailedWriteBackUndoesTheChange) {
  ScratchDir dir;
  const auto file = dir.path() / "pc.reg";
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadFile(file, error)) << error;
  RegKey key;
  ASSERT_EQ(key.Create(reg, Hive::CurrentUser, "Software\\a", kKeyAllAccess), kErrorSuccess);
  ASSERT_EQ(key.SetString("v", "old"), kErrorSuccess);
  RegKey sub;
  ASSERT_EQ(sub.Create(reg, Hive::CurrentUser, "Software\\a\\sub", kKeyAllAccess), kErrorSuccess);
  const std::string before = reg.ToRegedit4();
  // A directory in the file's place: no replacement can be renamed there.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);

  EXPECT_EQ(key.SetString("v", "new"), kErrorWriteFault);
  EXPECT_EQ(key.SetString("w", "new"), kErrorWriteFault);
  EXPECT_EQ(key.DeleteValue("v"), kErrorWriteFault);
  EXPECT_EQ(reg.DeleteKey(Hive::CurrentUser, "Software\\a\\sub"), kErrorWriteFault);
  RegKey created;
  EXPECT_EQ(created.Create(reg, Hive::CurrentUser, "Software\\b\\c", kKeyAllAccess),
            kErrorWriteFault);
  EXPECT_FALSE(created.IsOpen());
  EXPECT_FALSE(reg.LoadText("REGEDIT4\r\n", error));
  EXPECT_FALSE(reg.ImportText("REGEDIT4\r\n[HKEY_USERS\\x]\r\n", error));
  EXPECT_FALSE(reg.LastWriteError().empty());
  EXPECT_EQ(reg.ToRegedit4(), before);
  std::string value;
  EXPECT_EQ(key.QueryString("v", 256, value), kErrorSuccess);
  EXPECT_EQ(value, "old");
  EXPECT_EQ(sub.SetString("still", "open"), kErrorWriteFault) << "the key was not deleted";
}

TEST(SimRegistryFile, ReplacingTheContentDeletesOpenKeys) {
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadText(kAdapterFixture, error)) << error;
  RegKey key, hive;
  ASSERT_EQ(key.Open(reg, Hive::LocalMachine, kInterface, kKeyAllAccess), kErrorSuccess);
  ASSERT_EQ(hive.Open(reg, Hive::LocalMachine, "", kKeyAllAccess), kErrorSuccess);
  ASSERT_TRUE(reg.LoadText(kAdapterFixture, error)) << error;
  uint32_t dword = 0;
  EXPECT_EQ(key.QueryDword("EnableDHCP", dword), kErrorKeyDeleted);
  std::string name;
  EXPECT_EQ(hive.EnumKey(0, 256, name), kErrorSuccess) << "hive keys stay";
  EXPECT_EQ(name, "SYSTEM");
}

TEST(SimRegistryFile, ImportAppliesOntoThePresentContent) {
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadText(kAdapterFixture, error)) << error;
  ASSERT_TRUE(reg.ImportText(
      std::string("REGEDIT4\r\n\r\n[") + "HKEY_LOCAL_MACHINE\\" + kInterface +
          "]\r\n\"NameServer\"=-\r\n\"enabledhcp\"=dword:00000001\r\n"
          "[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
          "Interfaces]\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\"
          "Parameters\\Interfaces\\{X}]\r\n\"EnableDHCP\"=dword:00000002\r\n",
      error))
      << error;
  EXPECT_EQ(reg.ToRegedit4(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
            "Interfaces]\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
            "Interfaces\\{X}]\r\n\"EnableDHCP\"=dword:00000002\r\n\r\n");
}

TEST(SimRegistryFile, NamesTheFileCannotHoldAreRefused) {
  SimRegistry reg;
  std::unique_ptr<IRegistryKey> key;
  EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, "a\nb", kKeyAllAccess, key), kErrorInvalidParameter);
  EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, "a\x81", kKeyAllAccess, key), kErrorInvalidParameter);
  EXPECT_EQ(reg.OpenKey(Hive::CurrentUser, "a\0b"s, kKeyRead, key), kErrorInvalidParameter);
  ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "a", kKeyAllAccess, key), kErrorSuccess);
  EXPECT_EQ(key->SetValue("x\ny", kRegSz, "\0"s), kErrorInvalidParameter);
  EXPECT_EQ(reg.ToRegedit4(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n\r\n");
}

TEST(SimRegistryFile, UnicodeExportIsRewrittenAsRegedit4) {
  ScratchDir dir;
  const auto file = dir.path() / "export.reg";
  std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\\u8868]\r\n"
      u"\"\u540d\"=\"\u5024\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  ASSERT_TRUE(sim::WriteHostFileAtomically(file, bytes));
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadFile(file, error)) << error;
  RegKey key;
  ASSERT_EQ(key.Open(reg, Hive::CurrentUser, "表", kKeyAllAccess), kErrorSuccess);
  std::string value;
  EXPECT_EQ(key.QueryString("名", 256, value), kErrorSuccess);
  EXPECT_EQ(value, "値");
  ASSERT_EQ(key.SetDword("n", 1), kErrorSuccess);
  EXPECT_EQ(FileText(file),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\表]\r\n\"名\"=\"値\"\r\n\"n\"=dword:00000001\r\n"
            "\r\n");
}

}  // namespace
}  // namespace velandra::platform
