#include "ui/velandra_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/config_backup.h"
#include "support/scratch_dir.h"
#include "system/os_info.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::ui {
namespace {

using platform::sim::DemoVariant;
using velandra::testing::ScratchPc;

constexpr char kIniPath[] = "C:\\Program Files\\Velandra\\Velandra.ini";
constexpr char kIniFile[] = "C/Program Files/Velandra/Velandra.ini";

// Written by hand from the key tables, in the order save all writes keys
// that are not there yet: three places (one name with an equals sign), the
// demo PC's two adapters and a card that was taken out (number 2, whose
// sections stay), DHCP and static, several addresses and gateways, and the
// keys that save all never writes.
constexpr char kFixture[] =
    "[COMMON]\r\n"
    "LastExit=EWX_REBOOT\r\n"
    "PowerOff=FALSE\r\n"
    "EDITOR=C:\\Program Files\\秀丸\\Hidemaru.exe\r\n"
    "ADMINCHECK=TRUE\r\n"
    "DIFFCHECK=TRUE\r\n"
    "HIDEPROMPT=TRUE\r\n"
    "DELETEBAT=FALSE\r\n"
    "DELAYSLEEP=1500\r\n"
    "SERVER=TRUE\r\n"
    "XPSLEEP=8000\r\n"
    "[PLACELIST]\r\n"
    "P0=標準\r\n"
    "P2=本社\r\n"
    "P5=自宅=2F\r\n"
    "[ADAPTERLIST]\r\n"
    "A0=Intel(R) PRO/100 VE Network Connection\r\n"
    "C0=ローカル エリア接続\r\n"
    "A1=Intel(R) PRO/Wireless 2200BG Network Connection\r\n"
    "C1=ワイヤレス ネットワーク接続\r\n"
    "A2=3Com EtherLink III\r\n"
    "C2=ローカル エリア接続 3\r\n"
    "[LAST]\r\n"
    "LASTPLACE=2\r\n"
    "LASTADAPTER=1\r\n"
    "[P0A0]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n"
    "InterfaceMetric=0\r\nEnableDNS=TRUE\r\nDNS_Server=\r\nDOMAIN_Suffix=\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n"
    "[P0A1]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n"
    "InterfaceMetric=0\r\nEnableDNS=TRUE\r\nDNS_Server=\r\nDOMAIN_Suffix=\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n"
    "[P2A0]\r\n"
    "EnableDHCP=FALSE\r\nIPAddress=10.20.30.40,10.20.30.41\r\n"
    "SubnetMask=255.255.255.0,255.255.0.0\r\nGateway=10.20.30.1,10.20.30.2\r\n"
    "Metric=1,20\r\nInterfaceMetric=10\r\nEnableDNS=FALSE\r\n"
    "DNS_Server=10.20.0.53,10.20.0.54,10.20.0.55\r\nDOMAIN_Suffix=honsha.example.co.jp\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=TRUE\r\nWINS=10.20.0.9,10.20.0.10\r\n"
    "NetBIOS=1\r\n"
    "[P2A1]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=192.168.50.5\r\nSubnetMask=255.255.255.0\r\n"
    "Gateway=\r\nMetric=\r\nInterfaceMetric=0\r\nEnableDNS=TRUE\r\nDNS_Server=\r\n"
    "DOMAIN_Suffix=無線.example\r\nDOMAIN_Update=FALSE\r\nDOMAIN_Registration=FALSE\r\n"
    "WINS=\r\nNetBIOS=2\r\n"
    "[P2A2]\r\n"
    "EnableDHCP=FALSE\r\nIPAddress=172.16.1.1\r\nSubnetMask=255.255.0.0\r\n"
    "Gateway=\r\nMetric=\r\nInterfaceMetric=0\r\nEnableDNS=FALSE\r\nDNS_Server=\r\n"
    "DOMAIN_Suffix=\r\nDOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\n"
    "NetBIOS=0\r\n"
    "[P5A0]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=192.168.0.1\r\nMetric=0\r\n"
    "InterfaceMetric=0\r\nEnableDNS=FALSE\r\nDNS_Server=192.168.0.1\r\n"
    "DOMAIN_Suffix=自宅\r\nDOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\n"
    "WINS=\r\nNetBIOS=0\r\n"
    "[P5A1]\r\n"
    "EnableDHCP=TRUE\r\nIPAddress=\r\nSubnetMask=\r\nGateway=\r\nMetric=\r\n"
    "InterfaceMetric=0\r\nEnableDNS=TRUE\r\nDNS_Server=\r\nDOMAIN_Suffix=\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n";

std::string Join(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) out += (i ? "|" : "") + list[i];
  return out;
}

