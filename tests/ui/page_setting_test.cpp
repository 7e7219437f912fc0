#include "ui/page_setting.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "apply/apply_flow.h"
#include "config/adapter_settings.h"
#include "config/place_settings.h"
#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/sim/batch_interpreter.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include "support/window_driver.h"
#include "system/platform/text.h"
#include "ui/win32/controls.h"
#include "ui/win32/page_setting_view.h"
#endif

namespace velandra::ui {
namespace {

using platform::MessageIcon;
using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;

// Answers the place dialog: each press types a name and says OK, or is
// nullopt for Cancel; an OK the dialog refuses keeps it open for the next.
class FakePlaceHost : public IDialogHost {
 public:
  using Presses = std::vector<std::optional<std::string>>;
  void Answer(Presses presses) { queued_.push_back(std::move(presses)); }
  bool DoModal(CDialogModel& model) override {
    auto* dialog = dynamic_cast<CDlgPlace*>(&model);
    if (!dialog) {
      ADD_FAILURE() << "dialog " << model.TemplateId() << " is not the place dialog";
      return false;
    }
    Opened.push_back(dialog->Name);
    if (queued_.empty()) {
      ADD_FAILURE() << "place dialog shown without an answer";
      return false;
    }
    Presses presses = std::move(queued_.front());
    queued_.pop_front();
    dialog->OnInitDialog();
    for (const auto& press : presses) {
      if (!press) return false;
      dialog->Name = *press;
      if (dialog->OnOK()) return true;
      EXPECT_EQ(dialog->Focus, IDC_PLACE_NAME);
      EXPECT_EQ(dialog->Name, *press);  // the typed text stays
      dialog->Focus = 0;
    }
    ADD_FAILURE() << "place dialog still open after its last press";
    return false;
  }
  bool ChooseFile(const std::string&, std::string&) override {
    ADD_FAILURE() << "the Setting page opened a file chooser";
    return false;
  }
  bool ChooseFolder(const std::string&, const std::string&, const std::string&,
                    std::string&) override {
    ADD_FAILURE() << "the Setting page opened a folder chooser";
    return false;
  }
  bool AllAnswered() const { return queued_.empty(); }
  std::vector<std::string> Opened;  // the name each dialog opened with

