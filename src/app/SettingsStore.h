#pragma once

#include <QString>

namespace zep {

// The program's whole configuration: section -> key -> text value. Every
// value is text; callers convert numbers when they read them, and every read
// names the default for a missing key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString read(const QString &section, const QString &key, const QString &defaultValue = {}) const = 0;
    virtual void write(const QString &section, const QString &key, const QString &value) = 0;

    // The stored value as a whole number, or defaultValue when the key is
    // missing, the text is not a whole number or does not fit an int.
    // Callers apply their own bounds on top of this.
    int readInt(const QString &section, const QString &key, int defaultValue) const;
};

} // namespace zep
