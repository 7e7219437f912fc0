#include "ui/page_ip.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/adapter_settings.h"
#include "support/demo_pc_facts.h"
#include "support/answering_dialog_host.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include "support/window_driver.h"
#include "system/platform/text.h"
#include "ui/win32/controls.h"
#include "ui/win32/page_ip_view.h"
#endif

namespace velandra::ui {
namespace {

using platform::sim::DemoVariant;
using velandra::testing::ScratchPc;

using FakeDialogHost = velandra::testing::AnsweringDialogHost;

std::string Join(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) out += (i ? "," : "") + list[i];
  return out;
}

// Every record's address part, one line each.
std::string Dump(const CVelandraSheet& sheet) {
  std::string out;
  for (const auto& s : sheet.AdapterSettingsList)
    out += s->SectionName() + (s->EnableDHCP ? " dhcp" : " fixed") + " ip=" + Join(s->IPAddress) +
           "/" + Join(s->SubnetMask) + " gw=" + Join(s->Gateway) + "/" + Join(s->Metric) +
           " ifm=" + std::to_string(s->InterfaceMetric) + "\n";
  return out;
}

std::vector<std::string> Rows(const CPageIP& page) {
  std::vector<std::string> rows;
  for (const auto& r : page.Addresses) rows.push_back(r.Address + " " + r.Mask);
  for (const auto& r : page.Gateways) rows.push_back("gw " + r.Gateway + " " + r.ShownMetric());
  return rows;
}

// A sheet on the demo PC with the IP page, whose places are 標準 (the PC's
// own settings: the LAN fixed with one gateway of metric "0", the wireless
// adapter on DHCP), 本社 (the LAN fixed with two addresses and two gateways,
// interface metric 0) and 自宅 (both on DHCP).
struct IpRig {
  explicit IpRig(DemoVariant variant) : pc_(variant) {
    platform::sim::SimulatedPc& sim = pc_.Open();
    context_ = std::make_unique<Context>(sim.platform(), velandra::testing::kDemoIniPath,
                                         ReadOsInfo(sim.platform().system));
    sheet_ = std::make_unique<CVelandraSheet>(*context_);
    EXPECT_TRUE(sheet_->LoadAll());
    page_ = std::make_unique<CPageIP>(*sheet_, host_);
    page_->OnInitDialog();
  }

  // Makes `place`/`adapter` current and enters the page.
  void Enter(const char* place, uint32_t adapter = 0) {
    const int64_t number = sheet_->FindPlaceNumber(place);
    ASSERT_GE(number, 0) << place;
    sheet_->CurrentPlace = sheet_->FindPlace(static_cast<uint32_t>(number));
    sheet_->CurrentAdapter = sheet_->FindAdapter(adapter);
    ASSERT_NE(sheet_->CurrentAdapter, nullptr);
    page_->OnSetActive();
  }
  config::AdapterSettings& Record() {
    return *sheet_->FindAdapterSettings(*sheet_->CurrentPlace, *sheet_->CurrentAdapter);
  }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc_.Open().Messages(); }
  // The messages shown since the last call, their texts.
  std::vector<std::string> NewMessages() {
    std::vector<std::string> texts;
    for (size_t i = seen_; i < Messages().size(); ++i) {
      EXPECT_EQ(Messages()[i].Icon, platform::MessageIcon::Warning) << Messages()[i].Text;
      EXPECT_EQ(Messages()[i].Caption, "Velandra");
      texts.push_back(Messages()[i].Text);
    }
    seen_ = Messages().size();
    return texts;
  }

  ScratchPc pc_;
  std::unique_ptr<Context> context_;
  std::unique_ptr<CVelandraSheet> sheet_;
  FakeDialogHost host_;
  std::unique_ptr<CPageIP> page_;
  size_t seen_ = 0;
};

class IpPageTest : public ::testing::Test, public IpRig {
 protected:
  explicit IpPageTest(DemoVariant variant = DemoVariant::WindowsXp) : IpRig(variant) {}
};

class IpPageOnBoth : public IpPageTest, public ::testing::WithParamInterface<DemoVariant> {
 protected:
  IpPageOnBoth() : IpPageTest(GetParam()) {}
  bool Windows2000() const { return GetParam() == DemoVariant::Windows2000; }
};
INSTANTIATE_TEST_SUITE_P(Demo, IpPageOnBoth, velandra::testing::DemoLayouts(),
                         velandra::testing::DemoLayoutName);

