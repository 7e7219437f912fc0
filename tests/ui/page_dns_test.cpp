#include "ui/page_dns.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/adapter_settings.h"
#include "config/place_settings.h"
#include "dns_wins_test_rig.h"
#include "ui/page_wins.h"

#ifdef _WIN32
#include "ui/win32/controls.h"
#include "ui/win32/page_dns_view.h"
#include "ui/win32/page_wins_view.h"
#endif

namespace velandra::ui {
namespace {

using velandra::testing::AnsweringDialogHost;
using velandra::testing::DemoSheet;
using Strings = std::vector<std::string>;

// A press that types `address` into a server dialog's control and OKs.
AnsweringDialogHost::Press TypeAddress(IpFields fields) {
  return [fields](CDialogModel& dialog) {
    dynamic_cast<CServerAddressDialog&>(dialog).Fields = fields;
    return true;
  };
}
AnsweringDialogHost::Press TypeSuffix(std::string suffix) {
  return [suffix](CDialogModel& dialog) {
    dynamic_cast<CDlgDNSSuffix&>(dialog).Suffix = suffix;
    return true;
  };
}

// What the page shows after entering.
struct Showing {
  int serverChoice;
  bool autoDnsEnabled;
  bool serverListEnabled;
  Strings servers;
  int suffixChoice;
  bool parentSuffix;
  bool parentSuffixEnabled;
  bool suffixListEnabled;
  Strings suffixes;
  std::string connectionSuffix;
  bool registerAddresses;
  bool registerSuffix;
  bool registerSuffixEnabled;
};

Showing Shown(const CPageDNS& page) {
  return {page.ServerChoice,        page.AutoDnsEnabled,    page.ServerListEnabled,
          page.Servers.Items,       page.SuffixChoice,      page.ParentSuffix,
          page.ParentSuffixEnabled, page.SuffixListEnabled, page.Suffixes.Items,
          page.ConnectionSuffix,    page.RegisterAddresses, page.RegisterSuffix,
          page.RegisterSuffixEnabled};
}

void ExpectShowing(const CPageDNS& page, const Showing& want) {
  const Showing got = Shown(page);
  EXPECT_EQ(got.serverChoice, want.serverChoice);
  EXPECT_EQ(got.autoDnsEnabled, want.autoDnsEnabled);
  EXPECT_EQ(got.serverListEnabled, want.serverListEnabled);
  EXPECT_EQ(got.servers, want.servers);
  EXPECT_EQ(got.suffixChoice, want.suffixChoice);
  EXPECT_EQ(got.parentSuffix, want.parentSuffix);
  EXPECT_EQ(got.parentSuffixEnabled, want.parentSuffixEnabled);
  EXPECT_EQ(got.suffixListEnabled, want.suffixListEnabled);
  EXPECT_EQ(got.suffixes, want.suffixes);
  EXPECT_EQ(got.connectionSuffix, want.connectionSuffix);
  EXPECT_EQ(got.registerAddresses, want.registerAddresses);
  EXPECT_EQ(got.registerSuffix, want.registerSuffix);
  EXPECT_EQ(got.registerSuffixEnabled, want.registerSuffixEnabled);
}

TEST(PageDns, EnteringShowsTheRecords) {
  struct Row {
    const char* place;
    uint32_t adapter;
    Showing showing;
  };
  const Strings office = {"honsha.example.co.jp", "example.co.jp"};
  const Row rows[] = {
      // The PC's wired adapter: static with fixed servers, so no automatic
      // choice; the PC's suffix settings.
      {"標準", 0, {1, false, true, {"192.168.1.1"}, 0, true, true, false, {}, "", true, false, true}},
      {"本社", 0,
       {1, false, true, {"10.1.0.53", "10.1.0.54"}, 0, true, true, false, {}, "honsha.example.co.jp",
        true, true, true}},
      // DHCP with servers of its own: the automatic choice stays open.
      {"自宅", 1,
       {1, true, true, {"192.168.0.1"}, 0, true, true, false, {}, "home.example", true, false, true}},
      {"自宅", 0, {0, true, false, {}, 0, true, true, false, {}, "", true, false, true}},
      // The suffix list: the parent check disabled but showing the record.
      {"本店", 1, {0, true, false, {}, 1, true, false, true, office, "", true, false, true}},
      {"在宅", 0, {1, false, true, {"192.168.1.1"}, 0, true, true, false, {}, "", true, false, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.place) + " " + std::to_string(row.adapter));
    DemoSheet demo;
    CPageDNS page(demo.sheet, demo.dialogs);
    demo.Select(row.place, row.adapter);
    page.OnSetActive();
    ExpectShowing(page, row.showing);
    EXPECT_EQ(page.Servers.Selected, -1);
    EXPECT_EQ(page.Suffixes.Selected, -1);
  }
}

TEST(PageDns, EnterThenLeaveWithoutEditsChangesNoRecord) {
  DemoSheet demo;
  // 本店 keeps its parent-suffix flag beside its suffix list, which the page
  // clears (its own test); made consistent here so that every pair counts.
  demo.sheet.FindPlaceSettings(*demo.sheet.FindPlace(3))->PrimaryParentSuffix = false;
  CPageDNS page(demo.sheet, demo.dialogs);
  const std::string before = demo.Dump();
  for (const auto& place : demo.sheet.Places)
    for (const auto& adapter : demo.sheet.Adapters) {
      SCOPED_TRACE(place->Name + " " + std::to_string(adapter->Number));
      demo.Select(place->Name, adapter->Number);
      page.OnSetActive();
      EXPECT_TRUE(page.OnKillActive());
      EXPECT_EQ(demo.Dump(), before);
    }
  EXPECT_TRUE(demo.Messages().empty());
}

// The clicks and buttons of one visit, and what leaving stores.
TEST(PageDns, LeavingStoresTheChoices) {
  struct Row {
    const char* name;
    const char* place;
    uint32_t adapter;
    std::function<void(CPageDNS&, AnsweringDialogHost&)> act;
    // The current records afterwards, in the rig's dump form.
    const char* adapterAfter;
    const char* placeAfter;
  };
  const Row rows[] = {
      {"automatic DNS empties the servers", "自宅", 1,
       [](CPageDNS& p, AnsweringDialogHost&) { p.OnAutoDnsClicked(); },
       "P2A1 dhcp autodns suffix=home.example update wins= nb=0", "P2 primary parent list= lmhosts"},
      {"fixed DNS with an added server", "自宅", 0,
       [](CPageDNS& p, AnsweringDialogHost& h) {
         p.OnFixedDnsClicked();
         EXPECT_TRUE(p.ServerListEnabled);
         h.Answer({TypeAddress({10, 0, 0, 53})});
         p.OnServerAdd();
       },
       "P2A0 dhcp dns=10.0.0.53 suffix= update wins= nb=0", "P2 primary parent list= lmhosts"},
      {"servers reordered, one replaced, one deleted", "本社", 0,
       [](CPageDNS& p, AnsweringDialogHost& h) {
         p.Servers.Selected = 1;
         p.OnServerUp();
         h.Answer({TypeAddress({10, 1, 0, 99})});
         p.OnServerEdit();  // 10.1.0.54, now first
         h.Answer({TypeAddress({10, 1, 0, 53})});
         p.OnServerAdd();  // a duplicate, before the selected entry
         p.Servers.Selected = 2;
         p.OnServerDelete();
       },
       "P1A0 dns=10.1.0.53,10.1.0.99 suffix=honsha.example.co.jp update register wins=10.1.0.9 "
       "nb=0",
       "P1 primary parent list= lmhosts"},
      {"the suffix list turns the parent suffixes off", "在宅", 1,
       [](CPageDNS& p, AnsweringDialogHost& h) {
         p.OnSuffixListClicked();
         EXPECT_FALSE(p.ParentSuffixEnabled);
         EXPECT_TRUE(p.SuffixListEnabled);
         EXPECT_TRUE(p.ParentSuffix);  // the check still shows it
         h.Answer({TypeSuffix("zaitaku.example")});
         p.OnSuffixAdd();
         h.Answer({TypeSuffix("example")});
         p.OnSuffixAdd();
       },
       "P4A1 dhcp autodns suffix= update wins= nb=0", "P4 list=zaitaku.example,example"},
      {"the suffix list chosen before clears the parent suffixes", "本店", 0, nullptr,
       "P3A0 dns=192.168.1.1 suffix= update wins=192.168.1.2 nb=0",
       "P3 list=honsha.example.co.jp,example.co.jp lmhosts"},
      {"the primary choice empties the list and keeps the parent check", "本店", 0,
       [](CPageDNS& p, AnsweringDialogHost&) {
         p.OnPrimarySuffixClicked();
         EXPECT_TRUE(p.ParentSuffixEnabled);
         EXPECT_FALSE(p.SuffixListEnabled);
       },
       "P3A0 dns=192.168.1.1 suffix= update wins=192.168.1.2 nb=0", "P3 primary parent list= lmhosts"},
      {"the primary choice without parent suffixes", "本店", 0,
       [](CPageDNS& p, AnsweringDialogHost&) {
         p.OnPrimarySuffixClicked();
         p.ParentSuffix = false;
       },
       "P3A0 dns=192.168.1.1 suffix= update wins=192.168.1.2 nb=0", "P3 primary list= lmhosts"},
      {"connection suffix and registration", "本社", 0,
       [](CPageDNS& p, AnsweringDialogHost&) {
         p.ConnectionSuffix = "東京.example";
         p.RegisterSuffix = false;
       },
       "P1A0 dns=10.1.0.53,10.1.0.54 suffix=東京.example update wins=10.1.0.9 nb=0",
       "P1 primary parent list= lmhosts"},
      {"registering addresses off clears the suffix registration", "本社", 0,
       [](CPageDNS& p, AnsweringDialogHost&) {
         p.RegisterAddresses = false;
         p.OnRegisterAddressesClicked();
         EXPECT_FALSE(p.RegisterSuffix);
         EXPECT_FALSE(p.RegisterSuffixEnabled);
         p.RegisterAddresses = true;
         p.OnRegisterAddressesClicked();
         EXPECT_FALSE(p.RegisterSuffix);  // enabled again, but not checked again
         EXPECT_TRUE(p.RegisterSuffixEnabled);
         p.RegisterAddresses = false;
         p.OnRegisterAddressesClicked();
       },
       "P1A0 dns=10.1.0.53,10.1.0.54 suffix=honsha.example.co.jp wins=10.1.0.9 nb=0",
       "P1 primary parent list= lmhosts"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DemoSheet demo;
    CPageDNS page(demo.sheet, demo.dialogs);
    demo.Select(row.place, row.adapter);
    const std::string others = demo.Others();
    page.OnSetActive();
    if (row.act) row.act(page, demo.dialogs);
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_TRUE(demo.dialogs.AllAnswered());
    EXPECT_EQ(demo.AdapterLine(), row.adapterAfter);
    EXPECT_EQ(demo.PlaceLine(), row.placeAfter);
    EXPECT_EQ(demo.Others(), others);
    EXPECT_TRUE(demo.Messages().empty());
  }
}

// The suffix choice is the place's: another adapter of the place shows it.
TEST(PageDns, SuffixChoiceIsTheSameForEveryAdapterOfThePlace) {
  DemoSheet demo;
  CPageDNS page(demo.sheet, demo.dialogs);
  demo.Select("在宅", 0);
  page.OnSetActive();
  page.OnSuffixListClicked();
  demo.dialogs.Answer({TypeSuffix("zaitaku.example")});
  page.OnSuffixAdd();
  page.OnKillActive();
  demo.Select("在宅", 1);
  page.OnSetActive();
  EXPECT_EQ(page.SuffixChoice, CPageDNS::kSuffixList);
  EXPECT_EQ(page.Suffixes.Items, Strings{"zaitaku.example"});
  EXPECT_FALSE(page.ParentSuffix);
  EXPECT_FALSE(page.ParentSuffixEnabled);
  // Another place keeps its own.
  demo.Select("自宅", 1);
  page.OnSetActive();
  EXPECT_EQ(page.SuffixChoice, CPageDNS::kPrimarySuffixes);
  EXPECT_TRUE(page.Suffixes.Items.empty());
}

TEST(PageDns, ButtonsWithoutASelectionSayWhichEntryToSelect) {
  struct Row {
    void (CPageDNS::*button)();
    const char* message;
  };
  const Row rows[] = {
      {&CPageDNS::OnServerEdit, "編集したいDNSサーバーを選択してください"},
      {&CPageDNS::OnServerDelete, "削除したいDNSサーバーを選択してください"},
      {&CPageDNS::OnServerUp, "上に移動したいDNSサーバーを選択してください"},
      {&CPageDNS::OnServerDown, "下に移動したいDNSサーバーを選択してください"},
      {&CPageDNS::OnSuffixEdit, "編集したいDNSサフィックスを選択してください"},
      {&CPageDNS::OnSuffixDelete, "削除したいDNSサフィックスを選択してください"},
      {&CPageDNS::OnSuffixUp, "上に移動したいDNSサフィックスを選択してください"},
      {&CPageDNS::OnSuffixDown, "下に移動したいDNSサフィックスを選択してください"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    DemoSheet demo;
    CPageDNS page(demo.sheet, demo.dialogs);
    demo.Select("本店", 0);  // both lists filled
    page.OnSetActive();
    const Strings servers = page.Servers.Items;
    const Strings suffixes = page.Suffixes.Items;
    (page.*row.button)();
    ASSERT_EQ(demo.Messages().size(), 1u);
    EXPECT_EQ(demo.Messages()[0].Text, row.message);
    EXPECT_EQ(demo.Messages()[0].Caption, "Velandra");
    EXPECT_EQ(demo.Messages()[0].Icon, platform::MessageIcon::Warning);
    EXPECT_TRUE(demo.dialogs.Shown.empty());
    EXPECT_EQ(page.Servers.Items, servers);
    EXPECT_EQ(page.Suffixes.Items, suffixes);
  }
}

// Both server dialogs: the address, when there is one, into the control;
// OK only with all four fields filled.
TEST(ServerAddressDialogs, CompleteAddressOnly) {
  struct Row {
    const char* entry;   // given to the dialog
    IpFields shownFields;  // in the control after initialisation
    IpFields typed;
    bool ok;
    const char* entryAfter;
  };
  const IpFields blank{};
  const Row rows[] = {
      {"", blank, {10, 0, 0, 53}, true, "10.0.0.53"},
      {"10.1.0.53", {10, 1, 0, 53}, {10, 1, 0, 53}, true, "10.1.0.53"},
      {"010.001.000.053", {10, 1, 0, 53}, {10, 1, 0, 53}, true, "10.1.0.53"},
      {"", blank, {0, 0, 0, 0}, true, "0.0.0.0"},
      {"", blank, blank, false, ""},
      {"10.1.0.53", {10, 1, 0, 53}, {10, 1, std::nullopt, 53}, false, "10.1.0.53"},
      {"", blank, {std::nullopt, 1, 2, 3}, false, ""},
      // A stored text the control cannot hold leaves it blank.
      {"abc", blank, {192, 168, 0, 1}, true, "192.168.0.1"},
      {"10.1.0.300", blank, blank, false, "10.1.0.300"},
  };
  struct Dialog {
    const char* name;
    std::function<std::unique_ptr<CServerAddressDialog>(platform::IMessages&)> make;
    uint32_t templateId;
    int control;
    const char* refusal;
  };
  const Dialog dialogs[] = {
      {"DNS", [](platform::IMessages& m) { return std::make_unique<CDlgDNSServer>(m); },
       IDD_DNS_SERVER, IDC_DNS_SERVER_ADDRESS, "DNSサーバーの内容が正しくありません。"},
      {"WINS", [](platform::IMessages& m) { return std::make_unique<CDlgWINSServer>(m); },
       IDD_WINS_SERVER, IDC_WINS_SERVER_ADDRESS, "WINSアドレスの内容が正しくありません。"},
  };
  for (const Dialog& kind : dialogs)
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(kind.name) + " " + row.entry + " -> " +
                   IpTextFromFields(row.typed).value_or("(incomplete)"));
      DemoSheet demo;
      std::unique_ptr<CServerAddressDialog> dialog =
          kind.make(demo.sheet.GetContext().Platform().messages);
      EXPECT_EQ(dialog->TemplateId(), kind.templateId);
      dialog->Entry = row.entry;
      dialog->OnInitDialog();
      EXPECT_EQ(dialog->Fields, row.shownFields);
      dialog->Fields = row.typed;
      EXPECT_EQ(dialog->OnOK(), row.ok);
      EXPECT_EQ(dialog->Entry, row.entryAfter);
      if (row.ok) {
        EXPECT_TRUE(demo.Messages().empty());
        continue;
      }
      EXPECT_EQ(dialog->Focus, kind.control);
      ASSERT_EQ(demo.Messages().size(), 1u);
      EXPECT_EQ(demo.Messages()[0].Text, kind.refusal);
      EXPECT_EQ(demo.Messages()[0].Icon, platform::MessageIcon::Warning);
      EXPECT_EQ(dialog->Fields, row.typed);  // what was typed stays to be mended
    }
}

TEST(DlgDnsSuffix, RefusesWhatTheListWouldNotGiveBack) {
  const char* const kUnusable = "ドメインサフィックスには「,」、空白、制御文字や正しくない文字は使えません";
  struct Row {
    const char* typed;
    const char* refusal;  // nullptr: accepted
  };
  const Row rows[] = {
      {"example.co.jp", nullptr},
      {"例え.jp", nullptr},
      {"表示.example", nullptr},  // a trail byte 0x5C
      {"", "ドメインサフィックスを入力してください"},
      {"a.example,b.example", kUnusable},
      {"a.example b.example", kUnusable},
      {" a.example", kUnusable},
      {"a.example\t", kUnusable},
      {"a.example\r\nb", kUnusable},
      {"a　b", kUnusable},  // full-width space
      {"a.\x7F", kUnusable},
      {"a.\x82", kUnusable},  // a lead byte without its trail byte
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    DemoSheet demo;
    CDlgDNSSuffix dialog(demo.sheet.GetContext().Platform().messages);
    EXPECT_EQ(dialog.TemplateId(), static_cast<uint32_t>(IDD_DNS_SUFFIX));
    dialog.Entry = "old.example";
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.Suffix, "old.example");
    dialog.Suffix = row.typed;
    const bool ok = dialog.OnOK();
    EXPECT_EQ(ok, row.refusal == nullptr);
    if (ok) {
      EXPECT_EQ(dialog.Entry, row.typed);
      EXPECT_TRUE(demo.Messages().empty());
      continue;
    }
    EXPECT_EQ(dialog.Entry, "old.example");
    EXPECT_EQ(dialog.Suffix, row.typed);
    EXPECT_EQ(dialog.Focus, IDC_DNS_SUFFIX_TEXT);
    ASSERT_EQ(demo.Messages().size(), 1u);
    EXPECT_EQ(demo.Messages()[0].Text, row.refusal);
    EXPECT_EQ(demo.Messages()[0].Icon, platform::MessageIcon::Warning);
  }
}

// Each list is stored comma-joined in a value of limited length: the entry
// that would take it past the limit is refused in its dialog.
TEST(PageDns, ListsStayWithinTheirStoredLength) {
  DemoSheet demo;
  CPageDNS page(demo.sheet, demo.dialogs);
  demo.Select("本店", 0);
  page.OnSetActive();
  // Fifteen servers of 15 characters join to 239; one of 14 more makes 254.
  page.Servers.Items.assign(15, "255.255.255.255");
  demo.dialogs.Answer({TypeAddress({255, 255, 255, 255}), TypeAddress({255, 255, 255, 25})});
  page.OnServerAdd();
  EXPECT_EQ(page.Servers.Items.size(), 16u);
  EXPECT_EQ(page.Servers.Items.back(), "255.255.255.25");
  EXPECT_EQ(demo.MessageTexts(), Strings{config::kMsgListTooLong});

  // Suffixes: 255 bytes in all.
  const std::string kSuffixTooLong =
      "DNSサフィックスの一覧は「,」でつないで255バイトまでなので、追加または変更できません";
  const std::string long1(200, 'a');
  page.Suffixes.Items = {long1, "c"};
  page.Suffixes.Selected = 1;
  demo.dialogs.Answer({TypeSuffix(std::string(55, 'b')), TypeSuffix(std::string(54, 'b'))});
  page.OnSuffixEdit();  // replacing counts the old entry out
  EXPECT_EQ(page.Suffixes.Items, (Strings{long1, std::string(54, 'b')}));
  page.Suffixes.Items = {long1};
  page.Suffixes.Selected = -1;
  demo.dialogs.Answer({TypeSuffix(std::string(55, 'b')), TypeSuffix(std::string(54, 'b'))});
  page.OnSuffixAdd();
  EXPECT_EQ(page.Suffixes.Items, (Strings{long1, std::string(54, 'b')}));
  EXPECT_EQ(demo.MessageTexts(),
            (Strings{config::kMsgListTooLong, kSuffixTooLong, kSuffixTooLong}));
  EXPECT_TRUE(demo.dialogs.AllAnswered());
}

#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::FindDialog;
using velandra::testing::LayoutFaults;
using velandra::testing::ListBoxItems;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::Enabled;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;
using velandra::testing::WindowTitle;

win32::Win32DialogHost DnsDialogs() {
  return win32::Win32DialogHost(GetModuleHandleA(nullptr),
                                {&win32::MakeDnsDialogView, &win32::MakeWinsDialogView});
}

bool Checked(HWND dialog, int id) { return win32::ItemChecked(dialog, id); }
// Whether the focus is in control `id` (an address control's fields are its
// children).
bool FocusIn(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  HWND focus = GetFocus();
  return focus && (focus == control || IsChild(control, focus));
}

// The dialogs with their real templates: what they show, a refused OK that
// keeps them open with the focus on the control, and OK.
TEST(Win32DnsDialogs, ServerAndSuffixThroughTheHost) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  struct Row {
    const char* name;
    bool suffix;         // else the server dialog
    const char* entry;   // given
    const char* shown;   // the field's text, or the address control's dotted text
    // Before each press: OK, except the last of a row that ends cancelled.
    std::vector<std::function<void(HWND)>> typing;
    const char* refusal; // after the first OK, or nullptr
    bool ok;
    const char* entryAfter;
  };
  const IpFields partial{10, 0, std::nullopt, 53};
  const Row rows[] = {
      {"new server", false, "", "", {[](HWND d) { win32::SetIpFields(d, IDC_DNS_SERVER_ADDRESS, {10, 0, 0, 53}); }},
       nullptr, true, "10.0.0.53"},
      {"edited server", false, "10.1.0.53", "10.1.0.53",
       {[](HWND d) { win32::SetIpFields(d, IDC_DNS_SERVER_ADDRESS, {10, 1, 0, 54}); }}, nullptr,
       true, "10.1.0.54"},
      {"incomplete server", false, "", "",
       {[partial](HWND d) { win32::SetIpFields(d, IDC_DNS_SERVER_ADDRESS, partial); },
        [](HWND) {}},
       "DNSサーバーの内容が正しくありません。", false, ""},
      {"empty server then mended", false, "", "",
       {[](HWND) {}, [](HWND d) { win32::SetIpFields(d, IDC_DNS_SERVER_ADDRESS, {1, 2, 3, 4}); }},
       "DNSサーバーの内容が正しくありません。", true, "1.2.3.4"},
      {"new suffix", true, "", "", {[](HWND d) { SetDlgItemTextA(d, IDC_DNS_SUFFIX_TEXT, "例え.example"); }},
       nullptr, true, "例え.example"},
      {"empty suffix then mended", true, "old.example", "old.example",
       {[](HWND d) { SetDlgItemTextA(d, IDC_DNS_SUFFIX_TEXT, ""); },
        [](HWND d) { SetDlgItemTextA(d, IDC_DNS_SUFFIX_TEXT, "new.example"); }},
       "ドメインサフィックスを入力してください", true, "new.example"},
      {"suffix with a comma, cancelled", true, "", "",
       {[](HWND d) { SetDlgItemTextA(d, IDC_DNS_SUFFIX_TEXT, "a.example,b.example"); },
        [](HWND) {}},
       "ドメインサフィックスには「,」、空白、制御文字や正しくない文字は使えません", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DemoSheet demo;
    platform::IMessages& messages = demo.sheet.GetContext().Platform().messages;
    CDlgDNSServer server(messages);
    CDlgDNSSuffix suffix(messages);
    CListEntryDialog& dialog = row.suffix ? static_cast<CListEntryDialog&>(suffix) : server;
    const int control = row.suffix ? IDC_DNS_SUFFIX_TEXT : IDC_DNS_SERVER_ADDRESS;
    const std::string title = row.suffix ? "TCP/IP ドメインサフィックス" : "TCP/IP DNSサーバー";
    dialog.Entry = row.entry;

    std::string shown;
    std::vector<std::string> clipped;
    std::vector<std::string> layout;
    std::vector<int> tabs;
    bool focusedAfterRefusal = false;
    WindowDriver driver;
    for (size_t i = 0; i < row.typing.size(); ++i) {
      driver.ThenDialog(title, [&, i](HWND d) {
        if (i == 0) {
          shown = row.suffix ? ControlText(d, control)
                             : IpTextFromFields(win32::GetIpFields(d, control)).value_or("");
          clipped = ClippedTexts(d);
          layout = LayoutFaults(d);
          tabs = TabOrder(d, control);
        } else {
          focusedAfterRefusal = FocusIn(d, control);
        }
        row.typing[i](d);
        PostClick(d, !row.ok && i + 1 == row.typing.size() ? IDCANCEL : IDOK);
      });
    }
    win32::Win32DialogHost host = DnsDialogs();
    bool ok = false;
    EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
    EXPECT_EQ(ok, row.ok);
    EXPECT_EQ(dialog.Entry, row.entryAfter);
    EXPECT_EQ(shown, row.shown);
    EXPECT_EQ(clipped, Strings{});
    EXPECT_EQ(layout, Strings{});
    EXPECT_EQ(tabs, (std::vector<int>{control, IDOK, IDCANCEL}));
    EXPECT_EQ(demo.MessageTexts(), row.refusal ? Strings{row.refusal} : Strings{});
    if (row.refusal) {
      EXPECT_TRUE(focusedAfterRefusal);
    }
  }
}

// The page alone in a sheet: filled from the records, a server added through
// its dialog, choices clicked; the sheet's OK stores them.
TEST(Win32DnsPage, ShowsTheRecordsAndStoresThemOnLeaving) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  DemoSheet demo;
  demo.Select("本社", 0);
  win32::Win32DialogHost host = DnsDialogs();
  CPageDNS page(demo.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeDnsPageView(page);

  struct Seen {
    bool fixed = false, autoEnabled = true, listEnabled = false, primary = false,
         parent = false, parentEnabled = false, suffixListEnabled = true, registerAddresses = false,
         registerSuffix = false;
    Strings servers, serversAfterAdd, suffixesAfterAdd;
    std::string connection, upText, downText;
    LONG upStyle = 0;
    bool suffixListEnabledAfterClick = false, parentEnabledAfterClick = true;
    std::vector<std::string> clipped, layout;
  } seen;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    seen.fixed = Checked(p, IDC_DNS_FIXED);
                    seen.autoEnabled = Enabled(p, IDC_DNS_AUTO);
                    seen.listEnabled = Enabled(p, IDC_DNS_SERVER_LIST) &&
                                       Enabled(p, IDC_DNS_SERVER_ADD) &&
                                       Enabled(p, IDC_DNS_SERVER_DOWN);
                    seen.servers = ListBoxItems(p, IDC_DNS_SERVER_LIST);
                    seen.primary = Checked(p, IDC_DNS_PRIMARY_SUFFIX);
                    seen.parent = Checked(p, IDC_DNS_PARENT_SUFFIX);
                    seen.parentEnabled = Enabled(p, IDC_DNS_PARENT_SUFFIX);
                    seen.suffixListEnabled = Enabled(p, IDC_DNS_SUFFIX_LIST) ||
                                             Enabled(p, IDC_DNS_SUFFIX_ADD) ||
                                             Enabled(p, IDC_DNS_SUFFIX_UP);
                    seen.connection = ControlText(p, IDC_DNS_CONNECTION_SUFFIX);
                    seen.registerAddresses = Checked(p, IDC_DNS_REGISTER);
                    seen.registerSuffix = Checked(p, IDC_DNS_REGISTER_SUFFIX);
                    seen.upText = ControlText(p, IDC_DNS_SERVER_UP);
                    seen.downText = ControlText(p, IDC_DNS_SUFFIX_DOWN);
                    seen.upStyle = GetWindowLongA(GetDlgItem(p, IDC_DNS_SERVER_UP), GWL_STYLE);
                    seen.clipped = ClippedTexts(sheet);
                    seen.layout = LayoutFaults(p);
                    SendDlgItemMessageA(p, IDC_DNS_SERVER_LIST, LB_SETCURSEL, 1, 0);
                    PostClick(p, IDC_DNS_SERVER_ADD);
                  })
      .ThenDialog("TCP/IP DNSサーバー",
                  [&](HWND d) {
                    win32::SetIpFields(d, IDC_DNS_SERVER_ADDRESS, {10, 1, 0, 52});
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    seen.serversAfterAdd = ListBoxItems(p, IDC_DNS_SERVER_LIST);
                    CheckRadioButton(p, IDC_DNS_PRIMARY_SUFFIX, IDC_DNS_SUFFIX_CHOICE,
                                     IDC_DNS_SUFFIX_CHOICE);
                    PostClick(p, IDC_DNS_SUFFIX_CHOICE);
                  })
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    seen.suffixListEnabledAfterClick = Enabled(p, IDC_DNS_SUFFIX_LIST) &&
                                                       Enabled(p, IDC_DNS_SUFFIX_ADD);
                    seen.parentEnabledAfterClick = Enabled(p, IDC_DNS_PARENT_SUFFIX);
                    PostClick(p, IDC_DNS_SUFFIX_ADD);
                  })
      .ThenDialog("TCP/IP ドメインサフィックス",
                  [&](HWND d) {
                    SetDlgItemTextA(d, IDC_DNS_SUFFIX_TEXT, "tokyo.example");
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) {
        HWND p = PageOf(sheet);
        seen.suffixesAfterAdd = ListBoxItems(p, IDC_DNS_SUFFIX_LIST);
        SetDlgItemTextA(p, IDC_DNS_CONNECTION_SUFFIX, "東京.example");
        PostClick(sheet, IDOK);
      });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();

  EXPECT_TRUE(seen.fixed);
  EXPECT_FALSE(seen.autoEnabled);  // DHCP is off
  EXPECT_TRUE(seen.listEnabled);
  EXPECT_EQ(seen.servers, (Strings{"10.1.0.53", "10.1.0.54"}));
  EXPECT_TRUE(seen.primary);
  EXPECT_TRUE(seen.parent);
  EXPECT_TRUE(seen.parentEnabled);
  EXPECT_FALSE(seen.suffixListEnabled);
  EXPECT_EQ(seen.connection, "honsha.example.co.jp");
  EXPECT_TRUE(seen.registerAddresses);
  EXPECT_TRUE(seen.registerSuffix);
  EXPECT_EQ(seen.upText, "↑");
  EXPECT_EQ(seen.downText, "↓");
  EXPECT_EQ((seen.upStyle & BS_ICON) != 0, velandra::testing::HasIcon(IDI_UP));
  EXPECT_EQ(seen.clipped, Strings{});
  EXPECT_EQ(seen.layout, Strings{});
  EXPECT_EQ(seen.serversAfterAdd, (Strings{"10.1.0.53", "10.1.0.52", "10.1.0.54"}));
  EXPECT_TRUE(seen.suffixListEnabledAfterClick);
  EXPECT_FALSE(seen.parentEnabledAfterClick);
  EXPECT_EQ(seen.suffixesAfterAdd, Strings{"tokyo.example"});

  EXPECT_EQ(demo.AdapterLine(),
            "P1A0 dns=10.1.0.53,10.1.0.52,10.1.0.54 suffix=東京.example update register "
            "wins=10.1.0.9 nb=0");
  EXPECT_EQ(demo.PlaceLine(), "P1 list=tokyo.example lmhosts");
  EXPECT_TRUE(demo.Messages().empty());
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
