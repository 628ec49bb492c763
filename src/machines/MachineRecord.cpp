#include "machines/MachineRecord.h"

#include "comm/PortSettings.h"
#include "machines/MachineFieldRules.h"

namespace zep {

LineSettings MachineRecord::line() const
{
    return LineSettings::fromMachine(baudrate.toInt(), comString);
}

QString MachineRecord::endCode() const
{
    return PortSettings::endCodeFromMachine(sonderzeichen, param1, param2, param3);
}

void MachineRecord::copyDefaultsTo(PortSettings &port, const LineSettings &shownLine) const
{
    port.line = shownLine.takingOver(line());
    port.endCode = endCode();
    port.conversions = conversions.asBytes();
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
    f.conversions = r.conversions;
    f.conversions.exon = r.conversions.exon != 0 ? 1 : 0;
    f.conversions.sxon = r.conversions.sxon != 0 ? 1 : 0;
    f.line = LineSettings::fromMachine(MachineFieldRules::speedPosition(r.baudrate), r.comString);
    return f;
}

} // namespace zep
