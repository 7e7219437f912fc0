// The program-wide options of section COMMON.
#pragma once
#include <string>

#include "config/config_file.h"

namespace velandra::config {

struct CommonSettings {
  int ExitMode = 0;  // 0 shut down, 1 restart, 2 without restart, 3 save only
  bool PowerOff = true;
  std::string EDITOR = "NOTEPAD.EXE";
  bool HIDEPROMPT = false;
  bool DELETEBAT = false;
  int DELAYSLEEP = 0;
};

// Reads LastExit, PowerOff, EDITOR, DIFFCHECK, HIDEPROMPT, DELETEBAT and
// DELAYSLEEP (DIFFCHECK into the program-wide flag).
void LoadCommonSettings(const ConfigFile& config, CommonSettings& settings,
                        bool& diffCheck);

// Writes COMMON in its fixed order; never SERVER or XPSLEEP. False when a
// write failed (the others are still made).
bool SaveCommonSettings(const ConfigFile& config, const CommonSettings& settings,
                        bool adminCheck, bool diffCheck);

// The LastExit word of an exit mode, and back.
const char* ExitModeWord(int exitMode);
int ExitModeFromWord(const std::string& word);

}  // namespace velandra::config
