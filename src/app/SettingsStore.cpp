#include "app/SettingsStore.h"

namespace zep {

int SettingsStore::readInt(const QString &section, const QString &key, int defaultValue) const
{
    // A hand-edited "12abc" or "1.5" is not silently cut to 12 or 1: the
    // caller gets its default, which is always a usable value.
    bool ok = false;
    const int value = read(section, key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

} // namespace zep
