#include "ui/page_domain.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/place_settings.h"
#include "dns_wins_test_rig.h"
#include "support/answering_dialog_host.h"
#include "support/demo_pc_facts.h"
#include "support/place_records.h"
#include "support/scratch_dir.h"
#include "system/local_users.h"
#include "system/os_info.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/window_driver.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/page_domain_view.h"
#include "ui/win32/sheet_view.h"
#endif

namespace velandra::ui {
namespace {

using platform::sim::DemoVariant;
using velandra::testing::AnsweringDialogHost;
using velandra::testing::Dump;
using velandra::testing::ScratchPc;
using Strings = std::vector<std::string>;

enum class Windows { Xp, XpHome, W2000 };

const char* Name(Windows os) {
  switch (os) {
    case Windows::Xp: return "XP";
    case Windows::XpHome: return "XP Home";
    default: return "2000";
  }
}

// The demo PC (users Administrator, Guest, yamada; places 標準, 本社, 自宅,
// 本店 the domain VELANDRA, 在宅 the workgroup HOME) as one Windows, with
// its sheet loaded and a dialog host that answers the account dialogs.
class DomainRig {
 public:
  explicit DomainRig(Windows os = Windows::Xp, const char* usersIni = nullptr)
      : pc_(os == Windows::W2000 ? DemoVariant::Windows2000 : DemoVariant::WindowsXp) {
    // Home Edition: personal (0x0200) beside single-user terminal services.
    if (os == Windows::XpHome) pc_.SetMachine("windows", "suite_mask", "0x0300");
    if (usersIni) pc_.WriteFile("users.ini", usersIni);
    platform::Platform& platform = pc_.Open().platform();
    context_.emplace(platform, velandra::testing::kDemoIniPath, ReadOsInfo(platform.system));
    sheet.emplace(*context_);
    EXPECT_TRUE(sheet->LoadAll());
  }

  // Makes `name` the current place; its record.
  config::PlaceSettings& Select(const std::string& name) {
    const int64_t number = sheet->FindPlaceNumber(name);
    EXPECT_GE(number, 0) << name;
    sheet->CurrentPlace = sheet->FindPlace(static_cast<uint32_t>(number));
    return *sheet->FindPlaceSettings(*sheet->CurrentPlace);
  }
  // The page, initialised as its window is made.
  CPageDomain& Page() {
    if (!page_) {
      page_ = std::make_unique<CPageDomain>(*sheet, dialogs);
      page_->OnInitDialog();
    }
    return *page_;
  }
  // Every place-wide record of the sheet.
  std::string DumpAll() const {
    std::string out;
    for (const auto& p : sheet->PlaceSettingsList) out += "[" + p->owner.Name + "]\n" + Dump(*p);
    return out;
  }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }
  Strings MessageTexts() {
    Strings texts;
    for (const auto& m : Messages()) texts.push_back(m.Text);
    return texts;
  }

 private:
  ScratchPc pc_;
  std::optional<Context> context_;

 public:
  std::optional<CVelandraSheet> sheet;
  AnsweringDialogHost dialogs;

