#include "comm/ReceiveSettings.h"

#include "app/SettingsStore.h"
#include "comm/PortSettings.h"

namespace zep {

ReceiveSettings ReceiveSettings::read(const SettingsStore &store, int connection)
{
    ReceiveSettings r;
    r.endCode = EndCode::parse(store.read(PortSettings::section(connection), QStringLiteral("EndCode"),
                                          QStringLiteral("<SA>26")));
    r.nulFilter = PortSettings::readByte(store, connection, QStringLiteral("EXON")) == 0;
    r.ecrZu = PortSettings::readByte(store, connection, QStringLiteral("ECRzu"));
    r.elfZu = PortSettings::readByte(store, connection, QStringLiteral("ELFzu"));
    return r;
}

} // namespace zep