// Entering and leaving every place and adapter without an edit changes no
// record; only a Windows 2000 record with interface metric 0 is refused.
TEST_P(IpPageOnBoth, VisitWithoutEditsChangesNothing) {
  const std::string before = Dump(*sheet_);
  for (const char* place : {"標準", "本社", "自宅"}) {
    for (uint32_t adapter : {0u, 1u}) {
      SCOPED_TRACE(std::string(place) + " " + std::to_string(adapter));
      Enter(place, adapter);
      const bool refused = Windows2000() && Record().InterfaceMetric == 0;
      EXPECT_EQ(page_->OnKillActive(), !refused);
      EXPECT_EQ(NewMessages(), refused ? std::vector<std::string>{kMsgInterfaceMetricRange}
                                       : std::vector<std::string>{});
    }
  }
  EXPECT_EQ(Dump(*sheet_), before);
  EXPECT_TRUE(host_.Shown.empty());
}

TEST_P(IpPageOnBoth, EnteringShowsTheRecord) {
  Enter("本社");
  EXPECT_EQ(page_->Radio, 1);
  EXPECT_TRUE(page_->AddressesEnabled);
  EXPECT_EQ(Rows(*page_), (std::vector<std::string>{"10.1.0.25 255.255.0.0", "10.1.0.26 255.255.0.0",
                                                   "gw 10.1.0.1 1", "gw 10.1.0.2 10"}));
  EXPECT_EQ(page_->AddressSelection, -1);
  // Interface metric 0.
  EXPECT_EQ(page_->AutoMetric, !Windows2000());
  EXPECT_EQ(page_->AutoMetricEnabled, !Windows2000());
  EXPECT_EQ(page_->InterfaceMetricEnabled, Windows2000());
  EXPECT_EQ(page_->InterfaceMetricText, Windows2000() ? "0" : "1");

  Enter("自宅");
  EXPECT_EQ(page_->Radio, 0);
  EXPECT_FALSE(page_->AddressesEnabled);
  EXPECT_TRUE(page_->Addresses.empty());
}

TEST_P(IpPageOnBoth, ZeroMetricShowsAutomaticAndEditStartsWithTheCheckSet) {
  Enter("標準");
  ASSERT_EQ(page_->Gateways.size(), 1u);
  EXPECT_EQ(*page_->Gateways[0].Metric, "0");
  EXPECT_EQ(page_->Gateways[0].ShownMetric(), "自動");
  page_->GatewaySelection = 0;
  bool check = false, checkEnabled = false, fieldEnabled = false;
  std::string text;
  host_.Answer({[&](CDialogModel& d) {
    auto& g = dynamic_cast<CDlgGateway&>(d);
    check = g.AutoMetric;
    checkEnabled = g.AutoMetricEnabled;
    fieldEnabled = g.MetricEnabled;
    text = g.MetricText;
    EXPECT_TRUE(IpFieldsComplete(g.GatewayFields));
    return false;
  }});
  page_->OnGatewayEdit();
  EXPECT_EQ(check, !Windows2000());
  EXPECT_EQ(checkEnabled, !Windows2000());
  EXPECT_EQ(fieldEnabled, Windows2000());
  EXPECT_EQ(text, "0");
  EXPECT_EQ(page_->Gateways[0].ShownMetric(), "自動");  // cancelled
}

// A missing metric entry shows "自動"; an untouched row keeps having none.
TEST_F(IpPageTest, MissingMetricShowsAutomaticAndStaysMissing) {
  Enter("本社");
  Record().Metric = {"5"};
  page_->OnSetActive();
  EXPECT_EQ(Rows(*page_)[3], "gw 10.1.0.2 自動");
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_EQ(Record().Metric, (std::vector<std::string>{"5"}));

  // Moved before a row that has one, it needs an entry: what it shows.
  page_->OnSetActive();
  page_->GatewaySelection = 1;
  page_->OnGatewayDelete();
  page_->GatewaySelection = 0;
  host_.Answer({[](CDialogModel& d) {
    auto& g = dynamic_cast<CDlgGateway&>(d);
    g.GatewayFields = IpFieldsFromText("10.1.0.9");
    g.AutoMetric = false;
    g.MetricText = "7";
    return true;
  }});
  page_->OnGatewayAdd();
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_EQ(Record().Gateway, (std::vector<std::string>{"10.1.0.9", "10.1.0.1"}));
  EXPECT_EQ(Record().Metric, (std::vector<std::string>{"7", "5"}));
}