 private:
  std::deque<Presses> queued_;
};

class NoLogon : public IUserPasswordDialog {
 public:
  bool DoModal(CDlgUserPassword&) override { return false; }
};

// Places 0, 1 and 3 (the next free number is 2), current place 自宅 and
// the wireless adapter; 本社 differs from the PC, 標準 and 自宅 are the PC.
constexpr char kIni[] =
    "[PLACELIST]\r\nP0=標準\r\nP1=本社\r\nP3=自宅\r\n"
    "[LAST]\r\nLASTPLACE=3\r\nLASTADAPTER=1\r\n"
    "[P1A0]\r\n"
    "EnableDHCP=FALSE\r\nIPAddress=10.1.0.25\r\nSubnetMask=255.255.0.0\r\n"
    "Gateway=10.1.0.1\r\nMetric=1\r\nInterfaceMetric=0\r\nEnableDNS=FALSE\r\n"
    "DNS_Server=10.1.0.53\r\nDOMAIN_Suffix=honsha.example.co.jp\r\n"
    "DOMAIN_Update=TRUE\r\nDOMAIN_Registration=FALSE\r\nWINS=\r\nNetBIOS=0\r\n";

class SettingPageTest : public ::testing::Test {
 protected:
  // A new PC for the next row of a table.
  void Fresh() {
    page_.reset();
    sheet_.reset();
    context_.reset();
    host_ = FakePlaceHost();
    pc_ = std::make_unique<ScratchPc>();
  }
  void Load(const std::string& ini = kIni) {
    pc_->WriteFile(kDemoIniFile, ini);
    platform::sim::SimulatedPc& sim = pc_->Open();
    context_ = std::make_unique<Context>(sim.platform(), kDemoIniPath,
                                         ReadOsInfo(sim.platform().system));
    sheet_ = std::make_unique<CVelandraSheet>(*context_);
    ASSERT_TRUE(sheet_->LoadAll());
    page_ = std::make_unique<CPageSetting>(*sheet_, host_, nullptr, logon_);
    page_->OnInitDialog();
  }
  std::string Ini() const { return pc_->ReadFile(kDemoIniFile); }
  platform::sim::SimulatedPc& Sim() { return pc_->Open(); }
  const std::vector<platform::sim::ShownMessage>& Messages() { return Sim().Messages(); }
  // The texts and icons shown, one "icon:text" each.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (const auto& m : Messages()) {
      EXPECT_EQ(m.Caption, "Velandra");
      EXPECT_EQ(m.Owner, platform::MessageOwner::MainWindow);
      out.push_back(IconName(m.Icon) + ":" + m.Text);
    }
    return out;
  }
  static std::string IconName(MessageIcon icon) {
    switch (icon) {
      case MessageIcon::Error: return "error";
      case MessageIcon::Warning: return "warning";
      case MessageIcon::Information: return "info";
      case MessageIcon::Question: return "question";
    }
    return "?";
  }
  bool BatchRan() {
    for (const std::string& e : Sim().Events())
      if (e.rfind(platform::sim::kBatchCommandEvent, 0) == 0) return true;
    return false;
  }
  std::vector<std::string> PlaceTexts() const {
    std::vector<std::string> out;
    for (const auto& item : page_->PlaceItems)
      out.push_back(item.Text + "=" + std::to_string(item.Data));
    return out;
  }
  std::vector<std::string> SheetPlaces() const {
    std::vector<std::string> out;
    for (const auto& p : sheet_->Places) out.push_back(p->Name + "=" + std::to_string(p->Number));
    return out;
  }
  // Which record objects the sheet holds, in order, with their owners.
  std::vector<const void*> Records() const {
    std::vector<const void*> out;
    for (const auto& s : sheet_->AdapterSettingsList) out.push_back(s.get());
    for (const auto& s : sheet_->PlaceSettingsList) out.push_back(s.get());
    return out;
  }
  config::Place& PlaceNamed(const std::string& name) {
    const int64_t number = sheet_->FindPlaceNumber(name);
    EXPECT_GE(number, 0) << name;
    return *sheet_->FindPlace(static_cast<uint32_t>(number));
  }
  void Select(int index) {
    page_->PlaceSelection = index;
    page_->OnPlaceSelChange();
  }

  std::unique_ptr<ScratchPc> pc_ = std::make_unique<ScratchPc>();
  std::unique_ptr<Context> context_;
  std::unique_ptr<CVelandraSheet> sheet_;
  FakePlaceHost host_;
  NoLogon logon_;
  std::unique_ptr<CPageSetting> page_;
};

TEST_F(SettingPageTest, InitFillsTheListsAndAVisitWithoutEditsChangesNothing) {
  Load();
  EXPECT_EQ(PlaceTexts(), (std::vector<std::string>{"標準=0", "本社=1", "自宅=3"}));
  EXPECT_EQ(page_->PlaceSelection, 2);
  ASSERT_EQ(page_->AdapterItems.size(), 2u);
  EXPECT_EQ(page_->AdapterItems[0].Text, "Intel(R) PRO/100 VE Network Connection");
  EXPECT_EQ(page_->AdapterItems[0].Data, 0u);
  EXPECT_EQ(page_->AdapterItems[1].Text, "Intel(R) PRO/Wireless 2200BG Network Connection");
  EXPECT_EQ(page_->AdapterItems[1].Data, 1u);
  EXPECT_EQ(page_->AdapterSelection, 1);
  EXPECT_EQ(page_->ConnectionName, "ワイヤレス ネットワーク接続");

  const std::vector<const void*> records = Records();
  config::Place* current = sheet_->CurrentPlace;
  AdapterInfo* adapter = sheet_->CurrentAdapter;
  page_->OnSetActive();
  EXPECT_TRUE(page_->OnKillActive());
  page_->OnSetActive();
  EXPECT_TRUE(page_->OnKillActive());
  EXPECT_EQ(sheet_->CurrentPlace, current);
  EXPECT_EQ(sheet_->CurrentAdapter, adapter);
  EXPECT_EQ(Records(), records);
  EXPECT_EQ(Ini(), kIni);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingPageTest, CurrentNotInTheListsSelectsTheFirstItems) {
  Load();
  sheet_->CurrentPlace = nullptr;
  sheet_->CurrentAdapter = nullptr;
  CPageSetting page(*sheet_, host_, nullptr, logon_);
  EXPECT_EQ(page.PlaceSelection, -1);
  EXPECT_EQ(page.ConnectionName, "Static");
  page.OnInitDialog();
  EXPECT_EQ(page.PlaceSelection, 0);
  EXPECT_EQ(page.AdapterSelection, 0);
  EXPECT_EQ(page.ConnectionName, "ローカル エリア接続");
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(sheet_->CurrentPlace, sheet_->FindPlace(0));
  EXPECT_EQ(sheet_->CurrentAdapter, sheet_->FindAdapter(0));
}

