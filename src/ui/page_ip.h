// The IP page (template 129) with its address (134) and gateway (135)
// dialogs.
#pragma once
#include <cstdint>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

class CVelandraSheet;

class CPageIP : public CPageModel {
 public:
  CPageIP(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_IP; }

 private:
  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
