#pragma once

#include "app/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace zep {

// The settings store as a per-user INI file, $XDG_CONFIG_HOME/ZEP.ini.
// Nothing is cached: each read looks at the file as it is now (so a
// hand-edit or a second instance is seen at once) and each write is synced
// to disk before write() returns.
class IniSettingsStore : public SettingsStore {
public:
    // The user's ZEP.ini.
    IniSettingsStore();
    // A given INI file (tests, or a portable installation).
    explicit IniSettingsStore(const QString &iniPath);

    QString read(const QString &section, const QString &key, const QString &defaultValue = {}) const override;
    void write(const QString &section, const QString &key, const QString &value) override;

    QString fileName() const { return m_path; }

    // Result of the last write: QSettings::AccessError when the file could
    // not be written (read-only directory, full disk).
    QSettings::Status lastWriteStatus() const { return m_lastWriteStatus; }

    // Where the user's ZEP.ini lies under the current environment.
    static QString defaultFileName();

private:
    QString m_path;
    QSettings::Status m_lastWriteStatus = QSettings::NoError;
};

} // namespace zep
