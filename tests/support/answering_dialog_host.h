// A dialog host for native tests of the pages: each dialog a page opens is
// answered by the presses queued for it, the way a user would work it.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
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

  // The answer to the next file or folder chooser: the chosen path, or
  // nullopt for Cancel.
  void AnswerChoice(std::optional<std::string> path) { choices_.push_back(std::move(path)); }

  bool ChooseFile(const std::string& filter, std::string& path) override {
    Choosers.push_back(filter);
    return Choose(path);
  }
  bool ChooseFolder(const std::string& caption, const std::string& title,
                    const std::string& start, std::string& path) override {
    Choosers.push_back(caption + "|" + title + "|" + start);
    return Choose(path);
  }

  // Whether every queued answer was used.
  bool AllAnswered() const { return queued_.empty() && choices_.empty(); }

  // The template ids of the dialogs shown, in order.
  std::vector<uint32_t> Shown;
  // Each chooser opened: a file chooser's filter, or a folder chooser's
  // caption, title and start joined by '|'.
  std::vector<std::string> Choosers;

 private:
  bool Choose(std::string& path) {
    if (choices_.empty()) {
      ADD_FAILURE() << "chooser opened without an answer";
      return false;
    }
    std::optional<std::string> choice = std::move(choices_.front());
    choices_.pop_front();
    if (!choice) return false;
    path = *choice;
    return true;
  }

  std::deque<std::vector<Press>> queued_;
  std::deque<std::optional<std::string>> choices_;
};

}  // namespace velandra::testing
