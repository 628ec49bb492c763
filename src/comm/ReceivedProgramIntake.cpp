#include "comm/ReceivedProgramIntake.h"

#include "app/CatalogueNames.h"
#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "comm/DateiLesen.h"
#include "comm/ReceptionJournal.h"
#include "comm/RecoveryFile.h"
#include "comm/ProgramNaming.h"
#include "comm/WriteTextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zep {

namespace {

const QString kPlace = QStringLiteral("Aufgetreten in Form10.Command1_Click");
const QString kInvalidName = QStringLiteral("Ungültiger Name!");
const QString kOriginal = QStringLiteral("Originaldatei?");
constexpr long kPathFileAccessError = 75;

QString quoted(const QString &name)
{
    return QStringLiteral("'") + name + QStringLiteral("'");
}

QString existsText(const QString &name)
{
    return QStringLiteral("Die Datei ") + quoted(name) + QStringLiteral(" existiert bereits!");
}

QString ambiguousText(const QString &name)
{
    return QStringLiteral("Der Name ") + quoted(name)
           + QStringLiteral(" passt auf mehrere Dateien oder Verzeichnisse, die sich nur in der "
                            "Groß-/Kleinschreibung unterscheiden. Bitte im überwachten Verzeichnis eine davon "
                            "umbenennen.");
}

using Status = ReceivedProgramIntake::Status;

ReceivedProgramIntake::SaveResult result(Status status, const ReceivedProgramTarget &target = {})
{
    ReceivedProgramIntake::SaveResult r;
    r.status = status;
    if (status == Status::Saved || status == Status::AlreadyThere) {
        r.path = target.path;
        r.storedName = target.storedName;
    }
    return r;
}

// So many programs of one name in one folder means something sends the
// same head over and over; the dialog is the better place then.
constexpr int kMostNumbered = 999;

ReceivedProgramIntake::SaveResult refusedFor(const QString &reason)
{
    ReceivedProgramIntake::SaveResult r;
    r.status = Status::Refused;
    r.reason = reason;
    return r;
}

// The folder for automatic saving below the monitored directory, each level
// under its real case, made where missing; the reason when it cannot be.
// A level that leaves the directory, hides its files from the directory
// check or could not be catalogued is refused before anything is made.
std::optional<QString> autoFolder(const QString &verzeichnis, const QString &folder, QString &levelsOut)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QString shown = quoted(folder);
    QString dir = CatalogueNames::ensureTrailingSeparator(verzeichnis);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return QStringLiteral("Das überwachte Verzeichnis ist nicht erreichbar.");
    QStringList real;
    for (QString level : folder.split(separators, Qt::SkipEmptyParts)) {
        level = level.trimmed();
        if (level.isEmpty() || level == QLatin1String(".") || level == QLatin1String("..")
            || CatalogueNames::isHiddenName(level) || !CatalogueNames::isStorableFileName(level)
            || level.contains(QLatin1Char(':')))
            return QStringLiteral("Der Ordner ") + shown
                   + QStringLiteral(" ist kein gültiger Ordner im überwachten Verzeichnis.");
        QStringList matches;
        const QStringList entries = QDir(dir).entryList(QDir::Dirs | QDir::Files | QDir::Hidden | QDir::System
                                                        | QDir::NoDotAndDotDot);
        for (const QString &entry : entries)
            if (CatalogueNames::sameIgnoringCase(entry, level))
                matches << entry;
        if (matches.size() > 1)
            return QStringLiteral("Der Ordner ") + shown
                   + QStringLiteral(" passt auf mehrere Ordner, die sich nur in der Groß-/Kleinschreibung unterscheiden.");
        const QString name = matches.isEmpty() ? level : matches.first();
        if (matches.isEmpty() && !QDir(dir).mkdir(name))
            return QStringLiteral("Der Ordner ") + quoted(dir + name) + QStringLiteral(" kann nicht angelegt werden.");
        if (!QFileInfo(dir + name).isDir() || QFileInfo(dir + name).isSymLink())
            return QStringLiteral("Der Ordner ") + shown
                   + QStringLiteral(" ist kein gültiger Ordner im überwachten Verzeichnis.");
        dir += name + QLatin1Char('/');
        real << name;
    }
    levelsOut = real.join(QLatin1Char('\\'));
    return std::nullopt;
}

} // namespace

