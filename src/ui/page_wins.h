// The WINS page (template 131) with its server dialog (139).
#pragma once
#include <cstdint>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

class CVelandraSheet;

class CPageWINS : public CPageModel {
 public:
  CPageWINS(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_WINS; }

 private:
  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
