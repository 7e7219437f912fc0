#include "config/net_shares.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::config {
namespace {

using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;

class NetSharesFile : public ::testing::Test {
 protected:
  void SetUp() override { config_ = std::make_unique<ConfigFile>(pc_.Open().platform().profile, kDemoIniPath); }
  void SetIni(const std::string& data) { pc_.WriteFile(kDemoIniFile, data); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  NetShareList Read() {
    NetShareList list;
    ReadSharesFromConfig(*config_, "P1", list);
    return list;
  }

  ScratchPc pc_;
  std::unique_ptr<ConfigFile> config_;
};

SharePermission Entry(std::string name, std::string domain, uint8_t type, uint32_t mask,
                      uint8_t flags = 0) {
  return {std::move(name), std::move(domain), type, flags, mask};
}

NetShare Share(std::string name, std::string path, std::vector<SharePermission> access = {}) {
  NetShare s;
  s.ShareName = std::move(name);
  s.SharePath = std::move(path);
  s.Access = std::move(access);
  return s;
}

TEST_F(NetSharesFile, HandWrittenSectionReadsByTheFieldRules) {
  // "143136" is the stored form of "pw".
  SetIni(
      "[P1]\r\n"
      "NetShare01=資料,0,部署の資料,0,-1,2,C:\\共有\\資料,143136\r\n"
      "NetShare0101=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
      "NetShare0102=山田,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,3,00130116\r\n"
      "NetShare0103=yamada,\r\n"
      "NetShare0104=noComma\r\n"
      "NetShare0105=,DOM,OTHER,260,zz\r\n"
      "NetShare02=公開,\r\n"
      "NetShare03=印刷,1\r\n"
      "NetShare04=no comma at all\r\n"
      "NetShare05=機器,STYPE_DISKTREE,,7,SHI_USES_UNLIMITED,0,C:\\a,b\r\n"
      "NetShare07=after a gap\r\n");
  NetShareList list = Read();
  ASSERT_EQ(list.size(), 5u);

  NetShare first = Share("資料", "C:\\共有\\資料",
                         {Entry("Everyone", "", kAceAllowed, kShareRead),
                          Entry("山田", "VELANDRA-PC", kAceDenied, kShareChange, 3),
                          Entry("yamada", "", kAceAllowed, kShareFullControl),
                          Entry("Everyone", "", kAceAllowed, kShareFullControl),
                          // Any other word is a denied entry; flags keep the low byte.
                          Entry("Everyone", "DOM", kAceDenied, 0, 4)});
  first.Remark = "部署の資料";
  first.CurrentUses = 2;
  first.Password = "pw";
  EXPECT_EQ(list[0], first);
  // A name and one comma: a disk share with every default.
  EXPECT_EQ(list[1], Share("公開", ""));
  // The text after the single comma is ignored.
  EXPECT_EQ(list[2], Share("印刷", ""));
  EXPECT_EQ(list[3], Share("", ""));
  NetShare fifth = Share("機器", "C:\\a");
  fifth.Permissions = 7;
  fifth.Password = DecodeStoredPassword("b");
  EXPECT_EQ(list[4], fifth);
}

TEST_F(NetSharesFile, WrittenSharesReadBackEqual) {
  NetShare docs = Share("資料", "C:\\共有\\資料",
                        {Entry("Everyone", "", kAceAllowed, kShareRead),
                         Entry("yamada", "VELANDRA-PC", kAceDenied, kShareChangeAndRead, 2),
                         Entry("Administrators", "BUILTIN", kAceAllowed, kShareFullControl)});
  docs.Remark = "部署の資料 ソ表";
  docs.MaxUses = -1;
  docs.Password = "secret";
  NetShare printer = Share("プリンタ", "");
  printer.ShareType = kSharePrintQueue;
  printer.MaxUses = 5;
  printer.Permissions = 3;
  NetShareList shares = {docs, printer};
  std::string error;
  ASSERT_TRUE(WriteSharesToConfig(*config_, "P1", shares, &error)) << error;
  EXPECT_EQ(Read(), shares);
  std::string ini = Ini();
  EXPECT_NE(ini.find("NetShare01=資料,0,部署の資料 ソ表,0,-1,0,C:\\共有\\資料,"), std::string::npos) << ini;
  EXPECT_NE(ini.find("NetShare0101=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9"),
            std::string::npos);
  EXPECT_NE(ini.find("NetShare0102=yamada,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,2,001301bf"),
            std::string::npos);
}

TEST_F(NetSharesFile, RewriteLeavesNoStaleKeys) {
  SetIni("[P1]\r\nNetShare01=a,0,,0,-1,0,C:\\a,\r\nNetShare0101=x,\r\nNetShare0102=y,\r\n"
         "NetShare02=b,0,,0,-1,0,C:\\b,\r\nNetShare0201=z,\r\nOther=kept\r\n");
  NetShareList one = {Share("c", "C:\\c", {Entry("Everyone", "", kAceAllowed, kShareRead)})};
  ASSERT_TRUE(WriteSharesToConfig(*config_, "P1", one));
  EXPECT_EQ(Read(), one);
  std::string ini = Ini();
  for (const char* gone : {"NetShare0102", "NetShare02", "NetShare0201"})
    EXPECT_EQ(ini.find(gone), std::string::npos) << gone << "\n" << ini;
  EXPECT_NE(ini.find("Other=kept"), std::string::npos);
  ASSERT_TRUE(WriteSharesToConfig(*config_, "P1", {}));
  EXPECT_TRUE(Read().empty());
}

TEST_F(NetSharesFile, OverLongPasswordIsStoredEmpty) {
  NetShare s = Share("a", "C:\\a");
  s.Password = std::string(86, 'x');
  ASSERT_TRUE(WriteSharesToConfig(*config_, "P1", {s}));
  EXPECT_EQ(Read().at(0).Password, "");
}

struct BadShareCase {
  const char* why;
  NetShare share;
  const char* inMessage;
};

TEST_F(NetSharesFile, RefusedSharesChangeNothing) {
  auto withRemark = [](std::string remark) {
    NetShare s = Share("a", "C:\\a");
    s.Remark = std::move(remark);
    return s;
  };
  auto typed = [](int32_t type, std::string path) {
    NetShare s = Share("a", std::move(path));
    s.ShareType = type;
    return s;
  };
  NetShare uses = Share("a", "C:\\a");
  uses.MaxUses = -2;
  const BadShareCase cases[] = {
      {"empty name", Share("", "C:\\a"), "共有名を入力"},
      {"81 characters", Share(std::string(81, 'n'), "C:\\a"), "長すぎます"},
      {"81 two-byte characters", Share([] { std::string s; for (int i = 0; i < 81; ++i) s += "表"; return s; }(), "C:\\a"), "長すぎます"},
      {"backslash", Share("a\\b", "C:\\a"), "使用できない文字"},
      {"comma", Share("a,b", "C:\\a"), "使用できない文字"},
      {"asterisk", Share("a*", "C:\\a"), "使用できない文字"},
      {"tab", Share("a\tb", "C:\\a"), "使用できない文字"},
      {"UNC path", Share("a", "\\\\server\\share"), "ドライブ名から"},
      {"relative path", Share("a", "共有\\資料"), "ドライブ名から"},
      {"empty disk path", Share("a", ""), "ドライブ名から"},
      {"path with ?", Share("a", "C:\\a?b"), "ドライブ名から"},
      {"path with second colon", Share("a", "C:\\a:b"), "ドライブ名から"},
      {"path with comma", Share("a", "C:\\a,b"), "ドライブ名から"},
      {"print share path with comma", typed(kSharePrintQueue, "a,b"), "使用できない文字"},
      {"type 3", typed(3, "C:\\a"), "種類 3"},
      {"special type", typed(static_cast<int32_t>(0x80000000u), "C:\\a"), "種類"},
      {"remark with comma", withRemark("a,b"), "カンマ"},
      {"max uses -2", uses, "最大ユーザー数 -2"},
      {"over-long remark", withRemark(std::string(240, 'r')), "長すぎて"},
      {"account with comma", Share("a", "C:\\a", {Entry("a,b", "", kAceAllowed, kShareRead)}), "ユーザー a,b"},
      {"domain with backslash", Share("a", "C:\\a", {Entry("a", "x\\y", kAceAllowed, kShareRead)}), "正しくありません"},
      {"ace type 2", Share("a", "C:\\a", {Entry("a", "", 2, kShareRead)}), "正しくありません"},
      {"over-long account", Share("a", "C:\\a", {Entry(std::string(250, 'u'), "", kAceAllowed, kShareRead)}), "長すぎて"},
  };
  const std::string before = "[P1]\r\nNetShare01=old,0,,0,-1,0,C:\\old,\r\nNetShare0101=x,\r\n";
  for (const BadShareCase& c : cases) {
    SCOPED_TRACE(c.why);
    SetIni(before);
    std::string message = CheckShare(c.share);
    EXPECT_NE(message.find(c.inMessage), std::string::npos) << message;
    std::string error;
    EXPECT_FALSE(WriteSharesToConfig(*config_, "P1", {Share("good", "C:\\g"), c.share}, &error));
    EXPECT_EQ(error, message);
    EXPECT_EQ(Ini(), before);
  }
}

TEST(NetShares, FindShareAndPermissionMatchExactly) {
  NetShareList list = {Share("Docs", "C:\\d", {Entry("yamada", "PC", kAceAllowed, kShareRead),
                                               Entry("yamada", "PC", kAceDenied, kShareChange)})};
  EXPECT_EQ(FindShare(list, "Docs"), &list[0]);
  EXPECT_EQ(FindShare(list, "docs"), nullptr);
  EXPECT_EQ(FindPermission(list[0], "yamada", "PC", kAceDenied), &list[0].Access[1]);
  EXPECT_EQ(FindPermission(list[0], "yamada", "", kAceAllowed), nullptr);
  EXPECT_EQ(FindPermission(list[0], "Yamada", "PC", kAceAllowed), nullptr);
}

}  // namespace
}  // namespace velandra::config
