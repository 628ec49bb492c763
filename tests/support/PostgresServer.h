#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace zep::test {

// A throw-away PostgreSQL cluster for the tests: initdb and pg_ctl into a
// directory of its own under /tmp, reachable through a Unix socket in that
// directory only (no TCP port is opened, so parallel test programs never
// meet). The server refuses to run as root; when the tests do, every server
// command runs as user postgres through runuser.
//
// One cluster per test program, started on first use (about a second and a
// half) and stopped when the program ends. Each test takes a database of its
// own from it, so tests never see each other's rows.
class PostgresServer {
public:
    // The cluster of this test program, started if it is not running yet.
    // Check running() (and error()) before use.
    static PostgresServer &shared();

    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    bool running() const { return m_running; }
    // Why the last start or stop failed, with the server's own words.
    QString error() const { return m_error; }
    // The directory holding the socket (and the cluster below it).
    QString socketDir() const { return m_dir; }

    // The connection address of a database on this server, in the form the
    // `Datenbank` setting takes.
    QString url(const QString &database) const;

    // A new empty database with pg_trgm installed; returns its name, or an
    // empty string (and error()) when it could not be made.
    QString createDatabase();

    // The role the tests connect as (url()): the cluster's owner, or, when
    // ZEP_TEST_PG_ROLE names one, a station role that has only the rights
    // stationGrants() gives it on each database; query() stays the owner's.
    static QString stationRole();
    // What a shop's administrator runs in a new catalogue database for the
    // stations' role, as the README shows it.
    static QStringList stationGrants(const QString &database, const QString &role);

    // Runs statements on a database as its owner and returns the first
    // column of the first row (empty when none); for setting up and reading
    // back what a test stored. `ok` false (and error()) on failure.
    QString query(const QString &database, const QString &sql, bool *ok = nullptr);

    // Stops the server at once, as when it crashes or the network is gone,
    // and starts it again on the same cluster: for tests of what a station
    // does meanwhile.
    bool stop();
    bool start();

private:
    PostgresServer();
    bool init();
    bool runServerCommand(const QStringList &argv);

    QString ownerUrl(const QString &database) const;

    QString m_binDir;
    QString m_dir;
    bool m_running = false;
    QString m_error;
    int m_databases = 0;
};

// A fresh database of the shared cluster, for a fixture that is a test of
// its own kind as well (a backup, a station).
struct PostgresDatabase {
    // Fails the test when the server or the database is not there; a
    // fixture's SetUp goes on after ASSERT_NO_FATAL_FAILURE.
    void takeFreshDatabase()
    {
        auto &server = PostgresServer::shared();
        ASSERT_TRUE(server.running()) << qPrintable(server.error());
        database = server.createDatabase();
        ASSERT_FALSE(database.isEmpty()) << qPrintable(server.error());
        url = server.url(database);
    }

    QString database;
    QString url;
};

// A test on a fresh database of the shared cluster.
struct PostgresTest : ::testing::Test, PostgresDatabase {
    void SetUp() override { takeFreshDatabase(); }
};

} // namespace zep::test