TEST_F(SettingPageTest, SelectionsChooseTheCurrentPlaceAndAdapter) {
  Load();
  struct Row {
    int place, adapter;
    uint32_t placeNumber, adapterNumber;
    const char* connection;
  };
  const Row rows[] = {
      {0, 0, 0, 0, "ローカル エリア接続"},
      {1, 1, 1, 1, "ワイヤレス ネットワーク接続"},
      {2, 0, 3, 0, "ローカル エリア接続"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.place);
    Select(row.place);
    EXPECT_EQ(sheet_->CurrentPlace->Number, row.placeNumber);
    page_->AdapterSelection = row.adapter;
    page_->OnAdapterSelChange();
    EXPECT_EQ(sheet_->CurrentAdapter->Number, row.adapterNumber);
    EXPECT_EQ(page_->ConnectionName, row.connection);
  }
  // Leaving takes both selections again.
  page_->PlaceSelection = 1;
  page_->AdapterSelection = 1;
  EXPECT_TRUE(page_->OnKillActive());
  EXPECT_EQ(sheet_->CurrentPlace->Number, 1u);
  EXPECT_EQ(sheet_->CurrentAdapter->Number, 1u);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingPageTest, Add) {
  struct Row {
    const char* name;
    FakePlaceHost::Presses presses;
    std::vector<std::string> shown;
    std::vector<std::string> places;  // the list afterwards; empty: unchanged
  };
  const std::vector<std::string> unchanged = {"標準=0", "本社=1", "自宅=3"};
  const Row rows[] = {
      {"cancelled", {std::nullopt}, {}, {}},
      {"duplicate", {"本社"}, {std::string("warning:") + kMsgPlaceExists}, {}},
      {"empty refused by the dialog, then cancelled",
       {"", std::nullopt},
       {std::string("warning:") + kMsgPlaceNameEmpty},
       {}},
      {"unusable and too long refused by the dialog, then a good name",
       {" 支店", std::string(65, 'a'), "支店"},
       {std::string("warning:") + kMsgPlaceNameUnusable,
        std::string("warning:") + kMsgPlaceNameTooLong},
       {"標準=0", "本社=1", "自宅=3", "支店=2"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fresh();
    Load();
    host_.Answer(row.presses);
    page_->OnAdd();
    EXPECT_TRUE(host_.AllAnswered());
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(PlaceTexts(), row.places.empty() ? unchanged : row.places);
    EXPECT_EQ(SheetPlaces(), PlaceTexts());
    EXPECT_EQ(Ini(), kIni);  // saved only at OK
  }
}

TEST_F(SettingPageTest, AddedPlaceIsBuiltFromThePcAndANameDifferingInCaseIsNew) {
  Load("[PLACELIST]\r\nP0=標準\r\nP1=Office\r\nP3=自宅\r\n");
  host_.Answer({"office"});
  page_->OnAdd();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(PlaceTexts(), (std::vector<std::string>{"標準=0", "Office=1", "自宅=3", "office=2"}));
  EXPECT_EQ(page_->PlaceSelection, 3);
  config::Place& added = *sheet_->FindPlace(2);
  EXPECT_EQ(sheet_->CurrentPlace, &added);
  const config::AdapterSettings* lan = sheet_->FindAdapterSettings(added, *sheet_->FindAdapter(0));
  const config::AdapterSettings* wlan = sheet_->FindAdapterSettings(added, *sheet_->FindAdapter(1));
  ASSERT_NE(lan, nullptr);
  ASSERT_NE(wlan, nullptr);
  EXPECT_FALSE(lan->EnableDHCP);
  EXPECT_EQ(lan->IPAddress, (std::vector<std::string>{"192.168.1.20"}));
  EXPECT_TRUE(wlan->EnableDHCP);
  const config::PlaceSettings* wide = sheet_->FindPlaceSettings(added);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->ComputerName, "VELANDRA-PC");
  EXPECT_EQ(wide->HOSTS, "C:\\Program Files\\Velandra\\hosts.office");

  // Once more: the next free number after 0, 1, 2 and 3.
  host_.Answer({"OFFICE"});
  page_->OnAdd();
  EXPECT_EQ(page_->PlaceItems.back().Data, 4u);
}

TEST_F(SettingPageTest, Edit) {
  // Two places of one name, as a hand-edited file may have them.
  constexpr char kTwins[] = "[PLACELIST]\r\nP0=標準\r\nP1=重複\r\nP2=重複\r\nP5=自宅\r\n";
  struct Row {
    const char* name;
    int selected;
    std::vector<std::optional<std::string>> presses;  // none: no dialog
    std::vector<std::string> shown;
    const char* renamedTo;  // the selected place's name afterwards
  };
  const std::string exists = std::string("warning:") + kMsgPlaceExists;
  const std::string same = std::string("warning:") + kMsgNotChanged;
  const Row rows[] = {
      {"no selection", -1, {}, {std::string("warning:") + kMsgSelectPlaceToEdit}, nullptr},
      {"cancelled", 3, {std::nullopt}, {}, "自宅"},
      {"own name", 3, {"自宅"}, {same}, "自宅"},
      {"another's name", 3, {"標準"}, {exists}, "自宅"},
      {"the twin after: unchanged comes first", 1, {"重複"}, {same}, "重複"},
      {"the twin before: the duplicate comes first", 2, {"重複"}, {exists}, "重複"},
      {"empty refused by the dialog, then renamed", 3, {"", "別宅"},
       {std::string("warning:") + kMsgPlaceNameEmpty}, "別宅"},
      {"renamed", 0, {"本社"}, {}, "本社"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fresh();
    Load(kTwins);
    page_->PlaceSelection = row.selected;
    const uint32_t number = row.selected >= 0 ? page_->PlaceItems[row.selected].Data : 0;
    const std::string before = row.selected >= 0 ? page_->PlaceItems[row.selected].Text : "";
    if (!row.presses.empty()) host_.Answer(row.presses);
    page_->OnEdit();
    EXPECT_TRUE(host_.AllAnswered());
    EXPECT_EQ(Shown(), row.shown);
    if (row.presses.empty()) {
      EXPECT_TRUE(host_.Opened.empty());
    } else {
      EXPECT_EQ(host_.Opened, (std::vector<std::string>{before}));
    }
    if (row.renamedTo) {
      EXPECT_EQ(page_->PlaceSelection, row.selected);
      EXPECT_EQ(page_->PlaceItems[row.selected].Text, row.renamedTo);
      EXPECT_EQ(page_->PlaceItems[row.selected].Data, number);  // its sections keep their names
      EXPECT_EQ(sheet_->FindPlace(number)->Name, row.renamedTo);
    }
    EXPECT_EQ(SheetPlaces(), PlaceTexts());
    EXPECT_EQ(Ini(), kTwins);
  }
}

TEST_F(SettingPageTest, EditOpensTheDialogWithTheSelectedName) {
  Load();
  page_->PlaceSelection = 1;
  host_.Answer({std::nullopt});
  page_->OnEdit();
  EXPECT_EQ(host_.Opened, (std::vector<std::string>{"本社"}));
}

TEST_F(SettingPageTest, DeleteRefusals) {
  const std::string confirm = std::string("question:") + kMsgConfirmDelete;
  struct Row {
    const char* name;
    const char* ini;
    int selected;
    const char* answer;
    std::vector<std::string> shown;
  };
  const Row rows[] = {
      {"no", kIni, 1, "no", {confirm, std::string("info:") + kMsgDeleteCancelled}},
      {"single place: the confirmation first", "[PLACELIST]\r\nP0=標準\r\n", 0, "yes",
       {confirm, std::string("warning:") + kMsgOnlyPlace}},
      {"single place, no selection: still the refusal", "[PLACELIST]\r\nP4=唯一\r\n", -1, "yes",
       {confirm, std::string("warning:") + kMsgOnlyPlace}},
      {"no selection", kIni, -1, "yes",
       {confirm, std::string("warning:") + kMsgSelectPlaceToDelete}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fresh();
    Load(row.ini);
    const std::vector<std::string> places = PlaceTexts();
    const std::vector<const void*> records = Records();
    page_->PlaceSelection = row.selected;
    Sim().answers().Push(row.answer);
    page_->OnDelete();
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(PlaceTexts(), places);
    EXPECT_EQ(SheetPlaces(), places);
    EXPECT_EQ(Records(), records);
    EXPECT_EQ(Ini(), row.ini);
  }
}

TEST_F(SettingPageTest, DeleteRemovesThePlaceFromTheFileAtOnce) {
  Load(std::string(kIni) +
       "[P3A0]\r\nEnableDHCP=TRUE\r\n[P3A1]\r\nEnableDHCP=TRUE\r\n[P3]\r\nComputerName=X\r\n");
  ASSERT_EQ(page_->PlaceSelection, 2);  // 自宅, which LASTPLACE names
  Select(1);
  page_->PlaceSelection = 2;
  Sim().answers().Push("yes");
  page_->OnDelete();
  EXPECT_EQ(Shown(), (std::vector<std::string>{std::string("question:") + kMsgConfirmDelete}));
  EXPECT_EQ(PlaceTexts(), (std::vector<std::string>{"標準=0", "本社=1"}));
  EXPECT_EQ(SheetPlaces(), PlaceTexts());
  EXPECT_EQ(page_->PlaceSelection, 0);
  EXPECT_EQ(sheet_->CurrentPlace, sheet_->FindPlace(0));  // the first, not the one current before
  EXPECT_EQ(sheet_->AdapterSettingsList.size(), 4u);
  EXPECT_EQ(sheet_->PlaceSettingsList.size(), 2u);
  const std::string ini = Ini();
  for (const char* gone : {"P3=自宅", "[P3A0]", "[P3A1]", "[P3]"})
    EXPECT_EQ(ini.find(gone), std::string::npos) << gone;
  EXPECT_NE(ini.find("LASTPLACE=0"), std::string::npos);
  EXPECT_NE(ini.find("[P1A0]"), std::string::npos);
}

TEST_F(SettingPageTest, GetCurrentReplacesOnlyTheCurrentAdapterAndThePlaceWideRecord) {
  Load();
  Select(1);  // 本社, whose wired adapter differs from the PC
  page_->AdapterSelection = 0;
  page_->OnAdapterSelChange();
  config::Place& honsha = *sheet_->CurrentPlace;
  AdapterInfo& lan = *sheet_->FindAdapter(0);
  AdapterInfo& wlan = *sheet_->FindAdapter(1);
  config::AdapterSettings* wireless = sheet_->FindAdapterSettings(honsha, wlan);
  wireless->DOMAIN_Suffix = "手で変えた";
  sheet_->FindPlaceSettings(honsha)->ComputerName = "EDITED";
  config::AdapterSettings* otherLan = sheet_->FindAdapterSettings(*sheet_->FindPlace(0), lan);
  config::PlaceSettings* otherWide = sheet_->FindPlaceSettings(*sheet_->FindPlace(0));

  // Refused first: nothing changes.
  Sim().answers().Push("no");
  page_->OnGetCurrent();
  EXPECT_EQ(sheet_->FindAdapterSettings(honsha, lan)->IPAddress,
            (std::vector<std::string>{"10.1.0.25"}));
  EXPECT_EQ(sheet_->FindPlaceSettings(honsha)->ComputerName, "EDITED");

  Sim().answers().Push("yes");
  page_->OnGetCurrent();
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         std::string("question:") + kMsgConfirmGetCurrent,
                         std::string("info:") + kMsgGetCurrentCancelled,
                         std::string("question:") + kMsgConfirmGetCurrent}));
  EXPECT_EQ(sheet_->FindAdapterSettings(honsha, lan)->IPAddress,
            (std::vector<std::string>{"192.168.1.20"}));
  EXPECT_EQ(sheet_->FindAdapterSettings(honsha, wlan), wireless);
  EXPECT_EQ(wireless->DOMAIN_Suffix, "手で変えた");
  EXPECT_EQ(sheet_->FindPlaceSettings(honsha)->ComputerName, "VELANDRA-PC");
  EXPECT_EQ(sheet_->FindAdapterSettings(*sheet_->FindPlace(0), lan), otherLan);
  EXPECT_EQ(sheet_->FindPlaceSettings(*sheet_->FindPlace(0)), otherWide);
  EXPECT_EQ(sheet_->AdapterSettingsList.size(), 6u);
  EXPECT_EQ(sheet_->PlaceSettingsList.size(), 3u);
  EXPECT_EQ(Ini(), kIni);
}

