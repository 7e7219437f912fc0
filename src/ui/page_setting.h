// The Setting page (template 133) and the place-name dialog (template 138).
#pragma once
#include <cstdint>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::ui {

class CVelandraSheet;
class IExitDialog;
class IUserPasswordDialog;

class CPageSetting : public CPageModel {
 public:
  // `exitDialog` and `logonDialog` serve the apply flow of the sheet's OK.
  CPageSetting(CVelandraSheet& sheet, IDialogHost& dialogs, IExitDialog* exitDialog,
               IUserPasswordDialog& logonDialog)
      : sheet_(sheet), dialogs_(dialogs), exitDialog_(exitDialog), logonDialog_(logonDialog) {}
  uint32_t TemplateId() const override { return IDD_PAGE_SETTING; }

 private:
  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
  IExitDialog* exitDialog_;
  IUserPasswordDialog& logonDialog_;
};

}  // namespace velandra::ui
