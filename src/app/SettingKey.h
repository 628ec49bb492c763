#pragma once

#include <QString>

#include <climits>

namespace zep {

class SettingsStore;

// A setting's place in the store (section and key) and the value a read
// gives when it is missing or cannot be read. A group declares each of its
// keys once as one of these; reads and writes go straight to the store, so a
// change made elsewhere counts at the next read.
//
// The store holds text only. Each kind writes its values in the form the
// shops' settings files have always held, and reads that form back.
class SettingKey {
public:
    SettingKey(QString section, QString key) : m_section(std::move(section)), m_key(std::move(key)) {}

    const QString &section() const { return m_section; }
    const QString &key() const { return m_key; }

    // The stored text; `fallback` when the key is missing.
    QString readText(const SettingsStore &store, const QString &fallback) const;
    void writeText(SettingsStore &store, const QString &text) const;

private:
    QString m_section;
    QString m_key;
};

// A text, stored as it is.
class TextSetting : public SettingKey {
public:
    TextSetting(QString section, QString key, QString fallback = {})
        : SettingKey(std::move(section), std::move(key)), m_fallback(std::move(fallback))
    {
    }

    QString read(const SettingsStore &store) const { return readText(store, m_fallback); }
    // Where the fallback is only known at the moment of reading.
    QString read(const SettingsStore &store, const QString &fallback) const { return readText(store, fallback); }
    void write(SettingsStore &store, const QString &value) const { writeText(store, value); }
    const QString &fallback() const { return m_fallback; }

private:
    QString m_fallback;
};

// A whole number, stored in plain digits. A hand-edited "12abc" or "1.5" is
// not cut to 12 or 1: it reads as the fallback, as does a number outside
// [lowest, highest].
class NumberSetting : public SettingKey {
public:
    NumberSetting(QString section, QString key, int fallback, int lowest = INT_MIN, int highest = INT_MAX)
        : SettingKey(std::move(section), std::move(key)), m_fallback(fallback), m_lowest(lowest), m_highest(highest)
    {
    }

    int read(const SettingsStore &store) const;
    // Any whole number as stored, in bounds or not: for a reader that hands
    // the value on to a part that refuses it with its own message.
    int readUnbounded(const SettingsStore &store) const;
    void write(SettingsStore &store, int value) const;
    int fallback() const { return m_fallback; }

private:
    int m_fallback;
    int m_lowest;
    int m_highest;
};

// On or off.
class FlagSetting : public SettingKey {
public:
    enum class Form {
        Digit,     // "1" / "0"; any whole number but 0 reads as on
        DigitOne,  // "1" / "0"; only 1 reads as on
        TrueFalse, // "True" / "False"; "True" in any letter case reads as on
    };

    FlagSetting(QString section, QString key, bool fallback, Form form)
        : SettingKey(std::move(section), std::move(key)), m_fallback(fallback), m_form(form)
    {
    }

    bool read(const SettingsStore &store) const;
    void write(SettingsStore &store, bool on) const;

private:
    bool m_fallback;
    Form m_form;
};

} // namespace zep
