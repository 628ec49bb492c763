#include "catalogue/RecordSearchPages.h"

#include "catalogue/FoldedOrder.h"
#include "catalogue/RecordRow.h"
#include "catalogue/RecordSearch.h"
#include "db/Database.h"
#include "db/ListOrder.h"
#include "db/RowReader.h"
#include "db/SearchIndex.h"
#include "db/SharedCatalogue.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace zep {

namespace {

const QString kSelect = QStringLiteral("SELECT Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, "
                                       "Datum, DateiIndex, MaschinenIndex FROM DateiListe WHERE (%1)");
const QString kCount = QStringLiteral("SELECT count(*) FROM DateiListe WHERE (%1)");

ListOrder::Key keyOf(int column)
{
    switch (column) {
    case RecordRow::Bezeichnung: return ListOrder::Bezeichnung;
    case RecordRow::ZeichnungsNo: return ListOrder::Zeichnungsnummer;
    case RecordRow::AuftragsNo: return ListOrder::Auftragsnummer;
    case RecordRow::Kunde: return ListOrder::Kunde;
    case RecordRow::Datum: return ListOrder::Datum;
    case RecordRow::DBIndex: return ListOrder::DateiIndex;
    case RecordRow::MaschIDX: return ListOrder::MaschinenIndex;
    default: return ListOrder::Dateiname;
    }
}

} // namespace

RecordSearchPages::RecordSearchPages(Database &database, SearchStatement statement)
    : m_database(database), m_statement(std::move(statement))
{
    m_indexed = !m_statement.indexedCondition.isEmpty() && SearchIndex::present(m_database);
}

QString RecordSearchPages::condition() const
{
    return m_indexed ? m_statement.indexedCondition : m_statement.listCondition;
}

QVariantList RecordSearchPages::conditionParams() const
{
    return m_indexed ? m_statement.indexedParams : m_statement.listParams;
}

bool RecordSearchPages::useIndex(bool ok)
{
    // The full-text table only narrows the search: when it fails, the
    // records are searched one by one, as without it.
    if (ok || !m_indexed)
        return false;
    m_indexed = false;
    return true;
}

qint64 RecordSearchPages::single(const QString &jetSql, const QVariantList &params, const QString &tail,
                                 const QVariantList &tailParams)
{
    qint64 value = -1;
    if (!m_database.readRows(jetSql, params, tail, tailParams, [&](const RowReader &r) { value = r.integer(0); })) {
        m_error = m_database.lastError();
        return -1;
    }
    return value;
}

bool RecordSearchPages::count()
{
    m_error = {};
    m_whole.clear();
    m_readWhole = false;
    m_database.setLastStatement(m_statement.shownText);
    m_machines = RecordSearch::machineTexts(m_database);

    // The machines' texts A to Z as ranks, equal texts (and none) alike, so
    // the engine orders by "Maschine" without a text per record.
    QList<long> numbers = m_machines.keys();
    std::sort(numbers.begin(), numbers.end());
    FoldedOrder order;
    QStringList texts{QString()};
    for (const long number : std::as_const(numbers))
        texts.append(QString::fromUtf8(m_machines.value(number)));
    for (const QString &text : std::as_const(texts))
        order.add(text);
    QStringList cases;
    int rank = 0, noMachineRank = 0;
    QString previous;
    bool first = true;
    for (const int i : order.order()) {
        const QString folded = texts.at(i).toCaseFolded();
        if (!first && folded != previous)
            ++rank;
        first = false;
        previous = folded;
        if (i == 0)
            noMachineRank = rank;
        else
            cases.append(QStringLiteral("WHEN %1 THEN %2").arg(numbers.at(i - 1)).arg(rank));
    }
    m_machineOrder = cases.isEmpty() ? QString()
                                     : QStringLiteral("CASE MaschinenIndex %1 ELSE %2 END")
                                           .arg(cases.join(QLatin1Char(' ')))
                                           .arg(noMachineRank);

    if (m_statement.listsAll) {
        // Every record with a text: all of them but those with none of the
        // five, which the name index finds at once, instead of looking at
        // each record.
        QString none = QStringLiteral("Dateiname IS NULL AND Bezeichnung IS NULL AND Zeichnungsnummer IS NULL "
                                      "AND Auftragsnummer IS NULL AND Kunde IS NULL");
        QVariantList machine;
        if (!m_statement.listParams.isEmpty()) {
            machine = {m_statement.listParams.first()};
            none += QStringLiteral(" AND MaschinenIndex = ?");
        }
        // The whole catalogue: the count the engine keeps, when it keeps one.
        qint64 total = -1;
        if (machine.isEmpty()) {
            const std::optional<qint64> records = SharedCatalogue::recordCount(m_database);
            if (!records)
                m_error = m_database.lastError();
            total = records.value_or(-1);
        } else {
            total = single(kCount.arg(QStringLiteral("MaschinenIndex = ?")), machine);
        }
        const qint64 empty = total < 0 ? -1 : single(kCount.arg(none), machine);
        m_hits = empty < 0 ? 0 : total - empty;
        m_records = machine.isEmpty() && empty == 0 ? total : -1;
        m_ok = empty >= 0;
        return m_ok;
    }
    m_records = -1;
    // A narrow search is counted by reading it: a few thousand hits found
    // through the search index cost one statement instead of two, and the
    // list sorts them as it always did.
    FoundRecords lines;
    auto take = [&](const RowReader &r) { RecordSearch::append(lines, r, m_machines); };
    const QVariantList limit{qlonglong(kReadWhenCounting + 1)};
    bool ok = m_database.readRows(kSelect.arg(condition()), conditionParams(), QStringLiteral("LIMIT ?"), limit, take);
    if (useIndex(ok)) {
        lines.clear();
        ok = m_database.readRows(kSelect.arg(condition()), conditionParams(), QStringLiteral("LIMIT ?"), limit, take);
    }
    if (ok && lines.size() <= kReadWhenCounting) {
        m_hits = lines.size();
        m_whole = std::move(lines);
        m_readWhole = true;
        m_ok = true;
        return true;
    }
    lines.clear();
    qint64 hits = single(kCount.arg(condition()), conditionParams());
    if (useIndex(hits >= 0))
        hits = single(kCount.arg(condition()), conditionParams());
    m_hits = std::max<qint64>(hits, 0);
    m_ok = hits >= 0;
    return m_ok;
}