TEST_P(IpPageOnBoth, DhcpEmptiesTheAddressesAndKeepsTheGateways) {
  Enter("本社");
  page_->InterfaceMetricText = "20";
  page_->OnDhcpClicked();
  EXPECT_FALSE(page_->AddressesEnabled);
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_TRUE(Record().EnableDHCP);
  EXPECT_TRUE(Record().IPAddress.empty());
  EXPECT_TRUE(Record().SubnetMask.empty());
  EXPECT_EQ(Record().Gateway, (std::vector<std::string>{"10.1.0.1", "10.1.0.2"}));
  EXPECT_EQ(Record().Metric, (std::vector<std::string>{"1", "10"}));

  // Back to fixed addresses with none: refused until one is added.
  page_->OnSetActive();
  EXPECT_EQ(page_->Radio, 0);
  page_->OnFixedClicked();
  EXPECT_TRUE(page_->AddressesEnabled);
  const std::string before = Dump(*sheet_);
  EXPECT_FALSE(page_->OnKillActive());
  EXPECT_EQ(NewMessages(), std::vector<std::string>{kMsgNoAddress});
  EXPECT_EQ(page_->Focus, IDC_IP_ADDRESS_ADD);
  EXPECT_EQ(Dump(*sheet_), before);
}

TEST_P(IpPageOnBoth, AddInsertsAboveTheSelectionOrAppends) {
  Enter("本社");
  auto address = [](const char* ip, const char* mask) {
    return [=](CDialogModel& d) {
      auto& a = dynamic_cast<CDlgIPAddress&>(d);
      EXPECT_FALSE(IpFieldsComplete(a.AddressFields));  // starts empty
      a.AddressFields = IpFieldsFromText(ip);
      a.MaskFields = IpFieldsFromText(mask);
      return true;
    };
  };
  page_->AddressSelection = 0;
  host_.Answer({address("10.1.0.24", "255.255.255.0")});
  page_->OnAddressAdd();
  EXPECT_EQ(page_->AddressSelection, 1);  // the selected row moved down with it
  page_->AddressSelection = -1;
  host_.Answer({address("10.1.0.27", "255.0.0.0")});
  page_->OnAddressAdd();

  // The gateway dialog starts with metric 1 on Windows 2000, automatic later.
  std::string startText;
  bool startCheck = false;
  page_->GatewaySelection = 1;
  host_.Answer({[&](CDialogModel& d) {
    auto& g = dynamic_cast<CDlgGateway&>(d);
    startText = g.MetricText;
    startCheck = g.AutoMetric;
    g.GatewayFields = IpFieldsFromText("10.1.0.3");
    return true;
  }});
  page_->OnGatewayAdd();
  EXPECT_EQ(startText, Windows2000() ? "1" : "0");
  EXPECT_EQ(startCheck, !Windows2000());
  EXPECT_EQ(page_->GatewaySelection, 2);
  page_->GatewaySelection = -1;
  host_.Answer({[](CDialogModel& d) {
    auto& g = dynamic_cast<CDlgGateway&>(d);
    g.GatewayFields = IpFieldsFromText("10.1.0.4");
    g.AutoMetric = false;
    g.MetricText = "9999";
    return true;
  }});
  page_->OnGatewayAdd();

  const std::string added = Windows2000() ? "1" : "自動";
  EXPECT_EQ(Rows(*page_),
            (std::vector<std::string>{"10.1.0.24 255.255.255.0", "10.1.0.25 255.255.0.0",
                                      "10.1.0.26 255.255.0.0", "10.1.0.27 255.0.0.0",
                                      "gw 10.1.0.1 1", "gw 10.1.0.3 " + added, "gw 10.1.0.2 10",
                                      "gw 10.1.0.4 9999"}));
  page_->InterfaceMetricText = "30";
  page_->AutoMetric = false;
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_FALSE(Record().EnableDHCP);
  EXPECT_EQ(Join(Record().IPAddress), "10.1.0.24,10.1.0.25,10.1.0.26,10.1.0.27");
  EXPECT_EQ(Join(Record().SubnetMask), "255.255.255.0,255.255.0.0,255.255.0.0,255.0.0.0");
  EXPECT_EQ(Join(Record().Gateway), "10.1.0.1,10.1.0.3,10.1.0.2,10.1.0.4");
  EXPECT_EQ(Join(Record().Metric), "1," + added + ",10,9999");
  EXPECT_EQ(Record().InterfaceMetric, 30u);
  EXPECT_TRUE(host_.AllAnswered());
  EXPECT_TRUE(NewMessages().empty());
}

