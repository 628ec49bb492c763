// Opening and saving a 10 MB program in the CNC-Editor (window shown, off
// screen); beside it, in the same run, a plain read and atomic write of the
// same bytes, which no editor can beat. Median of five runs each.
#include "BenchTiming.h"
#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "comm/WriteTextFile.h"
#include "editor/ui/CNCEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zep;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    IniSettingsStore settings(dir.path() + "/ZEP.ini");
    ScriptedPrompts prompts;
    // A realistic program: short lines, CR LF, a comment now and then, some
    // bytes above 127 and a NUL.
    const QByteArray line = "N10 G01 X-123.456 Y78.901 Z-5.000 F1200 (SCHLICHTEN \xc4\xd6\xdc)\r\n";
    QByteArray program;
    // Another size in MB as the argument (a coloured one: below 2 MiB).
    const double megabytes = argc > 1 ? QByteArray(argv[1]).toDouble() : 10.0;
    while (program.size() < qint64(megabytes * 1000 * 1000))
        program += line;
    program += QByteArray("M30\0\r\n", 6);
    const QString path = dir.path() + "/GROSS.NC";

    std::vector<double> opens, saves, converts, reads, writes;
    bool exact = true;
    for (int run = 0; run < 5; ++run) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(program);
        f.close();

        QElapsedTimer t;
        t.start();
        {
            CNCEditor editor(settings, prompts, path);
            editor.load();
            editor.show();
            QApplication::processEvents();
            opens.push_back(t.nsecsElapsed() / 1e9);
            t.restart();
            editor.currentBytes();
            converts.push_back(t.nsecsElapsed() / 1e9);
            t.restart();
            const bool saved = editor.acceptChanges();
            saves.push_back(t.nsecsElapsed() / 1e9);
            exact = exact && saved;
        }
        QFile back(path);
        back.open(QIODevice::ReadOnly);
        exact = exact && back.readAll() == program;

        t.restart();
        QFile plain(path);
        plain.open(QIODevice::ReadOnly);
        const QByteArray bytes = plain.readAll();
        reads.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        WriteTextFile(path, bytes);
        writes.push_back(t.nsecsElapsed() / 1e9);
    }
    std::printf("editor, %.1f MB program: open %.0f ms, save %.0f ms (limit 1000 ms each); saved byte-exact: %s\n",
                program.size() / 1e6, median(opens) * 1000, median(saves) * 1000, exact ? "yes" : "NO");
    std::printf("  of which the text to bytes alone: %.0f ms\n", median(converts) * 1000);
    std::printf("reference, same file: plain read %.0f ms, atomic write %.0f ms\n", median(reads) * 1000,
                median(writes) * 1000);
    return exact && median(opens) <= 1.0 && median(saves) <= 1.0 ? 0 : 1;
}
