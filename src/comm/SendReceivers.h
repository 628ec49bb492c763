#pragma once

#include <QHash>
#include <QString>
#include <array>

namespace zep {

class SettingsStore;

// The receivers a program can be sent to: one option per machine connection,
// captioned with the machine bound to it, and the one the record's machine
// preselects.
struct SendReceivers {
    struct Option {
        bool active = false; // only active connections can be chosen
        QString text;
    };
    std::array<Option, 5> options;
    // -1 when no active connection is bound to the record's machine.
    int preselected = -1;

    // `machineTexts`: the machines' captions by machine number.
    static SendReceivers list(const SettingsStore &settings, const QHash<long, QString> &machineTexts,
                              long maschinenIndex);
};

} // namespace zep