TEST_F(IpPageTest, EditReplacesInPlaceAndDeleteRemovesWithoutAsking) {
  Enter("本社");
  page_->AddressSelection = 1;
  host_.Answer({[](CDialogModel& d) {
    auto& a = dynamic_cast<CDlgIPAddress&>(d);
    EXPECT_EQ(IpTextFromFields(a.AddressFields), "10.1.0.26");
    EXPECT_EQ(IpTextFromFields(a.MaskFields), "255.255.0.0");
    a.AddressFields[3] = 99;
    return true;
  }});
  page_->OnAddressEdit();
  page_->GatewaySelection = 1;
  host_.Answer({[](CDialogModel& d) {
    auto& g = dynamic_cast<CDlgGateway&>(d);
    EXPECT_EQ(g.MetricText, "10");
    EXPECT_FALSE(g.AutoMetric);
    g.AutoMetric = true;
    g.OnAutoMetricClicked();
    EXPECT_FALSE(g.MetricEnabled);
    return true;
  }});
  page_->OnGatewayEdit();
  EXPECT_EQ(Rows(*page_), (std::vector<std::string>{"10.1.0.25 255.255.0.0", "10.1.0.99 255.255.0.0",
                                                   "gw 10.1.0.1 1", "gw 10.1.0.2 自動"}));
  page_->AddressSelection = 0;
  page_->OnAddressDelete();
  page_->GatewaySelection = 0;
  page_->OnGatewayDelete();
  EXPECT_EQ(Rows(*page_), (std::vector<std::string>{"10.1.0.99 255.255.0.0", "gw 10.1.0.2 自動"}));
  EXPECT_EQ(host_.Shown, (std::vector<uint32_t>{IDD_IP_ADDRESS, IDD_GATEWAY}));
  EXPECT_TRUE(NewMessages().empty());
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_EQ(Join(Record().Metric), "自動");
}

