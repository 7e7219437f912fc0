// The DNS page (template 130) with its server (136) and suffix (137)
// dialogs.
#pragma once
#include <cstdint>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

class CVelandraSheet;

class CPageDNS : public CPageModel {
 public:
  CPageDNS(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_DNS; }

 private:
  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
