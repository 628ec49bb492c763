#pragma once

#include <QString>
#include <QVariantList>

namespace zep {

// The main list's search: every listed text column LIKE '*term*', with the
// machine condition on each alternative. The term travels as a value, never
// as part of the statement, so "Müller's" is just a term. In the term, "*"
// stands for any text and "?" for any one character, as users of the list
// have always typed them; every other character, "[", "#", "%" and "_"
// included, means itself.
struct SearchStatement {
    QString sql;          // with ? for each value
    QVariantList params;
    QString shownText;    // the statement as the trace window shows it
    // The same condition reading only what the list shows, in this order:
    // Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde,
    // Datum, DateiIndex, MaschinenIndex.
    QString listSql;
    QVariantList listParams;
    bool listsAll = false; // the term is only wildcards
    // The same again, narrowed first by the search index to the records
    // that hold the longest plain piece of the term; empty when the term
    // has no piece the index can look for. Its values: the index query, then
    // `params`.
    QString indexedSql;
    QVariantList indexedParams;
    // The WHERE conditions of listSql and indexedSql alone (their values are
    // listParams and indexedParams), for reading the list a page at a time.
    QString listCondition;
    QString indexedCondition;

    static SearchStatement build(const QString &term, long machineNumber);

    // The term as a LIKE pattern in the old dialect: "*" + term + "*".
    static QString patternFor(const QString &term);
};

} // namespace zep
