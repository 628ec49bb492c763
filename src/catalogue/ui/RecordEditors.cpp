#include "catalogue/ui/RecordEditors.h"

#include "catalogue/CatalogueService.h"

#include <QLineEdit>

namespace zep {

RecordEditors::RecordEditors(RecordEditor::Context context, QWidget *owner, int maxOpen)
    : QObject(owner), m_ctx(std::move(context)), m_owner(owner), m_queue(maxOpen)
{
    // An editor whose record another station changes or deletes says so at
    // once; saving then shows both versions (or where the edits may go).
    connect(&m_ctx.catalogue, &CatalogueService::recordChanged, this, [this](long dateiIndex) {
        if (RecordEditor *form = editor(dateiIndex))
            Q_EMIT statusChanged(RecordSession::changedElsewhereNotice(form->fileNameField()->text()));
    });
    connect(&m_ctx.catalogue, &CatalogueService::recordsAddedOrDeleted, this,
            [this](const QList<long> &, const QList<long> &deleted) {
                for (long dateiIndex : deleted)
                    if (RecordEditor *form = editor(dateiIndex))
                        Q_EMIT statusChanged(RecordSession::deletedElsewhereNotice(form->fileNameField()->text()));
            });
}

RecordEditors::~RecordEditors() = default;

void RecordEditors::open(long dateiIndex)
{
    if (dateiIndex <= 0)
        return;
    if (m_queue.offerChosen(dateiIndex) == EditorQueue::Offer::AlreadyOpen) {
        RecordEditor *existing = editor(dateiIndex);
        existing->showNormal();
        existing->raise();
        existing->activateWindow();
        return;
    }
    show(dateiIndex);
}

void RecordEditors::openNew(long dateiIndex)
{
    if (dateiIndex <= 0)
        return;
    switch (m_queue.offerNew(dateiIndex)) {
    case EditorQueue::Offer::OpenNow:
        show(dateiIndex);
        break;
    case EditorQueue::Offer::AlreadyOpen:
        if (RecordEditor *existing = editor(dateiIndex))
            existing->raise();
        break;
    case EditorQueue::Offer::Queued:
        tellWaiting();
        break;
    }
}

RecordEditor *RecordEditors::editor(long dateiIndex) const
{
    return m_editors.value(dateiIndex);
}

QList<RecordEditor *> RecordEditors::editors() const
{
    QList<RecordEditor *> out;
    for (const QPointer<RecordEditor> &e : m_editors)
        if (e)
            out.append(e);
    return out;
}

void RecordEditors::show(long dateiIndex)
{
    const qsizetype alreadyOpen = editors().size();
    auto *form = new RecordEditor(m_ctx, dateiIndex, m_owner);
    m_editors.insert(dateiIndex, form);
    connect(form, &RecordEditor::closed, this, &RecordEditors::editorClosed);
    connect(form, &RecordEditor::recordWritten, this, &RecordEditors::recordWritten);
    connect(form, &RecordEditor::renamed, this, &RecordEditors::renamed);
    connect(form, &RecordEditor::statusChanged, this, &RecordEditors::statusChanged);
    if (form->load()) {
        // Editors opened together would lie exactly on one another: each
        // further one is set off a little, so the user sees there are more.
        if (alreadyOpen > 0)
            form->move(form->pos() + QPoint(28, 28) * int(alreadyOpen));
        tellWaiting();
    }
    else if (!form->isVisible() && !form->loadPending()) {
        // Never shown (the user cancelled the error report): its place is free.
        form->deleteLater();
        editorClosed(dateiIndex);
    }

}

void RecordEditors::editorClosed(long dateiIndex)
{
    m_editors.remove(dateiIndex);
    const QList<long> next = m_queue.closed(dateiIndex);
    for (long index : next)
        show(index);
}

void RecordEditors::tellWaiting()
{
    const int waiting = m_queue.waiting();
    if (waiting > 0)
        Q_EMIT statusChanged(QStringLiteral("Editieren - ") + QString::number(waiting)
                             + (waiting == 1 ? QStringLiteral(" neuer Datensatz wartet")
                                             : QStringLiteral(" neue Datensätze warten"))
                             + QStringLiteral(" auf Bearbeitung"));
}

void RecordEditors::refreshMachines()
{
    for (RecordEditor *editor : editors())
        editor->refreshMachines();
}

void RecordEditors::closeAll()
{
    m_queue.clearWaiting();
    for (RecordEditor *form : editors())
        form->close();
}

} // namespace zep
