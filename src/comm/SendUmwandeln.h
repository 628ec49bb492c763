#pragma once

#include "comm/LineConversions.h"
#include "comm/LineDefaults.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zep {

class SettingsStore;
struct PortSettings;
class TraceSink;

// What the outgoing conversion of one connection reads from its settings:
// the end code and the conversions, of which sending uses SCRzu, SLFzu and
// the NUL filter.
struct SendSettings {
    QString endCode = QLatin1String(LineDefaults::PortGroup::kEndCode);
    LineConversions conversions;

    static SendSettings read(const SettingsStore &store, int connection);
    static SendSettings from(const PortSettings &port);
};

// Converts `text` for the machine and returns it; the text passed in is
// replaced as well.
QByteArray SendUmwandeln(QByteArray &text, const SendSettings &settings, const TraceSink &trace);

} // namespace zep
