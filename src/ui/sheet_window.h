// The main sheet's window: shown modally when the command line is empty.
#pragma once

namespace velandra::ui {

class CVelandraSheet;

class ISheetWindow {
 public:
  virtual ~ISheetWindow() = default;
  // Shows `sheet` until OK or Cancel closes it; OK has applied the current
  // place by then. False when the window could not be shown, after saying
  // why.
  virtual bool DoModal(CVelandraSheet& sheet) = 0;
};

}  // namespace velandra::ui
