#include "config/adapter_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_profile.h"
#include "system/platform/text.h"

namespace velandra::config {
namespace {

constexpr char kIntel[] = "Intel(R) PRO/100 VE Network Connection";
constexpr char kLan[] = "ローカル エリア接続";
constexpr char kLan2[] = "ローカル エリア接続 2";

// A ConfigFile over SimProfile on a scratch Velandra.ini.
class AdapterListTest : public ::testing::Test {
 protected:
  void SetFile(const std::string& data) {
    ASSERT_TRUE(platform::sim::WriteHostFileAtomically(file_, data));
  }
  std::string FileBytes() const {
    std::string data;
    platform::sim::ReadHostFile(file_, data);
    return data;
  }
  // Numbers the adapters one by one, in order, as the walk does.
  std::vector<uint32_t> Number(const std::vector<std::pair<std::string, std::string>>& found) {
    adapters_.clear();
    std::vector<uint32_t> numbers;
    for (const auto& [desc, name] : found) {
      auto a = std::make_unique<AdapterInfo>();
      a->Number = AdapterNumber(config_, adapters_, desc, name);
      a->DriverDesc = desc;
      a->ConnectionName = name;
      numbers.push_back(a->Number);
      adapters_.push_back(std::move(a));
    }
    return numbers;
  }

