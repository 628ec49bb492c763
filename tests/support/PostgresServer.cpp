#include "support/PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libpq-fe.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef ZEP_PG_BINDIR
#define ZEP_PG_BINDIR "/usr/lib/postgresql/15/bin"
#endif

namespace zep::test {

namespace {

const char *const kOwnerFile = "owner.pid";
const char *const kLogFile = "server.log";

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// Runs a program to its end without a shell (paths never need quoting) and
// without Qt (it also runs from the exit-time destructor); its output goes to
// `logPath`. True when it exits with 0.
bool runProgram(const QStringList &argv, const QString &logPath)
{
    std::vector<QByteArray> args;
    if (runningAsRoot())
        args = {"runuser", "-u", "postgres", "--"};
    for (const QString &a : argv)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> cargs;
    for (auto &a : args)
        cargs.push_back(a.data());
    cargs.push_back(nullptr);
    const QByteArray log = logPath.toLocal8Bit();

    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int fd = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::close(fd);
        }
        ::execvp(cargs[0], cargs.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

QString tail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    return QString::fromLocal8Bit(all.right(2000));
}

// A test program that crashed left its server running; stop and remove the
// clusters whose owner is gone, so they do not pile up.
void sweepOrphans(const QString &binDir)
{
    const QDir tmp(QStringLiteral("/tmp"));
    for (const QFileInfo &dir : tmp.entryInfoList({QStringLiteral("zep-pg-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath();
        QFile owner(path + QLatin1Char('/') + QLatin1String(kOwnerFile));
        if (!owner.open(QIODevice::ReadOnly))
            continue;
        const pid_t pid = owner.readAll().trimmed().toInt();
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        runProgram({binDir + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), path + QStringLiteral("/data"),
                    QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
                   QStringLiteral("/dev/null"));
        std::error_code ignored;
        std::filesystem::remove_all(path.toStdString(), ignored);
    }
}

struct PgConn {
    explicit PgConn(const QString &url) : conn(PQconnectdb(url.toUtf8().constData())) {}
    ~PgConn() { PQfinish(conn); }
    bool ok() const { return PQstatus(conn) == CONNECTION_OK; }
    QString message() const { return QString::fromUtf8(PQerrorMessage(conn)).trimmed(); }
    PGconn *conn;
};

} // namespace

PostgresServer &PostgresServer::shared()
{
    static PostgresServer server;
    return server;
}

PostgresServer::PostgresServer()
{
    const QByteArray fromEnv = qgetenv("ZEP_PG_BINDIR");
    m_binDir = fromEnv.isEmpty() ? QStringLiteral(ZEP_PG_BINDIR) : QString::fromLocal8Bit(fromEnv);
    m_running = init();
}

PostgresServer::~PostgresServer()
{
    if (m_dir.isEmpty())
        return;
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir.toStdString(), ignored);
}

bool PostgresServer::init()
{
    if (!QFileInfo(m_binDir + QStringLiteral("/initdb")).isExecutable()) {
        m_error = QStringLiteral("initdb not found in %1: install the postgresql package "
                                 "(or point ZEP_PG_BINDIR at the server's bin directory)")
                      .arg(m_binDir);
        return false;
    }
    sweepOrphans(m_binDir);

    QByteArray templ("/tmp/zep-pg-XXXXXX");
    if (!::mkdtemp(templ.data())) {
        m_error = QStringLiteral("mkdtemp: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_dir = QString::fromLocal8Bit(templ);
    {
        QFile owner(m_dir + QLatin1Char('/') + QLatin1String(kOwnerFile));
        if (owner.open(QIODevice::WriteOnly))
            owner.write(QByteArray::number(::getpid()));
    }
    // The server, run as postgres, must enter the directory and write into it.
    ::chmod(templ.constData(), 0755);
    if (runningAsRoot()) {
        const passwd *pw = ::getpwnam("postgres");
        if (!pw) {
            m_error = QStringLiteral("the tests run as root, but there is no user postgres to run the server");
            return false;
        }
        if (::chown(templ.constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_error = QStringLiteral("chown %1: %2").arg(m_dir, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }

    // -N: a cluster that dies with the test program needs no fsync.
    if (!runServerCommand({m_binDir + QStringLiteral("/initdb"), QStringLiteral("-N"), QStringLiteral("-D"),
                           m_dir + QStringLiteral("/data"), QStringLiteral("-U"), QStringLiteral("zep"),
                           QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("--locale=C.UTF-8"),
                           QStringLiteral("-E"), QStringLiteral("UTF8")}))
        return false;
    if (!start())
        return false;
    // Every database a test makes is copied from template1 and so has the
    // trigram search ready.
    bool ok = false;
    query(QStringLiteral("template1"), QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"), &ok);
    return ok;
}

bool PostgresServer::runServerCommand(const QStringList &argv)
{
    const QString log = m_dir + QStringLiteral("/commands.log");
    if (runProgram(argv, log))
        return true;
    m_error = QStringLiteral("%1 failed:\n%2\n%3")
                  .arg(argv.join(QLatin1Char(' ')), tail(log), tail(m_dir + QLatin1Char('/') + QLatin1String(kLogFile)));
    return false;
}

bool PostgresServer::start()
{
    // listen_addresses empty: the socket in our own directory is the only
    // way in. fsync off: nothing here must survive a power cut.
    m_running = runServerCommand(
        {m_binDir + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_dir + QStringLiteral("/data"),
         QStringLiteral("-o"), QStringLiteral("-k %1 -c listen_addresses= -c fsync=off").arg(m_dir),
         QStringLiteral("-l"), m_dir + QLatin1Char('/') + QLatin1String(kLogFile), QStringLiteral("-w"),
         QStringLiteral("start")});
    return m_running;
}

bool PostgresServer::stop()
{
    if (!m_running)
        return true;
    const bool ok = runServerCommand({m_binDir + QStringLiteral("/pg_ctl"), QStringLiteral("-D"),
                                      m_dir + QStringLiteral("/data"), QStringLiteral("-m"),
                                      QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    if (ok)
        m_running = false;
    return ok;
}

QString PostgresServer::url(const QString &database) const
{
    const QString role = stationRole();
    if (role.isEmpty())
        return ownerUrl(database);
    return QStringLiteral("postgresql://%1@/%2?host=%3").arg(role, database, m_dir);
}

QString PostgresServer::ownerUrl(const QString &database) const
{
    return QStringLiteral("postgresql://zep@/%1?host=%2").arg(database, m_dir);
}

QString PostgresServer::stationRole()
{
    return QString::fromLocal8Bit(qgetenv("ZEP_TEST_PG_ROLE"));
}

QStringList PostgresServer::stationGrants(const QString &database, const QString &role)
{
    return {QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext;"),
            QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm;"),
            QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC;").arg(database),
            QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2;").arg(database, role),
            QStringLiteral("REVOKE ALL ON SCHEMA public FROM PUBLIC;"),
            QStringLiteral("GRANT USAGE, CREATE ON SCHEMA public TO %1;").arg(role)};
}

QString PostgresServer::createDatabase()
{
    const QString name = QStringLiteral("zep_test_%1").arg(++m_databases);
    bool ok = false;
    query(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1 STRATEGY = FILE_COPY").arg(name), &ok);
    if (!ok)
        return {};
    const QString role = stationRole();
    if (role.isEmpty())
        return name;
    query(QStringLiteral("postgres"),
          QStringLiteral("DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$")
              .arg(role),
          &ok);
    for (const QString &statement : stationGrants(name, role))
        if (ok)
            query(name, statement, &ok);
    return ok ? name : QString();
}

QString PostgresServer::query(const QString &database, const QString &sql, bool *ok)
{
    if (ok)
        *ok = false;
    PgConn c(ownerUrl(database));
    if (!c.ok()) {
        m_error = c.message();
        return {};
    }
    PGresult *res = PQexec(c.conn, sql.toUtf8().constData());
    const auto status = PQresultStatus(res);
    QString value;
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
        if (ok)
            *ok = true;
        if (status == PGRES_TUPLES_OK && PQntuples(res) > 0 && PQnfields(res) > 0)
            value = QString::fromUtf8(PQgetvalue(res, 0, 0));
    } else {
        m_error = QStringLiteral("%1: %2").arg(sql, QString::fromUtf8(PQresultErrorMessage(res)).trimmed());
    }
    PQclear(res);
    return value;
}

} // namespace zep::test
