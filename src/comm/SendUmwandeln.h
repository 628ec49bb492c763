#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zep {

class SettingsStore;
struct SerialDefaults;
class TraceSink;

// What the outgoing conversion of one connection reads from its settings.
struct SendSettings {
    bool nulFilter = true; // EXON 0
    int scrZu = 0;
    int slfZu = 0;
    QString endCode = QStringLiteral("<SA>26");

    static SendSettings read(const SettingsStore &store, int connection);
    // The sending half of a connection's serial defaults.
    static SendSettings from(const SerialDefaults &defaults);
};

// Converts `text` for the machine and returns it; the text passed in is
// replaced as well.
QByteArray SendUmwandeln(QByteArray &text, const SendSettings &settings, const TraceSink &trace);

} // namespace zep
