#pragma once

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "comm/ReceptionJournal.h"
#include "comm/ui/SaveReceivedDialog.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>

namespace zep::test {

// A main window's worth of surroundings for save dialogs: a monitored
// directory, settings, answered prompts, a logbook, a standing clock, a
// reception journal, a main-list selection to set and the pending machines
// the dialogs' intakes hand back.
class SaveReceivedDialogFixture : public ::testing::Test {
protected:
    SaveReceivedDialogFixture()
        : settings(env.iniFile()), clock(QDateTime(QDate(2026, 3, 5), QTime(14, 33, 7))),
          logbook(env.programDir(), clock)
    {
        QDir().mkpath(dir());
    }
    ~SaveReceivedDialogFixture() override
    {
        for (const QPointer<SaveReceivedDialog> &form : m_forms)
            delete form.data();
    }

    QString dir() const { return env.root() + "daten/"; }

    // As the station hands a reception over: the machine is the one its
    // connection was bound to when the program arrived. No journal entry.
    QPointer<SaveReceivedDialog> open(int maschinenNummer, long machine, const QByteArray &text)
    {
        return openWith(ReceivedProgram{maschinenNummer, machine, text, QString()}, nullptr);
    }

    // Journalled first, as the station does, then handed to a dialog.
    QPointer<SaveReceivedDialog> openJournalled(int maschinenNummer, long machine, const QByteArray &text)
    {
        const ReceptionJournal::Added added = journal.add(maschinenNummer, machine, text);
        EXPECT_TRUE(added.ok()) << added.error.toStdString();
        return openWith(ReceivedProgram{maschinenNummer, machine, text, added.id}, &journal);
    }

    void select(const QString &storedName, const QString &machine = "Drehbank")
    {
        selected = QStringList{storedName, "Welle", "Z-100", "A-7", "Kunde", "05.03.2026", "12", machine, "3"};
    }

    // Runs the deletions that closing windows left behind.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QStringList files(const QString &in = {}) const
    {
        return QDir(in.isEmpty() ? dir() : in)
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList recoveryFiles() const
    {
        return QDir(env.programDir()).entryList({"Nicht_gespeichert_Maschine*"}, QDir::Files, QDir::Name);
    }

    TestEnvironment env;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook;
    ReceptionJournal journal{env.programDir(), clock};
    std::optional<QStringList> selected;
    bool mainActive = false;
    bool traceOn = true;
    QStringList traceLines;
    QList<QPair<QString, long>> pending;

private:
    QPointer<SaveReceivedDialog> openWith(ReceivedProgram program, ReceptionJournal *programJournal)
    {
        TraceSink trace;
        trace.isOn = [this] { return traceOn; };
        trace.appendLine = [this](const QString &line) { traceLines << line; };
        ReceivedProgramIntake intake(
            ReceivedProgramIntake::Context{prompts, logbook, clock, env.programDir(), [this] { return dir(); }, trace,
                                           programJournal},
            [this](const QString &name, long machine) { pending << qMakePair(name, machine); }, std::move(program));
        QPointer<SaveReceivedDialog> form = new SaveReceivedDialog(SaveReceivedDialogView{settings, [this] { return selected; },
                                                      [this] { return mainActive; }},
                                           std::move(intake));
        form->show();
        m_forms << form;
        return form;
    }

    QList<QPointer<SaveReceivedDialog>> m_forms;
};

} // namespace zep::test
