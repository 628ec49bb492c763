#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace zep {

class Database;
class Recordset;

// The machines as the main window names them: Bezeichnung + " / " + Standort.
struct MachineChoice {
    QString text;
    long number = 0;
};

class MachineList {
public:
    // "keine Auswahl" (0) first, then every machine in table order. A
    // database without machines gives only the first entry.
    static QList<MachineChoice> filterChoices(Database &database);

    // Every machine in table order.
    static QList<MachineChoice> all(Database &database);

    // Machine number -> its text, for filling the list.
    static QHash<long, QString> texts(Database &database);

    // The text of the machine row a record set stands on.
    static QString text(const Recordset &row);

    static QString noChoiceText() { return QStringLiteral("keine Auswahl"); }
};

} // namespace zep
