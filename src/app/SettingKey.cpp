#include "app/SettingKey.h"

#include "app/SettingsStore.h"

namespace zep {

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");
} // namespace

QString SettingKey::readText(const SettingsStore &store, const QString &fallback) const
{
    return store.read(m_section, m_key, fallback);
}

void SettingKey::writeText(SettingsStore &store, const QString &text) const
{
    store.write(m_section, m_key, text);
}

int NumberSetting::read(const SettingsStore &store) const
{
    const int value = readUnbounded(store);
    return value < m_lowest || value > m_highest ? m_fallback : value;
}

int NumberSetting::readUnbounded(const SettingsStore &store) const
{
    return store.readInt(section(), key(), m_fallback);
}

void NumberSetting::write(SettingsStore &store, int value) const
{
    writeText(store, QString::number(value));
}

bool FlagSetting::read(const SettingsStore &store) const
{
    switch (m_form) {
    case Form::Digit:
        return store.readInt(section(), key(), m_fallback ? 1 : 0) != 0;
    case Form::DigitOne:
        return store.readInt(section(), key(), m_fallback ? 1 : 0) == 1;
    case Form::TrueFalse:
        return readText(store, m_fallback ? kTrue : kFalse).compare(kTrue, Qt::CaseInsensitive) == 0;
    }
    return m_fallback;
}

void FlagSetting::write(SettingsStore &store, bool on) const
{
    if (m_form == Form::TrueFalse)
        writeText(store, on ? kTrue : kFalse);
    else
        writeText(store, on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace zep