TEST_F(SettingPageTest, ApplyNow) {
  struct Row {
    const char* name;
    bool diffCheck;
    int selected;
    std::vector<std::string> shown;
    bool batch;
    const char* description = nullptr;  // given: the place-wide record differs in it
  };
  const Row rows[] = {
      {"no selection", true, -1, {std::string("warning:") + kMsgSelectPlaceToApply}, false},
      {"equal to the PC under DIFFCHECK", true, 0,
       {std::string("info:") + apply::kMsgNothingToChange}, false},
      {"an adapter differs under DIFFCHECK", true, 1, {}, true},
      {"only the place-wide record differs under DIFFCHECK", true, 2, {}, true, "別の説明"},
      {"equal without DIFFCHECK: the batch all the same", false, 0, {}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fresh();
    Load();
    context_->DiffCheck = row.diffCheck;
    if (row.description)
      sheet_->FindPlaceSettings(*sheet_->FindPlace(page_->PlaceItems[row.selected].Data))
          ->SrvComment = row.description;
    page_->PlaceSelection = row.selected;
    page_->OnApplyNow();
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(BatchRan(), row.batch);
    EXPECT_EQ(Ini(), kIni);  // applied, not saved
  }
}

TEST_F(SettingPageTest, ApplyNowChangesThePcToTheSelectedPlace) {
  Load();
  context_->DiffCheck = true;
  Select(2);               // current: 自宅
  page_->PlaceSelection = 1;  // applied: 本社, the selected one
  page_->OnApplyNow();
  ASSERT_TRUE(BatchRan());
  config::Place& honsha = *sheet_->FindPlace(1);
  sheet_->CompareWithPc(honsha);
  EXPECT_EQ(sheet_->FindAdapterSettings(honsha, *sheet_->FindAdapter(0))->ChangeKind, 0u);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingPageTest, OkRunsTheApplyFlowWithItsSaveFlag) {
  Load();
  // Without the exit-mode dialog: loudly not built, nothing saved.
  page_->OnOK();
  EXPECT_EQ(page_->Applied, apply::ApplyResult::NotBuilt);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].Text.find(apply::kMsgNoExitDialog), std::string::npos);
  EXPECT_EQ(Ini(), kIni);

  // Save only: the whole configuration written, nothing applied.
  std::ostringstream out;
  ScriptedExitDialog exitDialog(Sim().answers(), out);
  CPageSetting page(*sheet_, host_, &exitDialog, logon_);
  page.OnInitDialog();
  Sim().answers().Push("exit:saveonly");
  page.OnOK();
  EXPECT_EQ(page.Applied, apply::ApplyResult::Done);
  EXPECT_NE(Ini().find("LastExit=SAVE"), std::string::npos);
  EXPECT_NE(Ini().find("[P3]"), std::string::npos);
  EXPECT_FALSE(BatchRan());
}