 private:
  std::unique_ptr<CPageDomain> page_;
};

// A record filled with values that differ from every default, as one
// membership can hold them: a workgroup keeps no domain name and a domain
// no workgroup name, and only an XP workgroup member has the welcome screen.
void Fill(config::PlaceSettings& s, bool domain, bool welcome) {
  s.ComputerName = "SHITEN-PC";
  s.SrvComment = "支店 表計算ソフト";  // 表 and ソ end in the byte 0x5C
  s.DomainWorkgroup = domain;
  s.DomainName = domain ? "SHITEN.EXAMPLE" : "";
  s.WorkgroupName = domain ? "" : "ソフト開発";
  s.LogonPlace = false;
  s.DelayDomain = true;
  s.JoinDomainUser = "SHITEN\\joiner";
  s.JoinDomainPassword = "join pass";
  s.LocalAdminUser = "yamada";
  s.LocalAdminPassword = "admin pass";
  s.DefaultUserName = "yamada";
  s.DefaultPassword = "表示ソ";
  s.AutoAdminLogon = true;
  s.AutoLogonKeep = true;
  s.DisableCAD = false;
  s.Welcome = welcome;
  s.MultipleTSSessions = welcome;
}

TEST(PageDomain, EnterThenLeaveOnAFilledPlaceChangesNothing) {
  struct Row {
    Windows os;
    bool domain;
  };
  for (const Row& row : {Row{Windows::Xp, false}, Row{Windows::Xp, true},
                         Row{Windows::W2000, false}, Row{Windows::W2000, true}}) {
    SCOPED_TRACE(std::string(Name(row.os)) + (row.domain ? " domain" : " workgroup"));
    DomainRig rig(row.os);
    Fill(rig.Select("在宅"), row.domain, row.os == Windows::Xp && !row.domain);
    const std::string before = rig.DumpAll();
    CPageDomain& page = rig.Page();
    for (int round = 0; round < 2; ++round) {
      page.OnSetActive();
      EXPECT_TRUE(page.OnKillActive());
      EXPECT_EQ(rig.DumpAll(), before);
    }
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_TRUE(rig.dialogs.Shown.empty());
  }
}

// What the page shows and enables, in one line: the values, then "+" or
// "-" for each enabled state, "list" or "edit" for the user name's control.
std::string State(const CPageDomain& p) {
  auto on = [](bool b) { return b ? "+" : "-"; };
  std::string s = p.IsDomain() ? "domain " : "workgroup ";
  s += "'" + p.DomainName + "' '" + p.WorkgroupName + "'";
  s += std::string(" choice") + on(p.DomainChoiceEnabled());
  s += std::string(" domainctl") + on(p.DomainControlsEnabled());
  s += std::string(" admin") + on(p.AdminAccountEnabled());
  s += std::string(" wgname") + on(p.WorkgroupNameEnabled());
  s += p.UserListShown() ? " list" : " edit";
  s += std::string(" pw") + on(p.PasswordControlsEnabled());
  s += std::string(" welcome") + on(p.WelcomeEnabled()) + (p.Welcome ? "1" : "0");
  s += std::string(" fast") + on(p.FastSwitchingEnabled()) + (p.FastSwitching ? "1" : "0");
  return s;
}

TEST(PageDomain, EnteringShowsTheRecordWithWhatIsEnabled) {
  struct Row {
    const char* name;
    Windows os;
    bool domain, delay, autoLogon, welcome;
    const char* state;
  };
  const Row rows[] = {
      {"xp_workgroup_welcome", Windows::Xp, false, true, true, true,
       "workgroup '' 'ソフト開発' choice+ domainctl- admin- wgname+ list pw+ welcome+1 fast+1"},
      {"xp_workgroup_no_welcome", Windows::Xp, false, false, false, false,
       "workgroup '' 'ソフト開発' choice+ domainctl- admin- wgname+ list pw- welcome+0 fast-0"},
      {"xp_domain_delayed", Windows::Xp, true, true, true, true,
       "domain 'SHITEN.EXAMPLE' '' choice+ domainctl+ admin+ wgname- edit pw+ welcome-0 fast-0"},
      {"xp_domain_at_once", Windows::Xp, true, false, false, false,
       "domain 'SHITEN.EXAMPLE' '' choice+ domainctl+ admin- wgname- edit pw- welcome-0 fast-0"},
      {"2000_workgroup", Windows::W2000, false, false, true, true,
       "workgroup '' 'ソフト開発' choice+ domainctl- admin- wgname+ list pw+ welcome-0 fast-0"},
      {"2000_domain", Windows::W2000, true, true, false, false,
       "domain 'SHITEN.EXAMPLE' '' choice+ domainctl+ admin+ wgname- edit pw- welcome-0 fast-0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DomainRig rig(row.os);
    config::PlaceSettings& place = rig.Select("在宅");
    Fill(place, row.domain, row.welcome);
    // The other membership's name is not shown.
    place.DomainName = "SHITEN.EXAMPLE";
    place.WorkgroupName = "ソフト開発";
    place.DelayDomain = row.delay;
    place.AutoAdminLogon = row.autoLogon;
    CPageDomain& page = rig.Page();
    page.OnSetActive();
    EXPECT_EQ(State(page), row.state);
    EXPECT_EQ(page.ComputerName, "SHITEN-PC");
    EXPECT_EQ(page.Comment, "支店 表計算ソフト");
    EXPECT_FALSE(page.LogonPlace);
    EXPECT_EQ(page.DelayDomain, row.delay);
    EXPECT_EQ(page.Users, (Strings{"Administrator", "Guest", "yamada"}));
    EXPECT_EQ(page.UserSelection, 2);
    EXPECT_EQ(page.UserName, "yamada");
    EXPECT_EQ(page.Password, "表示ソ");
    EXPECT_EQ(page.Confirmation, "表示ソ");
    EXPECT_EQ(page.AutoLogon, row.autoLogon);
    EXPECT_EQ(page.AutoLogonKeep, row.autoLogon);  // stored on, shown only with the logon
    EXPECT_TRUE(page.RequireCad);
    EXPECT_EQ(page.JoinUser, "SHITEN\\joiner");
    EXPECT_EQ(page.JoinPassword, "join pass");
    EXPECT_EQ(page.AdminUser, "yamada");
    EXPECT_EQ(page.AdminPassword, "admin pass");
  }
}

// The first entry that starts with the stored name, letters compared
// without case; an empty name selects the first entry.
TEST(PageDomain, UserListSelectsTheFirstEntryStartingWithTheStoredName) {
  struct Row {
    const char* stored;
    int selected;
  };
  for (const Row& row : {Row{"yam", 2}, Row{"ADMIN", 0}, Row{"Guest", 1}, Row{"", 0},
                         Row{"suzuki", -1}, Row{"yamada2", -1}}) {
    SCOPED_TRACE(row.stored);
    DomainRig rig;
    rig.Select("在宅").DefaultUserName = row.stored;
    CPageDomain& page = rig.Page();
    page.OnSetActive();
    EXPECT_EQ(page.UserSelection, row.selected);
    EXPECT_EQ(page.UserName, row.stored);
  }
}

TEST(PageDomain, LeavingRefusesWithItsMessageAndStoresNothing) {
  struct Row {
    const char* name;
    const char* place;
    std::function<void(CPageDomain&)> edit;
    const char* message;
    int focus;
  };
  const Row rows[] = {
      // The domain name is empty too, but it is not looked at.
      {"empty_workgroup_name", "在宅", [](CPageDomain& p) { p.WorkgroupName.clear(); },
       "ワークグループ名が入力されていません", IDC_DOMAIN_WORKGROUP_NAME},
      {"empty_domain_name", "本店", [](CPageDomain& p) { p.DomainName.clear(); },
       "ドメイン名が入力されていません", IDC_DOMAIN_DOMAIN_NAME},
      {"workgroup_chosen_without_a_name", "本店",
       [](CPageDomain& p) { p.OnWorkgroupClicked(); }, "ワークグループ名が入力されていません",
       IDC_DOMAIN_WORKGROUP_NAME},
      {"no_user_selected", "在宅", [](CPageDomain& p) { p.UserSelection = -1; },
       "ユーザー名が選択されていません", IDC_DOMAIN_USER_LIST},
      {"user_selection_past_the_list", "在宅", [](CPageDomain& p) { p.UserSelection = 3; },
       "ユーザー名が選択されていません", IDC_DOMAIN_USER_LIST},
      {"passwords_differ", "在宅", [](CPageDomain& p) { p.Confirmation = "admin2"; },
       "パスワードが一致しません", IDC_DOMAIN_PASSWORD},
      {"passwords_differ_in_case", "在宅", [](CPageDomain& p) { p.Password = "ADMIN"; },
       "パスワードが一致しません", IDC_DOMAIN_PASSWORD},
      {"domain_passwords_differ", "本店",
       [](CPageDomain& p) {
         p.AutoLogon = true;
         p.Password = "x";
       },
       "パスワードが一致しません", IDC_DOMAIN_PASSWORD},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DomainRig rig;
    rig.Select(row.place);
    const std::string before = rig.DumpAll();
    CPageDomain& page = rig.Page();
    page.OnSetActive();
    // Edits that would be stored if the page were left.
    page.ComputerName = "OTHER-PC";
    page.LogonPlace = !page.LogonPlace;
    page.JoinUser = "someone";
    page.RequireCad = !page.RequireCad;
    row.edit(page);
    EXPECT_FALSE(page.OnKillActive());
    ASSERT_EQ(rig.Messages().size(), 1u);
    EXPECT_EQ(rig.Messages()[0].Text, row.message);
    EXPECT_EQ(rig.Messages()[0].Icon, platform::MessageIcon::Warning);
    EXPECT_EQ(rig.Messages()[0].Caption, "Velandra");
    EXPECT_EQ(page.Focus, row.focus);
    EXPECT_EQ(rig.DumpAll(), before);
  }
}

TEST(PageDomain, LeavingStoresTheMembershipWithItsOwnNameOnly) {
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("本店");
  CPageDomain& page = rig.Page();
  page.OnSetActive();
  page.OnWorkgroupClicked();
  page.WorkgroupName = "SOUMU";
  page.DomainName = "LEFT-OVER";
  page.ComputerName = "SOUMU-PC";
  page.Comment = "";
  ASSERT_TRUE(page.OnKillActive());
  EXPECT_FALSE(place.DomainWorkgroup);
  EXPECT_EQ(place.DomainName, "");
  EXPECT_EQ(place.WorkgroupName, "SOUMU");
  EXPECT_EQ(place.ComputerName, "SOUMU-PC");
  EXPECT_EQ(place.SrvComment, "");
  // The workgroup's user name is the selected entry's text.
  EXPECT_EQ(place.DefaultUserName, "Administrator");

  page.OnSetActive();
  page.OnDomainClicked();
  page.DomainName = "SOUMU.EXAMPLE";
  page.UserName = "SOUMU\\taro";  // the edit field, for a domain
  ASSERT_TRUE(page.OnKillActive());
  EXPECT_TRUE(place.DomainWorkgroup);
  EXPECT_EQ(place.DomainName, "SOUMU.EXAMPLE");
  EXPECT_EQ(place.WorkgroupName, "");
  EXPECT_EQ(place.DefaultUserName, "SOUMU\\taro");
  EXPECT_TRUE(rig.Messages().empty());
}

TEST(PageDomain, XpHomeEditionHasNoDomainChoice) {
  DomainRig rig(Windows::XpHome);
  config::PlaceSettings& place = rig.Select("本店");
  place.DomainWorkgroup = true;  // as a file from another PC may say
  place.WorkgroupName = "HOME";
  CPageDomain& page = rig.Page();
  page.OnSetActive();
  EXPECT_FALSE(place.DomainWorkgroup);
  EXPECT_EQ(State(page),
            "workgroup '' 'HOME' choice- domainctl- admin- wgname+ list pw- welcome+0 fast-0");
  page.OnDomainClicked();
  EXPECT_FALSE(page.IsDomain());
  ASSERT_TRUE(page.OnKillActive());
  EXPECT_FALSE(place.DomainWorkgroup);
  EXPECT_EQ(place.DomainName, "");
  EXPECT_EQ(place.WorkgroupName, "HOME");
}

// The radio and check handlers, each after the view has read the controls
// (here: set the field the control stands for).
TEST(PageDomain, HandlersEnableWhatDependsOnThem) {
  struct Row {
    const char* name;
    Windows os;
    const char* place;
    std::function<void(CPageDomain&)> steps;
    const char* state;
  };
  const Row rows[] = {
      {"domain_clicked_clears_the_logon_screen", Windows::Xp, "在宅",
       [](CPageDomain& p) { p.OnDomainClicked(); },
       "domain '' 'HOME' choice+ domainctl+ admin- wgname- edit pw+ welcome-0 fast-0"},
      {"domain_clicked_admin_follows_the_delay", Windows::Xp, "在宅",
       [](CPageDomain& p) {
         p.DelayDomain = true;
         p.OnDomainClicked();
       },
       "domain '' 'HOME' choice+ domainctl+ admin+ wgname- edit pw+ welcome-0 fast-0"},
      {"delay_clicked", Windows::Xp, "本店",
       [](CPageDomain& p) {
         p.DelayDomain = true;
         p.OnDelayDomainClicked();
       },
       "domain 'VELANDRA' '' choice+ domainctl+ admin+ wgname- edit pw- welcome-0 fast-0"},
      {"delay_cleared", Windows::Xp, "本店",
       [](CPageDomain& p) {
         p.DelayDomain = true;
         p.OnDelayDomainClicked();
         p.DelayDomain = false;
         p.OnDelayDomainClicked();
       },
       "domain 'VELANDRA' '' choice+ domainctl+ admin- wgname- edit pw- welcome-0 fast-0"},
      {"workgroup_clicked_on_xp", Windows::Xp, "本店",
       [](CPageDomain& p) { p.OnWorkgroupClicked(); },
       "workgroup 'VELANDRA' '' choice+ domainctl- admin- wgname+ list pw- welcome+0 fast-0"},
      {"workgroup_clicked_with_welcome_set", Windows::Xp, "本店",
       [](CPageDomain& p) {
         p.OnWorkgroupClicked();
         p.Welcome = true;
         p.OnWelcomeClicked();
       },
       "workgroup 'VELANDRA' '' choice+ domainctl- admin- wgname+ list pw- welcome+1 fast+0"},
      {"workgroup_clicked_on_2000", Windows::W2000, "本店",
       [](CPageDomain& p) { p.OnWorkgroupClicked(); },
       "workgroup 'VELANDRA' '' choice+ domainctl- admin- wgname+ list pw- welcome-0 fast-0"},
      {"domain_then_workgroup_leaves_welcome_cleared", Windows::Xp, "在宅",
       [](CPageDomain& p) {
         p.OnDomainClicked();
         p.OnWorkgroupClicked();
       },
       "workgroup '' 'HOME' choice+ domainctl- admin- wgname+ list pw+ welcome+0 fast-0"},
      {"welcome_cleared_clears_fast_switching", Windows::Xp, "在宅",
       [](CPageDomain& p) {
         p.Welcome = false;
         p.OnWelcomeClicked();
       },
       "workgroup '' 'HOME' choice+ domainctl- admin- wgname+ list pw+ welcome+0 fast-0"},
      {"auto_logon_cleared", Windows::Xp, "在宅",
       [](CPageDomain& p) {
         p.AutoLogon = false;
         p.OnAutoLogonClicked();
       },
       "workgroup '' 'HOME' choice+ domainctl- admin- wgname+ list pw- welcome+1 fast+1"},
      {"auto_logon_set", Windows::Xp, "本店",
       [](CPageDomain& p) {
         p.AutoLogon = true;
         p.OnAutoLogonClicked();
       },
       "domain 'VELANDRA' '' choice+ domainctl+ admin- wgname- edit pw+ welcome-0 fast-0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DomainRig rig(row.os);
    rig.Select(row.place);
    CPageDomain& page = rig.Page();
    page.OnSetActive();
    row.steps(page);
    EXPECT_EQ(State(page), row.state);
  }
}

// Welcome and fast switching are stored as the page holds them: off for a
// domain member and on Windows 2000.
TEST(PageDomain, LogonScreenChecksStoredOffForADomainAndOn2000) {
  for (Windows os : {Windows::Xp, Windows::W2000}) {
    SCOPED_TRACE(Name(os));
    DomainRig rig(os);
    config::PlaceSettings& place = rig.Select("在宅");
    place.Welcome = true;
    place.MultipleTSSessions = true;
    CPageDomain& page = rig.Page();
    page.OnSetActive();
    page.OnDomainClicked();
    page.DomainName = "SHITEN";
    ASSERT_TRUE(page.OnKillActive());
    EXPECT_FALSE(place.Welcome);
    EXPECT_FALSE(place.MultipleTSSessions);
  }
}

TEST(PageDomain, AnotherUserEmptiesBothPasswordFields) {
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("在宅");
  CPageDomain& page = rig.Page();
  page.OnSetActive();
  ASSERT_EQ(page.Password, "admin");
  page.UserSelection = 2;
  page.OnUserSelChange();
  EXPECT_EQ(page.Password, "");
  EXPECT_EQ(page.Confirmation, "");
  ASSERT_TRUE(page.OnKillActive());
  EXPECT_EQ(place.DefaultUserName, "yamada");
  EXPECT_EQ(place.DefaultPassword, "");
  EXPECT_TRUE(place.AutoAdminLogon);
}

TEST(PageDomain, WithoutAutomaticLogonThePasswordsAreNotLookedAt) {
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("在宅");
  CPageDomain& page = rig.Page();
  page.OnSetActive();
  page.AutoLogon = false;
  page.OnAutoLogonClicked();
  page.Password = "new";
  page.Confirmation = "other";
  ASSERT_TRUE(page.OnKillActive());
  EXPECT_TRUE(rig.Messages().empty());
  EXPECT_FALSE(place.AutoAdminLogon);
  EXPECT_FALSE(place.AutoLogonKeep);  // the keep check is still set, but unused
  EXPECT_EQ(place.DefaultPassword, "admin");
}

TEST(PageDomain, AccountButtonsEditTheAccountsUntilThePageIsLeft) {
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("本店");
  CPageDomain& page = rig.Page();
  page.OnSetActive();
  page.DelayDomain = true;
  auto type = [](const char* explanation, const char* shownUser, const char* shownPassword,
                 const char* user, const char* password) {
    return [=](CDialogModel& dialog) {
      auto& account = dynamic_cast<CDlgAccount&>(dialog);
      EXPECT_EQ(account.Fields.Message, explanation);
      EXPECT_EQ(account.Fields.UserName, shownUser);
      EXPECT_EQ(account.Fields.Password, shownPassword);
      account.Fields.UserName = user;
      account.Fields.Password = password;
      return true;
    };
  };
  rig.dialogs.Answer({type(kJoinAccountExplanation, "Administrator", "admin",
                           "VELANDRA\\joiner", "j1")});
  page.OnJoinAccount();
  // Cancel keeps what was there, typed or not.
  rig.dialogs.Answer({[](CDialogModel& dialog) {
    dynamic_cast<CDlgAccount&>(dialog).Fields.UserName = "nobody";
    return false;
  }});
  page.OnAdminAccount();
  rig.dialogs.Answer(
      {type(kAdminAccountExplanation, "Administrator", "admin", "yamada", "")});
  page.OnAdminAccount();
  rig.dialogs.Answer({type(kJoinAccountExplanation, "VELANDRA\\joiner", "j1",
                           "VELANDRA\\joiner", "j2")});
  page.OnJoinAccount();
  EXPECT_EQ(place.JoinDomainUser, "Administrator");
  EXPECT_EQ(place.LocalAdminUser, "Administrator");

  ASSERT_TRUE(page.OnKillActive());
  EXPECT_EQ(place.JoinDomainUser, "VELANDRA\\joiner");
  EXPECT_EQ(place.JoinDomainPassword, "j2");
  EXPECT_EQ(place.LocalAdminUser, "yamada");
  EXPECT_EQ(place.LocalAdminPassword, "");
  EXPECT_EQ(rig.dialogs.Shown, (std::vector<uint32_t>(4, IDD_USER_PASSWORD)));
  EXPECT_TRUE(rig.dialogs.AllAnswered());
  EXPECT_TRUE(rig.Messages().empty());
}

// The list cannot be had: the page says so and opens with an empty list.
// A workgroup then keeps its stored user name: there is nothing to select.
TEST(PageDomain, UserListFailure) {
  DomainRig rig(Windows::Xp, "[database]\nunreachable = yes\n[Administrator]\n");
  config::PlaceSettings& place = rig.Select("在宅");
  CPageDomain& page = rig.Page();
  EXPECT_TRUE(page.Users.empty());
  ASSERT_EQ(rig.Messages().size(), 1u);
  EXPECT_EQ(rig.Messages()[0].Text, kMsgUserListFailed);
  EXPECT_EQ(rig.Messages()[0].Text, "ユーザー一覧が取得できませんでした");
  EXPECT_EQ(rig.Messages()[0].Icon, platform::MessageIcon::Warning);
  EXPECT_EQ(rig.Messages()[0].Caption, "Velandra");
  page.OnSetActive();
  EXPECT_EQ(page.UserSelection, -1);
  page.WorkgroupName = "HOME2";
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(place.DefaultUserName, "Administrator");
  EXPECT_EQ(place.WorkgroupName, "HOME2");
  EXPECT_EQ(rig.Messages().size(), 1u);
}

#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::FindDialog;
using velandra::testing::LayoutFaults;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::Enabled;
using velandra::testing::Visible;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;

// The page alone in a sheet: the record shown, the user name's control for
// the membership, and the account dialog; then OK stores the edits.
TEST(Win32DomainPage, ShowsTheRecordAndStoresItOnLeaving) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("在宅");
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {&win32::MakeDomainDialogView});
  CPageDomain page(*rig.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeDomainPageView(page);

  std::string computer, workgroup, userShown, password, confirm;
  bool workgroupChecked = false, listShown = false, editShown = true, domainNameEnabled = true;
  bool welcome = false, fast = false, cad = true, keepEnabled = false;
  bool editShownForDomain = false, listShownForDomain = true, adminEnabled = false;
  std::string dialogMessage, dialogUser;
  Strings clipped, layout, layoutForDomain, dialogClipped;
  std::vector<int> tabs, tabsForDomain;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    computer = ControlText(p, IDC_DOMAIN_COMPUTER);
                    workgroup = ControlText(p, IDC_DOMAIN_WORKGROUP_NAME);
                    workgroupChecked = win32::ItemChecked(p, IDC_DOMAIN_WORKGROUP) &&
                                       !win32::ItemChecked(p, IDC_DOMAIN_DOMAIN);
                    listShown = Visible(p, IDC_DOMAIN_USER_LIST);
                    editShown = Visible(p, IDC_DOMAIN_USER_NAME);
                    userShown = ControlText(p, IDC_DOMAIN_USER_LIST);
                    password = ControlText(p, IDC_DOMAIN_PASSWORD);
                    confirm = ControlText(p, IDC_DOMAIN_CONFIRM);
                    domainNameEnabled = Enabled(p, IDC_DOMAIN_DOMAIN_NAME);
                    keepEnabled = Enabled(p, IDC_DOMAIN_AUTO_LOGON_KEEP);
                    welcome = win32::ItemChecked(p, IDC_DOMAIN_WELCOME);
                    fast = win32::ItemChecked(p, IDC_DOMAIN_FAST_SWITCHING);
                    cad = win32::ItemChecked(p, IDC_DOMAIN_CAD);
                    clipped = ClippedTexts(sheet);
                    layout = LayoutFaults(p);
                    tabs = TabOrder(p, IDC_DOMAIN_COMPUTER);
                    PostClick(p, IDC_DOMAIN_DOMAIN);
                  })
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    editShownForDomain = Visible(p, IDC_DOMAIN_USER_NAME);
                    listShownForDomain = Visible(p, IDC_DOMAIN_USER_LIST);
                    layoutForDomain = LayoutFaults(p);
                    tabsForDomain = TabOrder(p, IDC_DOMAIN_COMPUTER);
                    SetDlgItemTextA(p, IDC_DOMAIN_DOMAIN_NAME, "SHITEN");
                    SetDlgItemTextA(p, IDC_DOMAIN_COMPUTER, "SHITEN-PC");
                    win32::SetItemChecked(p, IDC_DOMAIN_DELAY, true);
                    PostClick(p, IDC_DOMAIN_DELAY);
                  })
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    adminEnabled = Enabled(p, IDC_DOMAIN_ADMIN_ACCOUNT);
                    PostClick(p, IDC_DOMAIN_ADMIN_ACCOUNT);
                  })
      .ThenDialog("ユーザー名とパスワード",
                  [&](HWND d) {
                    dialogMessage = ControlText(d, IDC_USER_PASSWORD_MESSAGE);
                    dialogUser = ControlText(d, IDC_USER_PASSWORD_USER);
                    dialogClipped = ClippedTexts(d);
                    SetDlgItemTextA(d, IDC_USER_PASSWORD_USER, "yamada");
                    SetDlgItemTextA(d, IDC_USER_PASSWORD_PASSWORD, "p1");
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) { PostClick(sheet, IDOK); });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();

  EXPECT_EQ(computer, "VELANDRA-PC");
  EXPECT_EQ(workgroup, "HOME");
  EXPECT_TRUE(workgroupChecked);
  EXPECT_TRUE(listShown);
  EXPECT_FALSE(editShown);
  EXPECT_EQ(userShown, "Administrator");
  EXPECT_EQ(password, "admin");
  EXPECT_EQ(confirm, "admin");
  EXPECT_FALSE(domainNameEnabled);
  EXPECT_TRUE(keepEnabled);
  EXPECT_TRUE(welcome);
  EXPECT_TRUE(fast);
  EXPECT_FALSE(cad);
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_TRUE(editShownForDomain);
  EXPECT_FALSE(listShownForDomain);
  EXPECT_EQ(layoutForDomain, Strings{});
  // Disabled and hidden controls are passed over, and the choice that is
  // not checked (its mnemonic reaches it).
  EXPECT_EQ(tabs, (std::vector<int>{IDC_DOMAIN_COMPUTER, IDC_DOMAIN_COMMENT,
                                    IDC_DOMAIN_WORKGROUP, IDC_DOMAIN_WORKGROUP_NAME,
                                    IDC_DOMAIN_USER_LIST, IDC_DOMAIN_PASSWORD, IDC_DOMAIN_CONFIRM,
                                    IDC_DOMAIN_AUTO_LOGON, IDC_DOMAIN_AUTO_LOGON_KEEP,
                                    IDC_DOMAIN_CAD, IDC_DOMAIN_WELCOME,
                                    IDC_DOMAIN_FAST_SWITCHING}));
  EXPECT_EQ(tabsForDomain,
            (std::vector<int>{IDC_DOMAIN_COMPUTER, IDC_DOMAIN_COMMENT, IDC_DOMAIN_DOMAIN,
                              IDC_DOMAIN_DOMAIN_NAME, IDC_DOMAIN_JOIN_ACCOUNT,
                              IDC_DOMAIN_LOGON_PLACE, IDC_DOMAIN_DELAY, IDC_DOMAIN_USER_NAME, IDC_DOMAIN_PASSWORD, IDC_DOMAIN_CONFIRM,
                              IDC_DOMAIN_AUTO_LOGON, IDC_DOMAIN_AUTO_LOGON_KEEP, IDC_DOMAIN_CAD}));
  EXPECT_TRUE(adminEnabled);
  EXPECT_EQ(dialogMessage, kAdminAccountExplanation);
  EXPECT_EQ(dialogUser, "Administrator");
  EXPECT_EQ(dialogClipped, Strings{});

  EXPECT_TRUE(place.DomainWorkgroup);
  EXPECT_EQ(place.DomainName, "SHITEN");
  EXPECT_EQ(place.WorkgroupName, "");
  EXPECT_EQ(place.ComputerName, "SHITEN-PC");
  EXPECT_TRUE(place.DelayDomain);
  EXPECT_EQ(place.LocalAdminUser, "yamada");
  EXPECT_EQ(place.LocalAdminPassword, "p1");
  EXPECT_EQ(place.DefaultUserName, "Administrator");
  EXPECT_FALSE(place.Welcome);
  EXPECT_TRUE(rig.Messages().empty());
}

