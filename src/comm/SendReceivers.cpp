#include "comm/SendReceivers.h"

#include "comm/PortSettings.h"

namespace zep {

SendReceivers SendReceivers::list(const SettingsStore &settings, const QHash<long, QString> &machineTexts,
                                  long maschinenIndex)
{
    SendReceivers result;
    for (int i = 0; i < int(result.options.size()); ++i) {
        const PortSettings p = PortSettings::load(settings, i);
        Option &option = result.options[i];
        if (!p.aktiviert) {
            option.text = QStringLiteral("nicht Aktiv");
            continue;
        }
        option.active = true;
        const auto name = machineTexts.constFind(p.maschinenIndex);
        option.text = name != machineTexts.cend() ? *name
                                                  : QStringLiteral("Nicht Definiert (COM")
                                                        + QString::number(p.comAnschluss) + QStringLiteral(":)");
        // A record without a machine is meant for none of them: preselecting
        // a connection bound to no machine would send it to a guess. With
        // several connections for one machine the last one is taken.
        if (maschinenIndex != 0 && p.maschinenIndex == maschinenIndex)
            result.preselected = i;
    }
    return result;
}

} // namespace zep
