#pragma once

#include "catalogue/EditorQueue.h"
#include "catalogue/ui/RecordEditor.h"

#include <QHash>
#include <QObject>
#include <QPointer>

namespace zep {

// The open record editors: one per record (a second open brings the first
// to the front), and new records from the directory check opened a few at
// a time, the status line telling how many still wait. Waiting editors are
// not kept beyond the run: their records exist and can be opened from the
// list.
class RecordEditors : public QObject
{
    Q_OBJECT

public:
    RecordEditors(RecordEditor::Context context, QWidget *owner, int maxOpen = EditorQueue::kDefaultMaxOpen);
    ~RecordEditors() override;

    // The user opens a record: at once.
    void open(long dateiIndex);
    // The directory check made a record: now or when its turn comes.
    void openNew(long dateiIndex);

    RecordEditor *editor(long dateiIndex) const;
    QList<RecordEditor *> editors() const;
    int waiting() const { return m_queue.waiting(); }
    // The machines changed: every open editor lists them anew.
    void refreshMachines();
    // Closes every editor without writing; the waiting ones are dropped.
    void closeAll();

Q_SIGNALS:
    void recordWritten(const zep::RecordRow &row);
    void renamed(long dateiIndex, const QString &storedName);
    void statusChanged(const QString &text);

private:
    void show(long dateiIndex);
    void editorClosed(long dateiIndex);
    void tellWaiting();

    RecordEditor::Context m_ctx;
    QWidget *m_owner;
    EditorQueue m_queue;
    QHash<long, QPointer<RecordEditor>> m_editors;
};

} // namespace zep