TEST_F(IpPageTest, EditAndDeleteWithoutASelectedRowSayWhatToSelect) {
  Enter("本社");
  const std::string rows = Join(Rows(*page_));
  struct Case {
    void (CPageIP::*handler)();
    const char* message;
  };
  const Case cases[] = {
      {&CPageIP::OnAddressEdit, kMsgSelectAddressToEdit},
      {&CPageIP::OnAddressDelete, kMsgSelectAddressToDelete},
      {&CPageIP::OnGatewayEdit, kMsgSelectGatewayToEdit},
      {&CPageIP::OnGatewayDelete, kMsgSelectGatewayToDelete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    (page_.get()->*c.handler)();
    EXPECT_EQ(NewMessages(), std::vector<std::string>{c.message});
  }
  EXPECT_EQ(Join(Rows(*page_)), rows);
  EXPECT_TRUE(host_.Shown.empty());
}

// A cancelled dialog changes no row.
TEST_F(IpPageTest, CancelledDialogsChangeNothing) {
  Enter("本社");
  const std::string rows = Join(Rows(*page_));
  auto cancel = [](CDialogModel& d) {
    if (auto* a = dynamic_cast<CDlgIPAddress*>(&d)) a->AddressFields = IpFieldsFromText("1.2.3.4");
    return false;
  };
  page_->AddressSelection = 0;
  page_->GatewaySelection = 0;
  for (void (CPageIP::*handler)() : {&CPageIP::OnAddressAdd, &CPageIP::OnAddressEdit,
                                     &CPageIP::OnGatewayAdd, &CPageIP::OnGatewayEdit}) {
    host_.Answer({cancel});
    (page_.get()->*handler)();
  }
  EXPECT_EQ(Join(Rows(*page_)), rows);
  EXPECT_EQ(page_->AddressSelection, 0);
  EXPECT_TRUE(NewMessages().empty());
}

// A row that would take a list past what the stored form holds is refused.
TEST_F(IpPageTest, ListsStayWithinTheStoredLimit) {
  Enter("本社");
  Record().IPAddress.clear();
  Record().SubnetMask.clear();
  for (int i = 0; i < 15; ++i) {  // 15 x 16 - 1 = 239 characters each
    Record().IPAddress.push_back("192.168.100." + std::to_string(100 + i));
    Record().SubnetMask.push_back("255.255.255.255");
  }
  page_->OnSetActive();
  host_.Answer({[](CDialogModel& d) {
    auto& a = dynamic_cast<CDlgIPAddress&>(d);
    a.AddressFields = IpFieldsFromText("192.168.100.200");
    a.MaskFields = IpFieldsFromText("255.255.255.255");
    return true;
  }});
  page_->OnAddressAdd();
  EXPECT_EQ(NewMessages(), std::vector<std::string>{config::kMsgListTooLong});
  EXPECT_EQ(page_->Addresses.size(), 15u);
}

struct InterfaceMetricCase {
  DemoVariant variant;
  bool automatic;
  const char* text;
  const char* message;  // nullptr: leaves
  uint32_t stored;
};

class InterfaceMetricTest : public ::testing::TestWithParam<InterfaceMetricCase> {};

TEST_P(InterfaceMetricTest, CheckedAndStored) {
  const InterfaceMetricCase& c = GetParam();
  IpRig f(c.variant);
  f.Enter("本社");
  if (c.variant == DemoVariant::WindowsXp) {
    f.page_->AutoMetric = c.automatic;
    f.page_->OnAutoMetricClicked();
    EXPECT_EQ(f.page_->InterfaceMetricEnabled, !c.automatic);
  }
  f.page_->InterfaceMetricText = c.text;
  const std::string before = Dump(*f.sheet_);
  EXPECT_EQ(f.page_->OnKillActive(), c.message == nullptr);
  if (c.message) {
    EXPECT_EQ(f.NewMessages(), std::vector<std::string>{c.message});
    EXPECT_EQ(f.page_->Focus, IDC_IP_METRIC);
    EXPECT_EQ(Dump(*f.sheet_), before);
  } else {
    EXPECT_TRUE(f.NewMessages().empty());
    EXPECT_EQ(f.Record().InterfaceMetric, c.stored);
  }
}

constexpr DemoVariant kXp = DemoVariant::WindowsXp, k2000 = DemoVariant::Windows2000;
const InterfaceMetricCase kInterfaceMetricCases[] = {
    {kXp, true, "1", nullptr, 0},
    {kXp, true, "abc", nullptr, 0},  // not used: automatic
    {kXp, true, "0", nullptr, 0},
    {kXp, false, "1", nullptr, 1},
    {kXp, false, "9999", nullptr, 9999},
    {kXp, false, "0", kMsgInterfaceMetricRange, 0},
    {kXp, false, "10000", kMsgInterfaceMetricRange, 0},
    {kXp, false, "99999999999", kMsgNotANumber, 0},
    {kXp, false, "", kMsgNotANumber, 0},
    {kXp, false, "1a", kMsgNotANumber, 0},
    {k2000, false, "0", kMsgInterfaceMetricRange, 0},
    {k2000, false, "10000", kMsgInterfaceMetricRange, 0},
    {k2000, false, "x", kMsgNotANumber, 0},
    {k2000, false, "1", nullptr, 1},
    {k2000, false, "9999", nullptr, 9999},
};
INSTANTIATE_TEST_SUITE_P(Cases, InterfaceMetricTest, ::testing::ValuesIn(kInterfaceMetricCases));

// ---- the dialogs

struct DialogCase {
  const char* name;
  DemoVariant variant;
  const char* first;   // the address or gateway, as typed: fields may be blank
  const char* second;  // the mask; or the metric field's text
  bool automatic;      // the gateway dialog's check
  const char* message;  // nullptr: OK closes
  int focus;
  const char* taken;   // the texts taken: "address mask" or "gateway metric"
};

const DialogCase kAddressCases[] = {
    {"complete", kXp, "192.168.1.10", "255.255.255.0", false, nullptr, 0,
     "192.168.1.10 255.255.255.0"},
    {"address field blank", kXp, "192.168..10", "255.255.255.0", false, kMsgAddressIncomplete,
     IDC_IP_ADDRESS_DLG_ADDRESS, ""},
    {"address empty", kXp, "", "255.255.255.0", false, kMsgAddressIncomplete,
     IDC_IP_ADDRESS_DLG_ADDRESS, ""},
    {"both empty: address first", kXp, "", "", false, kMsgAddressIncomplete,
     IDC_IP_ADDRESS_DLG_ADDRESS, ""},
    {"mask field blank", kXp, "192.168.1.10", "255..255.0", false, kMsgMaskIncomplete,
     IDC_IP_ADDRESS_DLG_MASK, ""},
    {"mask empty", k2000, "192.168.1.10", "", false, kMsgMaskIncomplete, IDC_IP_ADDRESS_DLG_MASK,
     ""},
};

const DialogCase kGatewayCases[] = {
    {"complete, automatic", kXp, "10.0.0.1", "55", true, nullptr, 0, "10.0.0.1 0"},
    {"automatic ignores a non-number", kXp, "10.0.0.1", "", true, nullptr, 0, "10.0.0.1 0"},
    {"metric 1", kXp, "10.0.0.1", "1", false, nullptr, 0, "10.0.0.1 1"},
    {"metric 9999", kXp, "10.0.0.1", "9999", false, nullptr, 0, "10.0.0.1 9999"},
    {"metric 0", kXp, "10.0.0.1", "0", false, kMsgMetricRange, IDC_GATEWAY_METRIC, ""},
    {"metric 10000", kXp, "10.0.0.1", "10000", false, kMsgMetricRange, IDC_GATEWAY_METRIC, ""},
    {"metric not a number", kXp, "10.0.0.1", "1 0", false, kMsgNotANumber, IDC_GATEWAY_METRIC, ""},
    {"metric empty", kXp, "10.0.0.1", "", false, kMsgNotANumber, IDC_GATEWAY_METRIC, ""},
    {"gateway field blank", kXp, ".0.0.1", "1", false, kMsgGatewayIncomplete, IDC_GATEWAY_ADDRESS,
     ""},
    {"gateway empty before a bad metric", kXp, "", "0", false, kMsgGatewayIncomplete,
     IDC_GATEWAY_ADDRESS, ""},
    {"2000 metric 1", k2000, "10.0.0.1", "1", false, nullptr, 0, "10.0.0.1 1"},
    {"2000 metric 9999", k2000, "10.0.0.1", "9999", false, nullptr, 0, "10.0.0.1 9999"},
    {"2000 metric 0", k2000, "10.0.0.1", "0", false, kMsgMetricRange, IDC_GATEWAY_METRIC, ""},
    {"2000 metric 10000", k2000, "10.0.0.1", "10000", false, kMsgMetricRange, IDC_GATEWAY_METRIC,
     ""},
    {"2000 metric not a number", k2000, "10.0.0.1", "abc", false, kMsgNotANumber,
     IDC_GATEWAY_METRIC, ""},
    {"2000 gateway blank field", k2000, "10.0.0.", "1", false, kMsgGatewayIncomplete,
     IDC_GATEWAY_ADDRESS, ""},
};

TEST(IpDialogs, AddressDialogCases) {
  for (const DialogCase& c : kAddressCases) {
    SCOPED_TRACE(c.name);
    ScratchPc pc(c.variant);
    platform::sim::SimulatedPc& sim = pc.Open();
    Context context(sim.platform(), velandra::testing::kDemoIniPath,
                    ReadOsInfo(sim.platform().system));
    CDlgIPAddress dialog(context);
    dialog.IPAddress = "10.9.8.7";
    dialog.SubnetMask = "255.0.0.0";
    dialog.OnInitDialog();
    EXPECT_EQ(IpTextFromFields(dialog.AddressFields), "10.9.8.7");
    EXPECT_EQ(IpTextFromFields(dialog.MaskFields), "255.0.0.0");
    dialog.AddressFields = IpFieldsFromText(c.first);
    dialog.MaskFields = IpFieldsFromText(c.second);
    EXPECT_EQ(dialog.OnOK(), c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(sim.Messages().size(), 1u);
      EXPECT_EQ(sim.Messages()[0].Text, c.message);
      EXPECT_EQ(sim.Messages()[0].Icon, platform::MessageIcon::Warning);
      EXPECT_EQ(dialog.Focus, c.focus);
      EXPECT_EQ(dialog.IPAddress + " " + dialog.SubnetMask, "10.9.8.7 255.0.0.0");
    } else {
      EXPECT_TRUE(sim.Messages().empty());
      EXPECT_EQ(dialog.IPAddress + " " + dialog.SubnetMask, c.taken);
    }
  }
}

TEST(IpDialogs, GatewayDialogCases) {
  for (const DialogCase& c : kGatewayCases) {
    SCOPED_TRACE(c.name);
    ScratchPc pc(c.variant);
    platform::sim::SimulatedPc& sim = pc.Open();
    Context context(sim.platform(), velandra::testing::kDemoIniPath,
                    ReadOsInfo(sim.platform().system));
    CDlgGateway dialog(context);
    dialog.Gateway = "10.9.8.7";
    dialog.Metric = 20;
    dialog.OnInitDialog();
    EXPECT_EQ(IpTextFromFields(dialog.GatewayFields), "10.9.8.7");
    EXPECT_FALSE(dialog.AutoMetric);
    EXPECT_TRUE(dialog.MetricEnabled);
    EXPECT_EQ(dialog.AutoMetricEnabled, c.variant == kXp);
    EXPECT_EQ(dialog.MetricText, "20");
    dialog.GatewayFields = IpFieldsFromText(c.first);
    if (c.automatic) {
      dialog.AutoMetric = true;
      dialog.OnAutoMetricClicked();
      EXPECT_FALSE(dialog.MetricEnabled);
    }
    dialog.MetricText = c.second;
    EXPECT_EQ(dialog.OnOK(), c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(sim.Messages().size(), 1u);
      EXPECT_EQ(sim.Messages()[0].Text, c.message);
      EXPECT_EQ(sim.Messages()[0].Icon, platform::MessageIcon::Warning);
      EXPECT_EQ(dialog.Focus, c.focus);
      EXPECT_EQ(dialog.Gateway + " " + std::to_string(dialog.Metric), "10.9.8.7 20");
    } else {
      EXPECT_TRUE(sim.Messages().empty());
      EXPECT_EQ(dialog.Gateway + " " + std::to_string(dialog.Metric), c.taken);
    }
  }
}

// Metric 0 starts with the check set, except on Windows 2000.
TEST(IpDialogs, GatewayDialogStartsAutomaticForZeroAfterWindows2000) {
  for (DemoVariant variant : {kXp, k2000}) {
    SCOPED_TRACE(variant == kXp ? "XP" : "2000");
    ScratchPc pc(variant);
    platform::sim::SimulatedPc& sim = pc.Open();
    Context context(sim.platform(), velandra::testing::kDemoIniPath,
                    ReadOsInfo(sim.platform().system));
    CDlgGateway dialog(context);
    dialog.OnInitDialog();
    EXPECT_FALSE(IpFieldsComplete(dialog.GatewayFields));
    EXPECT_EQ(dialog.AutoMetric, variant == kXp);
    EXPECT_EQ(dialog.MetricEnabled, variant == k2000);
    EXPECT_EQ(dialog.MetricText, "0");
  }
}

#ifdef _WIN32

using velandra::testing::CanCreateWindows;
using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::PostClick;
using velandra::testing::WindowDriver;

void InitAddressControls() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_INTERNET_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
}

