#include "system/hosts_files.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra {
namespace {

using platform::MessageIcon;

constexpr char kSystemHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
constexpr char kSystemLmhosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts";
constexpr char kHostsFile[] = "C/WINDOWS/system32/drivers/etc/hosts";
constexpr char kLmhostsFile[] = "C/WINDOWS/system32/drivers/etc/lmhosts";
constexpr char kProgramDir[] = "C/Program Files/Velandra";

// The demo PC: system hosts, hosts.sam and lmhosts.sam, no lmhosts; a hosts
// variant for 本社 beside the executable.
class HostsFilesTest : public ::testing::Test {
 protected:
  platform::Platform& P() { return pc_.Open().platform(); }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }
  std::set<std::string> ProgramFolder() {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(pc_.dir() / kProgramDir))
      names.insert(e.path().filename().string());
    return names;
  }
  testing::ScratchPc pc_;
};

TEST_F(HostsFilesTest, SystemPathsOnBothLayouts) {
  EXPECT_EQ(SystemHostsPath(P().system, HostsKind::Hosts), kSystemHosts);
  EXPECT_EQ(SystemHostsSamplePath(P().system, HostsKind::Lmhosts),
            "C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts.sam");
  testing::ScratchPc w2k(platform::sim::DemoVariant::Windows2000);
  EXPECT_EQ(SystemHostsPath(w2k.Open().platform().system, HostsKind::Lmhosts),
            "C:\\WINNT\\system32\\drivers\\etc\\lmhosts");
}

TEST_F(HostsFilesTest, SnapshotCopiesWhatThePcHasUnderThePlaceName) {
  pc_.WriteFile(std::string(kProgramDir) + "/hosts.表計算ソフト", "stale\r\n");
  config::HostsFiles files{"marker", "marker"};
  SnapshotHostsFiles(P(), "表計算ソフト", files);
  EXPECT_EQ(files.HOSTS, "C:\\Program Files\\Velandra\\hosts.表計算ソフト");
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/hosts.表計算ソフト"),
            pc_.ReadFile(kHostsFile));  // overwritten without asking
  // No system lmhosts: no variant, no message, and the group compares equal.
  EXPECT_EQ(files.LMHOSTS, "");
  EXPECT_TRUE(Messages().empty());
  const HostsComparison same = CompareHostsFiles(P(), files);
  EXPECT_TRUE(same.SameHosts);
  EXPECT_TRUE(same.SameLmhosts);

  // With a system lmhosts the snapshot takes it too.
  pc_.WriteFile(kLmhostsFile, "10.1.0.9 SERVER #PRE\r\n");
  SnapshotHostsFiles(P(), "ソ", files);
  EXPECT_EQ(files.HOSTS, "C:\\Program Files\\Velandra\\hosts.ソ");
  EXPECT_EQ(files.LMHOSTS, "C:\\Program Files\\Velandra\\lmhosts.ソ");
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/lmhosts.ソ"), "10.1.0.9 SERVER #PRE\r\n");
}

TEST_F(HostsFilesTest, SnapshotForARefusedNameWritesNothingAndSaysWhichPlace) {
  const std::set<std::string> before = ProgramFolder();
  pc_.WriteFile(kLmhostsFile, "x\r\n");
  config::HostsFiles files{"marker", "marker"};
  SnapshotHostsFiles(P(), "..\\..\\WINDOWS\\win", files);
  EXPECT_EQ(files, (config::HostsFiles{"", ""}));
  EXPECT_EQ(ProgramFolder(), before);
  ASSERT_EQ(Messages().size(), 1u);  // one for both files
  EXPECT_EQ(Messages()[0].Icon, MessageIcon::Warning);
  EXPECT_NE(Messages()[0].Text.find("接続場所「..\\..\\WINDOWS\\win」"), std::string::npos)
      << platform::Cp932ToUtf8(Messages()[0].Text);
  EXPECT_EQ(pc_.ReadFile("C/WINDOWS/win"), "");
}

