#include "config/common_settings.h"

namespace velandra::config {

namespace {
constexpr char kCommon[] = "COMMON";
}

const char* ExitModeWord(int exitMode) {
  switch (exitMode) {
    case 0: return "EWX_SHUTDOWN";
    case 1: return "EWX_REBOOT";
    case 2: return "WITHOUT_REBOOT";
    default: return "SAVE";
  }
}

int ExitModeFromWord(const std::string& word) {
  if (word == "EWX_SHUTDOWN") return 0;
  if (word == "EWX_REBOOT") return 1;
  if (word == "WITHOUT_REBOOT") return 2;
  return 3;
}

void LoadCommonSettings(const ConfigFile& config, CommonSettings& s,
                        bool& diffCheck) {
  s.ExitMode = ExitModeFromWord(config.ReadString(kCommon, "LastExit", "EWX_SHUTDOWN", 256));
  s.PowerOff = config.ReadString(kCommon, "PowerOff", "TRUE", 256) == "TRUE";
  s.EDITOR = config.ReadString(kCommon, "EDITOR", "NOTEPAD.EXE", 260);
  diffCheck = config.ReadBool(kCommon, "DIFFCHECK", BoolRule::TrueOnly, 256);
  s.HIDEPROMPT = config.ReadBool(kCommon, "HIDEPROMPT", BoolRule::TrueOnly, 256);
  s.DELETEBAT = config.ReadBool(kCommon, "DELETEBAT", BoolRule::TrueOnly, 256);
  s.DELAYSLEEP = config.ReadInt(kCommon, "DELAYSLEEP", 0);
}

bool SaveCommonSettings(const ConfigFile& config, const CommonSettings& s,
                        bool adminCheck, bool diffCheck) {
  bool ok = config.WriteString(kCommon, "LastExit", ExitModeWord(s.ExitMode));
  ok &= config.WriteBool(kCommon, "PowerOff", s.PowerOff);
  ok &= config.WriteString(kCommon, "EDITOR", s.EDITOR);
  ok &= config.WriteBool(kCommon, "ADMINCHECK", adminCheck);
  ok &= config.WriteBool(kCommon, "DIFFCHECK", diffCheck);
  ok &= config.WriteBool(kCommon, "HIDEPROMPT", s.HIDEPROMPT);
  ok &= config.WriteBool(kCommon, "DELETEBAT", s.DELETEBAT);
  ok &= config.WriteInt(kCommon, "DELAYSLEEP", s.DELAYSLEEP);
  return ok;
}

}  // namespace velandra::config
