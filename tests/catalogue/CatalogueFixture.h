#pragma once

#include "../station/SessionFixture.h"

#include "catalogue/MonitoredDirectory.h"
#include "db/DbFixture.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <memory>

namespace zep::test {

// One user's machine with a monitored directory, a photo directory and an
// open, current catalogue.
struct CatalogueFixture : ::testing::Test, SessionFixture {
    void SetUp() override
    {
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(dbPath(), &error)) << error.description;
        ASSERT_TRUE(state->database.open(dbPath()));
        QDir().mkpath(dataDir());
        QDir().mkpath(fotoDir());
        state->verzeichnis = dataDir();
        state->fotoVerzeichnis = fotoDir();
        files = std::make_unique<MonitoredDirectory>(MonitoredDirectory::Context{
            prompts, logbook, env.programDir(), state->verzeichnis, [this](const QString &t) { statusLines << t; }});
    }

    QString dataDir() const { return env.root() + "programs/"; }
    QString fotoDir() const { return env.root() + "fotos/"; }
    QString listPath() const { return env.programDir() + "FileListe.dat"; }

    // A program file below the monitored directory ("Drehen/p1.nc").
    QString addProgram(const QString &relative, const QByteArray &text = "%\r\nN10 G0 X0\r\nM30\r\n")
    {
        return env.writeFile("programs/" + relative, text);
    }

    Database &db() { return state->database; }

    std::unique_ptr<MonitoredDirectory> files;
    QStringList statusLines;
};

// The same, on either engine: the catalogue file, or a fresh database on the
// test server brought to the current shape by the schema check.
struct CatalogueOnEngines : CatalogueFixture, PostgresDatabase, ::testing::WithParamInterface<Engine> {
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        if (GetParam() != Engine::Postgres)
            return;
        ASSERT_NO_FATAL_FAILURE(takeFreshDatabase());
        ASSERT_TRUE(db().openServer(url)) << qPrintable(db().lastError().description);
        ASSERT_EQ(CheckOldDB(db()).outcome, SchemaCheck::Upgraded);
    }
};

} // namespace zep::test