TEST_F(HostsFilesTest, CreateTakesTheSystemFileThenTheSampleThenAnEmptyFile) {
  // hosts: the system file, at the default path.
  std::string path;
  ASSERT_TRUE(CreateHostsVariant(P(), HostsKind::Hosts, "表計算ソフト", path));
  EXPECT_EQ(path, "C:\\Program Files\\Velandra\\hosts.表計算ソフト");
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/hosts.表計算ソフト"),
            pc_.ReadFile(kHostsFile));
  // lmhosts: no system file, so its sample, named in the message.
  std::string lmPath;
  ASSERT_TRUE(CreateHostsVariant(P(), HostsKind::Lmhosts, "表計算ソフト", lmPath));
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/lmhosts.表計算ソフト"),
            pc_.ReadFile("C/WINDOWS/system32/drivers/etc/lmhosts.sam"));
  // Neither: an empty file replaces what the given path held.
  pc_.WriteFile(std::string(kProgramDir) + "/mine", "old\r\n");
  std::filesystem::remove(pc_.dir() / kHostsFile);
  std::filesystem::remove(pc_.dir() / "C/WINDOWS/system32/drivers/etc/hosts.sam");
  std::string given = "C:\\Program Files\\Velandra\\mine";
  ASSERT_TRUE(CreateHostsVariant(P(), HostsKind::Hosts, "本社", given));
  EXPECT_EQ(given, "C:\\Program Files\\Velandra\\mine");
  EXPECT_TRUE(P().files.Exists(given));
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/mine"), "");

  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].Text, std::string(kSystemHosts) + " からhostsファイルをコピーしました");
  EXPECT_EQ(Messages()[0].Icon, MessageIcon::Information);
  EXPECT_EQ(Messages()[1].Text,
            "C:\\WINDOWS\\system32\\drivers\\etc\\lmhosts.sam からlmhostsファイルをコピーしました");
  EXPECT_EQ(Messages()[2].Text,
            "元のHOSTS、またはHOSTS.SAMが見つかりませんでした。空のファイルを作成します");
  EXPECT_EQ(Messages()[2].Icon, MessageIcon::Warning);
}

TEST_F(HostsFilesTest, CreateRefusesANameThatLeavesTheFolderButNotAGivenPath) {
  const std::set<std::string> before = ProgramFolder();
  std::string path;
  EXPECT_FALSE(CreateHostsVariant(P(), HostsKind::Hosts, "x\\..\\..\\boot.ini", path));
  EXPECT_EQ(path, "");
  EXPECT_EQ(ProgramFolder(), before);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Icon, MessageIcon::Warning);
  EXPECT_NE(Messages()[0].Text.find("x\\..\\..\\boot.ini"), std::string::npos);
  // The place name plays no part when the page names the file.
  path = "C:\\Program Files\\Velandra\\hosts.con-free";
  EXPECT_TRUE(CreateHostsVariant(P(), HostsKind::Hosts, "CON", path));
}

TEST_F(HostsFilesTest, CreateIntoAFolderThatIsNotThereSaysSoAndFails) {
  std::string path = "C:\\nowhere\\hosts.x";
  EXPECT_FALSE(CreateHostsVariant(P(), HostsKind::Hosts, "x", path));
  EXPECT_FALSE(P().files.Exists(path));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text,
            std::string(kSystemHosts) + " を C:\\nowhere\\hosts.x にコピーできませんでした");
}

