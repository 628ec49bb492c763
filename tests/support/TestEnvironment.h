#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zep::test {

// A temp dir that stands for one user's machine: XDG_CONFIG_HOME and
// XDG_DATA_HOME point into it, so settings and per-user data never touch the
// real home directory, and a program directory lies inside it too.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString root() const { return m_dir.path() + QLatin1Char('/'); }
    QString configHome() const { return root() + QStringLiteral("config/"); }
    QString dataHome() const { return root() + QStringLiteral("data/"); }
    QString programDir() const { return root() + QStringLiteral("program/"); }
    QString iniFile() const { return configHome() + QStringLiteral("ZEP.ini"); }

    // Writes bytes to a file below root(), creating directories on the way.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &path) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
};

} // namespace zep::test