ReceivedProgramIntake::ReceivedProgramIntake(Context context, PendingMachine pendingMachine, ReceivedProgram program)
    : d(std::make_shared<Data>(Data{std::move(context), std::move(pendingMachine), std::move(program)}))
{
}

ReceivedProgramIntake::~ReceivedProgramIntake() = default;

bool ReceivedProgramIntake::replaceText(const QByteArray &edited)
{
    if (d->settled || edited.isEmpty() || edited == d->program.text)
        return false;
    d->program.text = edited;
    return true;
}

void ReceivedProgramIntake::saveAsNew(const QString &typedName, SaveDone done)
{
    if (d->settled)
        return done(result(Status::Refused));
    const ReceivedProgramTarget target = ReceivedProgramTarget::forNewFile(d->context.verzeichnis(), typedName);
    if (!target.ok()) {
        refused(target, typedName, false);
        return done(result(Status::Refused));
    }
    d->context.trace.line(QStringLiteral("Datei ") + quoted(typedName) + QStringLiteral(" wird gespeichert."));
    const std::weak_ptr<Data> weak = d;
    writeProgram(
        weak, target.path,
        [weak, target, done] {
            const std::shared_ptr<Data> data = weak.lock();
            // By the catalogue's name: the next scan creates the record under it.
            if (data->pendingMachine)
                data->pendingMachine(target.storedName, data->program.machine);
            settle(*data);
            done(result(Status::Saved, target));
        },
        [done] { done(result(Status::NotWritten)); });
}

void ReceivedProgramIntake::saveAsUpdate(const QString &name, SaveDone done)
{
    if (d->settled)
        return done(result(Status::Refused));
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(d->context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Missing) {
        d->context.prompts.ask(
            {QStringLiteral("Originaldatei nicht gefunden. Die Datei wäre keinem Datensatz zugeordnet!"), kOriginal,
             PromptIcon::Exclamation});
        SaveResult missing = result(Status::OriginalMissing);
        // The user can switch over to a new file and save under this name.
        missing.offeredName = name;
        return done(missing);
    }
    if (!target.ok()) {
        refused(target, name, true);
        return done(result(Status::Refused));
    }
    // The file keeps its name, so its catalogue record stays as it is.
    const std::weak_ptr<Data> weak = d;
    writeProgram(
        weak, target.path,
        [weak, target, done] {
            settle(*weak.lock());
            done(result(Status::Saved, target));
        },
        [done] { done(result(Status::NotWritten)); });
}

void ReceivedProgramIntake::saveAutomatically(const QString &folder, const QString &fileName, SaveDone done)
{
    if (d->settled)
        return done(result(Status::Refused));
    QString levels;
    if (const auto why = autoFolder(d->context.verzeichnis(), folder, levels))
        return done(refusedFor(*why));
    saveNextFree(d, levels, fileName, 1, std::move(done));
}