TEST(CDlgPlace, OkTakesOnlyAKeepableName) {
  ScratchPc pc;
  platform::sim::SimulatedPc& sim = pc.Open();
  struct Row {
    std::string name;
    const char* refusal;  // null: closes with OK
  };
  const Row rows[] = {
      {"支店", nullptr},
      {"a b", nullptr},
      {std::string(64, 'x'), nullptr},
      {"", kMsgPlaceNameEmpty},
      {"支店 ", kMsgPlaceNameUnusable},
      {"\"支店\"", kMsgPlaceNameUnusable},
      {"支\t店", kMsgPlaceNameUnusable},
      {std::string(65, 'x'), kMsgPlaceNameTooLong},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const size_t before = sim.Messages().size();
    CDlgPlace dialog(sim.platform(), row.name);
    EXPECT_EQ(dialog.TemplateId(), 138u);
    EXPECT_EQ(dialog.OnOK(), row.refusal == nullptr);
    EXPECT_EQ(dialog.Name, row.name);
    if (!row.refusal) {
      EXPECT_EQ(sim.Messages().size(), before);
      EXPECT_EQ(dialog.Focus, 0);
      continue;
    }
    ASSERT_EQ(sim.Messages().size(), before + 1);
    EXPECT_EQ(sim.Messages().back().Text, row.refusal);
    EXPECT_EQ(sim.Messages().back().Icon, MessageIcon::Warning);
    EXPECT_EQ(sim.Messages().back().Caption, "Velandra");
    EXPECT_EQ(dialog.Focus, IDC_PLACE_NAME);
  }
}

