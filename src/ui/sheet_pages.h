// The pages of the main sheet in the order of its tabs, and the About page.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "system/platform/platform.h"
#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

class CVelandraSheet;

enum class SheetPage { Setting, IP, DNS, WINS, Domain, Proxy, NetDrive, Other, Option, About };

struct SheetPageEntry {
  SheetPage Page;
  const char* Title;  // the tab's text, the page template's caption
};

// The tabs in order. The Proxy page is there only when the companion proxy
// switcher is installed, as the current place's proxy choice found it.
std::vector<SheetPageEntry> SheetPages(const CVelandraSheet& sheet);

inline constexpr char kProductName[] = "Velandra";
inline constexpr char kProductVersionText[] = "Velandra ver2.6.1";

struct AboutLink {
  std::string Text;     // the label
  std::string Address;  // what a click opens with the shell's "open"
};

// "Could not open": the address follows.
inline constexpr char kMsgLinkFailed[] = "次のアドレスを開けませんでした: ";

// The About page ("Version"): the icon, the product line and four links:
// the author's mail address, the author's web page, a word of thanks and
// the companion's name, the last two opening the maker's web site. It
// edits no record.
class CPageAbout : public CPageModel {
 public:
  explicit CPageAbout(platform::Platform& platform);
  CPageAbout(const CPageAbout&) = delete;
  CPageAbout& operator=(const CPageAbout&) = delete;
  uint32_t TemplateId() const override { return IDD_PAGE_ABOUT; }

  const std::string& ProductText() const { return product_; }
  const std::vector<AboutLink>& Links() const { return links_; }

  // A click on link `index`: its address opened with "open". When the shell
  // cannot, a warning names the address. An index past the links does
  // nothing.
  void OnLinkClicked(size_t index);

 private:
  platform::Platform& platform_;
  std::string product_ = kProductVersionText;
  std::vector<AboutLink> links_;
};

}  // namespace velandra::ui