void ReceivedProgramIntake::saveNextFree(const std::weak_ptr<Data> &weak, const QString &folder,
                                         const QString &fileName, int k, SaveDone done)
{
    const std::shared_ptr<Data> data = weak.lock();
    if (!data || data->settled)
        return;
    using Verdict = ReceivedProgramTarget::Verdict;
    for (; k <= kMostNumbered; ++k) {
        const QString name = ProgramNaming::numbered(fileName, k);
        const QString typed = folder.isEmpty() ? name : folder + QLatin1Char('\\') + name;
        const ReceivedProgramTarget target = ReceivedProgramTarget::forNewFile(data->context.verzeichnis(), typed);
        switch (target.verdict) {
        case Verdict::Ok: {
            const std::optional<QString> error = WriteNewTextFile(target.path, data->program.text);
            if (!error) {
                if (data->pendingMachine)
                    data->pendingMachine(target.storedName, data->program.machine);
                settle(*data);
                return done(result(Status::Saved, target));
            }
            // Another program took the name while this one was written:
            // the same name is looked at again, now as a taken one.
            if (QFileInfo::exists(target.path)) {
                --k;
                continue;
            }
            const ErrorInfo info{kPathFileAccessError, QStringLiteral("Die Datei ") + quoted(target.path)
                                                           + QStringLiteral(" kann nicht geschrieben werden: ") + *error};
            data->context.prompts.ask(retryQuestion(kPlace, info),
                                      [weak, folder, fileName, k, done = std::move(done)](PromptAnswer answer) {
                                          if (answer == PromptAnswer::Retry)
                                              saveNextFree(weak, folder, fileName, k, done);
                                          else if (!weak.expired())
                                              done(result(Status::NotWritten));
                                      });
            return;
        }
        case Verdict::Exists: {
            const FileText there = DateiLesen(target.path);
            if (there.ok() && QFileInfo(target.path).isFile() && there.text == data->program.text) {
                ReceivedProgramTarget same = target;
                same.storedName = CatalogueNames::toStoredName(
                    target.path.mid(CatalogueNames::ensureTrailingSeparator(data->context.verzeichnis()).size()));
                settle(*data);
                return done(result(Status::AlreadyThere, same));
            }
            continue;
        }
        case Verdict::Ambiguous:
            continue;
        default:
            return done(refusedFor(QStringLiteral("Der Name ") + quoted(typed)
                                   + QStringLiteral(" ist kein gültiger Dateiname im überwachten Verzeichnis.")));
        }
    }
    done(refusedFor(QStringLiteral("Für ") + quoted(fileName) + QStringLiteral(" ist kein freier Name mehr da.")));
}

void ReceivedProgramIntake::discard()
{
    if (!d->settled)
        settle(*d);
}

ReceivedProgramIntake::KeepResult ReceivedProgramIntake::keepAsRecovery()
{
    KeepResult kept;
    if (d->settled) {
        kept.kept = true;
        return kept;
    }
    // An empty reception has nothing to lose.
    if (d->program.text.isEmpty()) {
        settle(*d);
        kept.kept = true;
        return kept;
    }
    const Context &context = d->context;
    const QString machine = QString::number(d->program.maschinenNummer);
    const RecoveryFile copy =
        RecoveryFile::write(context.programDir, QStringLiteral("Nicht_gespeichert_Maschine"),
                            d->program.maschinenNummer, context.clock, d->program.text);
    if (!copy.error.isEmpty()) {
        context.prompts.ask({QStringLiteral("Das Programm von Maschine ") + machine
                                 + QStringLiteral(" konnte nicht gesichert werden und bleibt in diesem Fenster:\r")
                                 + copy.error,
                             QStringLiteral("Fehler!"), PromptIcon::Exclamation});
        return kept;
    }
    if (const auto error = context.logbook.LogbuchSchreiben(
            QStringLiteral("Empfangenes Programm von Maschine ") + machine
            + QStringLiteral(" nicht gespeichert, gesichert als ") + copy.path))
        context.prompts.ask({error->description + QStringLiteral("\r\rDas Programm von Maschine ") + machine
                                 + QStringLiteral(" wurde gesichert als:\r") + copy.path,
                             QStringLiteral("Fehler!"), PromptIcon::Exclamation});
    settle(*d);
    kept.kept = true;
    kept.path = copy.path;
    return kept;
}

bool ReceivedProgramIntake::warnIfTaken(const QString &typedName)
{
    if (!ReceivedProgramTarget::exists(d->context.verzeichnis(), typedName))
        return false;
    d->context.prompts.ask({existsText(typedName), kInvalidName, PromptIcon::Exclamation});
    return true;
}

