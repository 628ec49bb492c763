#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zep {

// A tiny program an operator punches at the control to have the station
// send a program back: its first comment reads "(<keyword> name)" (the
// keywords are the connection's, "ANFORDERUNG" and "SENDE" by default), or
// "(LISTE)" / "(LISTE muster)" for a listing. The answer is looked up only
// inside the monitored directory.
struct MachineRequest {
    enum class Kind { Send, List };
    Kind kind = Kind::Send;
    QString name; // as punched, trimmed; the pattern for a listing (may be empty)

    // Nothing when the text is no request (a program to keep).
    static std::optional<MachineRequest> parse(const QByteArray &text, const QStringList &keywords);

    // A name that could reach outside the monitored directory or into a
    // control's answer: "..", "/", "\", a drive ("C:"), a control character.
    static bool refusedName(const QString &name);

    struct Lookup {
        QStringList paths; // real files, sorted; one when found
        bool found() const { return paths.size() == 1; }
        bool ambiguous() const { return paths.size() > 1; }
    };
    // By file name in any letter case, with or without its folder and
    // extension; else by the O number at the head of the program. Files
    // that are hidden, or lie (through a link) outside the directory, are
    // never taken.
    static Lookup find(const QString &verzeichnis, const QString &name);

    static constexpr int kMostListed = 200;
    // "(NAME - Bezeichnung)" per matching catalogue name, at most
    // kMostListed; a pattern may hold "*" and "?", else it is looked for
    // anywhere in the name. `bezeichnung` gives a name's designation (empty
    // for none); without it the names stand alone.
    static QByteArray listing(const QString &verzeichnis, const QString &pattern,
                              const std::function<QString(const QString &storedName)> &bezeichnung = {});

    // The short answers, as programs of one comment.
    static QByteArray notFound(const QString &name);
    static QByteArray ambiguousAnswer(const QString &name, int files);
    static QByteArray refusedAnswer();
};

} // namespace zep
