#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace zep::test {

// SANE's test device ("test:0", "test:1"), set up in a configuration folder
// of the tests' own. SANE reads the folder's name once a process, so all
// tests share one folder; each writes the device's settings afresh. By
// default a colour pattern of 80 x 100 mm at 25 dpi; `extra` lines of the
// test backend's configuration change that.
inline void setUpSaneTestDevice(const QByteArray &extra = {})
{
    static QTemporaryDir configDir;
    auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    };
    write(configDir.filePath("dll.conf"), "test\n");
    QFile base("/etc/sane.d/test.conf");
    QByteArray conf = base.open(QIODevice::ReadOnly) ? base.readAll() : QByteArray();
    conf += "\nmode Color\ntest-picture \"Color pattern\"\nresolution 25\n" + extra;
    write(configDir.filePath("test.conf"), conf);
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(configDir.path()));
}

} // namespace zep::test
