#pragma once

#include <QString>

namespace zep {

class SettingsStore;

// The function-key texts: read at the moment of use, so a change in the
// preset dialog counts at once.
class Presets {
public:
    // n from 1 to 8; empty when never set.
    static QString text(const SettingsStore &settings, int n);
};

} // namespace zep