// A refusal keeps the page: the message, the focus on the field to mend.
TEST(Win32DomainPage, RefusalKeepsThePage) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DomainRig rig;
  config::PlaceSettings& place = rig.Select("在宅");
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {&win32::MakeDomainDialogView});
  CPageDomain page(*rig.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeDomainPageView(page);
  bool focused = false;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    SetDlgItemTextA(PageOf(sheet), IDC_DOMAIN_CONFIRM, "other");
                    PostClick(sheet, IDOK);
                  })
      .Then([&]() -> HWND { return rig.Messages().empty() ? nullptr : FindDialog("Velandra"); },
            [&](HWND sheet) {
              focused = GetFocus() == GetDlgItem(PageOf(sheet), IDC_DOMAIN_PASSWORD);
              SetDlgItemTextA(PageOf(sheet), IDC_DOMAIN_CONFIRM, "admin");
              PostClick(sheet, IDOK);
            });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  EXPECT_EQ(rig.MessageTexts(), Strings{"パスワードが一致しません"});
  EXPECT_TRUE(focused);
  EXPECT_EQ(place.DefaultPassword, "admin");
}

std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

// The whole sheet: the Domain page entered, the computer name and a domain
// with its join account typed through the real dialog, OK and "保存のみ":
// the file holds them.
TEST(Win32DomainPage, EditsInTheSheetAreSavedByOk) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  ScratchPc pc;
  platform::sim::SimulatedPc& sim = pc.Open();
  Context context(sim.platform(), velandra::testing::kDemoIniPath,
                  ReadOsInfo(sim.platform().system));
  CVelandraSheet sheet(context);
  ASSERT_TRUE(sheet.LoadAll());
  std::ostringstream out;
  ScriptedUserPasswordDialog logon(sim.answers(), out);
  win32::Win32ExitDialog exitDialog;
  win32::Win32SheetWindow window(GetModuleHandleA(nullptr), &exitDialog, logon);

  int domainTab = -1;
  const std::vector<SheetPageEntry> entries = SheetPages(sheet);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].Page == SheetPage::Domain) domainTab = static_cast<int>(i);
  ASSERT_GE(domainTab, 0);

  HWND sheetWindow = nullptr;
  auto domainPage = [&]() -> HWND {
    HWND p = sheetWindow ? PropSheet_GetCurrentPageHwnd(sheetWindow) : nullptr;
    return p && GetDlgItem(p, IDC_DOMAIN_DOMAIN) ? p : nullptr;
  };
  std::string dialogMessage;
  WindowDriver driver;
  driver.Then(
      [] {
        HWND s = FindDialog("Velandra");
        return s && PropSheet_GetTabControl(s) ? s : nullptr;
      },
      [&](HWND s) {
        sheetWindow = s;
        PostMessageA(s, PSM_SETCURSEL, static_cast<WPARAM>(domainTab), 0);
      });
  driver.Then(domainPage, [](HWND p) {
    SetDlgItemTextA(p, IDC_DOMAIN_COMPUTER, "SHITEN-PC");
    PostClick(p, IDC_DOMAIN_DOMAIN);
  });
  driver.Then([&]() -> HWND {
                HWND p = domainPage();
                return p && Enabled(p, IDC_DOMAIN_JOIN_ACCOUNT) ? p : nullptr;
              },
              [](HWND p) {
                SetDlgItemTextA(p, IDC_DOMAIN_DOMAIN_NAME, "SHITEN.EXAMPLE");
                PostClick(p, IDC_DOMAIN_JOIN_ACCOUNT);
              });
  driver.ThenDialog("ユーザー名とパスワード", [&](HWND d) {
    dialogMessage = ControlText(d, IDC_USER_PASSWORD_MESSAGE);
    SetDlgItemTextA(d, IDC_USER_PASSWORD_USER, "SHITEN\\joiner");
    SetDlgItemTextA(d, IDC_USER_PASSWORD_PASSWORD, "p1");
    PostClick(d, IDOK);
  });
  driver.Then(
      [&]() -> HWND { return FindDialog("Velandra") == sheetWindow ? sheetWindow : nullptr; },
      [](HWND s) { PostClick(s, IDOK); });
  driver.Then(
      [] {
        HWND d = FindDialog("Velandra");
        return d && GetDlgItem(d, IDC_EXIT_MODE) ? d : nullptr;
      },
      [](HWND d) {
        SendDlgItemMessageA(d, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
        PostClick(d, IDOK);
      });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();
  EXPECT_EQ(dialogMessage, kJoinAccountExplanation);

  ASSERT_TRUE(sheet.CurrentPlace);
  const std::optional<std::string> ini =
      FileBytes(pc.dir() / velandra::testing::kDemoIniFile);
  ASSERT_TRUE(ini);
  const std::string section = "[P" + std::to_string(sheet.CurrentPlace->Number) + "]\r\n";
  const size_t at = ini->find(section);
  ASSERT_NE(at, std::string::npos) << *ini;
  const std::string body = ini->substr(at, ini->find("\r\n[", at + 1) - at);
  // "p1" stored: every byte inverted, three digits each.
  for (const char* line : {"ComputerName=SHITEN-PC\r\n", "DomainWorkgroup=TRUE\r\n",
                           "DomainName=SHITEN.EXAMPLE\r\n", "WorkgroupName=\r\n",
                           "JoinDomainUser=SHITEN\\joiner\r\n", "JoinDomainPassword=143206\r\n"})
    EXPECT_NE(body.find(line), std::string::npos) << line << "\n" << body;
  for (const auto& m : sim.Messages()) ADD_FAILURE() << "message: " << m.Text;
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
