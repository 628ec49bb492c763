#include "comm/ReceptionJournal.h"

#include "app/AtomicFileWriter.h"
#include "app/Clock.h"
#include "app/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace zep {

namespace {

const QByteArray kMagic = QByteArrayLiteral("ZEP-Empfang 1");
const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");
constexpr int kConnections = 5;

// "Key: value" with the key expected at this place of the head.
std::optional<QByteArray> field(const QList<QByteArray> &lines, int at, const char *key)
{
    const QByteArray prefix = QByteArray(key) + ": ";
    if (at >= lines.size() || !lines[at].startsWith(prefix))
        return std::nullopt;
    return lines[at].mid(prefix.size());
}

std::optional<qint64> number(const std::optional<QByteArray> &text)
{
    if (!text || text->isEmpty())
        return std::nullopt;
    for (char c : *text)
        if (c < '0' || c > '9')
            return std::nullopt;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

ReceptionJournal::ReceptionJournal(const QString &programDir, const Clock &clock)
    : m_dir(programDir + (programDir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + folderName()
            + QLatin1Char('/')),
      m_clock(clock)
{
}

bool ReceptionJournal::isEntryName(const QString &fileName)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("Empfang_[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}-[0-9]{3}(_[0-9]+)?\\.zep")));
    return pattern.match(fileName).hasMatch();
}

QByteArray ReceptionJournal::format(const Entry &entry)
{
    QByteArray out = kMagic + '\n';
    out += "Verbindung: " + QByteArray::number(entry.connection) + '\n';
    out += "Maschine: " + QByteArray::number(qint64(entry.machine)) + '\n';
    out += "Zeit: " + entry.time.toString(kTimeFormat).toLatin1() + '\n';
    out += "Laenge: " + QByteArray::number(entry.text.size()) + '\n';
    out += '\n';
    out += entry.text;
    return out;
}

std::optional<ReceptionJournal::Entry> ReceptionJournal::parse(const QByteArray &contents)
{
    const qsizetype headEnd = contents.indexOf("\n\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = contents.left(headEnd).split('\n');
    if (lines.size() != 5 || lines[0] != kMagic)
        return std::nullopt;
    const std::optional<qint64> connection = number(field(lines, 1, "Verbindung"));
    const std::optional<qint64> machine = number(field(lines, 2, "Maschine"));
    const std::optional<QByteArray> time = field(lines, 3, "Zeit");
    const std::optional<qint64> length = number(field(lines, 4, "Laenge"));
    if (!connection || *connection < 1 || *connection > kConnections || !machine || !time || !length)
        return std::nullopt;
    Entry entry;
    entry.connection = int(*connection);
    entry.machine = long(*machine);
    entry.time = QDateTime::fromString(QString::fromLatin1(*time), kTimeFormat);
    if (!entry.time.isValid())
        return std::nullopt;
    // Exactly the stated length: a file cut short is no program to offer.
    entry.text = contents.mid(headEnd + 2);
    if (entry.text.size() != *length)
        return std::nullopt;
    return entry;
}

ReceptionJournal::Added ReceptionJournal::add(int connection, long machine, const QByteArray &text)
{
    Added added;
    if (!QFileInfo(m_dir).isDir()) {
        if (!QDir().mkpath(m_dir)) {
            added.error = QStringLiteral("Das Verzeichnis ") + QDir::toNativeSeparators(m_dir)
                          + QStringLiteral(" kann nicht angelegt werden");
            return added;
        }
        // The new folder's own entry: without it a power cut could take the
        // folder, and the entry in it, away again.
        AtomicFileWriter::syncEntry(QDir::cleanPath(m_dir));
    }

    Entry entry;
    entry.connection = connection;
    entry.machine = machine;
    entry.time = m_clock.now();
    entry.text = text;
    // The writer replaces a file of the same name, so the name must be new;
    // one program directory has one running ZEP, so nobody else adds here.
    const QString base = QStringLiteral("Empfang_") + entry.time.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz"));
    QString name = base + QStringLiteral(".zep");
    for (int k = 2; QFileInfo::exists(m_dir + name); ++k)
        name = base + QLatin1Char('_') + QString::number(k) + QStringLiteral(".zep");

    AtomicFileWriter out;
    std::optional<QString> error = out.open(m_dir + name);
    if (!error)
        error = out.write(format(entry));
    if (!error)
        error = out.commit();
    if (error) {
        added.error = *error;
        return added;
    }
    added.id = name;
    return added;
}

std::optional<QString> ReceptionJournal::remove(const QString &id)
{
    if (!isEntryName(id))
        return QStringLiteral("Kein Eintrag des Empfangsjournals: ") + id;
    QFile file(m_dir + id);
    errno = 0;
    if (!file.exists() || file.remove())
        return std::nullopt;
    return SystemError::describe(file, errno, file.fileName());
}

QList<ReceptionJournal::Entry> ReceptionJournal::entries(QStringList *skipped) const
{
    QList<Entry> result;
    const QStringList names = QDir(m_dir).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (!isEntryName(name))
            continue;
        QFile file(m_dir + name);
        std::optional<Entry> entry;
        if (file.open(QIODevice::ReadOnly))
            entry = parse(file.readAll());
        if (!entry) {
            if (skipped)
                *skipped << name;
            continue;
        }
        entry->id = name;
        result << *entry;
    }
    // The names sort by time already, save for a "_10" among "_2"s and a
    // clock that was set back.
    std::stable_sort(result.begin(), result.end(), [](const Entry &a, const Entry &b) {
        if (a.time != b.time)
            return a.time < b.time;
        const auto counter = [](const QString &id) {
            const QStringList parts = id.chopped(4).split(QLatin1Char('_'));
            return parts.size() > 3 ? parts.last().toInt() : 1;
        };
        return counter(a.id) < counter(b.id);
    });
    return result;
}

} // namespace zep