// The sheet's whole loaded state, one line per record.
std::string Dump(const CVelandraSheet& sheet) {
  std::string out;
  for (const auto& p : sheet.Places) out += "place " + std::to_string(p->Number) + " " + p->Name + "\n";
  for (const auto& a : sheet.Adapters)
    out += "adapter " + std::to_string(a->Number) + " " + a->ConnectionName + "\n";
  out += "current " + std::to_string(sheet.CurrentPlace->Number) + " " +
         std::to_string(sheet.CurrentAdapter->Number) + "\n";
  for (const auto& s : sheet.AdapterSettingsList) {
    out += "P" + std::to_string(s->Place->Number) + "A" + std::to_string(s->Adapter->Number) +
           (s->EnableDHCP ? " dhcp" : " static") + " ip=" + Join(s->IPAddress) + "/" +
           Join(s->SubnetMask) + " gw=" + Join(s->Gateway) + "/" + Join(s->Metric) +
           " ifm=" + std::to_string(s->InterfaceMetric) + (s->EnableDNS ? " autodns" : " dns=") +
           Join(s->DNS_Server) + " suffix=" + s->DOMAIN_Suffix +
           (s->DOMAIN_Update ? " update" : "") + (s->DOMAIN_Registration ? " register" : "") +
           " wins=" + Join(s->WINS) + " nb=" + std::to_string(s->NetBIOS) + "\n";
  }
  const auto& c = sheet.Common;
  out += "common " + std::to_string(c.ExitMode) + (c.PowerOff ? " poweroff" : "") + " " +
         c.EDITOR + (c.HIDEPROMPT ? " hide" : "") + (c.DELETEBAT ? " delbat" : "") + " " +
         std::to_string(c.DELAYSLEEP) + "\n";
  return out;
}

class SheetTest : public ::testing::Test {
 protected:
  explicit SheetTest(DemoVariant variant = DemoVariant::WindowsXp) : pc_(variant) {}
  void SetIni(const std::string& data) { pc_.WriteFile(kIniFile, data); }
  std::string Ini() const { return pc_.ReadFile(kIniFile); }
  Context& NewContext() {
    platform::sim::SimulatedPc& sim = pc_.Open();
    contexts_.push_back(
        std::make_unique<Context>(sim.platform(), kIniPath, ReadOsInfo(sim.platform().system)));
    return *contexts_.back();
  }
  std::unique_ptr<CVelandraSheet> Load() {
    auto sheet = std::make_unique<CVelandraSheet>(NewContext());
    EXPECT_TRUE(sheet->LoadAll());
    return sheet;
  }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }

  ScratchPc pc_;
  std::vector<std::unique_ptr<Context>> contexts_;
};

