#include "comm/ReceiveSettings.h"

#include "comm/PortSettings.h"

namespace zep {

ReceiveSettings ReceiveSettings::read(const SettingsStore &store, int connection)
{
    return from(PortSettings::load(store, connection));
}

ReceiveSettings ReceiveSettings::from(const SerialDefaults &d)
{
    ReceiveSettings r;
    r.endCode = EndCode::parse(d.endCode);
    r.nulFilter = d.nulFilter();
    r.ecrZu = d.ecrZu;
    r.elfZu = d.elfZu;
    return r;
}

} // namespace zep
