#include "app/IniSettingsStore.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace zep {

namespace {

QString settingsKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString IniSettingsStore::defaultFileName()
{
    // The same file QSettings(IniFormat, UserScope, "ZEP") uses. It is worked
    // out here because QSettings fixes its user path once per process and
    // would not follow a changed XDG_CONFIG_HOME.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/ZEP.ini"));
}

IniSettingsStore::IniSettingsStore()
    : IniSettingsStore(defaultFileName())
{
}

IniSettingsStore::IniSettingsStore(const QString &iniPath)
    : m_path(iniPath)
{
}

QString IniSettingsStore::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    const QVariant value = settings.value(settingsKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // An unquoted hand-edited value with a comma comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(settingsKey(section, key), value);
    settings.sync();
    m_lastWriteStatus = settings.status();
}

} // namespace zep
