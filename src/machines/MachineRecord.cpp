#include "machines/MachineRecord.h"

#include "comm/LineSettings.h"
#include "comm/PortSettings.h"
#include "machines/MachineFieldRules.h"

namespace zep {

namespace {

// A byte column as a port settings group can hold it.
int byteValue(int stored)
{
    return (stored < 0 || stored > 255) ? 0 : stored;
}

} // namespace

SerialDefaults MachineRecord::serialDefaults(const LineSettings &currentLine) const
{
    SerialDefaults d;
    d.einstellungen = LineSettings::fromMachine(baudrate.toInt(), comString, currentLine).join();
    d.endCode = PortSettings::endCodeFromMachine(sonderzeichen, param1, param2, param3);
    d.ecrZu = byteValue(ecrZu);
    d.elfZu = byteValue(elfZu);
    d.scrZu = byteValue(scrZu);
    d.slfZu = byteValue(slfZu);
    d.exon = byteValue(exon);
    d.sxon = byteValue(sxon);
    return d;
}

CommunicationFields CommunicationFields::fromRecord(const MachineRecord &r)
{
    CommunicationFields f;
    f.mitRS232 = r.mitRS232 == 1;
    f.sonderzeichen = r.sonderzeichen == 1;
    f.asciiCode = r.param3 == QLatin1String("A");
    f.code = r.param1;
    const auto [start, end] = MachineFieldRules::splitParam2(r.param2);
    f.start = start;
    f.end = end;
    f.ecrZu = r.ecrZu;
    f.elfZu = r.elfZu;
    f.scrZu = r.scrZu;
    f.slfZu = r.slfZu;
    f.exon = r.exon != 0;
    f.sxon = r.sxon != 0;
    f.baudrate = MachineFieldRules::speedPosition(r.baudrate);
    f.comString = r.comString;
    return f;
}

} // namespace zep
