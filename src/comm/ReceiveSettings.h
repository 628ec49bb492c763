#pragma once

#include "comm/EndCode.h"
#include "comm/LineConversions.h"
#include "comm/LineDefaults.h"

namespace zep {

class SettingsStore;
struct PortSettings;

// What the receive path reads from a connection's port settings group at
// every use, so that a change takes effect with the next piece: the end code
// (parsed) and the conversions, of which receiving uses ECRzu, ELFzu and the
// NUL filter.
struct ReceiveSettings {
    EndCode endCode = EndCode::parse(QLatin1String(LineDefaults::PortGroup::kEndCode));
    LineConversions conversions;

    static ReceiveSettings read(const SettingsStore &store, int connection);
    static ReceiveSettings from(const PortSettings &port);
};

} // namespace zep
