#include "ui/sheet_pages.h"

#include "config/place_settings.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

std::vector<SheetPageEntry> SheetPages(const CVelandraSheet& sheet) {
  const config::PlaceSettings* place =
      sheet.CurrentPlace ? sheet.FindPlaceSettings(*sheet.CurrentPlace) : nullptr;
  const bool companion = place && place->Proxy.Installed;
  std::vector<SheetPageEntry> pages = {
      {SheetPage::Setting, "設定"}, {SheetPage::IP, "IP設定"}, {SheetPage::DNS, "DNS"},
      {SheetPage::WINS, "WINS"},    {SheetPage::Domain, "Domain"},
  };
  if (companion) pages.push_back({SheetPage::Proxy, "Proxy"});
  pages.insert(pages.end(), {{SheetPage::NetDrive, "NetDrive"},
                             {SheetPage::Other, "その他"},
                             {SheetPage::Option, "Option"},
                             {SheetPage::About, "Version"}});
  return pages;
}

namespace {

// Placeholders: the real addresses are the publisher's to fill in.
constexpr char kAuthorMail[] = "support@velandra.example";
constexpr char kMakerSite[] = "https://velandra.example/";

}  // namespace

CPageAbout::CPageAbout(platform::Platform& platform)
    : platform_(platform),
      links_{
          {kAuthorMail, std::string("mailto:") + kAuthorMail},
          {kMakerSite, kMakerSite},
          {"ご愛用ありがとうございます", kMakerSite},
          {"Brisco (プロキシ切り替え)", kMakerSite},
      } {}

void CPageAbout::OnLinkClicked(size_t index) {
  if (index >= links_.size()) return;
  constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
  if (platform_.shell.Execute("open", links_[index].Address, "", "", kShowNormal)) return;
  platform_.messages.Show(platform::MessageOwner::MainWindow,
                          kMsgLinkFailed + links_[index].Address, kProductName,
                          platform::MessageIcon::Warning, platform::MessageButtons::Ok);
}

}  // namespace velandra::ui