TEST_F(SheetTest, HandWrittenFileLoadsSavesUnchangedAndLoadsAgain) {
  SetIni(kFixture);
  auto sheet = Load();
  EXPECT_EQ(Dump(*sheet),
            "place 0 標準\nplace 2 本社\nplace 5 自宅=2F\n"
            "adapter 0 ローカル エリア接続\nadapter 1 ワイヤレス ネットワーク接続\n"
            "current 2 1\n"
            "P0A0 dhcp ip=/ gw=/ ifm=0 autodns suffix= update wins= nb=0\n"
            "P0A1 dhcp ip=/ gw=/ ifm=0 autodns suffix= update wins= nb=0\n"
            "P2A0 static ip=10.20.30.40|10.20.30.41/255.255.255.0|255.255.0.0 "
            "gw=10.20.30.1|10.20.30.2/1|20 ifm=10 dns=10.20.0.53|10.20.0.54|10.20.0.55 "
            "suffix=honsha.example.co.jp update register wins=10.20.0.9|10.20.0.10 nb=1\n"
            "P2A1 dhcp ip=192.168.50.5/255.255.255.0 gw=/ ifm=0 autodns suffix=無線.example "
            "wins= nb=2\n"
            "P5A0 dhcp ip=/ gw=192.168.0.1/0 ifm=0 dns=192.168.0.1 suffix=自宅 update wins= "
            "nb=0\n"
            "P5A1 dhcp ip=/ gw=/ ifm=0 autodns suffix= update wins= nb=0\n"
            "common 1 C:\\Program Files\\秀丸\\Hidemaru.exe hide 1500\n");
  EXPECT_TRUE(sheet->GetContext().DiffCheck);
  EXPECT_TRUE(Messages().empty());

  ASSERT_TRUE(sheet->SaveAll());
  // The file has no place-wide sections yet: they were read from the PC
  // and now follow the rest, which stands as it was.
  const std::string ini = Ini();
  EXPECT_EQ(ini.substr(0, sizeof kFixture - 1), kFixture);
  for (const char* section : {"[P0]\r\nChangeUser=FALSE\r\n", "[P2]\r\nChangeUser=FALSE\r\n",
                              "[P5]\r\nChangeUser=FALSE\r\n"})
    EXPECT_NE(ini.find(section, sizeof kFixture - 1), std::string::npos) << section;

  auto again = Load();
  EXPECT_EQ(Dump(*again), Dump(*sheet));
}

TEST_F(SheetTest, EmptyFileGivesTheDefaultPlaceAndNumbersTheAdapters) {
  SetIni("");
  auto sheet = Load();
  const std::string pc = Dump(*sheet);
  EXPECT_EQ(pc.substr(0, pc.find("P0A0")),
            "place 0 標準\nadapter 0 ローカル エリア接続\nadapter 1 ワイヤレス ネットワーク接続\n"
            "current 0 0\n");
  ASSERT_EQ(sheet->AdapterSettingsList.size(), 2u);  // read from the PC
  EXPECT_FALSE(sheet->AdapterSettingsList[0]->EnableDHCP);
  EXPECT_TRUE(sheet->AdapterSettingsList[1]->EnableDHCP);

  ASSERT_TRUE(sheet->SaveAll());
  const std::string ini = Ini();
  EXPECT_EQ(ini.substr(0, ini.find("[P0A0]")),
            "[COMMON]\r\nLastExit=EWX_SHUTDOWN\r\nPowerOff=TRUE\r\nEDITOR=NOTEPAD.EXE\r\n"
            "ADMINCHECK=TRUE\r\nDIFFCHECK=FALSE\r\nHIDEPROMPT=FALSE\r\nDELETEBAT=FALSE\r\n"
            "DELAYSLEEP=0\r\n[PLACELIST]\r\nP0=標準\r\n[ADAPTERLIST]\r\n"
            "A0=Intel(R) PRO/100 VE Network Connection\r\nC0=ローカル エリア接続\r\n"
            "A1=Intel(R) PRO/Wireless 2200BG Network Connection\r\n"
            "C1=ワイヤレス ネットワーク接続\r\n[LAST]\r\nLASTPLACE=0\r\nLASTADAPTER=0\r\n");
  EXPECT_NE(ini.find("[P0A1]\r\nEnableDHCP=TRUE\r\n"), std::string::npos);
  auto again = Load();
  EXPECT_EQ(Dump(*again), Dump(*sheet));
}

