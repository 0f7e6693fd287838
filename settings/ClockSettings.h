#pragma once

#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

// The clock's own settings location in the current user's hive.
inline SettingsKey ClockSettings() {
    return SettingsKey(Settings::kPath, HKEY_CURRENT_USER);
}