TEST(PlaceNameFileProblem, RefusedAndAllowedNames) {
  struct Row {
    const char* name;
    bool allowed;
  } rows[] = {
      {"本社", true},
      {"表計算ソフト", true},  // trail bytes 0x5C
      {"ソ", true},
      {"表\\", false},         // the trail byte, then a real backslash
      {"Branch Office 2", true},
      {"a.b", true},
      {"-x", true},
      {"CONSOLE", true},
      {"LPT10", true},
      {"COM0", true},
      {"", false},
      {"a\\b", false},
      {"a/b", false},
      {"..", false},
      {"a..b", false},
      {"C:", false},
      {"a*", false},
      {"a?", false},
      {"a\"b", false},
      {"a<b", false},
      {"a>b", false},
      {"a|b", false},
      {"a\tb", false},
      {"a\x7f", false},
      {"a.", false},
      {"a ", false},
      {"本社.", false},
      {"CON", false},
      {"con", false},
      {"Nul.txt", false},
      {"AUX .x", false},
      {"PRN", false},
      {"COM1", false},
      {"lpt9", false},
      {"\x81", false},    // a lead byte without its trail byte
      {"ab\x95", false},
  };
  testing::ScratchPc pc;
  platform::ISystemInfo& system = pc.Open().platform().system;
  for (const Row& row : rows) {
    SCOPED_TRACE(platform::Cp932ToUtf8(row.name));
    const std::string problem = PlaceNameFileProblem(row.name);
    EXPECT_EQ(problem.empty(), row.allowed) << platform::Cp932ToUtf8(problem);
    for (HostsKind kind : {HostsKind::Hosts, HostsKind::Lmhosts}) {
      std::string path = "marker", message;
      EXPECT_EQ(DefaultVariantPath(system, kind, row.name, path, message), row.allowed);
      if (row.allowed) {
        EXPECT_EQ(path, std::string("C:\\Program Files\\Velandra\\") + HostsFileName(kind) +
                            "." + row.name);
      } else {
        EXPECT_EQ(path, "marker");
        EXPECT_NE(message.find(std::string("「") + row.name + "」"), std::string::npos);
      }
    }
  }
  // A name that fits alone but not with the program folder.
  std::string path, message;
  EXPECT_TRUE(DefaultVariantPath(system, HostsKind::Lmhosts, std::string(225, 'a'), path, message));
  EXPECT_FALSE(DefaultVariantPath(system, HostsKind::Lmhosts, std::string(226, 'a'), path, message));
  EXPECT_NE(message.find("長すぎます"), std::string::npos);
}

TEST_F(HostsFilesTest, ComparedLineByLine) {
  struct Row {
    const char* label;
    const char* system;   // null: missing
    const char* variant;  // null: missing
    bool same;
  } rows[] = {
      {"crlf_against_lf", "a\r\nb\r\n", "a\nb\n", true},
      {"no_final_line_end", "a\r\nb", "a\r\nb\r\n", true},
      {"extra_empty_line", "a\r\n", "a\r\n\r\n", false},
      {"one_line_differs", "a\r\nb\r\n", "a\r\nc\r\n", false},
      {"blank_at_line_end", "a\r\n", "a \r\n", false},
      {"both_missing", nullptr, nullptr, true},
      {"variant_missing", "a\r\n", nullptr, false},
      {"system_missing", nullptr, "a\r\n", false},
      {"both_empty", "", "", true},
  };
  const std::string variant = "C:\\Program Files\\Velandra\\hosts.cmp";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::filesystem::remove(pc_.dir() / kHostsFile);
    std::filesystem::remove(pc_.dir() / kProgramDir / "hosts.cmp");
    if (row.system) pc_.WriteFile(kHostsFile, row.system);
    if (row.variant) pc_.WriteFile(std::string(kProgramDir) + "/hosts.cmp", row.variant);
    EXPECT_EQ(SameAsSystemFile(P().files, kSystemHosts, variant), row.same);
  }
  // An empty path is a missing variant; an unknown system directory a
  // missing system file.
  std::filesystem::remove(pc_.dir() / kHostsFile);
  EXPECT_TRUE(SameAsSystemFile(P().files, kSystemHosts, ""));
  EXPECT_TRUE(SameAsSystemFile(P().files, "", ""));
  EXPECT_FALSE(SameAsSystemFile(P().files, "", variant));
}

TEST_F(HostsFilesTest, InstallThenCompareEqual) {
  const config::HostsFiles honsha{"C:\\Program Files\\Velandra\\hosts.本社", ""};
  pc_.WriteFile(kLmhostsFile, "old lmhosts\r\n");
  HostsComparison before = CompareHostsFiles(P(), honsha);
  EXPECT_FALSE(before.SameHosts);  // the demo's variant has the intranet line
  EXPECT_FALSE(before.SameLmhosts);

  ASSERT_TRUE(ApplyHostsFiles(P(), honsha));
  EXPECT_EQ(pc_.ReadFile(kHostsFile), pc_.ReadFile(std::string(kProgramDir) + "/hosts.本社"));
  EXPECT_FALSE(std::filesystem::exists(pc_.dir() / kLmhostsFile));  // no variant: deleted
  HostsComparison after = CompareHostsFiles(P(), honsha);
  EXPECT_TRUE(after.SameHosts);
  EXPECT_TRUE(after.SameLmhosts);
  // Again, with lmhosts already gone: nothing to report.
  EXPECT_TRUE(ApplyHostsFiles(P(), honsha));
  EXPECT_TRUE(Messages().empty());
  EXPECT_NE(DescribeHostsFiles(P(), honsha).find("hosts.本社 … システムのファイルと同じ"),
            std::string::npos);
}

