#pragma once

#include "app/SettingKey.h"

#include <QString>

namespace zep {

class SettingsStore;

// The function-key texts: read at the moment of use, so a change in the
// preset dialog counts at once.
class Presets {
public:
    // n from 1 to 8; empty when never set.
    static QString text(const SettingsStore &settings, int n);
    // An empty text is stored as an empty value.
    static void store(SettingsStore &settings, int n, const QString &text);
    static constexpr int kCount = 8;
    // Section "Vorgaben", key "F<n>"; empty when missing.
    static TextSetting key(int n);
};

} // namespace zep