std::optional<ReceivedProgramIntake::Original> ReceivedProgramIntake::original(const QString &name)
{
    Prompts &prompts = d->context.prompts;
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(d->context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Ambiguous) {
        prompts.ask({ambiguousText(name), kOriginal, PromptIcon::Exclamation});
        return std::nullopt;
    }
    if (!target.ok()) {
        prompts.ask({QStringLiteral("Die Datei ") + quoted(name)
                         + QStringLiteral(" wurde im überwachten Verzeichnis nicht gefunden!"),
                     kOriginal, PromptIcon::Exclamation});
        return std::nullopt;
    }
    const FileText file = DateiLesen(target.path);
    if (!file.ok()) {
        // An empty left side would look like an empty program.
        prompts.ask({file.error, QStringLiteral("Fehler!"), PromptIcon::Exclamation});
        return std::nullopt;
    }
    return Original{target.path, file.text};
}

bool ReceivedProgramIntake::refused(const ReceivedProgramTarget &target, const QString &name, bool update)
{
    using Verdict = ReceivedProgramTarget::Verdict;
    Prompts &prompts = d->context.prompts;
    const QString shown = QStringLiteral("Der Name ") + quoted(name);
    auto tell = [&prompts](const QString &text, const QString &title) {
        prompts.ask({text, title, PromptIcon::Exclamation});
    };
    switch (target.verdict) {
    case Verdict::Ok:
        return true;
    case Verdict::Empty:
        prompts.beep();
        break;
    case Verdict::Exists:
        tell(existsText(name), QStringLiteral("ZEP"));
        break;
    case Verdict::Hidden:
        tell(CatalogueNames::hiddenNameText(name), kInvalidName);
        break;
    case Verdict::Unstorable:
        tell(shown + QStringLiteral(" enthält Zeichen, die ZEP nicht speichern kann (Anführungszeichen, "
                                    "Steuerzeichen oder Zeichen außerhalb des Zeichensatzes)."),
             kInvalidName);
        break;
    case Verdict::Invalid:
        tell(shown + QStringLiteral(" ist kein gültiger Dateiname im überwachten Verzeichnis!"), kInvalidName);
        break;
    case Verdict::NoDirectory:
        tell(QStringLiteral("Das Verzeichnis für ") + quoted(name)
                 + QStringLiteral(" gibt es im überwachten Verzeichnis nicht!"),
             kInvalidName);
        break;
    case Verdict::Ambiguous:
        tell(ambiguousText(name), update ? kOriginal : kInvalidName);
        break;
    case Verdict::Missing:
        break;
    }
    return false;
}

void ReceivedProgramIntake::writeProgram(const std::weak_ptr<Data> &weak, const QString &path,
                                         std::function<void()> written, std::function<void()> givenUp)
{
    const std::shared_ptr<Data> data = weak.lock();
    // Gone with its window, or discarded or kept while the question waited:
    // the file is not written any more.
    if (!data || data->settled)
        return;
    const std::optional<QString> error = WriteTextFile(path, data->program.text);
    if (!error)
        return written();
    const ErrorInfo info{kPathFileAccessError, QStringLiteral("Die Datei ") + quoted(path)
                                                   + QStringLiteral(" kann nicht geschrieben werden: ") + *error};
    data->context.prompts.ask(retryQuestion(kPlace, info),
                              [weak, path, written = std::move(written), givenUp = std::move(givenUp)](
                                  PromptAnswer answer) mutable {
                                  if (answer == PromptAnswer::Retry)
                                      writeProgram(weak, path, std::move(written), std::move(givenUp));
                                  else if (!weak.expired())
                                      givenUp();
                              });
}

void ReceivedProgramIntake::settle(Data &data)
{
    data.settled = true;
    data.program.text.clear();
    if (data.context.journal && !data.program.journalId.isEmpty()) {
        // Left behind, the entry would only be offered once more at the next
        // start; nothing is lost, so the user is not bothered with it.
        if (const auto error = data.context.journal->remove(data.program.journalId))
            data.context.trace.line(QStringLiteral("Empfangsjournal: Eintrag ") + data.program.journalId
                                    + QStringLiteral(" nicht entfernt: ") + *error);
    }
}

} // namespace zep
