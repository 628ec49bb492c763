#include "station/ui/MainCommands.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace zep {

MainCommands::MainCommands(QMainWindow &window) : QObject(&window), m_window(window)
{
    buildToolbar();
    buildMenus();
}

QAction *MainCommands::action(const QString &objectName) const
{
    return m_window.findChild<QAction *>(objectName);
}

QToolButton *MainCommands::command(int number) const
{
    return number >= 1 && number <= 7 ? m_commands[number] : nullptr;
}

QList<QObject *> MainCommands::recordCommands() const
{
    QList<QObject *> list{m_commands[1], m_commands[3], m_commands[7], m_commands[6], m_commands[4]};
    for (const char *name : {"mmSpeichern", "mmMDatensatzBearbeiten", "mmMDatensatzLöschen", "mmMProgSenden",
                             "mmMProgBearbeiten"})
        list.append(action(QString::fromUtf8(name)));
    return list;
}

QAction *MainCommands::add(QMenu *menu, const char *name, const char *caption)
{
    QAction *entry = menu->addAction(QString::fromUtf8(caption));
    const QString objectName = QString::fromUtf8(name);
    entry->setObjectName(objectName);
    connect(entry, &QAction::triggered, this, [this, objectName] { Q_EMIT triggered(objectName); });
    return entry;
}

QAction *MainCommands::press(QMenu *menu, const char *name, const char *caption, int number)
{
    QAction *entry = menu->addAction(QString::fromUtf8(caption));
    entry->setObjectName(QString::fromUtf8(name));
    connect(entry, &QAction::triggered, this, [this, number] {
        if (m_commands[number]->isEnabled())
            m_commands[number]->click();
    });
    return entry;
}

void MainCommands::buildMenus()
{
    QMenuBar *bar = m_window.menuBar();
    QMenu *programm = bar->addMenu(QStringLiteral("&Programm"));
    add(programm, "mmWartungen", "Wartungen prüfen");
    add(programm, "mmDebugger", "RS232 Debugger");
    programm->addSeparator();
    add(programm, "mmInfo", "&Info");
    programm->addSeparator();
    add(programm, "mmEnde", "E&nde");

    QMenu *datensatz = bar->addMenu(QStringLiteral("&Datensatz"));
    press(datensatz, "mmMDatensatzBearbeiten", "Datensatz Bearbeiten", 3);
    press(datensatz, "mmMDatensatzLöschen", "Datensatz löschen", 1);
    datensatz->addSeparator();
    press(datensatz, "mmMProgSenden", "Programm senden", 7);
    press(datensatz, "mmMProgBearbeiten", "Programm bearbeiten", 4);
    datensatz->addSeparator();
    press(datensatz, "mmSpeichern", "Programmdatei speichern...", 6);
    press(datensatz, "mmImport", "Programmdatei importieren...", 2);

    QMenu *maschinen = bar->addMenu(QStringLiteral("Maschinenverwaltung"));
    add(maschinen, "mmMaschinen", "&Maschinenverwaltung...");
    maschinen->addSeparator();
    add(maschinen, "mmWizard", "Maschinen-Assistent...");

    QMenu *einstellungen = bar->addMenu(QStringLiteral("Einstellungen"));
    add(einstellungen, "mmEinst", "Programm-&Einstellungen...");
    add(einstellungen, "mmComPrefs", "&Kommunikations-Einstellungen...");
    add(einstellungen, "mmTasten", "&Tastenvorgaben...");

    QMenu *sicherheit = bar->addMenu(QStringLiteral("&Sicherheit"));
    add(sicherheit, "mmBackup", "Backup erstellen");

    QMenu *hilfe = bar->addMenu(QStringLiteral("&Hilfe"));
    add(hilfe, "mmHilf", "Hilfe...");

    m_popup = new QMenu(&m_window);
    m_popup->setObjectName(QStringLiteral("mmpopup"));
    press(m_popup, "mmDatensatzBearbeiten", "Datensatz bearbeiten", 3);
    m_popup->addSeparator();
    press(m_popup, "mmDatensatzLöschen", "Datensatz und Datei löschen", 1);
    m_popup->addSeparator();
    press(m_popup, "mmDatensatzÜbertragen", "Datei an Maschine übertragen...", 7);
    m_popup->addSeparator();
    press(m_popup, "mmBearbeiten", "Datei bearbeiten", 4);
}

void MainCommands::buildToolbar()
{
    struct Button {
        int number;
        QStyle::StandardPixmap icon;
        const char *text;
        const char *tip;
    };
    static const Button buttons[] = {
        {3, QStyle::SP_FileDialogDetailedView, "Bearbeiten", "Ändert den angewählten Datensatz"},
        {1, QStyle::SP_TrashIcon, "Löschen", "Löscht den angewählten Datensatz incl. Programmdatei!"},
        {2, QStyle::SP_DialogOpenButton, "Importieren", "Programm-Datei importieren"},
        {6, QStyle::SP_DialogSaveButton, "Exportieren", "Programm-Datei exportieren"},
        {4, QStyle::SP_FileIcon, "Programm", "Datei bearbeiten"},
        {7, QStyle::SP_ArrowForward, "Senden", "Programm an Maschine senden"},
    };
    QToolBar *toolbar = m_window.addToolBar(QStringLiteral("Werkzeuge"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const Button &b : buttons) {
        auto *button = new QToolButton(toolbar);
        button->setObjectName(QStringLiteral("Command%1").arg(b.number));
        button->setIcon(m_window.style()->standardIcon(b.icon));
        button->setText(QString::fromUtf8(b.text));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        // The record commands wait for a selected record; only import works
        // on an empty list.
        button->setEnabled(b.number == 2);
        toolbar->addWidget(button);
        m_commands[b.number] = button;
    }
    m_backupNotice = new QLabel(QStringLiteral("Backup läuft (kann mehrere Minuten dauern)..."), toolbar);
    m_backupNotice->setObjectName(QStringLiteral("Command5"));
    m_backupNotice->setVisible(false);
    m_backupNoticeEntry = toolbar->addWidget(m_backupNotice);
    m_backupNoticeEntry->setVisible(false);
}

void MainCommands::showBackupRunning(bool running)
{
    if (QAction *command = action(QStringLiteral("mmBackup")))
        command->setEnabled(!running);
    m_backupNoticeEntry->setVisible(running);
    m_backupNotice->setVisible(running);
}

} // namespace zep
