#include "config/config_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_config.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_profile.h"

namespace velandra::config {
namespace {

class ConfigFileTest : public testing::ScratchConfigTest {};

TEST_F(ConfigFileTest, BoolRules) {
  SetFile(
      "[S]\r\nupper=TRUE\r\nlower=true\r\nfalse=FALSE\r\nlowfalse=false\r\n"
      "other=yes\r\nempty=\r\n");
  struct Case {
    const char* key;
    BoolRule rule;
    uint32_t size;
    bool expected;
  } cases[] = {
      {"upper", BoolRule::TrueOnly, 256, true},
      {"lower", BoolRule::TrueOnly, 256, false},  // compared with case
      {"missing", BoolRule::TrueOnly, 256, false},
      {"other", BoolRule::TrueOnly, 256, false},
      {"upper", BoolRule::TrueOnly, 4, false},  // cut to "TRU"
      {"false", BoolRule::FalseOnly, 256, false},
      {"lowfalse", BoolRule::FalseOnly, 256, true},
      {"missing", BoolRule::FalseOnly, 256, true},
      {"empty", BoolRule::FalseOnly, 256, true},
      {"other", BoolRule::FalseOnly, 256, true},
      {"false", BoolRule::FalseOnly, 5, true},  // cut to "FALS"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + (c.rule == BoolRule::TrueOnly ? " TrueOnly " : " FalseOnly ") +
                 std::to_string(c.size));
    EXPECT_EQ(config_.ReadBool("S", c.key, c.rule, c.size), c.expected);
  }
}

TEST_F(ConfigFileTest, StrictBoolAcceptsOnlyTheTwoWords) {
  SetFile("[P0A0]\r\nEnableDHCP=TRUE\r\nEnableDNS=FALSE\r\nDOMAIN_Registration=True\r\nX=\r\n");
  EXPECT_EQ(config_.ReadStrictBool("P0A0", "EnableDHCP", 10), std::optional<bool>(true));
  EXPECT_EQ(config_.ReadStrictBool("P0A0", "EnableDNS", 10), std::optional<bool>(false));
  EXPECT_EQ(config_.ReadStrictBool("P0A0", "DOMAIN_Registration", 10), std::nullopt);
  EXPECT_EQ(config_.ReadStrictBool("P0A0", "X", 10), std::nullopt);
  EXPECT_EQ(config_.ReadStrictBool("P0A0", "Missing", 10), std::nullopt);
}

TEST_F(ConfigFileTest, SentinelsMarkMissingValues) {
  SetFile("[P1A0]\r\nIPAddress=NO DATA\r\n[ADAPTERLIST]\r\nC0=ローカル エリア接続\r\n");
  EXPECT_EQ(config_.ReadString("P1A0", "Gateway", kNoDataPlace, 256), "NO DATA");
  EXPECT_EQ(config_.ReadString("P1A0", "IPAddress", kNoDataPlace, 256), kNoDataPlace);
  EXPECT_EQ(config_.ReadString("ADAPTERLIST", "C1", kNoDataAdapterList, 256), "no_data");
  EXPECT_EQ(config_.ReadString("ADAPTERLIST", "C0", kNoDataAdapterList, 256),
            "ローカル エリア接続");
  EXPECT_EQ(config_.ReadString("DelayAction", "Action01", kNoDataDelay, 256), "NO_DATA");
}

TEST_F(ConfigFileTest, WritesIntegersAndBooleansAsText) {
  ASSERT_TRUE(config_.WriteInt("COMMON", "DELAYSLEEP", -5));
  ASSERT_TRUE(config_.WriteInt("COMMON", "LastExit", 2147483647));
  ASSERT_TRUE(config_.WriteBool("COMMON", "DIFFCHECK", true));
  ASSERT_TRUE(config_.WriteBool("COMMON", "PowerOff", false));
  EXPECT_EQ(FileBytes(),
            "[COMMON]\r\nDELAYSLEEP=-5\r\nLastExit=2147483647\r\nDIFFCHECK=TRUE\r\n"
            "PowerOff=FALSE\r\n");
  EXPECT_EQ(config_.ReadInt("COMMON", "DELAYSLEEP", 0), -5);
  ASSERT_TRUE(config_.DeleteKey("COMMON", "PowerOff"));
  EXPECT_EQ(config_.ReadString("COMMON", "PowerOff", "gone", 256), "gone");
  ASSERT_TRUE(config_.DeleteSection("COMMON"));
  EXPECT_EQ(FileBytes(), "");
}

TEST_F(ConfigFileTest, NumberedList) {
  SetFile(
      "[PLACELIST]\r\nP0=標準\r\nP12=Home\r\nP7=Office=2F\r\nPX=no digits\r\n"
      "without equals\r\nP3=\r\n"
      "[ADAPTERLIST]\r\nA3=Intel(R) PRO/100\r\nC3=ローカル エリア接続\r\n");
  std::vector<NumberedEntry> places = config_.ReadNumberedList("PLACELIST");
  ASSERT_EQ(places.size(), 5u);
  struct Expect {
    uint32_t number;
    const char* key;
    const char* value;
  } expected[] = {
      {0, "P0", "標準"}, {12, "P12", "Home"}, {7, "P7", "Office=2F"},
      {0, "PX", "no digits"}, {3, "P3", ""},
  };
  for (size_t i = 0; i < places.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(places[i].Number, expected[i].number);
    EXPECT_EQ(places[i].Key, expected[i].key);
    EXPECT_EQ(places[i].Value, expected[i].value);
  }
  std::vector<NumberedEntry> adapters = config_.ReadNumberedList("ADAPTERLIST");
  ASSERT_EQ(adapters.size(), 2u);
  EXPECT_EQ(adapters[1].Number, 3u);
  EXPECT_EQ(adapters[1].Key, "C3");
  EXPECT_EQ(adapters[1].Value, "ローカル エリア接続");
  EXPECT_TRUE(config_.ReadNumberedList("Missing").empty());
}

TEST(NumberOfListKey, DigitsOfTheKey) {
  struct Case {
    const char* key;
    uint32_t number;
  } cases[] = {
      {"P12", 12}, {"C3", 3}, {"A0", 0}, {"PX", 0}, {"", 0}, {"P007", 7},
      {"P1A2", 1},  // reading stops at the first non-digit after the digits
      {"4294967295", 4294967295u}, {"P99999999999", 4294967295u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(NumberOfListKey(c.key), c.number);
  }
}

TEST(CommaList, SplitAndJoin) {
  struct Case {
    const char* text;
    std::vector<std::string> items;
  } cases[] = {
      {"", {}},
      {"192.168.0.10", {"192.168.0.10"}},
      {"192.168.0.10,192.168.0.11", {"192.168.0.10", "192.168.0.11"}},
      {"10.0.0.1,,10.0.0.3", {"10.0.0.1", "", "10.0.0.3"}},
      {"a,", {"a", ""}},
      {",", {"", ""}},
      {"社内.example,ソフト表", {"社内.example", "ソフト表"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> list;
    SplitCommaList(c.text, list);
    EXPECT_EQ(list, c.items);
    EXPECT_EQ(JoinCommaList(c.items), c.text);
  }
}

TEST(CommaList, SplitAppends) {
  std::vector<std::string> list{"first"};
  SplitCommaList("a,b", list);
  SplitCommaList("", list);
  EXPECT_EQ(list, (std::vector<std::string>{"first", "a", "b"}));
}

TEST(StoredPassword, EncodeAndDecode) {
  struct Case {
    std::string password;
    std::string stored;
  } cases[] = {
      {"abc", "158157156"},
      {"", ""},
      {"\x82\xA0", "125095"},  // "あ": bytes 0x82 0xA0
      {"A\x01\xFF", "190254000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password);
    EXPECT_EQ(EncodeStoredPassword(c.password), c.stored);
    EXPECT_EQ(DecodeStoredPassword(c.stored), c.password);
  }
}

TEST(StoredPassword, LongestThatFits) {
  std::string p85(85, 'x'), p86(86, 'x');
  std::string stored = EncodeStoredPassword(p85);
  EXPECT_EQ(stored.size(), 255u);
  EXPECT_EQ(DecodeStoredPassword(stored), p85);
  EXPECT_EQ(EncodeStoredPassword(p86), "");
  EXPECT_EQ(EncodeStoredPassword("abcd", 12), "");  // 12 characters do not fit in 12
  EXPECT_EQ(EncodeStoredPassword("abc", 12), "158157156");
}

TEST(StoredPassword, EveryByteRoundTrips) {
  for (int first = 1; first < 256; first += 85) {
    std::string p;
    for (int b = first; b < first + 85 && b < 256; ++b) p += static_cast<char>(b);
    SCOPED_TRACE(first);
    EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword(p)), p);
  }
}

TEST(StoredPassword, DecodeOfDamagedText) {
  struct Case {
    const char* stored;
    std::string password;
  } cases[] = {
      {"15815715", "ab"},         // trailing partial group ignored
      {"15", ""},
      {"158x57156", "a\xFF" "c"},  // "x57" converts as 0: byte 0xFF
      {"414157", "ab"},           // 414 keeps its low byte 158: inverted 'a'
      {"158255157", "a"},         // a group giving NUL ends the password
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(DecodeStoredPassword(c.stored), c.password);
  }
  EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword("abcdef"), 4), "abc");
}

}  // namespace
}  // namespace velandra::config
