#include "machines/ui/MaintenanceDueWindow.h"

#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "machines/MachineLists.h"
#include "machines/MachinesService.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zep {

namespace {
enum Column { Status, Maschine, Intervall, Beschreibung, MaschIDX, WartPlan123 };
}

MaintenanceDueWindow::MaintenanceDueWindow(MachinesService &machines, Prompts &prompts, const Clock &clock, const QList<DueTask> &due,
                       QWidget *owner)
    : QDialog(owner), m_machines(machines), m_prompts(prompts), m_clock(clock), m_due(due)
{
    setObjectName(QStringLiteral("frmWartung"));
    setWindowTitle(QStringLiteral("Wartungsplan Fälligkeiten"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Status"), QStringLiteral("Maschine"), QStringLiteral("Intervall"),
                             QStringLiteral("Beschreibung"), QStringLiteral("MaschIDX"), QStringLiteral("WartPlan123")});
    for (const DueTask &task : std::as_const(m_due)) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(Status, QStringLiteral("Erledigt"));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Status, Qt::Unchecked);
        item->setText(Maschine, task.machineName);
        item->setText(Intervall, MachineLists::dueWindowIntervalName(task.interval));
        // One line in the list; the whole note is shown below.
        item->setText(Beschreibung, QString(task.note).replace(QStringLiteral("\r\n"), QStringLiteral(" / ")));
        item->setText(MaschIDX, QString::number(task.machine));
        item->setText(WartPlan123, QString::number(task.task));
    }
    for (int c = Status; c <= Beschreibung; ++c)
        m_list->resizeColumnToContents(c);
    m_list->setColumnWidth(MaschIDX, 60);
    m_list->setColumnWidth(WartPlan123, 60);
    layout->addWidget(m_list, 2);
    layout->addWidget(new QLabel(QStringLiteral("Detail:")));
    m_detail = new QPlainTextEdit;
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detail->setReadOnly(true);
    layout->addWidget(m_detail, 1);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("ok"));
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &MaintenanceDueWindow::confirm);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &MaintenanceDueWindow::showDetail);
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    showDetail();
    resize(720, 420);
}

void MaintenanceDueWindow::showDetail()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    m_detail->setPlainText(row >= 0 && row < m_due.size() ? m_due.at(row).note : QString());
}

void MaintenanceDueWindow::confirm()
{
    QList<DueTask> done;
    for (int i = 0; i < m_list->topLevelItemCount() && i < m_due.size(); ++i)
        if (m_list->topLevelItem(i)->checkState(Status) == Qt::Checked)
            done.append(m_due.at(i));
    const MaintenanceSchedule::Marked marked = m_machines.markDone(done);
    for (const QString &name : marked.missingMachines)
        m_prompts.message(QStringLiteral("Die Maschine ") + name
                              + QStringLiteral(" konnte nicht aktualisiert werden! Bitte Autor benachrichtigen!"),
                          QStringLiteral("ZEP"), PromptIcon::Exclamation);
    if (marked.error) {
        // The ticks stay: nothing of them is lost, the user can try again.
        reportErrorSimple(m_prompts, QStringLiteral(" in frmWartung.Command1_Click"), marked.error->description);
        return;
    }
    close();
}

void MaintenanceDueWindow::present(const Services &s, const QList<DueTask> &due, QPointer<MaintenanceDueWindow> &window, QWidget *owner)
{
    if (due.isEmpty())
        return;
    if (!window) {
        window = new MaintenanceDueWindow(s.machines, s.prompts, s.clock, due, owner);
        window->show();
    }
    window->raise();
    window->activateWindow();
}

} // namespace zep
