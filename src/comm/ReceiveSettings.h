#pragma once

#include "comm/EndCode.h"

namespace zep {

class SettingsStore;
struct SerialDefaults;

// What the receive path reads from a connection's port settings group at
// every use, so that a change takes effect with the next piece.
struct ReceiveSettings {
    EndCode endCode = EndCode::parse(QStringLiteral("<SA>26"));
    bool nulFilter = true; // EXON 0
    int ecrZu = 0;
    int elfZu = 0;

    static ReceiveSettings read(const SettingsStore &store, int connection);
    // The receiving half of a connection's serial defaults.
    static ReceiveSettings from(const SerialDefaults &defaults);
};

} // namespace zep