TEST_F(SheetTest, UnknownLastPlaceAndAdapterSelectTheFirst) {
  SetIni("[PLACELIST]\r\nP3=本社\r\nP4=自宅\r\n[LAST]\r\nLASTPLACE=9\r\nLASTADAPTER=7\r\n");
  auto sheet = Load();
  EXPECT_EQ(sheet->CurrentPlace->Name, "本社");
  EXPECT_EQ(sheet->CurrentAdapter, sheet->Adapters.front().get());
  EXPECT_EQ(sheet->AdapterSettingsList.size(), 4u);  // each place has one per adapter
}

TEST_F(SheetTest, NoAdapterStopsTheLoad) {
  SetIni("[PLACELIST]\r\nP0=標準\r\n");
  pc_.WriteFile("registry.reg",
                "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class]\r\n");
  CVelandraSheet sheet(NewContext());
  EXPECT_FALSE(sheet.LoadAll());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, kMsgNoAdapter);
  EXPECT_EQ(Messages()[0].Icon, platform::MessageIcon::Warning);
  EXPECT_TRUE(sheet.AdapterSettingsList.empty());
}

TEST_F(SheetTest, SaveAllNeverWritesServerOrXpSleepAndKeepsOtherSections) {
  SetIni("[COMMON]\r\nSERVER=yes\r\nXPSLEEP=abc\r\nLastExit=EWX_REBOT\r\n"
         "ADMINCHECK=false\r\n[DelayAction]\r\nActionCount=1\r\nAction00=DisableAutoLogon\r\n");
  auto sheet = Load();
  EXPECT_EQ(sheet->Common.ExitMode, 3);  // a misspelt word means save only
  ASSERT_TRUE(sheet->SaveAll());
  const std::string ini = Ini();
  EXPECT_EQ(ini.rfind("[COMMON]\r\nSERVER=yes\r\nXPSLEEP=abc\r\nLastExit=SAVE\r\n", 0), 0u);
  EXPECT_NE(ini.find("[DelayAction]\r\nActionCount=1\r\nAction00=DisableAutoLogon\r\n"),
            std::string::npos);
}

TEST_F(SheetTest, FailedSaveIsReported) {
  SetIni(kFixture);
  auto sheet = Load();
  // Something else holds the file's name now: nothing can be written.
  const std::filesystem::path file = pc_.dir() / kIniFile;
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_FALSE(sheet->SaveAll());
  ASSERT_FALSE(Messages().empty());
  // Its content cannot be kept in the copy, so nothing is written.
  EXPECT_EQ(Messages().back().Text, std::string(config::kMsgBackupFailed) + kIniPath + ".bak");
  EXPECT_EQ(Messages().back().Icon, platform::MessageIcon::Warning);
}