QString RecordSearchPages::key(int column, bool forIndex) const
{
    const bool server = m_database.isServer();
    QString key = column == RecordRow::Maschine ? m_machineOrder : ListOrder::expression(keyOf(column), server);
    if (key.isEmpty()) // no machines: every record alike
        return QStringLiteral("(0 + 0)");
    // A few thousand hits, found through the search indexes, are sorted
    // faster than the engine walks an order index testing each record on
    // the way, which it may choose (SQLite without statistics does): the key
    // made unlike the index's keeps it from that. The machines' ranks have
    // no index.
    if (!forIndex && column != RecordRow::Maschine) {
        const QString nocase = QStringLiteral(" COLLATE NOCASE");
        if (column == RecordRow::Datum && server)
            key = QStringLiteral("(%1 + 0)").arg(key);
        else if (key.endsWith(nocase))
            key = QStringLiteral("(%1 || '')").arg(key.chopped(nocase.size())) + nocase;
        else
            key = QStringLiteral("(%1 || '')").arg(key);
    }
    return key;
}

QString RecordSearchPages::orderBy(int column, bool reversed, bool forIndex) const
{
    const bool descending = (column == RecordRow::Datum) != reversed;
    return key(column, forIndex) + (descending ? QStringLiteral(" DESC") : QString())
           + (reversed ? QStringLiteral(", DateiIndex DESC") : QStringLiteral(", DateiIndex"));
}

bool RecordSearchPages::read(int column, qint64 first, int rows, FoundRecords &out, long after)
{
    m_error = {};
    out.clear();
    if (first >= m_hits || rows <= 0)
        return true;
    rows = int(std::min<qint64>(rows, m_hits - first));
    // Every record a hit: no condition to test on the way, so skipping lines
    // costs only the index's entries.
    const bool everyRecord = m_records == m_hits && m_records >= 0;
    const QString select = everyRecord ? kSelect.arg(QStringLiteral("1 = 1")) : kSelect.arg(condition());
    const QVariantList params = everyRecord ? QVariantList() : conditionParams();
    const bool forIndex = m_statement.listsAll || m_hits > kSortedHits;
    QString tail;
    QVariantList tailParams;
    // Lines past the middle are counted off from the end.
    const bool reversed = !after && first > m_hits / 2;
    if (after) {
        const QString k = key(column, forIndex);
        const QString its = QStringLiteral("(SELECT %1 FROM DateiListe WHERE DateiIndex = ?)").arg(k);
        const QString beyond = column == RecordRow::Datum ? QStringLiteral("<") : QStringLiteral(">");
        tail = QStringLiteral("AND %1 %2= %3 AND (%1 %2 %3 OR DateiIndex > ?) ORDER BY %4 LIMIT ?")
                   .arg(k, beyond, its, orderBy(column, false, forIndex));
        tailParams = {qlonglong(after), qlonglong(after), qlonglong(after), qlonglong(rows)};
    } else {
        tail = QStringLiteral("ORDER BY %1 LIMIT ? OFFSET ?").arg(orderBy(column, reversed, forIndex));
        tailParams = {qlonglong(rows), qlonglong(reversed ? m_hits - first - rows : first)};
    }
    FoundRecords lines;
    auto take = [&](const RowReader &r) { RecordSearch::append(lines, r, m_machines); };
    bool ok = m_database.readRows(select, params, tail, tailParams, take);
    if (!everyRecord && useIndex(ok)) {
        lines.clear();
        ok = m_database.readRows(kSelect.arg(condition()), conditionParams(), tail, tailParams, take);
    }
    if (!ok) {
        m_error = m_database.lastError();
        return false;
    }
    // The record before went away meanwhile: counted off instead.
    if (after && lines.size() < rows)
        return read(column, first, rows, out, 0);
    if (reversed) {
        for (qsizetype i = lines.size() - 1; i >= 0; --i)
            out.append(lines, i);
    } else {
        out = std::move(lines);
    }
    return true;
}

qint64 RecordSearchPages::line(int column, long dateiIndex)
{
    m_error = {};
    const QVariantList id{qlonglong(dateiIndex)};
    if (single(kCount.arg(condition()), conditionParams(), QStringLiteral("AND DateiIndex = ?"), id) != 1)
        return -1;
    const QString key = this->key(column, true);
    // Lines before it: a key earlier in the order, or the same key and an
    // earlier record.
    const QString its = QStringLiteral("(SELECT %1 FROM DateiListe WHERE DateiIndex = ?)").arg(key);
    const QString earlier = column == RecordRow::Datum ? QStringLiteral(">") : QStringLiteral("<");
    const QString tail = QStringLiteral("AND (%1 %2 %3 OR (%1 = %3 AND DateiIndex < ?))").arg(key, earlier, its);
    return single(kCount.arg(condition()), conditionParams(), tail, {qlonglong(dateiIndex), qlonglong(dateiIndex), qlonglong(dateiIndex)});
}

} // namespace zep