bool HasFocus(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  HWND focus = GetFocus();
  return control && focus && (focus == control || IsChild(control, focus));
}

// What a step saw in the dialog after the refused OK.
struct Refusal {
  bool open = false;
  bool focused = false;
};

// Types the case's fields into the real dialog and presses OK; when the
// dialog must refuse, looks at it once more and cancels it.
template <class Dialog>
void RunDialogCase(const DialogCase& c, const char* title, bool gateway) {
  SCOPED_TRACE(c.name);
  ScratchPc pc(c.variant);
  platform::sim::SimulatedPc& sim = pc.Open();
  Context context(sim.platform(), velandra::testing::kDemoIniPath,
                  ReadOsInfo(sim.platform().system));
  Dialog dialog(context);
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {win32::MakeIpDialogView});
  Refusal refusal;
  std::vector<std::string> clipped;
  WindowDriver driver;
  driver.ThenDialog(title, [&](HWND d) {
    clipped = ClippedTexts(d);
    if (gateway) {
      win32::SetIpFields(d, IDC_GATEWAY_ADDRESS, IpFieldsFromText(c.first));
      if (c.automatic != win32::ItemChecked(d, IDC_GATEWAY_AUTO_METRIC)) {
        win32::SetItemChecked(d, IDC_GATEWAY_AUTO_METRIC, c.automatic);
        PostClick(d, IDC_GATEWAY_AUTO_METRIC);
      }
      win32::SetItemText(d, IDC_GATEWAY_METRIC, c.second);
    } else {
      win32::SetIpFields(d, IDC_IP_ADDRESS_DLG_ADDRESS, IpFieldsFromText(c.first));
      win32::SetIpFields(d, IDC_IP_ADDRESS_DLG_MASK, IpFieldsFromText(c.second));
    }
    PostClick(d, IDOK);
  });
  if (c.message)
    driver.ThenDialog(title, [&](HWND d) {
      refusal.open = true;
      refusal.focused = HasFocus(d, c.focus);
      PostClick(d, IDCANCEL);
    });
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); }, 8000)) << driver.Stuck();
  EXPECT_EQ(ok, c.message == nullptr);
  for (const std::string& text : clipped) ADD_FAILURE() << "clipped: " << platform::Cp932ToUtf8(text);
  if (c.message) {
    EXPECT_TRUE(refusal.open);
    EXPECT_TRUE(refusal.focused);
    ASSERT_EQ(sim.Messages().size(), 1u);
    EXPECT_EQ(sim.Messages()[0].Text, c.message);
  } else {
    EXPECT_TRUE(sim.Messages().empty());
  }
}