TEST_F(SheetTest, AddAndRenameChangeOnlyMemory) {
  SetIni(kFixture);
  auto sheet = Load();
  struct Row {
    const char* name;
    PlaceChange result;
  } adds[] = {
      {"本社", PlaceChange::NameTaken},
      {"", PlaceChange::EmptyName},
      {"支店\r\nP9=偽", PlaceChange::UnusableName},
      {" 支店", PlaceChange::UnusableName},
      {"\"支店\"", PlaceChange::UnusableName},
      {"\x82", PlaceChange::UnusableName},  // a lead byte without its trail byte
      {"12345678901234567890123456789012345678901234567890123456789012345",
       PlaceChange::NameTooLong},
      {"自宅=2f", PlaceChange::Done},  // differs only in letter case
      {"支店 \"仮\"", PlaceChange::Done},
  };
  for (const auto& row : adds) {
    SCOPED_TRACE(row.name);
    const size_t before = sheet->Places.size();
    EXPECT_EQ(sheet->AddPlace(row.name), row.result);
    EXPECT_EQ(sheet->Places.size(), before + (row.result == PlaceChange::Done ? 1 : 0));
  }
  // The first free numbers, each new place a copy of the PC and current.
  EXPECT_EQ(sheet->FindPlaceNumber("自宅=2f"), 1);
  EXPECT_EQ(sheet->FindPlaceNumber("支店 \"仮\""), 3);
  config::Place& added = *sheet->FindPlace(3);
  EXPECT_EQ(sheet->CurrentPlace, &added);
  const config::AdapterSettings* lan = sheet->FindAdapterSettings(added, *sheet->FindAdapter(0));
  ASSERT_NE(lan, nullptr);
  EXPECT_EQ(Join(lan->IPAddress), "192.168.1.20");
  EXPECT_EQ(sheet->AdapterSettingsList.size(), 5u * 2u);

  config::Place& honsha = *sheet->FindPlace(2);
  EXPECT_EQ(sheet->RenamePlace(honsha, "本社"), PlaceChange::SameName);
  EXPECT_EQ(sheet->RenamePlace(honsha, "標準"), PlaceChange::NameTaken);
  EXPECT_EQ(sheet->RenamePlace(honsha, "本社\n"), PlaceChange::UnusableName);
  // A duplicate before the place is found before the unchanged name would be.
  EXPECT_EQ(sheet->RenamePlace(*sheet->FindPlace(5), "標準"), PlaceChange::NameTaken);
  EXPECT_EQ(sheet->RenamePlace(honsha, "東京本社"), PlaceChange::Done);
  EXPECT_EQ(honsha.Number, 2u);
  EXPECT_EQ(PlaceChangeMessage(PlaceChange::NameTaken), "入力された場所はすでに存在しています");
  EXPECT_EQ(PlaceChangeMessage(PlaceChange::SameName), "変更されていません");

  EXPECT_EQ(Ini(), kFixture);  // nothing written until save all
  ASSERT_TRUE(sheet->SaveAll());
  auto again = Load();
  EXPECT_EQ(Dump(*again), Dump(*sheet));
}

