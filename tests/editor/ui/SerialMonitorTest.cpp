#include "editor/ui/SerialMonitor.h"
#include "editor/ui/HexView.h"
#include "editor/ui/HexViewWindow.h"

#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "comm/PortDevices.h"
#include "support/PtyPair.h"
#include "support/QStringPrinter.h"
#include "support/RunUntil.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::runUntil;

namespace {

struct MonitorTest : ::testing::Test {
    test::TestEnvironment env;
    IniSettingsStore settings{env.iniFile()};
    ScriptedPrompts prompts;
    test::PtyPair line;
};

} // namespace

TEST_F(MonitorTest, OpensWithTheStoredLineAndEveryToolTip)
{
    SerialMonitor monitor(settings, prompts, {});
    EXPECT_EQ(monitor.windowTitle(), "RS232-Debugger");
    ASSERT_EQ(monitor.portList()->count(), 16);
    EXPECT_EQ(monitor.portList()->itemText(0), "Com1");
    EXPECT_EQ(monitor.portList()->itemText(15), "Com16");
    EXPECT_EQ(monitor.portList()->currentText(), "Com1");
    EXPECT_EQ(monitor.handshakeList()->currentText(), "RTS/CTS");
    EXPECT_EQ(monitor.parameterField()->text(), "2400,N,8,1");
    EXPECT_EQ(monitor.portList()->toolTip(), "COM-Port");
    EXPECT_EQ(monitor.handshakeList()->toolTip(), "Handshakeprotokoll");
    EXPECT_EQ(monitor.parameterField()->toolTip(), "Baudrate, Parität, Datenbits, Stopbits");
    EXPECT_EQ(monitor.viewerBox()->text(), "Anschliessend HEX-Editor starten");
    EXPECT_EQ(monitor.viewerBox()->toolTip(), "Nach dem Empfang den mitgelieferten HEX-Editor starten");
    EXPECT_TRUE(monitor.viewerBox()->isEnabled());
    EXPECT_EQ(monitor.startButton()->toolTip(), "Startet den Life-Mitschnitt");
    EXPECT_EQ(monitor.stopButton()->toolTip(), "Beendet den Mitschnitt");
    EXPECT_EQ(monitor.indicator()->toolTip(), "Wenn hier nichts geht empfangen Sie keine Daten!");
    EXPECT_TRUE(monitor.startButton()->isEnabled());
    EXPECT_FALSE(monitor.stopButton()->isEnabled());
    EXPECT_TRUE(monitor.presetPath().endsWith("/CNC.txt"));

    settings.write("Debugger", "COMPort", "4");
    settings.write("Debugger", "Handshake", "1");
    settings.write("Debugger", "COMString", "9600,E,7,2");
    SerialMonitor again(settings, prompts, {});
    EXPECT_EQ(again.portList()->currentText(), "Com4");
    EXPECT_EQ(again.handshakeList()->currentText(), "XON/XOFF");
    EXPECT_EQ(again.parameterField()->text(), "9600,E,7,2");
}

TEST_F(MonitorTest, ShowsArrivingBytesLiveAndOpensTheRecordingInOurOwnViewer)
{
    ASSERT_TRUE(line.ok());
    PortDevices::setDevicePath(settings, 2, line.slavePath());
    QWidget owner;
    SerialMonitor monitor(settings, prompts, {}, &owner);
    monitor.setPresetPath(env.root() + "CNC.txt");
    QStringList started;
    monitor.setViewerStarter([&](const QString &program, const QString &file) {
        started << program << file;
        return true;
    });
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray()); // no viewer program installed
    monitor.show();
    monitor.portList()->setCurrentIndex(1);
    monitor.handshakeList()->setCurrentIndex(0);
    monitor.parameterField()->setText("9600,N,8,1");
    monitor.startButton()->click();
    EXPECT_FALSE(monitor.startButton()->isEnabled());
    EXPECT_TRUE(monitor.stopButton()->isEnabled());
    EXPECT_TRUE(monitor.indicator()->isVisible());

    const QByteArray sent("N10\r\n\0\x11\x13\xe4", 9);
    line.send(sent);
    ASSERT_TRUE(runUntil([&] { return monitor.counter()->text() == "Empfangen: 9 Bytes"; }));
    const QString row = monitor.liveView()->rowText(0);
    EXPECT_TRUE(row.contains("4E 31 30 0D 0A 00 11 13 E4")) << row.toStdString();
    EXPECT_TRUE(row.endsWith(QString::fromUtf8("N10␍␊␀␑␓ä"))) << row.toStdString();
    EXPECT_EQ(monitor.indicator()->text(), "/");

    monitor.viewerBox()->setChecked(true);
    prompts.queueInput(env.root() + "CNC.txt");
    monitor.stopButton()->click();
    qputenv("PATH", oldPath);
    EXPECT_EQ(env.readFile(env.root() + "CNC.txt"), sent);
    EXPECT_TRUE(monitor.startButton()->isEnabled());
    EXPECT_FALSE(monitor.indicator()->isVisible());
    EXPECT_TRUE(started.isEmpty());
    ASSERT_NE(monitor.ownViewer(), nullptr);
    EXPECT_EQ(monitor.ownViewer()->bytes(), sent);
    // Usable while the modal monitor is open, and kept when it closes.
    EXPECT_EQ(monitor.ownViewer()->parentWidget(), &monitor);
    EXPECT_TRUE(monitor.ownViewer()->isVisible());
    QPointer<HexViewWindow> viewer = monitor.ownViewer();
    monitor.done(0);
    ASSERT_FALSE(viewer.isNull());
    EXPECT_EQ(viewer->parentWidget(), &owner);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(monitor.recorder().recording());
}

TEST_F(MonitorTest, AnInstalledViewerGetsTheRecordingsName)
{
    ASSERT_TRUE(line.ok());
    PortDevices::setDevicePath(settings, 1, line.slavePath());
    const QString viewer = env.writeFile("bin/okteta", "#!/bin/sh\n");
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    settings.write("Debugger", "HexViewer", viewer);
    SerialMonitor monitor(settings, prompts, {});
    QStringList started;
    monitor.setViewerStarter([&](const QString &program, const QString &file) {
        started << program << file;
        return true;
    });
    monitor.parameterField()->setText("9600,N,8,1");
    monitor.handshakeList()->setCurrentIndex(0);
    monitor.start();
    line.send("O1");
    ASSERT_TRUE(runUntil([&] { return monitor.recorder().recorded() == "O1"; }));
    monitor.viewerBox()->setChecked(true);
    prompts.queueInput(env.root() + "mit Leerzeichen.txt");
    monitor.stop();
    EXPECT_EQ(started, (QStringList{viewer, env.root() + "mit Leerzeichen.txt"}));
    EXPECT_EQ(monitor.ownViewer(), nullptr);
}
