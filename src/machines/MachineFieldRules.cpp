#include "machines/MachineFieldRules.h"

#include "comm/LineChoices.h"
#include "comm/LineDefaults.h"
#include "comm/LineSettings.h"
#include "machines/MachineLists.h"

#include <QRegularExpression>

#include <algorithm>

namespace zep::MachineFieldRules {

QString storedText(const QString &typed)
{
    return (typed + QLatin1Char(' ')).left(kTextLength);
}

QString shownText(const QString &stored)
{
    return stored.trimmed();
}

std::pair<QString, QString> splitParam2(const QString &param2)
{
    const int at = param2.indexOf(kSeparator);
    if (at < 0)
        return {param2, QString()};
    return {param2.left(at), param2.mid(at + kSeparator.size())};
}

QString joinParam2(const QString &start, const QString &end)
{
    return start + kSeparator + end;
}

int pairFieldLimit(int otherLength)
{
    return std::max(0, kParamLength - int(kSeparator.size()) - otherLength);
}

bool isEndCharacterCode(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    return digits.match(text).hasMatch() && text.toInt() <= 255;
}

bool isComString(const QString &text)
{
    return LineSettings::isComString(text);
}

QString endCharacterCodeRefusal()
{
    return QStringLiteral("Der ASCII-Code muss eine ganze Zahl von 0 bis 255 sein!");
}

QString comStringRefusal()
{
    return QStringLiteral("Der Com-String muss Datenbits, Parität und Stopbits durch Komma getrennt enthalten "
                          "(z.B. 8,N,1)!");
}

int speedPosition(const QString &baudrate)
{
    bool ok = false;
    const int position = baudrate.trimmed().toInt(&ok);
    if (!ok || LineChoices::speedAt(position).isEmpty())
        return LineDefaults::Manager::kSpeedPosition;
    return position;
}

int intervalPosition(int wartungsArt)
{
    return wartungsArt >= 0 && wartungsArt < MachineLists::intervals().size() ? wartungsArt : 0;
}

int conversionCode(int position)
{
    const auto &list = MachineLists::conversions();
    return position >= 0 && position < list.size() ? list[position].code : 0;
}

} // namespace zep::MachineFieldRules
