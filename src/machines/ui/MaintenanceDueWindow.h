#pragma once

#include "machines/MaintenanceSchedule.h"

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;
class QTreeWidget;

namespace zep {

class Clock;
class MachinesService;
class Logbook;
class Prompts;

// The due window: the maintenance tasks that are due, to be ticked off once
// done. It keeps the tasks it was opened with until it is confirmed.
class MaintenanceDueWindow : public QDialog
{
    Q_OBJECT

public:
    MaintenanceDueWindow(MachinesService &machines, Prompts &prompts, const Clock &clock, const QList<DueTask> &due,
               QWidget *owner);

    QTreeWidget *list() const { return m_list; }
    QPlainTextEdit *detail() const { return m_detail; }
    void confirm();

    struct Services {
        MachinesService &machines;
        Prompts &prompts;
        const Clock &clock;
        Logbook &logbook;
    };
    // Shows `due` in the window, not modal, opening it when none is open and
    // bringing an open one to the front; nothing when nothing is due.
    static void present(const Services &services, const QList<DueTask> &due, QPointer<MaintenanceDueWindow> &window,
                        QWidget *owner);

private:
    void showDetail();

    MachinesService &m_machines;
    Prompts &m_prompts;
    const Clock &m_clock;
    QList<DueTask> m_due;
    QTreeWidget *m_list = nullptr;
    QPlainTextEdit *m_detail = nullptr;
};

} // namespace zep
