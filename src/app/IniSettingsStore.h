#pragma once

#include "app/SettingsStore.h"

#include <QHash>
#include <QSettings>
#include <QString>

namespace zep {

// The settings store as a per-user INI file, $XDG_CONFIG_HOME/ZEP.ini.
// The parsed file is kept and only parsed again when the file's size, inode
// or times have changed since and its text with them, so the station's many
// reads per second cost one look at the file each, while a hand edit or a second instance is still
// seen at the next read. Each write replaces the file whole and is on disk
// before write() returns; a write that failed is not read back.
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

    // How often the file has been parsed so far.
    int parseCount() const { return m_parseCount; }

    // Where the user's ZEP.ini lies under the current environment.
    static QString defaultFileName();

private:
    // What tells a changed file from an unchanged one without reading it.
    struct FileStamp {
        bool exists = false;
        qint64 size = -1;
        quint64 inode = 0;
        qint64 modifiedNs = 0; // since the epoch
        qint64 changedNs = 0;
        bool operator==(const FileStamp &) const = default;
    };

    // How long after a change the file's times may not yet tell a second
    // change apart: a clock tick where times are kept finely, two seconds
    // where they are kept in whole seconds.
    static constexpr qint64 kRacyFineMs = 50;
    static constexpr qint64 kRacyCoarseMs = 2000;
    static constexpr int kLockWaitMs = 2000;

    FileStamp currentStamp() const;
    static bool racy(const FileStamp &stamp);
    void refresh() const;
    QSettings::Status writeThrough(const QString &fullKey, const QString &value);

    QString m_path;
    QByteArray m_nativePath; // looked at on every read: encoded once
    QSettings::Status m_lastWriteStatus = QSettings::NoError;
    mutable QHash<QString, QString> m_values;
    mutable FileStamp m_stamp;
    mutable QByteArray m_text; // the file as last parsed
    mutable bool m_parsed = false;
    mutable bool m_racy = false;
    mutable int m_parseCount = 0;
};

} // namespace zep