#ifdef _WIN32

using velandra::testing::CanCreateWindows;
using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::PostClick;
using velandra::testing::WindowDriver;

void InitSettingControls() {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
}

std::vector<std::string> ComboTexts(HWND page, int id) {
  std::vector<std::string> out;
  const LRESULT count = SendDlgItemMessageA(page, id, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = {};
    SendDlgItemMessageA(page, id, CB_GETLBTEXT, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(text));
    const LRESULT data = SendDlgItemMessageA(page, id, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    out.push_back(std::string(text) + "=" + std::to_string(data));
  }
  return out;
}

// The place dialog from its template: a typed name comes back with OK; an
// empty one is refused with the dialog left open, and Cancel then gives
// nothing.
TEST(Win32PlaceDialog, NameTypedEmptyRefusedAndCancel) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitSettingControls();
  ScratchPc pc;
  platform::sim::SimulatedPc& sim = pc.Open();
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {win32::MakeSettingDialogView});

  CDlgPlace typed(sim.platform(), "本社");
  std::string shown, label;
  std::vector<std::string> clipped;
  WindowDriver first;
  first.ThenDialog("接続場所", [&](HWND d) {
    shown = ControlText(d, IDC_PLACE_NAME);
    label = ControlText(d, IDC_PLACE_LABEL);
    clipped = ClippedTexts(d);
    SetDlgItemTextA(d, IDC_PLACE_NAME, "支店 第二");
    PostClick(d, IDOK);
  });
  bool ok = false;
  EXPECT_TRUE(first.Run([&] { ok = host.DoModal(typed); }, 8000)) << first.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(shown, "本社");
  EXPECT_EQ(label, "場所(&B):");
  EXPECT_EQ(typed.Name, "支店 第二");
  for (const std::string& text : clipped)
    ADD_FAILURE() << "clipped: " << platform::Cp932ToUtf8(text);
  EXPECT_TRUE(sim.Messages().empty());

  CDlgPlace empty(sim.platform());
  bool stillOpen = false;
  WindowDriver second;
  second
      .ThenDialog("接続場所",
                  [&](HWND d) {
                    SetDlgItemTextA(d, IDC_PLACE_NAME, "");
                    PostClick(d, IDOK);
                  })
      .Then([&]() -> HWND { return sim.Messages().empty() ? nullptr : FindWindowA(nullptr, "接続場所"); },
            [&](HWND d) {
              stillOpen = IsWindowVisible(d) != FALSE;
              PostClick(d, IDCANCEL);
            });
  ok = true;
  EXPECT_TRUE(second.Run([&] { ok = host.DoModal(empty); }, 8000)) << second.Stuck();
  EXPECT_FALSE(ok);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].Text, kMsgPlaceNameEmpty);
  EXPECT_EQ(sim.Messages()[0].Icon, MessageIcon::Warning);
}