TEST_F(HostsFilesTest, InstallSkipsWhatTheComparisonFoundEqual) {
  const std::string system = pc_.ReadFile(kHostsFile);
  ASSERT_TRUE(ApplyHostsFiles(P(), config::HostsFiles{"", ""}, HostsComparison{true, true}));
  EXPECT_EQ(pc_.ReadFile(kHostsFile), system);
  ASSERT_TRUE(ApplyHostsFiles(P(), config::HostsFiles{"", ""}, HostsComparison{false, true}));
  EXPECT_FALSE(std::filesystem::exists(pc_.dir() / kHostsFile));
}

// Files whose writes to one path fail, as a full disk or a locked file
// would make them; a copy must never go through CopyFile, which can leave a
// half-written target.
class FailingWrites : public platform::IFiles {
 public:
  FailingWrites(platform::IFiles& inner, std::string failing)
      : inner_(inner), failing_(std::move(failing)) {}
  bool Exists(const std::string& p) override { return inner_.Exists(p); }
  bool IsDirectory(const std::string& p) override { return inner_.IsDirectory(p); }
  bool ReadFile(const std::string& p, std::string& d) override { return inner_.ReadFile(p, d); }
  bool WriteFile(const std::string& p, const std::string& d) override {
    return p != failing_ && inner_.WriteFile(p, d);
  }
  bool CopyFile(const std::string&, const std::string&, bool) override {
    ADD_FAILURE() << "a copy that is not written whole";
    return false;
  }
  bool DeleteFile(const std::string& p, long* e) override { return inner_.DeleteFile(p, e); }
  bool CreateDirectories(const std::string& p) override { return inner_.CreateDirectories(p); }
  bool GrantAccess(const std::string& p, const std::string& a, uint32_t m) override {
    return inner_.GrantAccess(p, a, m);
  }

 private:
  platform::IFiles& inner_;
  std::string failing_;
};

TEST_F(HostsFilesTest, AFailedWriteLeavesTheOldFileAndIsReported) {
  platform::Platform& real = P();
  const std::string systemBefore = pc_.ReadFile(kHostsFile);

  // Installing over the system hosts.
  FailingWrites failingSystem(real.files, kSystemHosts);
  platform::Platform p{real.profile,  real.registry, real.system,    real.accounts,
                       failingSystem, real.shell,    real.messages,  real.processes,
                       real.session,  real.drives,   real.printers,  real.shares, real.domain};
  EXPECT_FALSE(ApplyHostsFiles(p, config::HostsFiles{"C:\\Program Files\\Velandra\\hosts.本社",
                                                     "C:\\Program Files\\Velandra\\none"}));
  EXPECT_EQ(pc_.ReadFile(kHostsFile), systemBefore);
  ASSERT_EQ(Messages().size(), 2u);  // hosts not written, lmhosts variant missing
  EXPECT_EQ(Messages()[0].Text, "C:\\Program Files\\Velandra\\hosts.本社 を " +
                                    std::string(kSystemHosts) + " にコピーできませんでした");

  // A snapshot over an existing variant.
  const std::string variant = "C:\\Program Files\\Velandra\\hosts.本社";
  const std::string variantBefore = pc_.ReadFile(std::string(kProgramDir) + "/hosts.本社");
  FailingWrites failingVariant(real.files, variant);
  platform::Platform q{real.profile,   real.registry, real.system,   real.accounts,
                       failingVariant, real.shell,    real.messages, real.processes,
                       real.session,   real.drives,   real.printers, real.shares, real.domain};
  config::HostsFiles files;
  SnapshotHostsFiles(q, "本社", files);
  EXPECT_EQ(files.HOSTS, "");
  EXPECT_EQ(pc_.ReadFile(std::string(kProgramDir) + "/hosts.本社"), variantBefore);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[2].Icon, MessageIcon::Warning);
  EXPECT_NE(Messages()[2].Text.find(variant), std::string::npos);
}

}  // namespace
}  // namespace velandra
