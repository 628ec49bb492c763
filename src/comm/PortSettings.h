#pragma once

#include <QString>

namespace zep {

class SettingsStore;

// One machine connection's port settings group ("COM" + index +
// "Einstellungen"), as the dialog edits it.
struct PortSettings {
    bool aktiviert = false;
    QString einstellungen = QStringLiteral("9600,N,8,1");
    int comAnschluss = 1;
    int handshaking = 2;
    int maschinenIndex = 0;
    int puffer = 256;
    int ecrZu = 0;
    int elfZu = 0;
    int scrZu = 0;
    int slfZu = 0;
    int exon = 0;
    int sxon = 0;
    QString endCode = QStringLiteral("<SA>26");

    static QString section(int connection);
    // Every key with the dialog's defaults.
    static PortSettings load(const SettingsStore &store, int connection);
    // In the order the dialog writes the keys.
    void save(SettingsStore &store, int connection) const;

    // The read-only summary of the values that come from the machine record.
    QString summary() const;

    // End code for a machine record's Sonderzeichen/Param1..3.
    static QString endCodeFromMachine(int sonderzeichen, const QString &param1, const QString &param2,
                                      const QString &param3);

    // A byte setting (conversion codes, EXON) as the receive path reads it:
    // 0 when missing or not a code 0-255.
    static int readByte(const SettingsStore &store, int connection, const QString &key);
};

} // namespace zep
