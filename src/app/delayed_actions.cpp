#include "app/delayed_actions.h"

#include <climits>
#include <cstdio>
#include <string>

namespace velandra::app {

namespace {

constexpr char kActionCount[] = "ActionCount";

}  // namespace

bool AddDelayedAction(const config::ConfigFile& config, std::string_view name, bool atFront) {
  if (atFront) {
    if (!config.WriteString(kDelayActionSection, ActionSlotKey(0), name)) return false;
    // Absent, and also empty or negative (damaged): the run would see an
    // empty queue and never reach the front slot.
    return DelayedActionCount(config) >= 0 ||
           config.WriteString(kDelayActionSection, kActionCount, "0");
  }
  int last = config.ReadInt(kDelayActionSection, kActionCount, 0);
  // A damaged negative count would give a slot that no run ever reaches
  // and hide the queue: start again after the front slot. At the top of
  // the range there is no next slot, and overwriting one would lose it.
  if (last < 0) last = 0;
  if (last == INT_MAX) return false;
  const int slot = last + 1;
  return config.WriteString(kDelayActionSection, ActionSlotKey(slot), name) &&
         config.WriteInt(kDelayActionSection, kActionCount, slot);
}

int DelayedActionCount(const config::ConfigFile& config) {
  return config.ReadInt(kDelayActionSection, kActionCount, -1);
}

std::string ActionSlotKey(int slot) {
  char key[24];
  std::snprintf(key, sizeof key, "Action%02d", slot);
  return key;
}

}  // namespace velandra::app
