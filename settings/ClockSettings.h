#pragma once

#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

// The clock's own settings location in the current user's hive.
inline SettingsKey ClockSettings() {
    return SettingsKey(Settings::kPath, HKEY_CURRENT_USER);
}

// Whether the clock steps aside for full-screen programs: yes unless the stored number is 0. A
// missing value, or one shorter than a number, reads as yes; nothing is written.
inline bool ReadStepAside(SettingsKey& settings) {
    DWORD value = 0;
    if (settings.ReadBinary(Settings::kSection, Settings::kStepAside, &value, sizeof(value) - 1)) {
        return true;
    }
    return settings.ReadDword(Settings::kSection, Settings::kStepAside, 1) != 0;
}