// The page alone in a sheet: its lists come from the sheet, and 追加 adds
// the place typed in the dialog to the list and makes it current.
TEST_F(SettingPageTest, Win32PageFillsFromTheSheetAndAdds) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitSettingControls();
  Load();
  HINSTANCE module = GetModuleHandleA(nullptr);
  win32::Win32DialogHost host(module, {win32::MakeSettingDialogView});
  CPageSetting page(*sheet_, host, nullptr, logon_);
  std::unique_ptr<win32::PageView> view = win32::MakeSettingPageView(page);
  ASSERT_NE(view, nullptr);

  std::vector<std::string> clipped, places, adapters, placesAfter;
  std::string connection, title;
  int placeSelected = -1, adapterSelected = -1, selectedAfter = -1;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PropSheet_GetCurrentPageHwnd(sheet);
                    title = velandra::testing::WindowTitle(p);
                    clipped = ClippedTexts(sheet);
                    places = ComboTexts(p, IDC_SETTING_PLACE);
                    adapters = ComboTexts(p, IDC_SETTING_ADAPTER);
                    placeSelected = win32::ComboSelection(p, IDC_SETTING_PLACE);
                    adapterSelected = win32::ComboSelection(p, IDC_SETTING_ADAPTER);
                    connection = ControlText(p, IDC_SETTING_CONNECTION);
                    PostClick(p, IDC_SETTING_ADD);
                  })
      .ThenDialog("接続場所",
                  [&](HWND d) {
                    SetDlgItemTextA(d, IDC_PLACE_NAME, "支店");
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) {
        HWND p = PropSheet_GetCurrentPageHwnd(sheet);
        placesAfter = ComboTexts(p, IDC_SETTING_PLACE);
        selectedAfter = win32::ComboSelection(p, IDC_SETTING_PLACE);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      });
  EXPECT_TRUE(velandra::testing::RunPageAlone(*view, driver)) << driver.Stuck();
  for (const std::string& text : clipped)
    ADD_FAILURE() << "clipped: " << platform::Cp932ToUtf8(text);
  EXPECT_EQ(places, (std::vector<std::string>{"標準=0", "本社=1", "自宅=3"}));
  EXPECT_EQ(placeSelected, 2);
  EXPECT_EQ(adapters, (std::vector<std::string>{"Intel(R) PRO/100 VE Network Connection=0",
                                                "Intel(R) PRO/Wireless 2200BG Network Connection=1"}));
  EXPECT_EQ(adapterSelected, 1);
  EXPECT_EQ(connection, "ワイヤレス ネットワーク接続");
  EXPECT_EQ(placesAfter, (std::vector<std::string>{"標準=0", "本社=1", "自宅=3", "支店=2"}));
  EXPECT_EQ(selectedAfter, 3);
  EXPECT_EQ(sheet_->CurrentPlace, sheet_->FindPlace(2));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Ini(), kIni);  // cancelled: nothing saved
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
