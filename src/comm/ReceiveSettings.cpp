#include "comm/ReceiveSettings.h"

#include "comm/PortSettings.h"

namespace zep {

ReceiveSettings ReceiveSettings::read(const SettingsStore &store, int connection)
{
    return from(PortSettings::load(store, connection));
}

ReceiveSettings ReceiveSettings::from(const PortSettings &port)
{
    ReceiveSettings r;
    r.endCode = EndCode::parse(port.endCode);
    r.conversions = port.conversions;
    return r;
}

} // namespace zep