TEST(Win32IpDialogs, AddressDialogCases) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitAddressControls();
  for (const DialogCase& c : kAddressCases) {
    RunDialogCase<CDlgIPAddress>(c, kIpAddressDialogTitle, false);
  }
}

TEST(Win32IpDialogs, GatewayDialogCases) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitAddressControls();
  for (const DialogCase& c : kGatewayCases) {
    RunDialogCase<CDlgGateway>(c, kGatewayDialogTitle, true);
  }
}

// What OK takes from the real controls, and the check that turns the
// metric field and its label off and on.
TEST(Win32IpDialogs, GatewayCheckTogglesTheMetricField) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitAddressControls();
  ScratchPc pc(DemoVariant::WindowsXp);
  platform::sim::SimulatedPc& sim = pc.Open();
  Context context(sim.platform(), velandra::testing::kDemoIniPath,
                  ReadOsInfo(sim.platform().system));
  CDlgGateway dialog(context);
  dialog.Gateway = "192.168.0.254";
  dialog.Metric = 0;
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {win32::MakeIpDialogView});
  std::vector<bool> enabled;  // field, label: at start, after set, after clear
  std::string shownGateway;
  auto look = [&](HWND d) {
    enabled.push_back(IsWindowEnabled(GetDlgItem(d, IDC_GATEWAY_METRIC)) != FALSE);
    enabled.push_back(IsWindowEnabled(GetDlgItem(d, IDC_GATEWAY_METRIC_LABEL)) != FALSE);
  };
  auto toggle = [](HWND d, bool checked) {
    win32::SetItemChecked(d, IDC_GATEWAY_AUTO_METRIC, checked);
    PostClick(d, IDC_GATEWAY_AUTO_METRIC);
  };
  WindowDriver driver;
  driver
      .ThenDialog(kGatewayDialogTitle,
                  [&](HWND d) {
                    shownGateway = IpTextFromFields(win32::GetIpFields(d, IDC_GATEWAY_ADDRESS))
                                       .value_or("(blank)");
                    look(d);
                    toggle(d, false);
                  })
      .ThenDialog(kGatewayDialogTitle,
                  [&](HWND d) {
                    look(d);
                    toggle(d, true);
                  })
      .ThenDialog(kGatewayDialogTitle,
                  [&](HWND d) {
                    look(d);
                    toggle(d, false);
                  })
      .ThenDialog(kGatewayDialogTitle, [&](HWND d) {
        win32::SetItemText(d, IDC_GATEWAY_METRIC, "25");
        PostClick(d, IDOK);
      });
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); }, 8000)) << driver.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(shownGateway, "192.168.0.254");
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, true, true, false, false}));
  EXPECT_EQ(dialog.Gateway, "192.168.0.254");
  EXPECT_EQ(dialog.Metric, 25u);
}

