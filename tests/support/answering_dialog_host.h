// A dialog host for native tests of the pages: each dialog a page opens is
// answered by the presses queued for it, the way a user would work it.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "ui/dialog_model.h"

namespace velandra::testing {

class AnsweringDialogHost : public ui::IDialogHost {
 public:
  // One press in an open dialog: it may look at the dialog and fill its
  // controls, and answers true for OK, false for Cancel.
  using Press = std::function<bool(ui::CDialogModel&)>;

  // The presses for the next dialog shown. An OK that the dialog refuses
  // keeps it open for the next press, as the real one stays open.
  void Answer(std::vector<Press> presses) { queued_.push_back(std::move(presses)); }

  bool DoModal(ui::CDialogModel& dialog) override {
    Shown.push_back(dialog.TemplateId());
    if (queued_.empty()) {
      ADD_FAILURE() << "dialog " << dialog.TemplateId() << " shown without an answer";
      return false;
    }
    std::vector<Press> presses = std::move(queued_.front());
    queued_.pop_front();
    dialog.OnInitDialog();
    for (Press& press : presses) {
      if (!press(dialog)) return false;
      if (dialog.OnOK()) return true;
    }
    ADD_FAILURE() << "dialog " << dialog.TemplateId() << " still open after its last press";
    return false;
  }

  // Whether every queued answer was used.
  bool AllAnswered() const { return queued_.empty(); }

  // The template ids of the dialogs shown, in order.
  std::vector<uint32_t> Shown;

 private:
  std::deque<std::vector<Press>> queued_;
};

}  // namespace velandra::testing