  testing::ScratchDir dir_;
  std::filesystem::path file_ = dir_.path() / "Velandra.ini";
  platform::sim::SimProfile profile_{platform::sim::IdentityPathMapper()};
  ConfigFile config_{profile_, file_.string()};
  AdapterList adapters_;
};

struct NumberCase {
  const char* name;
  const char* file;  // null: no file at all
  std::vector<std::pair<std::string, std::string>> found;  // description, connection
  std::vector<uint32_t> numbers;
};

TEST_F(AdapterListTest, AdapterNumber_MatchesTheHistoryOrTakesTheSmallestFreeNumber) {
  const NumberCase cases[] = {
      {"no_file_counts_from_0", nullptr,
       {{kIntel, kLan}, {"Wireless", "ワイヤレス"}, {"1394", "1394 接続"}}, {0, 1, 2}},
      {"empty_file_counts_from_0", "", {{kIntel, kLan}, {"Wireless", "ワイヤレス"}}, {0, 1}},
      {"other_sections_only", "[PLACELIST]\r\nP5=本社\r\n[P5A0]\r\nEnableDHCP=TRUE\r\n",
       {{kIntel, kLan}}, {0}},
      {"known_adapter_keeps_its_number",
       "[ADAPTERLIST]\r\nA0=Wireless\r\nC0=ワイヤレス\r\nA1=Intel(R) PRO/100 VE Network "
       "Connection\r\nC1=ローカル エリア接続\r\n",
       {{kIntel, kLan}, {"Wireless", "ワイヤレス"}}, {1, 0}},
      {"removed_card_keeps_0_taken", "[ADAPTERLIST]\r\nA0=Old card\r\nC0=古い接続\r\n",
       {{kIntel, kLan}}, {1}},
      {"removed_card_comes_back", "[ADAPTERLIST]\r\nA0=Old card\r\nC0=古い接続\r\n",
       {{kIntel, kLan}, {"Old card", "古い接続"}}, {1, 0}},
      {"two_cards_of_one_model_by_connection_name",
       "[ADAPTERLIST]\r\nA0=Intel(R) PRO/100 VE Network Connection\r\nC0=ローカル エリア接続\r\n"
       "A1=Intel(R) PRO/100 VE Network Connection\r\nC1=ローカル エリア接続 2\r\n",
       {{kIntel, kLan2}, {kIntel, kLan}}, {1, 0}},
      {"renamed_connection_gets_a_new_number",
       "[ADAPTERLIST]\r\nA0=Intel(R) PRO/100 VE Network Connection\r\nC0=ローカル エリア接続\r\n",
       {{kIntel, "社内 LAN"}}, {1}},
      {"description_compared_with_case", "[ADAPTERLIST]\r\nA0=intel card\r\nC0=LAN\r\n",
       {{"Intel card", "LAN"}}, {1}},
      {"connection_compared_with_case", "[ADAPTERLIST]\r\nA0=Card\r\nC0=lan\r\n",
       {{"Card", "LAN"}}, {1}},
      {"a3_without_c3_by_description_only", "[ADAPTERLIST]\r\nA3=Intel(R) PRO/100 VE Network Connection\r\n",
       {{kIntel, "何でも"}}, {3}},
      // Two cards must not share number 3 (they would share their settings):
      // the second goes on to a free number.
      {"a3_without_c3_given_once", "[ADAPTERLIST]\r\nA3=Intel(R) PRO/100 VE Network Connection\r\n",
       {{kIntel, kLan}, {kIntel, kLan2}}, {3, 0}},
      {"stored_no_data_is_no_name", "[ADAPTERLIST]\r\nA2=Card\r\nC2=no_data\r\n",
       {{"Card", "何でも"}}, {2}},
      {"first_matching_entry_in_file_order",
       "[ADAPTERLIST]\r\nA1=Card\r\nC1=LAN\r\nA0=Card\r\n", {{"Card", "LAN"}, {"Card", "WAN"}},
       {1, 0}},
      {"keys_of_both_letters_count", "[ADAPTERLIST]\r\nC0=孤立\r\nA2=Other\r\n",
       {{"Card", "LAN"}, {"Card 2", "LAN 2"}}, {1, 3}},
      {"gaps_are_filled", "[ADAPTERLIST]\r\nA0=X\r\nC0=x\r\nA2=Y\r\nC2=y\r\nA3=Z\r\nC3=z\r\n",
       {{"P", "p"}, {"Q", "q"}, {"Y", "y"}}, {1, 4, 2}},
      {"lower_case_keys", "[adapterlist]\r\na4=Card\r\nc4=LAN\r\n", {{"Card", "LAN"}}, {4}},
      // A connection named like a description does not lend C0's number.
      {"connection_entry_is_no_description", "[ADAPTERLIST]\r\nA0=Other\r\nC0=Card\r\n",
       {{"Card", "Card"}}, {1}},
      {"largest_number_reads_its_own_name",
       "[ADAPTERLIST]\r\nA4294967295=Card\r\nC4294967295=LAN\r\n", {{"Card", "WAN"}}, {0}},
      {"largest_number_matches", "[ADAPTERLIST]\r\nA4294967295=Card\r\nC4294967295=LAN\r\n",
       {{"Card", "LAN"}}, {4294967295u}},
      // Written with a blank at the end, read back without it.
      {"trailing_blank_in_description", "[ADAPTERLIST]\r\nA5=Card \r\nC5=LAN\r\n",
       {{"Card ", "LAN"}}, {5}},
      {"trailing_blank_in_name", "[ADAPTERLIST]\r\nA5=Card\r\nC5=LAN \r\n", {{"Card", "LAN "}},
       {5}},
      // The string read drops enclosing quotes; the name still matches.
      {"quoted_connection_name", "[ADAPTERLIST]\r\nA6=Card\r\nC6='自宅'\r\n",
       {{"Card", "'自宅'"}}, {6}},
      {"quoted_name_other_connection", "[ADAPTERLIST]\r\nA6=Card\r\nC6='自宅'\r\n",
       {{"Card", "自宅"}}, {6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::error_code ec;
    std::filesystem::remove(file_, ec);
    if (c.file) SetFile(c.file);
    EXPECT_EQ(Number(c.found), c.numbers);
  }
}

TEST_F(AdapterListTest, AdapterNumber_UnreadableListBehavesAsEmpty) {
  // A directory where the file should be cannot be read.
  std::filesystem::create_directory(file_);
  EXPECT_EQ(Number({{kIntel, kLan}, {kIntel, kLan2}, {"Wireless", "ワイヤレス"}}),
            (std::vector<uint32_t>{0, 1, 2}));
}

TEST_F(AdapterListTest, WriteAdapterList_DescriptionThenNameInListOrder) {
  SetFile("[ADAPTERLIST]\r\nA0=Old card\r\nC0=古い接続\r\nA2=Card\r\nC2=旧名\r\n");
  Number({{"Card", "新名"}, {kIntel, kLan}});
  ASSERT_EQ(adapters_[0]->Number, 1u);  // renamed: a new number
  ASSERT_EQ(adapters_[1]->Number, 3u);
  WriteAdapterList(config_, adapters_);
  // The removed card's and the old name's entries stay.
  EXPECT_EQ(FileBytes(),
            "[ADAPTERLIST]\r\nA0=Old card\r\nC0=古い接続\r\nA2=Card\r\nC2=旧名\r\n"
            "A1=Card\r\nC1=新名\r\nA3=Intel(R) PRO/100 VE Network Connection\r\n"
            "C3=ローカル エリア接続\r\n");
}

TEST_F(AdapterListTest, WriteAdapterList_NumbersReadBackTheSame) {
  SetFile("[ADAPTERLIST]\r\nA3=Intel(R) PRO/100 VE Network Connection\r\n");
  const std::vector<std::pair<std::string, std::string>> found = {
      {kIntel, kLan}, {kIntel, kLan2}, {"Card ", "'自宅'"}, {"", ""}};
  const std::vector<uint32_t> first = Number(found);
  EXPECT_EQ(first, (std::vector<uint32_t>{3, 0, 1, 2}));
  WriteAdapterList(config_, adapters_);
  EXPECT_EQ(config_.ReadString("ADAPTERLIST", "C3", "no_data", 256), kLan);
  EXPECT_EQ(Number(found), first);
  // The next start, with the two cards of one model found the other way round.
  EXPECT_EQ(Number({{kIntel, kLan2}, {kIntel, kLan}}), (std::vector<uint32_t>{0, 3}));
}

TEST_F(AdapterListTest, WriteLast_DecimalPlaceAndAdapter) {
  SetFile("[LAST]\r\nLASTPLACE=7\r\n");
  WriteLast(config_, 2, 4294967295u);
  EXPECT_EQ(FileBytes(), "[LAST]\r\nLASTPLACE=2\r\nLASTADAPTER=4294967295\r\n");
  EXPECT_EQ(config_.ReadInt("LAST", "LASTPLACE", 0), 2);
}

}  // namespace
}  // namespace velandra::config
