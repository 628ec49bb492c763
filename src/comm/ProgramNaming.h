#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace zep {

// The file name a received program gets when nobody names it: taken from
// the program's own text, by the first rule that matches, in the form the
// catalogue keeps names (upper case, Windows-1252, no path characters; the
// fallback keeps its "Maschine", which the catalogue lists upper case). A
// candidate the catalogue could not keep is passed over for the next rule,
// so there is always a name.
struct ProgramNaming {
    enum class Rule {
        ONumber,   // "O1234" at the start of one of the first lines -> O1234<ext>
        Comment,   // a first comment that is one word: "(WELLE_4711)" -> WELLE_4711<ext>
        BeginPgm,  // "BEGIN PGM name" -> name.H
        MpfHeader, // "%_N_name_MPF" -> name.MPF
        Fallback,  // Maschine<n>_<yyyy-MM-dd_HH-mm-ss><ext>
    };
    struct Name {
        QString fileName;
        Rule rule = Rule::Fallback;
    };

    // `extension` with its dot (".NC"), as UnattendedSettings::extension()
    // gives it; `maschinenNummer` 1 to 5.
    static Name nameFor(const QByteArray &text, const QString &extension, int maschinenNummer,
                        const QDateTime &now);

    // The k-th name for the program beside taken ones: "O1234.NC", 2 ->
    // "O1234_2.NC". k = 1 is the name itself.
    static QString numbered(const QString &fileName, int k);

    // The text of the program's first comment "( … )", trimmed, as the
    // code page reads it; nothing when the program has no closed comment.
    static std::optional<QString> firstComment(const QByteArray &text);
};

} // namespace zep