TEST_F(SheetTest, DeleteChangesTheFileAtOnce) {
  SetIni(kFixture);
  auto sheet = Load();
  config::Place& honsha = *sheet->FindPlace(2);  // LASTPLACE names it
  ASSERT_EQ(sheet->CurrentPlace, &honsha);
  EXPECT_EQ(sheet->DeletePlace(honsha), PlaceChange::Done);

  const std::string ini = Ini();
  EXPECT_EQ(ini.find("P2=本社"), std::string::npos);
  EXPECT_NE(ini.find("[LAST]\r\nLASTPLACE=0\r\nLASTADAPTER=1\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("[P2A0]"), std::string::npos);
  EXPECT_EQ(ini.find("[P2A1]"), std::string::npos);
  EXPECT_NE(ini.find("[P2A2]"), std::string::npos);  // the absent card's section stays
  EXPECT_NE(ini.find("[P5A0]"), std::string::npos);
  EXPECT_EQ(sheet->Places.size(), 2u);
  EXPECT_EQ(sheet->CurrentPlace, sheet->Places.front().get());
  EXPECT_EQ(sheet->AdapterSettingsList.size(), 4u);
  for (const auto& s : sheet->AdapterSettingsList) EXPECT_NE(s->Place->Number, 2u);

  // Deleting a place that LASTPLACE does not name leaves LAST alone; the
  // freed number comes back.
  EXPECT_EQ(sheet->DeletePlace(*sheet->FindPlace(5)), PlaceChange::Done);
  EXPECT_NE(Ini().find("[LAST]\r\nLASTPLACE=0\r\n"), std::string::npos);
  EXPECT_EQ(sheet->DeletePlace(*sheet->FindPlace(0)), PlaceChange::OnlyPlace);
  EXPECT_EQ(sheet->AddPlace("支店"), PlaceChange::Done);
  EXPECT_EQ(sheet->FindPlaceNumber("支店"), 1);
  EXPECT_EQ(sheet->DeletePlace(*sheet->FindPlace(0)), PlaceChange::Done);
  EXPECT_EQ(sheet->AddPlace("本社"), PlaceChange::Done);
  EXPECT_EQ(sheet->FindPlaceNumber("本社"), 0);
}

TEST_F(SheetTest, DeleteThatCannotWriteKeepsThePlace) {
  SetIni(kFixture);
  auto sheet = Load();
  const std::filesystem::path file = pc_.dir() / kIniFile;
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_EQ(sheet->DeletePlace(*sheet->FindPlace(5)), PlaceChange::WriteFailed);
  EXPECT_EQ(sheet->Places.size(), 3u);
  EXPECT_EQ(sheet->AdapterSettingsList.size(), 6u);
  EXPECT_EQ(Messages().back().Text, std::string(config::kMsgBackupFailed) + kIniPath + ".bak");
}

TEST_F(SheetTest, EveryPlaceHasOnePlaceWideRecordThroughItsChanges) {
  SetIni(kFixture);
  auto sheet = Load();
  auto expectOnePerPlace = [&] {
    ASSERT_EQ(sheet->PlaceSettingsList.size(), sheet->Places.size());
    for (const auto& p : sheet->Places) {
      const config::PlaceSettings* s = sheet->FindPlaceSettings(*p);
      ASSERT_NE(s, nullptr) << p->Name;
      EXPECT_EQ(&s->owner, p.get());
    }
  };
  expectOnePerPlace();
  config::PlaceSettings* honsha = sheet->FindPlaceSettings(*sheet->FindPlace(2));
  honsha->ComputerName = "HONSHA-PC";

  ASSERT_EQ(sheet->AddPlace("支店"), PlaceChange::Done);
  expectOnePerPlace();
  const config::PlaceSettings* added = sheet->FindPlaceSettings(*sheet->CurrentPlace);
  EXPECT_EQ(added->ComputerName, "VELANDRA-PC");  // a copy of the PC, hosts snapshotted
  EXPECT_EQ(added->HOSTS, "C:\\Program Files\\Velandra\\hosts.支店");

  ASSERT_EQ(sheet->RenamePlace(*sheet->FindPlace(2), "東京本社"), PlaceChange::Done);
  EXPECT_EQ(sheet->FindPlaceSettings(*sheet->FindPlace(2)), honsha);
  ASSERT_EQ(sheet->DeletePlace(*sheet->FindPlace(5)), PlaceChange::Done);
  expectOnePerPlace();

  ASSERT_TRUE(sheet->SaveAll());
  auto again = Load();
  EXPECT_EQ(again->FindPlaceSettings(*again->FindPlace(2))->ComputerName, "HONSHA-PC");
  EXPECT_EQ(again->FindPlaceSettings(*again->FindPlace(1))->HOSTS, added->HOSTS);

  sheet->CurrentPlace = sheet->FindPlace(2);
  sheet->RefreshFromPc();
  expectOnePerPlace();
  EXPECT_EQ(sheet->FindPlaceSettings(*sheet->FindPlace(2))->ComputerName, "VELANDRA-PC");
}

TEST_F(SheetTest, RefreshReadsOnlyTheCurrentAdapterFromThePc) {
  SetIni(kFixture);
  auto sheet = Load();
  sheet->CurrentAdapter = sheet->FindAdapter(0);
  const config::AdapterSettings* wireless =
      sheet->FindAdapterSettings(*sheet->CurrentPlace, *sheet->FindAdapter(1));
  sheet->RefreshFromPc();
  EXPECT_EQ(sheet->AdapterSettingsList.size(), 6u);
  EXPECT_EQ(sheet->AdapterSettingsList.back()->Place, sheet->CurrentPlace);
  const config::AdapterSettings* lan =
      sheet->FindAdapterSettings(*sheet->CurrentPlace, *sheet->FindAdapter(0));
  EXPECT_EQ(lan, sheet->AdapterSettingsList.back().get());
  EXPECT_EQ(Join(lan->IPAddress), "192.168.1.20");
  EXPECT_EQ(sheet->FindAdapterSettings(*sheet->CurrentPlace, *sheet->FindAdapter(1)), wireless);
  EXPECT_EQ(wireless->DOMAIN_Suffix, "無線.example");
}

}  // namespace
}  // namespace velandra::ui
