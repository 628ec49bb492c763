#include "catalogue/SearchStatement.h"

#include "db/JetDialect.h"
#include "db/SearchIndex.h"

#include <QStringList>

namespace zep {

namespace {
const QStringList kColumns{QStringLiteral("Dateiname"), QStringLiteral("Bezeichnung"),
                           QStringLiteral("Zeichnungsnummer"), QStringLiteral("Auftragsnummer"),
                           QStringLiteral("Kunde")};
} // namespace

QString SearchStatement::patternFor(const QString &term)
{
    QString pattern = QStringLiteral("*");
    for (const QChar c : term) {
        if (c == QLatin1Char('['))
            pattern += QStringLiteral("[[]");
        else if (c == QLatin1Char('#'))
            pattern += QStringLiteral("[#]");
        else
            pattern += c;
    }
    return pattern + QLatin1Char('*');
}

SearchStatement SearchStatement::build(const QString &term, long machineNumber)
{
    const QString typed = term.isEmpty() ? QStringLiteral("*") : term;
    const QString pattern = patternFor(typed);
    const bool filtered = machineNumber != 0;

    SearchStatement s;
    QStringList bound, shown;
    for (const QString &column : kColumns) {
        bound.append(column + QStringLiteral(" LIKE ?") + (filtered ? QStringLiteral(" AND Maschinenindex=?") : QString()));
        shown.append(column + QStringLiteral(" LIKE ") + JetDialect::quote(QLatin1Char('*') + typed + QLatin1Char('*'))
                     + (filtered ? QStringLiteral(" AND Maschinenindex=") + QString::number(machineNumber) : QString()));
        s.params.append(pattern);
        if (filtered)
            s.params.append(qlonglong(machineNumber));
    }
    const QString head = QStringLiteral("SELECT * FROM DateiListe WHERE ");
    s.sql = head + bound.join(QStringLiteral(" OR ")) + QLatin1Char(';');
    const QString listHead = QStringLiteral("SELECT Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, "
                                            "Datum, DateiIndex, MaschinenIndex FROM DateiListe WHERE ");
    // A term of only "*" is any text at all: every record with one of the
    // five columns filled, found without running a pattern over each.
    if (typed.count(QLatin1Char('*')) == typed.size()) {
        QStringList filled;
        for (const QString &column : kColumns)
            filled.append(column + QStringLiteral(" IS NOT NULL")
                          + (filtered ? QStringLiteral(" AND Maschinenindex=?") : QString()));
        QVariantList machineOnly;
        if (filtered)
            for (qsizetype i = 0; i < kColumns.size(); ++i)
                machineOnly.append(qlonglong(machineNumber));
        s.listCondition = filled.join(QStringLiteral(" OR "));
        s.listSql = listHead + s.listCondition + QLatin1Char(';');
        s.listParams = machineOnly;
        s.listsAll = true;
    } else {
        s.listCondition = bound.join(QStringLiteral(" OR "));
        s.listSql = listHead + s.listCondition + QLatin1Char(';');
        s.listParams = s.params;
    }
    const QString piece = SearchIndex::usablePiece(typed);
    if (!piece.isEmpty()) {
        s.indexedCondition = QStringLiteral("DateiIndex IN (SELECT rowid FROM ") + SearchIndex::tableName()
                             + QStringLiteral(" WHERE ") + SearchIndex::tableName() + QStringLiteral(" MATCH ?) AND (")
                             + bound.join(QStringLiteral(" OR ")) + QLatin1Char(')');
        s.indexedSql = listHead + s.indexedCondition + QLatin1Char(';');
        s.indexedParams = QVariantList{SearchIndex::matchQuery(piece)} + s.params;
    }
    s.shownText = head + shown.join(QStringLiteral(" OR ")) + QLatin1Char(';');
    return s;
}

} // namespace zep