// The page alone in a sheet: an address added through its dialog is stored
// when the sheet's OK leaves the page.
TEST(Win32IpPage, AddAnAddressAndLeave) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  InitAddressControls();
  IpRig rig(DemoVariant::WindowsXp);
  rig.Enter("本社");
  const HINSTANCE module = GetModuleHandleA(nullptr);
  win32::Win32DialogHost host(module, {win32::MakeIpDialogView});
  CPageIP page(*rig.sheet_, host);
  std::unique_ptr<win32::PageView> view = win32::MakeIpPageView(page);
  ASSERT_NE(view, nullptr);

  std::vector<std::string> clipped, columns;
  std::string metricText;
  bool metricEnabled = true;
  int rowsAtStart = -1;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PropSheet_GetCurrentPageHwnd(sheet);
                    clipped = ClippedTexts(sheet);
                    rowsAtStart = static_cast<int>(
                        SendDlgItemMessageA(p, IDC_IP_ADDRESS_LIST, LVM_GETITEMCOUNT, 0, 0));
                    metricText = ControlText(p, IDC_IP_METRIC);
                    metricEnabled = IsWindowEnabled(GetDlgItem(p, IDC_IP_METRIC)) != FALSE;
                    PostClick(p, IDC_IP_ADDRESS_ADD);
                  })
      .ThenDialog(kIpAddressDialogTitle,
                  [&](HWND d) {
                    win32::SetIpFields(d, IDC_IP_ADDRESS_DLG_ADDRESS,
                                       IpFieldsFromText("10.1.0.30"));
                    win32::SetIpFields(d, IDC_IP_ADDRESS_DLG_MASK,
                                       IpFieldsFromText("255.255.255.0"));
                    PostClick(d, IDOK);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) {
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      });
  EXPECT_TRUE(velandra::testing::RunPageAlone(*view, driver)) << driver.Stuck();
  for (const std::string& text : clipped) ADD_FAILURE() << "clipped: " << platform::Cp932ToUtf8(text);
  EXPECT_EQ(rowsAtStart, 2);
  EXPECT_EQ(metricText, "1");
  EXPECT_FALSE(metricEnabled);
  const config::AdapterSettings& record = rig.Record();
  EXPECT_FALSE(record.EnableDHCP);
  EXPECT_EQ(Join(record.IPAddress), "10.1.0.25,10.1.0.26,10.1.0.30");
  EXPECT_EQ(Join(record.SubnetMask), "255.255.0.0,255.255.0.0,255.255.255.0");
  EXPECT_EQ(record.InterfaceMetric, 0u);
  EXPECT_TRUE(rig.NewMessages().empty());
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
